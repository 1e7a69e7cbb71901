#include "world/decals_plain.h"

#include "physics/cd_geo.h"
#include "physics/tri_query.h"

namespace {

// Squared difference of two plane equations below which the planes count as the same.
constexpr float coplanar_tolerance = 0.1f;

// The triangle's plane with a unit normal; false when the item is no triangle.
bool unit_plane(const cd_item_t& item, vec4_t& plane)
{
    if (item.kind != cd_item_t::kind_triangle || item.vertex_count != 3)
        return false;
    const float length = vec3_t{item.plane.x, item.plane.y, item.plane.z}.length();
    if (length <= 0.0f)
        return false;
    plane = item.plane / length;
    return true;
}

}  // namespace

bool decals_plain_e::place(const decal_hit_t& hit, const decal_params_t* params, bool keep)
{
    if (!hit.geometry || hit.item == cd_item_none || max_points < 3)
        return false;
    cd_item_t hit_item;
    hit_item.id = hit.item;
    hit_item.request = cd_item_t::request_vertices | cd_item_t::request_plane;
    hit.geometry->get_item(hit_item, 0);
    vec4_t hit_plane;
    if (!unit_plane(hit_item, hit_plane))
        return false;

    const half_sizes_t half = half_sizes(params, true);
    const float extent = vec3_t{half.width, half.height, half.depth}.length();
    const vec3_t local_hit = hit.point - hit.geometry->pose.position;
    const decal_frame_t frame =
        projection_frame({hit_plane.x, hit_plane.y, hit_plane.z}, (params ? params->rotation() : 0.0f) + angle);
    cd_tri_query_t query;
    query.begin(hit.geometry, hit.point - vec3_t{extent, extent, extent}, hit.point + vec3_t{extent, extent, extent});
    wrap_instance_t& instance = new_instance();
    std::vector<decal_corner_t> polygon;
    cd_item_t item;
    vec4_t plane;
    while (max_points - static_cast<int>(instance.positions.size()) >= 2) {
        item.request = cd_item_t::request_vertices | cd_item_t::request_plane;
        if (!query.next(item))
            break;
        if (!unit_plane(item, plane) || (plane - hit_plane).length_sq() >= coplanar_tolerance)
            continue;
        const vec3_t corners[3] = {*item.vertex[0], *item.vertex[1], *item.vertex[2]};
        clip_triangle(frame, local_hit, corners, half.width, half.height, polygon);
        if (!polygon.empty() && !append_polygon(instance, polygon, half, params))
            break;
    }
    query.clear();
    return finish_instance(hit.geometry, keep);
}
