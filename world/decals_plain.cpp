#include "world/decals_plain.h"

#include <cmath>

#include "physics/cd_geo.h"
#include "physics/tri_query.h"
#include "physics/tri_tests.h"

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

// The triangle of `hit.geometry` that the line through the hit point along the placement direction
// meets within `extent` of the point (the nearest such); cd_item_none when there is none. A placement
// spread over every geometry of a box hands each one the first hit's point without its triangle.
uint32_t triangle_under(const decal_hit_t& hit, float extent)
{
    const vec3_t local = hit.point - hit.geometry->pose.position;
    const vec3_t start = local - hit.direction * extent;
    const vec3_t along = hit.direction * (2.0f * extent);
    cd_tri_query_t query;
    const vec3_t reach{extent, extent, extent};
    query.begin(hit.geometry, hit.point - reach, hit.point + reach);
    cd_item_t item;
    uint32_t best = cd_item_none;
    float nearest = 2.0f;
    for (item.request = cd_item_t::request_vertices; query.next(item); item.request = cd_item_t::request_vertices) {
        float fraction = 0.0f;
        if (item.vertex_count == 3 &&
            cd_triangle_segment_test(*item.vertex[0], *item.vertex[1], *item.vertex[2], start, along, &fraction) &&
            std::fabs(fraction - 0.5f) < nearest) {
            nearest = std::fabs(fraction - 0.5f);
            best = item.id;
        }
    }
    query.clear();
    return best;
}

}  // namespace

bool decals_plain_e::place(const decal_hit_t& hit, const decal_params_t* params, bool keep)
{
    if (!hit.geometry || max_points < 3)
        return false;
    const half_sizes_t half = half_sizes(params, true);
    const float extent = vec3_t{half.width, half.height, half.depth}.length();
    const uint32_t hit_triangle = hit.item != cd_item_none ? hit.item : triangle_under(hit, extent);
    if (hit_triangle == cd_item_none)
        return false;
    cd_item_t hit_item;
    hit_item.id = hit_triangle;
    hit_item.request = cd_item_t::request_vertices | cd_item_t::request_plane;
    hit.geometry->get_item(hit_item, 0);
    vec4_t hit_plane;
    // A decal shot at a surface the world does not draw is not placed.
    if (!hit_item.drawn || !unit_plane(hit_item, hit_plane))
        return false;

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
        if (!item.drawn || !unit_plane(item, plane) || (plane - hit_plane).length_sq() >= coplanar_tolerance)
            continue;
        const vec3_t corners[3] = {*item.vertex[0], *item.vertex[1], *item.vertex[2]};
        clip_triangle(frame, local_hit, corners, half.width, half.height, polygon);
        if (!polygon.empty() && !append_polygon(instance, polygon, half, params))
            break;
    }
    query.clear();
    return finish_instance(hit.geometry, keep);
}
