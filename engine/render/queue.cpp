#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/cache.h"
#include "engine/gfx_record.h"
#include "engine/gfx_render.h"
#include "engine/shader_resource.h"
#include "engine/vfs.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "render_state.h"

// A render path: a name and the lighting mode it applies.
struct gfx_path_t {
    const char* name;
    int mode;
};

// A pool of a path: its order and the queue record it was given.
struct gfx_pool_t {
    gfx_path_t* path;
    gfx_sort_t sort;
    gfx_pool_queue_t* queue;
};

namespace {

constexpr const char* notfound_shader = "/specials/notfound.shd";

gfx_path_t vert_path{"vert", 1};
gfx_path_t* selected_path = nullptr;
std::vector<std::unique_ptr<gfx_pool_t>> pools;
// Shaders by path; the records never move once made, so handles stay valid until the reset.
std::map<std::string, std::unique_ptr<gfx_shader_t>> shaders;
// The path of each shader record, so that every queued packet finds its shader's path in one look-up
// (the map's keys never move while their records live).
std::unordered_map<const void*, std::string_view> shader_paths;
// The name each packet declaration queued had, and its kept text.
struct declaration_name_t {
    const char* name = nullptr;
    std::string_view text;
};
std::unordered_map<const r_packet_decl_t*, declaration_name_t> declaration_names;
// Prototypes queued since the last flush, each holding the use the queue took.
std::vector<r_proto_t*> queued;
gfx_frame_record_t frame;

void release_queued()
{
    for (r_proto_t* proto : queued)
        if (proto->dec_refs() == 0)
            gfx_free_proto(proto);
    queued.clear();
}

void reset_queue()
{
    release_queued();
    selected_path = nullptr;
    pools.clear();
    shader_paths.clear();
    declaration_names.clear();
    shaders.clear();
    frame = gfx_frame_record_t{};
}

engine_reset_registrar_t queue_reset_registrar(reset_order_devices, reset_queue);

const gfx_shader_t* make_shader(const std::string& path)
{
    const auto [at, made] = shaders.try_emplace(path);
    auto& slot = at->second;
    if (made) {
        slot = std::make_unique<gfx_shader_t>();
        shader_paths.emplace(slot.get(), gfx_record_text(at->first));
        snprintf(slot->path, sizeof slot->path, "%s", path.c_str());
        slot->width = 256;
        slot->height = 256;
        slot->has_texture = false;
        // A missing file is no fault (most shaders name no size); a bad one is reported by the reader.
        std::string text;
        shader_resource_t file;
        vfs_stat_t stat{};
        if (vfs_stat(path.c_str(), &stat) == 0 && vfs_read_whole(path.c_str(), text) &&
            shader_resource_parse(text, path, file) && file.has_texture) {
            slot->width = file.width;
            slot->height = file.height;
            slot->has_texture = true;
        }
    }
    return slot.get();
}

// The store of the frame being recorded, made on its first array.
gfx_record_store_t& frame_store()
{
    if (!frame.store)
        frame.store = std::make_shared<gfx_record_store_t>();
    return *frame.store;
}

// Starts a record's geometry in the frame's store.
void start_geometry(gfx_recorded_geometry_t& geometry)
{
    frame_store();
    geometry.store = frame.store;
}

// Fills `out` with a copy of `count` elements of `width` values from a caller's array, or empties it when
// there is none.
template <typename T> void copy_array(gfx_recorded_array_t<T>& out, const T* values, int count, int width)
{
    const size_t size = values && count > 0 ? static_cast<size_t>(count) * static_cast<size_t>(width) : 0;
    if (size == 0) {
        out = {};
        return;
    }
    T* const copy = frame_store().take<T>(size);
    std::memcpy(copy, values, size * sizeof(T));
    out = {copy, size};
}

// Empties `records` into `kept`, which keeps the list's room.
template <typename record_t> void keep_room(std::vector<record_t>& kept, std::vector<record_t>& records)
{
    kept.swap(records);
    kept.clear();
}

// The name of `packet`'s declaration, "" without a packet or a name.
std::string_view declaration_name(const r_packet_t* packet)
{
    if (!packet)
        return {};
    const r_packet_decl_t* const declaration = packet->declaration();
    declaration_name_t& known = declaration_names[declaration];
    if (known.name != declaration->name || known.text.empty()) {
        known.name = declaration->name;
        known.text = gfx_record_text(declaration->name ? declaration->name : "");
    }
    return known.text;
}

// Reads a packet's arrays through its declaration.
void read_vertices(const r_packet_t* packet, gfx_recorded_geometry_t& out)
{
    if (!packet)
        return;
    const r_packet_decl_t* d = packet->declaration();
    void* owner = packet->owner();
    const int element = packet->element();
    const int count = d->vertex_count ? d->vertex_count(owner, element) : 0;
    if (count <= 0)
        return;
    copy_array(out.positions, d->positions ? d->positions(owner, element) : nullptr, count, 3);
    copy_array(out.normals, d->normals ? d->normals(owner, element) : nullptr, count, 3);
    copy_array(out.texcoords, d->texcoords ? d->texcoords(owner, element) : nullptr, count, 2);
    copy_array(out.colours, d->colours ? d->colours(owner, element) : nullptr, count, 1);
}

void read_indices(const r_packet_t* packet, gfx_recorded_geometry_t& out)
{
    if (!packet)
        return;
    const r_packet_decl_t* d = packet->declaration();
    const int count = d->index_count ? d->index_count(packet->owner(), packet->element()) : 0;
    copy_array(out.indices, d->indices ? d->indices(packet->owner(), packet->element()) : nullptr, count, 1);
}

// The first light of an engine light list (items holding an r_light_t each), or null.
const r_light_t* first_light(const void* lights)
{
    const auto* list = static_cast<const std::vector<c_item_t*>*>(lights);
    if (!list)
        return nullptr;
    for (const c_item_t* item : *list)
        if (item && item->object)
            return static_cast<const r_light_t*>(item->object);
    return nullptr;
}

void record_proto(r_proto_t* proto, const r_light_t* light)
{
    if (!light)
        light = first_light(proto->lights());
    gfx_recorded_proto_t record{};
    record.proto = proto;
    const r_packet_t* vertices = proto->vertex_packet(0);
    const r_packet_t* indices = proto->index_packet();
    record.vertex_declaration = declaration_name(vertices);
    record.index_declaration = declaration_name(indices);
    record.shader = proto->shader();
    record.shader_path = render_shader_path(proto->shader());
    record.flags = proto->flags;
    std::memcpy(record.frame, proto->frame(), sizeof record.frame);
    record.lit_by_light = light != nullptr;
    if (light)
        record.light = *light;
    start_geometry(record.geometry);
    read_vertices(vertices, record.geometry);
    read_indices(indices, record.geometry);
    record.flush = frame.flushes;
    record.place = gfx_record_place();
    frame.protos.push_back(std::move(record));
    proto->inc_refs();
    queued.push_back(proto);
}

}  // namespace

ENGINE_API const gfx_shader_t* gfx_shader_precache(const char* path)
{
    if (!path)
        return nullptr;
    return make_shader(*path ? path : notfound_shader);
}

ENGINE_API void gfx_texel_offset(float* du, float* dv)
{
    // The "gl" device samples texel centres at pixel centres already.
    if (du)
        *du = 0.0f;
    if (dv)
        *dv = 0.0f;
}

ENGINE_API gfx_path_t* gfx_path_get(const char* name)
{
    if (name && strcmp(name, vert_path.name) == 0)
        return &vert_path;
    error("gfx_path_get: no render path \"%s\"", name ? name : "");
    return nullptr;
}

ENGINE_API void gfx_path_select(gfx_path_t* path)
{
    if (path)
        selected_path = path;
}

ENGINE_API int gfx_path_get_current() { return selected_path ? selected_path->mode : 0; }

ENGINE_API void gfx_path_flush()
{
    release_queued();
    ++frame.flushes;
}

ENGINE_API gfx_pool_t* gfx_path_pool_insert(gfx_path_t* path, gfx_sort_t sort)
{
    if (!path)
        return nullptr;
    pools.push_back(std::make_unique<gfx_pool_t>(gfx_pool_t{path, sort, nullptr}));
    return pools.back().get();
}

ENGINE_API void gfx_path_pool_remove(gfx_pool_t* pool)
{
    for (auto it = pools.begin(); it != pools.end(); ++it)
        if (it->get() == pool) {
            pools.erase(it);
            return;
        }
}

ENGINE_API void gfx_pool_queue_insert(gfx_pool_t* pool, gfx_pool_queue_t* queue)
{
    if (pool)
        pool->queue = queue;
}

ENGINE_API int gfx_common_hash_sort(const r_proto_t* a, const r_proto_t* b)
{
    const auto sa = reinterpret_cast<uintptr_t>(a->shader());
    const auto sb = reinterpret_cast<uintptr_t>(b->shader());
    return sa < sb ? -1 : sa > sb ? 1 : 0;
}

ENGINE_API int gfx_priority_sort(const r_proto_t* a, const r_proto_t* b)
{
    return a->flags < b->flags ? -1 : a->flags > b->flags ? 1 : 0;
}

ENGINE_API void gfx_queue_proto(r_proto_t* proto)
{
    if (proto)
        record_proto(proto, nullptr);
}

ENGINE_API void gfx_queue_light_proto(r_proto_t* proto, const r_light_t* light)
{
    if (proto && light)
        record_proto(proto, light);
}

ENGINE_API void gfx_cache_data(const gfx_data_t* data)
{
    if (!data)
        return;
    if (data->vertex_count < 0 || data->index_count < 0) {
        error("gfx_cache_data: negative count (%d vertices, %d indices)", data->vertex_count, data->index_count);
        return;
    }
    gfx_recorded_data_t record{};
    record.flags = data->flags;
    record.primitive = data->primitive;
    std::memcpy(record.position, data->position, sizeof record.position);
    record.shader = data->shader;
    record.shader_path = render_shader_path(data->shader);
    std::memcpy(record.world, render_world().m, sizeof record.world);
    const int count = data->vertex_count;
    gfx_recorded_geometry_t& g = record.geometry;
    start_geometry(g);
    if (data->flags & gfx_data_positions)
        copy_array(g.positions, data->positions, count, 3);
    if (data->flags & gfx_data_normals)
        copy_array(g.normals, data->normals, count, 3);
    if (data->flags & gfx_data_texcoords)
        copy_array(g.texcoords, data->texcoords, count, 2);
    if (data->flags & gfx_data_colours)
        copy_array(g.colours, data->colours, count, 1);
    if (data->flags & gfx_data_indices)
        copy_array(g.indices, data->indices, data->index_count, 1);
    record.flush = frame.flushes;
    record.place = gfx_record_place();
    frame.data.push_back(std::move(record));
}

ENGINE_API void gfx_sprite(const void* shader, const float* position, float size, int count,
                           const gfx_sprite_t* sprites, float x_scale, float y_scale, int mode, float depth)
{
    if (!position || count <= 0 || !sprites)
        return;
    gfx_recorded_sprites_t record{};
    record.shader = shader;
    record.shader_path = render_shader_path(shader);
    std::memcpy(record.position, position, sizeof record.position);
    record.size = size;
    record.sprites.assign(sprites, sprites + count);
    record.x_scale = x_scale;
    record.y_scale = y_scale;
    record.mode = mode;
    record.depth = depth;
    std::memcpy(record.world, render_world().m, sizeof record.world);
    record.flush = frame.flushes;
    record.place = gfx_record_place();
    frame.sprites.push_back(std::move(record));
}

void gfx_record_model(const gfx_model_part_t& part)
{
    if (!part.positions || part.vertex_count <= 0 || !part.indices || part.index_count < 3)
        return;
    gfx_recorded_model_t record{};
    start_geometry(record.geometry);
    copy_array(record.geometry.positions, part.positions, part.vertex_count, 3);
    copy_array(record.geometry.normals, part.normals, part.vertex_count, 3);
    copy_array(record.geometry.texcoords, part.uvs, part.vertex_count, 2);
    record.shader_path = part.shader ? render_shader_path(part.shader) : part.shader_name;
    const auto vertices = static_cast<size_t>(part.vertex_count);
    uint32_t* const colours = frame_store().take<uint32_t>(vertices);
    std::fill(colours, colours + vertices, part.colour);
    record.geometry.colours = {colours, vertices};
    copy_array(record.geometry.indices, part.indices, part.index_count, 1);
    if (const r_light_t* light = first_light(part.lights)) {
        record.lit_by_light = true;
        record.light = *light;
    }
    std::memcpy(record.world, render_world().m, sizeof record.world);
    record.place = gfx_record_place();
    frame.models.push_back(std::move(record));
}

ENGINE_API void gfx_line_plain(uint32_t colour, const float* from, const float* to)
{
    if (!from || !to)
        return;
    gfx_recorded_line_t line{};
    line.colour = colour;
    render_point(render_world(), from, line.from);
    render_point(render_world(), to, line.to);
    line.place = gfx_record_place();
    frame.lines.push_back(line);
}

gfx_frame_record_t& render_frame() { return frame; }

std::string_view render_shader_path(const void* shader)
{
    const auto at = shader_paths.find(shader);
    return at == shader_paths.end() ? std::string_view() : at->second;
}

// The frame record moves to "last" at a swap; queued prototypes are released as a flush would. The
// record "last" held gives its lists' room to the next frame, and its store too unless a copy of one of
// its records still holds it.
void render_end_of_frame(gfx_frame_record_t& last)
{
    release_queued();
    gfx_frame_record_t next;
    keep_room(next.protos, last.protos);
    keep_room(next.data, last.data);
    keep_room(next.sprites, last.sprites);
    keep_room(next.models, last.models);
    keep_room(next.lines, last.lines);
    keep_room(next.clears, last.clears);
    keep_room(next.views, last.views);
    if (last.store && last.store.use_count() == 1) {
        last.store->empty();
        next.store = std::move(last.store);
    }
    last = std::move(frame);
    frame = std::move(next);
}

const gfx_frame_record_t& gfx_record_current() { return frame; }
int gfx_record_next_order() { return frame.orders++; }
int gfx_record_pool_count() { return static_cast<int>(pools.size()); }
