#include "world/world_map.h"

#include <array>
#include <cstdio>

#include "engine/cache.h"
#include "engine/entity_proc.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/world_services.h"
#include "physics/scene_proc.h"
#include "world/decal_generic.h"
#include "world/map_e.h"
#include "world/map_packets.h"
#include "world/owning_process.h"
#include "world/world_resources.h"

namespace {

constexpr evalue_def_t path_def = evalue_member("path", evalue_text, 64, evalue_bind<&world_e::path>, nullptr, "");

const level_list_t world_map_init_list(&object_e::object_init_list, {-10});

physproc_t* physics_of(const entity_t& entity)
{
    auto* scene = dynamic_cast<scene_proc_t*>(owning_process(entity));
    return scene ? &scene->physics() : nullptr;
}

// Whether the camera stands on the side of `plane` its normal points to.
bool point_right(const vec3_t& point, const float plane[4])
{
    return point.x * plane[0] + point.y * plane[1] + point.z * plane[2] + plane[3] > 0.0f;
}

}  // namespace

world_e::world_e() = default;

const evalue_def_t* world_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 1> defs{path_def};
    static const evalue_def_t* const root = decal_property_chain(defs, object_e::get_evalue_root());
    return root;
}

world_map_e::~world_map_e() { free_all(); }

const level_list_t* world_map_e::get_init_list() const { return &world_map_init_list; }

float world_map_e::clock() const
{
    const entity_proc_t* owner = owning_process(*this);
    return owner ? static_cast<float>(owner->process_time()) : 0.0f;
}

bool world_map_e::load_index()
{
    char name[256];
    std::snprintf(name, sizeof name, "%s/mesh.dat", path);
    std::vector<uint8_t> bytes;
    std::string why;
    if (!world_file_read(name, bytes)) {
        api::error("<world_map_e> %s cannot be read", name);
        return false;
    }
    if (!map_index_parse(bytes.data(), bytes.size(), index_, why)) {
        api::error("<world_map_e> %s: %s", name, why.c_str());
        return false;
    }
    chunks_.assign(index_.chunk_count, chunk_t{});
    return true;
}

int world_map_e::init(int phase)
{
    if (const int base = object_e::init(phase))
        return base;
    if (phase != -10)
        return 0;
    if (!load_index())
        return -1;
    char name[256];
    std::snprintf(name, sizeof name, "%s/%s", path, "vtree.bsp");
    vfs_stat_t stat{};
    if (api::vfs_stat(name, &stat) == 0) {
        vtree_ = map_world_item(name, vtree_item_new, this);
        if (!vtree_ || !c_item_lock(vtree_)) {
            api::error("<world_map_e> %s cannot be loaded", name);
            return -1;
        }
        c_item_release(vtree_);
    }
    collision_ = new map_e(this);
    collision_->owner_word = handle().word();
    if (!collision_->loaded())
        return -1;
    if (physproc_t* physics = physics_of(*this))
        physics->insert_geom(collision_);
    api::message("world map %s: %u chunks, %zu meshes, %zu collision sectors%s", path, index_.chunk_count,
                 index_.meshes.size(), collision_->sector_count(), vtree_ ? ", a visibility tree" : "");
    return 0;
}

void world_map_e::precache()
{
    char name[256];
    std::snprintf(name, sizeof name, "%s/textures", path);
    c_item_t* const list = map_world_item(name, textures_item_new, this);
    if (!list)
        return;
    if (const auto* textures = static_cast<const texture_list_resource_t*>(c_item_lock(list))) {
        for (const std::string& shader : textures->list.names)
            if (!shader.empty())
                api::gfx_shader_precache(shader.c_str());
        c_item_release(list);
    }
    disown_world_item(list, this);
    api::ci_dec_refs(list);
}

int world_map_e::destroy(int phase)
{
    if (phase == 0)
        free_all();
    return object_e::destroy(phase);
}

void world_map_e::free_all()
{
    if (collision_) {
        if (physproc_t* physics = physics_of(*this))
            physics->remove_geom(collision_);
        // Decals lying on the map hold uses of it; the last use deletes it.
        if (--collision_->use_count == 0)
            delete collision_;
        collision_ = nullptr;
    }
    for (uint32_t chunk = 0; chunk < chunks_.size(); ++chunk)
        unmap_chunk(chunk);
    chunks_.clear();
    if (vtree_) {
        disown_world_item(vtree_, this);
        api::ci_dec_refs(vtree_);
    }
    vtree_ = nullptr;
}

geometry_chunk_t* world_map_e::map_chunk(uint32_t chunk)
{
    if (chunk >= chunks_.size())
        return nullptr;
    chunk_t& record = chunks_[chunk];
    if (record.mapped) {
        record.last_used = clock();
        return static_cast<geometry_chunk_t*>(record.geometry->object);
    }
    if (record.refused || texture_list_refused_)
        return nullptr;
    char name[256];
    std::snprintf(name, sizeof name, "%s/mesh%04x.gdt", path, chunk);
    c_item_t* const geometry = map_world_item(name, gdt_item_new, this);
    auto* const meshes = geometry ? static_cast<geometry_chunk_t*>(c_item_lock(geometry)) : nullptr;
    if (!meshes) {
        record.refused = true;
        api::error("<world_map_e> chunk %u cannot be loaded; the world is drawn without it", chunk);
        if (geometry) {
            disown_world_item(geometry, this);
            api::ci_dec_refs(geometry);
        }
        return nullptr;
    }
    std::snprintf(name, sizeof name, "%s/lmap%04x", path, chunk);
    c_item_t* const lightmap = map_world_item(name, lmap_item_new, this);
    const auto* const maps = lightmap ? static_cast<const lightmap_chunk_t*>(c_item_lock(lightmap)) : nullptr;
    if (!maps) {
        record.refused = true;
        api::error("<world_map_e> the light maps of chunk %u cannot be loaded; the world is drawn without it", chunk);
        if (lightmap) {
            disown_world_item(lightmap, this);
            api::ci_dec_refs(lightmap);
        }
        c_item_release(geometry);
        disown_world_item(geometry, this);
        api::ci_dec_refs(geometry);
        return nullptr;
    }
    for (const lightmap_group_t& group : maps->groups) {
        const uint16_t mesh = index_.meshes[group.mesh].mesh;
        if (mesh >= meshes->meshes.size()) {
            api::error("<world_map_e> a light map of chunk %u names mesh %u of %zu", chunk, mesh,
                       meshes->meshes.size());
            continue;
        }
        map_mesh_t& target = meshes->meshes[mesh];
        target.lightmap = group.images.empty() ? nullptr : &group;
        if (!(target.flags & map_mesh_t::flag_lightmap))
            lightmap_colour_vertices(group, target);
    }
    for (uint32_t mesh = 0; mesh < meshes->meshes.size(); ++mesh) {
        const bool lit = meshes->meshes[mesh].flags & map_mesh_t::flag_lightmap;
        r_packet_t* vertices = api::gfx_alloc_packet(lit ? &map_vpd_lmap : &map_vpd_vertex, geometry, 0);
        r_packet_t* indices = api::gfx_alloc_packet(&map_ipd, geometry, 0);
        for (r_packet_t* packet : {vertices, indices})
            if (packet)
                packet->set_item(geometry, static_cast<int>(mesh));
        record.vertex_packets.push_back(vertices);
        record.index_packets.push_back(indices);
    }
    // Both stay locked while mapped: the meshes point into the light maps and the collision into the
    // meshes.
    record.geometry = geometry;
    record.lightmap = lightmap;
    record.mapped = true;
    record.last_used = clock();
    last_mapping_ = clock();
    resident_files_ += 2;
    return meshes;
}

void world_map_e::unmap_chunk(uint32_t chunk)
{
    if (chunk >= chunks_.size() || !chunks_[chunk].mapped)
        return;
    chunk_t& record = chunks_[chunk];
    for (auto* packets : {&record.vertex_packets, &record.index_packets})
        for (r_packet_t* packet : *packets)
            if (packet && packet->dec_refs() == 0)
                api::gfx_free_packet(packet);
    for (c_item_t* item : {record.lightmap, record.geometry}) {
        c_item_release(item);
        disown_world_item(item, this);
        api::ci_dec_refs(item);
    }
    resident_files_ -= 2;
    record = chunk_t{};
}

map_mesh_t* world_map_e::global_mesh(uint32_t global)
{
    if (global >= index_.meshes.size())
        return nullptr;
    const map_mesh_ref_t ref = index_.meshes[global];
    geometry_chunk_t* const chunk = map_chunk(ref.chunk);
    return chunk && ref.mesh < chunk->meshes.size() ? &chunk->meshes[ref.mesh] : nullptr;
}

void world_map_e::handler()
{
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    countdown_ -= dt;
    if (eviction && !keeps_chunks() && countdown_ < 0.0f) {
        const float now = clock();
        for (uint32_t chunk = 0; chunk < chunks_.size(); ++chunk)
            if (chunks_[chunk].mapped && chunks_[chunk].last_used + max_idle < now)
                unmap_chunk(chunk);
        countdown_ = eviction_interval;
    }
    if (collision_ && clock() - last_mapping_ > maintain_delay)
        collision_->maintain();
    object_e::handler();
}

void world_map_e::draw() { visit(); }

void world_map_e::visit()
{
    ++frame_;
    if (chunks_.empty())
        return;
    const auto* tree = vtree_ ? static_cast<const visibility_tree_t*>(c_item_lock(vtree_)) : nullptr;
    if (tree) {
        gfx_camera_t camera{};
        api::gfx_get_camera(&camera);
        const vec3_t eye(camera.position[0], camera.position[1], camera.position[2]);
        int32_t node = tree->partition.empty() ? -1 : 0;
        while (node >= 0 && tree->partition[static_cast<size_t>(node)].children[0] >= 0) {
            const partition_node_t& inner = tree->partition[static_cast<size_t>(node)];
            node = point_right(eye, inner.plane) ? inner.children[1] : inner.children[0];
        }
        if (node >= 0)
            for (const uint16_t sphere_tree : tree->partition[static_cast<size_t>(node)].trees)
                visit_sphere_tree(tree->sphere_trees[sphere_tree], 0);
        c_item_release(vtree_);
        return;
    }
    for (uint32_t chunk = 0; chunk < chunks_.size(); ++chunk) {
        geometry_chunk_t* const meshes = map_chunk(chunk);
        if (!meshes)
            continue;
        for (uint32_t index = 0; index < meshes->meshes.size(); ++index) {
            map_mesh_t& mesh = meshes->meshes[index];
            if ((mesh.flags & map_mesh_t::flag_no_vtree) && mesh.frame_stamp != frame_)
                draw_if_visible(chunk, index, mesh);
        }
    }
}

void world_map_e::visit_sphere_tree(const std::vector<sphere_node_t>& nodes, int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= nodes.size())
        return;
    const sphere_node_t& node = nodes[static_cast<size_t>(index)];
    const float centre[3] = {node.centre.x, node.centre.y, node.centre.z};
    if (!api::gfx_sphere_visible(centre, node.radius))
        return;
    if (node.children[0] >= 0) {
        visit_sphere_tree(nodes, node.children[0]);
        visit_sphere_tree(nodes, node.children[1]);
        return;
    }
    for (const uint16_t global : node.meshes)
        visit_mesh(global);
}

void world_map_e::visit_mesh(uint32_t global)
{
    map_mesh_t* const mesh = global_mesh(global);
    if (mesh && mesh->frame_stamp != frame_)
        draw_if_visible(index_.meshes[global].chunk, index_.meshes[global].mesh, *mesh);
}

void world_map_e::draw_if_visible(uint32_t chunk, uint32_t index, map_mesh_t& mesh)
{
    mesh.frame_stamp = frame_;
    const float centre[3] = {mesh.centre.x, mesh.centre.y, mesh.centre.z};
    const bool visible = mesh.max_distance
                             ? api::gfx_sphere_visible_dist(centre, mesh.radius, static_cast<float>(mesh.max_distance))
                             : api::gfx_sphere_visible(centre, mesh.radius);
    if (visible)
        draw_mesh(chunk, index, mesh);
}

void world_map_e::draw_mesh(uint32_t chunk, uint32_t index, const map_mesh_t& mesh)
{
    if (mesh.indices.empty()) {
        api::error("gdata with 0 indices encountered !!!");
        return;
    }
    const chunk_t& record = chunks_[chunk];
    if (index >= record.vertex_packets.size())
        return;
    r_proto_t* proto = api::gfx_alloc_proto(1);
    if (!proto)
        return;
    proto->set_vertex_packet(0, record.vertex_packets[index]);
    proto->set_index_packet(record.index_packets[index]);
    proto->set_shader(mesh.shader ? mesh.shader->object : nullptr);
    if (mesh.lightmap && mesh.lightmap->item && (mesh.flags & map_mesh_t::flag_lightmap))
        proto->set_lmap(mesh.lightmap->item);
    const auto* services = dynamic_cast<const world_services_t*>(owning_process(*this));
    const std::vector<c_item_t*>* lights = services ? &services->light_items() : nullptr;
    const int mode = api::gfx_path_get_current();
    if (mode == 1 && lights && !lights->empty())
        proto->set_lights(lights);
    api::gfx_queue_proto(proto);
    if ((mode == 3 || mode == 4) && lights)
        for (const c_item_t* light : *lights)
            if (light && light->object)
                api::gfx_queue_light_proto(proto, static_cast<const r_light_t*>(light->object));
    if (proto->dec_refs() == 0)
        api::gfx_free_proto(proto);
    ++meshes_drawn_;
}

int world_sky_e::init(int phase)
{
    if (const int base = object_e::init(phase))
        return base;
    if (phase != -10)
        return 0;
    if (!load_index())
        return -1;
    if (auto* services = dynamic_cast<world_services_t*>(owning_process(*this)))
        services->set_sky(this);
    return 0;
}

int world_sky_e::destroy(int phase)
{
    if (phase == 0)
        if (auto* services = dynamic_cast<world_services_t*>(owning_process(*this)))
            services->clear_sky(this);
    return world_map_e::destroy(phase);
}

void world_sky_e::handler() {}

void world_sky_e::draw()
{
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    api::gfx_push_identity();
    const float offset[3] = {camera.position[0] - position.x, camera.position[1] - position.y,
                             camera.position[2] - position.z};
    api::gfx_translate(offset);
    visit();
    api::gfx_pop();
}
