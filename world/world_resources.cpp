#include "world/world_resources.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "engine/cache.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/loader_lock.h"
#include "common/resource_match.h"
#include "world/collision_sector_files.h"
#include "world/world_map.h"

namespace {

// Kind numbers of the world's resources for the cache's purge calls.
enum world_kind_number_t : int32_t {
    kind_lightmap_chunk = 20,
    kind_release_only,
    kind_geometry_chunk,
    kind_visibility_tree,
    kind_collision_sector,
    kind_texture_list,
};

// The finish of a kind whose items are made under the loader lock: gives that lock back.
void release_loader_lock(c_item_t*) { loader_unlock(); }

// Reads the item's file and builds `record_t` in the item's memory with `parse`; the loaded block or
// null (reported with the file's name).
template <typename record_t, typename parse_t> void* load_record(c_item_t* item, const parse_t& parse)
{
    const char* name = api::ci_get_name(item);
    std::vector<uint8_t> bytes;
    if (!world_file_read(name, bytes)) {
        api::error("[%s] cannot be read", name);
        return nullptr;
    }
    void* const memory = api::ci_alloc_mem_fix(item, sizeof(record_t));
    if (!memory)
        return nullptr;
    auto* const record = new (memory) record_t();
    std::string why;
    if (!parse(bytes, *record, why)) {
        api::error("[%s] %s", name, why.c_str());
        record->~record_t();
        api::ci_free_mem_unfix(item);
        return nullptr;
    }
    // The use the cache took for the load.
    c_item_release(item);
    return memory;
}

// Destroys the record in the item's memory, then frees it.
template <typename record_t> void free_record(c_item_t* item)
{
    if (item->object)
        static_cast<record_t*>(item->object)->~record_t();
    api::citem_gen_mem_free(item);
}

// Moves the record in the item's memory into `new_block`; what the record holds stays where it is.
template <typename record_t> void move_record(c_item_t* item, void* new_block)
{
    auto* const old = static_cast<record_t*>(item->object);
    new (new_block) record_t(std::move(*old));
    old->~record_t();
    item->object = new_block;
}

// Gives each group of a loaded light-map chunk that has images a child item of the chunk's item over
// them, through which the renderer takes the mesh's light map: the children of an earlier load in turn,
// then new ones (made under the loader lock, which their release gives back).
void attach_lightmap_children(c_item_t* item, lightmap_chunk_t& chunk)
{
    c_item_t* kept = item->first_child;
    for (lightmap_group_t& group : chunk.groups) {
        if (group.images.empty())
            continue;
        c_item_t* child = kept;
        if (child) {
            kept = kept->next_sibling;
        } else {
            child = api::mm_sys_get_new_anitem();
            if (!child)
                continue;
            loader_lock();
            child->ops = &release_only_ops;
            api::ci_add_child(item, child);
            // The chunk's item holds it from now on.
            api::ci_dec_refs(child);
        }
        child->object = &group;
        child->user = static_cast<intptr_t>(group.images.size());
        group.item = child;
    }
}

// The world map that mapped the item, or null.
world_map_e* owner_of(const c_item_t* item) { return reinterpret_cast<world_map_e*>(item->user); }

// The number in a chunk file's name: the hexadecimal digits after its last "mesh" or "lmap".
bool chunk_number(const char* name, uint16_t& out)
{
    const char* slash = std::strrchr(name, '/');
    const char* base = slash ? slash + 5 : name + 4;
    if (std::strlen(slash ? slash + 1 : name) < 8)
        return false;
    char digits[5] = {base[0], base[1], base[2], base[3], 0};
    char* end = nullptr;
    const unsigned long value = std::strtoul(digits, &end, 16);
    if (end != digits + 4)
        return false;
    out = static_cast<uint16_t>(value);
    return true;
}

void* textures_load(c_item_t* item)
{
    return load_record<texture_list_resource_t>(
        item, [](const std::vector<uint8_t>& bytes, texture_list_resource_t& record, std::string& why) {
            if (!texture_list_parse(bytes.data(), bytes.size(), record.list, why))
                return false;
            for (const std::string& name : record.list.names)
                record.shaders.push_back(name.empty() ? nullptr : api::mm_precache(name.c_str()));
            return true;
        });
}

void textures_free(c_item_t* item)
{
    if (auto* record = static_cast<texture_list_resource_t*>(item->object))
        for (c_item_t* shader : record->shaders)
            if (shader)
                api::ci_dec_refs(shader);
    free_record<texture_list_resource_t>(item);
}

void* gdt_load(c_item_t* item)
{
    world_map_e* const owner = owner_of(item);
    if (!owner)
        return nullptr;
    char path[256];
    std::snprintf(path, sizeof path, "%s/%s", owner->path, "textures");
    c_item_t* const textures = map_world_item(path, textures_item_new, owner);
    const auto* list = textures ? static_cast<const texture_list_resource_t*>(c_item_lock(textures)) : nullptr;
    if (!list) {
        owner->refuse_texture_list();
        api::error("[%s] the map's texture list cannot be read", api::ci_get_name(item));
        if (textures)
            api::ci_dec_refs(textures);
        return nullptr;
    }
    void* const block = load_record<geometry_chunk_t>(item, [list](const std::vector<uint8_t>& bytes,
                                                                   geometry_chunk_t& chunk, std::string& why) {
        if (!geometry_chunk_parse(bytes.data(), bytes.size(), static_cast<uint32_t>(list->shaders.size()), chunk, why))
            return false;
        for (map_mesh_t& mesh : chunk.meshes) {
            mesh.shader = list->shaders[mesh.texture];
            if (mesh.shader)
                api::ci_inc_refs(mesh.shader);
        }
        return true;
    });
    c_item_release(textures);
    disown_world_item(textures, owner);
    api::ci_dec_refs(textures);
    return block;
}

void gdt_free(c_item_t* item)
{
    if (auto* chunk = static_cast<geometry_chunk_t*>(item->object))
        for (map_mesh_t& mesh : chunk->meshes)
            if (mesh.shader)
                api::ci_dec_refs(mesh.shader);
    free_record<geometry_chunk_t>(item);
}

void* lmap_load(c_item_t* item)
{
    world_map_e* const owner = owner_of(item);
    uint16_t chunk = 0;
    if (!owner || !chunk_number(api::ci_get_name(item), chunk))
        return nullptr;
    void* const block = load_record<lightmap_chunk_t>(
        item, [owner, chunk](const std::vector<uint8_t>& bytes, lightmap_chunk_t& record, std::string& why) {
            return lightmap_parse(bytes.data(), bytes.size(), owner->mesh_index(), chunk, record, why);
        });
    if (!block)
        return nullptr;
    attach_lightmap_children(item, *static_cast<lightmap_chunk_t*>(block));
    return block;
}

// The children lose their images with the chunk's memory; they stay with the chunk's item (the cache
// walks its items while it frees them, so none is destroyed here) and take the images of the next load.
void lmap_free(c_item_t* item)
{
    for (c_item_t* child = item->first_child; child; child = child->next_sibling) {
        child->object = nullptr;
        child->user = 0;
    }
    free_record<lightmap_chunk_t>(item);
}

void lmap_move(c_item_t* item, void* new_block)
{
    move_record<lightmap_chunk_t>(item, new_block);
    for (lightmap_group_t& group : static_cast<lightmap_chunk_t*>(new_block)->groups)
        if (group.item)
            group.item->object = &group;
}

// The closing hook of a light-map chunk: it lets go of any child still attached and leaves its own
// parent, then gives back the loader lock it was made under.
void lmap_detach(c_item_t* item)
{
    while (item->first_child)
        api::ci_remove_child(item->first_child);
    if (item->parent)
        api::ci_remove_child(item);
    loader_unlock();
}

void* vtree_load(c_item_t* item)
{
    world_map_e* const owner = owner_of(item);
    if (!owner)
        return nullptr;
    const auto mesh_count = static_cast<uint32_t>(owner->mesh_index().meshes.size());
    return load_record<visibility_tree_t>(
        item, [mesh_count](const std::vector<uint8_t>& bytes, visibility_tree_t& tree, std::string& why) {
            return visibility_tree_parse(bytes.data(), bytes.size(), mesh_count, tree, why);
        });
}

void* btr_load(c_item_t* item)
{
    return load_record<sector_tree_t>(item,
                                      [](const std::vector<uint8_t>& bytes, sector_tree_t& tree, std::string& why) {
                                          return tree.parse(bytes.data(), bytes.size(), why);
                                      });
}

// A new item of `ops` for `name`, owned by `owner`, under the loader lock.
c_item_t* new_owned_item(const char* name, void* owner, const resource_ops_t* ops)
{
    c_item_t* const item = api::mm_sys_get_new_item();
    if (!item)
        return nullptr;
    loader_lock();
    api::ci_set_name(item, name);
    item->ops = ops;
    item->user = reinterpret_cast<intptr_t>(owner);
    return item;
}

}  // namespace

resource_ops_t lightmap_chunk_ops = {lmap_load, nullptr,     lmap_free, lmap_move,          nullptr,
                                     nullptr,   lmap_detach, 1,         kind_lightmap_chunk};
resource_ops_t release_only_ops = {nullptr, nullptr,          nullptr, nullptr, nullptr, nullptr, release_loader_lock,
                                   1,       kind_release_only};
resource_ops_t geometry_chunk_ops = {
    gdt_load,           nullptr, gdt_free, move_record<geometry_chunk_t>, nullptr, nullptr, release_loader_lock, 1,
    kind_geometry_chunk};
resource_ops_t visibility_tree_ops = {vtree_load,
                                      nullptr,
                                      free_record<visibility_tree_t>,
                                      move_record<visibility_tree_t>,
                                      nullptr,
                                      nullptr,
                                      release_loader_lock,
                                      1,
                                      kind_visibility_tree};
resource_ops_t collision_sector_ops = {btr_load,
                                       nullptr,
                                       free_record<sector_tree_t>,
                                       nullptr,
                                       nullptr,
                                       nullptr,
                                       release_loader_lock,
                                       -1,
                                       kind_collision_sector};
resource_ops_t texture_list_ops = {textures_load,       nullptr, textures_free,    nullptr, nullptr, nullptr,
                                   release_loader_lock, 1,       kind_texture_list};

c_item_t* gdt_item_new(const char* name, void* owner) { return new_owned_item(name, owner, &geometry_chunk_ops); }
c_item_t* lmap_item_new(const char* name, void* owner) { return new_owned_item(name, owner, &lightmap_chunk_ops); }
c_item_t* vtree_item_new(const char* name, void* owner) { return new_owned_item(name, owner, &visibility_tree_ops); }
c_item_t* textures_item_new(const char* name, void* owner) { return new_owned_item(name, owner, &texture_list_ops); }

c_item_t* map_world_item(const char* name, c_item_t* (*factory)(const char*, void*), world_map_e* owner)
{
    c_item_t* const item = api::mm_map_fld(name, factory, owner);
    if (item)
        item->user = reinterpret_cast<intptr_t>(owner);
    return item;
}

void disown_world_item(c_item_t* item, const world_map_e* owner)
{
    if (item && item->user == reinterpret_cast<intptr_t>(owner))
        item->user = 0;
}

void btr_makeup_ops() { api::ci_makeup_ops(&collision_sector_ops); }

c_item_t* btr_loader_match(c_item_t*, intptr_t, const char* name)
{
    return match_by_suffix(name, ".btr", &collision_sector_ops);
}
