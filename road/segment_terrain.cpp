#include "road/segment_terrain.h"

#include <algorithm>

#include "engine/geometry.h"
#include "road/base_ctrl.h"
#include "road/segment.h"

namespace {

constexpr vec3_t up_axis(0.0f, 1.0f, 0.0f);

// The heights of profile `profile` of the segment server, null for none or one it does not hold.
const float* profile_heights(const seg_server_t* server, const int32_t profile)
{
    if (!server || profile < 0 || static_cast<size_t>(profile) >= server->profiles.size())
        return nullptr;
    return server->profiles[static_cast<size_t>(profile)].heights;
}

// The node slot (0-3) of `node` among the prefab edge's node words, -1 none.
int32_t node_slot(const map_edge_t& edge, const int32_t node)
{
    for (int32_t slot = 0; slot < 4; ++slot)
        if (edge.nodes[slot] == node)
            return slot;
    return -1;
}

// The prefab node whose terrain heights a Road meets at `node`, where prefab edge `edge` lies.
const prefab_node_t* prefab_terrain_record(base_ctrl_e& controller, map_edge_t& edge, const int32_t node)
{
    const int32_t slot = node_slot(edge, node);
    if (slot < 0)
        return nullptr;
    const prefab_t* prefab = controller.get_prefab_def(edge, nullptr);
    if (!prefab || prefab->nodes.empty())
        return nullptr;
    const auto count = static_cast<int32_t>(prefab->nodes.size());
    const int32_t record = ((edge.centre_word + slot) % count + count) % count;
    return &prefab->nodes[static_cast<size_t>(record)];
}

// Adds the normal of the triangle (a, b, c) to each of its corners.
void add_triangle_normal(vec3_t* normals, const vec3_t* points, const size_t a, const size_t b, const size_t c,
                         const bool flip)
{
    vec3_t normal = (points[b] - points[a]).cross(points[c] - points[a]);
    if (flip)
        normal = -normal;
    normals[a] += normal;
    normals[b] += normal;
    normals[c] += normal;
}

}  // namespace

int32_t segment_strip_width(const map_edge_t& edge, const int side)
{
    return std::clamp(edge.sides[side].strip_width, 0, segment_max_strip_width);
}

road_curve_t::road_curve_t(const map_node_t& from, const map_node_t& to, const float length)
    : start(from.position), start_tangent(from.direction * (length / 3.0f)), end(to.position),
      end_tangent(to.direction * (length / 3.0f))
{}

void road_curve_t::at(const float t, vec3_t& point, vec3_t& tangent, vec3_t& side) const
{
    smooth_curve(start, start_tangent, end, end_tangent, t, point, &tangent);
    side = tangent.cross(up_axis).normalized();
}

float segment_column_offset(const int side, const float offset, const int32_t column)
{
    if (column == 0)
        return offset;
    const float out = 100.0f + 400.0f * static_cast<float>(column - 1);
    return side == 1 ? offset + out : offset - out;
}

void segment_setup_terrain(terrain_profile_t& terrain, base_ctrl_e& controller, const map_edge_t& edge)
{
    const seg_server_t* server = controller.seg_server;
    terrain.setup_cross_section(edge, profile_heights(server, edge.sides[0].profile),
                                profile_heights(server, edge.sides[1].profile));
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (start && controller.edges.valid(start->links[0])) {
        map_edge_t& before = controller.edges[start->links[0]];
        if (map_edge_kind_is_prefab(before.kind))
            if (const prefab_node_t* record = prefab_terrain_record(controller, before, edge.nodes[0]))
                terrain.set_start_prefab(record->terrain_heights[0], record->terrain_heights[1]);
    }
    if (end && controller.edges.valid(end->links[1])) {
        map_edge_t& after = controller.edges[end->links[1]];
        if (after.kind == map_edge_road)
            terrain.set_end_road(after, profile_heights(server, after.sides[0].profile),
                                 profile_heights(server, after.sides[1].profile));
        else if (map_edge_kind_is_prefab(after.kind))
            if (const prefab_node_t* record = prefab_terrain_record(controller, after, edge.nodes[1]))
                terrain.set_end_prefab(record->terrain_heights[0], record->terrain_heights[1]);
    }
}

bool segment_build_terrain_strips(seg_scratch_t& scratch, segment_t& slot, const map_edge_t& edge,
                                  const road_curve_t& curve, const int32_t rows, const terrain_side_input_t sides[2])
{
    for (int side = 0; side < 2; ++side) {
        const int32_t width = sides[side].width;
        slot.grid_points[side] = width > 0 ? static_cast<size_t>(width + 1) * static_cast<size_t>(rows + 1) : 0;
    }
    // Second side's positions, first side's positions, then their normals.
    vec3_t* arrays[4];
    if (!scratch.request(static_cast<int32_t>(slot.grid_points[1]), static_cast<int32_t>(slot.grid_points[0]), arrays))
        return false;
    slot.grid_positions[1] = arrays[0];
    slot.grid_positions[0] = arrays[1];
    slot.grid_normals[1] = arrays[2];
    slot.grid_normals[0] = arrays[3];
    for (int32_t g = 0; g < rows; ++g) {
        slot.terrain.setup_terrain_falloff(g, rows);
        const float t[2] = {static_cast<float>(g) / static_cast<float>(rows),
                            g + 1 == rows ? 1.0f : static_cast<float>(g + 1) / static_cast<float>(rows)};
        vec3_t point[2], tangent[2], side_vector[2];
        for (int end = 0; end < 2; ++end)
            curve.at(t[end], point[end], tangent[end], side_vector[end]);
        for (int side = 0; side < 2; ++side) {
            const terrain_side_input_t& input = sides[side];
            if (input.width <= 0)
                continue;
            vec3_t* grid = slot.grid_positions[side];
            const auto stride = static_cast<size_t>(input.width + 1);
            for (int end = (g == 0 ? 0 : 1); end < 2; ++end) {
                const int32_t row = g + end;
                vec3_t outer;
                smooth_curve(input.outer_start, curve.start_tangent, input.outer_end, curve.end_tangent, t[end], outer,
                             nullptr);
                // The direction that, times a lateral offset, leads outwards on this side.
                vec3_t outward = outer - point[end];
                outward.normalize();
                if (side == 0)
                    outward = -outward;
                const vec3_t& s = side_vector[end];
                grid[static_cast<size_t>(row) * stride] =
                    point[end] + s * input.offset + vec3_t(0.0f, input.edge_height, 0.0f);
                for (int32_t k = 0; k < input.width; ++k) {
                    const vec3_t direction =
                        s + (outward - s) * (static_cast<float>(k) / static_cast<float>(input.width));
                    vec3_t at = point[end] + direction * segment_column_offset(side, input.offset, k + 1);
                    if (static_cast<float>(k) + input.edge_height > 0.0f)
                        at.y += slot.terrain.terrain_height(side, edge.noise_row + row, k + 1, end == 1) +
                                input.edge_height;
                    grid[static_cast<size_t>(row) * stride + static_cast<size_t>(k + 1)] = at;
                }
            }
        }
    }
    for (int side = 0; side < 2; ++side) {
        const int32_t width = sides[side].width;
        if (width <= 0)
            continue;
        const auto stride = static_cast<size_t>(width + 1);
        const vec3_t* grid = slot.grid_positions[side];
        vec3_t* normals = slot.grid_normals[side];
        // The first side's columns run the other way across the road, so its triangles turn the other way.
        const bool flip = side == 0;
        for (size_t g = 0; g < static_cast<size_t>(rows); ++g) {
            for (size_t k = 0; k + 1 < stride; ++k) {
                const size_t a = g * stride + k, b = a + 1, c = a + stride, d = c + 1;
                add_triangle_normal(normals, grid, a, b, c, flip);
                add_triangle_normal(normals, grid, d, c, b, flip);
            }
        }
    }
    return true;
}
