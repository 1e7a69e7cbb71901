// Debug drawing of collision trees through the graphics path: node boxes and leaf triangles.
#include "physics/cd_debug_draw.h"

#include <climits>
#include <cmath>

#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/cd_geo_box.h"

namespace {

// Colours of node boxes, one per depth, repeating.
constexpr uint32_t depth_colours[] = {0xff00008f, 0xff008f00, 0xff8f0000, 0xff8f8f00, 0xff008f8f, 0xff8f008f};
constexpr int depth_colour_count = sizeof depth_colours / sizeof depth_colours[0];
// Colour of leaf triangles and their normals.
constexpr uint32_t triangle_colour = 0xff0000ff;
// Length of a drawn triangle normal, in centimetres.
constexpr float normal_length = 20.0f;

// Which nodes a walk draws: a depth range and, optionally, a sphere in the geometry's frame.
struct draw_scope_t {
    int first_depth;
    int last_depth;
    bool normals;
    bool in_sphere;
    vec3_t centre;
    float radius;
};

void line(uint32_t colour, const vec3_t& from, const vec3_t& to) { api::gfx_line_plain(colour, &from.x, &to.x); }

// The twelve edges of the node's box on x, y and z.
void draw_box(const cd_bounds_t& bounds, uint32_t colour)
{
    const float* const lo = bounds.minimum;
    const float* const hi = bounds.maximum;
    const vec3_t corner[8] = {{lo[0], lo[1], lo[2]}, {hi[0], lo[1], lo[2]}, {hi[0], hi[1], lo[2]},
                              {lo[0], hi[1], lo[2]}, {lo[0], lo[1], hi[2]}, {hi[0], lo[1], hi[2]},
                              {hi[0], hi[1], hi[2]}, {lo[0], hi[1], hi[2]}};
    static const int edges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                     {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    for (const auto& edge : edges)
        line(colour, corner[edge[0]], corner[edge[1]]);
}

// The leaf's triangles (items of another kind are skipped).
void draw_triangles(cd_geo_t* geometry, const cd_bvnode_t& leaf, bool normals)
{
    for (uint16_t i = 0; i < leaf.count(); ++i) {
        cd_item_t item;
        item.id = leaf.ids()[i];
        item.request = cd_item_t::request_vertices | cd_item_t::request_plane;
        geometry->get_item(item, 1);
        if (item.kind != cd_item_t::kind_triangle || !item.vertex[0] || !item.vertex[1] || !item.vertex[2])
            continue;
        const vec3_t& a = *item.vertex[0];
        const vec3_t& b = *item.vertex[1];
        const vec3_t& c = *item.vertex[2];
        line(triangle_colour, a, b);
        line(triangle_colour, b, c);
        line(triangle_colour, c, a);
        if (normals) {
            const vec3_t middle = (a + b + c) / 3.0f;
            line(triangle_colour, middle, middle + item.plane.xyz() * normal_length);
        }
    }
}

// True when the node's box on x, y and z comes within the scope's sphere.
bool meets_sphere(const cd_bounds_t& bounds, const draw_scope_t& scope)
{
    float distance_sq = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        const float value = scope.centre[axis];
        const float nearest = std::fmin(std::fmax(value, bounds.minimum[axis]), bounds.maximum[axis]);
        distance_sq += (value - nearest) * (value - nearest);
    }
    return distance_sq <= scope.radius * scope.radius;
}

void draw_node(cd_geo_t* geometry, const cd_bvnode_t* node, int depth, const draw_scope_t& scope)
{
    if (!node || depth > scope.last_depth)
        return;
    const cd_bounds_t& bounds = node->bounds;
    if (scope.in_sphere && !meets_sphere(bounds, scope))
        return;
    const vec3_t lo(bounds.minimum[0], bounds.minimum[1], bounds.minimum[2]);
    const vec3_t hi(bounds.maximum[0], bounds.maximum[1], bounds.maximum[2]);
    const vec3_t middle = (lo + hi) * 0.5f;
    // What the camera cannot see, neither can it see of the children.
    if (!api::gfx_sphere_visible(&middle.x, (hi - middle).length()))
        return;
    if (depth >= scope.first_depth) {
        draw_box(bounds, depth_colours[depth % depth_colour_count]);
        if (node->leaf())
            draw_triangles(geometry, *node, scope.normals);
    }
    if (!node->leaf()) {
        draw_node(geometry, node->first, depth + 1, scope);
        draw_node(geometry, node->second, depth + 1, scope);
    }
}

// Draws from `node` (the geometry's whole tree when null) in the geometry's frame.
void draw_tree(cd_geo_t* geometry, const cd_bvnode_t* node, const draw_scope_t& scope)
{
    if (!geometry)
        return;
    if (geometry->frame_dirty) {
        geometry->update_axial();
        geometry->frame_dirty = 0;
    }
    api::gfx_push_mult(&geometry->frame.matrix.m[0][0]);
    if (node) {
        draw_node(geometry, node, 0, scope);
    } else {
        uint32_t handle = 0;
        draw_node(geometry, geometry->get_tree(&handle), 0, scope);
        geometry->release_tree(handle);
    }
    api::gfx_pop();
}

}  // namespace

void cd_geo_box_t::debug_draw(cd_geo_t* geometry, const cd_bvnode_t* node, int first_depth, int last_depth,
                              bool normals)
{
    draw_tree(geometry, node, {first_depth, last_depth, normals, false, vec3_t(), 0.0f});
}

void cd_debug_draw_box(cd_geo_t* geometry, const vec3_t& centre, float radius, bool normals)
{
    if (!geometry)
        return;
    // The frame is translation-only: the sphere moves into it by the position alone.
    const vec3_t local = centre - geometry->pose.position;
    draw_tree(geometry, nullptr, {0, INT_MAX, normals, true, local, radius});
}
