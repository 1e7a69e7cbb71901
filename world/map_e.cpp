#include "world/map_e.h"

#include "engine/geometry.h"
#include "world/world_map.h"

map_e::map_e(world_map_e* owner) : owner_(owner)
{
    set_name("map_e");
    loaded_ = load(owner->path);
}

bool map_e::valid_reference(uint32_t reference)
{
    const map_mesh_t* mesh = owner_->global_mesh(reference >> 16);
    return mesh && size_t{reference & 0xFFFFu} + 2 < mesh->indices.size();
}

void map_e::get_item(cd_item_t& item, int)
{
    item.kind = cd_item_t::kind_triangle;
    const uint32_t global = item.id >> 16;
    const size_t at = item.id & 0xFFFFu;
    const map_mesh_t* mesh = owner_->global_mesh(global);
    if (!mesh || at + 2 >= mesh->indices.size()) {
        const uint32_t chunk =
            global < owner_->mesh_index().meshes.size() ? owner_->mesh_index().meshes[global].chunk : global;
        report_error("unable to get data for chunk %u", chunk);
        item.vertex_count = 0;
        item.request = 0;
        return;
    }
    const vec3_t* corners[3] = {&mesh->positions[mesh->indices[at]], &mesh->positions[mesh->indices[at + 1]],
                                &mesh->positions[mesh->indices[at + 2]]};
    if (item.request & cd_item_t::request_vertices) {
        for (int k = 0; k < 3; ++k)
            item.vertex[k] = corners[k];
        item.vertex_count = 3;
    }
    if (item.request & cd_item_t::request_plane)
        points_compute_equation(*corners[0], *corners[2], *corners[1], 0.0f, item.plane);
    if (item.request & cd_item_t::request_material)
        item.material = mesh->surface;
    if (item.request & cd_item_t::request_user)
        item.user = 0xFFFFFFFFu;
    if (item.request & cd_item_t::request_bounds) {
        item.bounds.set_empty();
        for (const vec3_t* corner : corners)
            item.bounds.add_point(corner->x, corner->y, corner->z);
    }
}

bool map_e::refit(cd_bvnode_t* node)
{
    if (!node->leaf()) {
        if (!refit(node->first) || !refit(node->second))
            return false;
        node->bounds = node->first->bounds;
        node->bounds.add_bounds(node->second->bounds);
        return true;
    }
    cd_bounds_t bounds = cd_bounds_make_empty();
    for (uint16_t i = 0; i < node->count(); ++i) {
        cd_item_t item;
        item.id = node->ids()[i];
        item.request = cd_item_t::request_bounds;
        get_item(item, 0);
        if (!(item.request & cd_item_t::request_bounds))
            return false;
        bounds.add_bounds(item.bounds);
    }
    node->bounds = bounds;
    return true;
}
