#include "road/segment_terrain_grid.h"

#include <algorithm>
#include <cmath>

#include "road/base_ctrl.h"
#include "road/seg_server.h"
#include "road/segment.h"
#include "road/segment_terrain.h"

namespace {

// Length of a row of a terrain-only edge.
constexpr float variant_row_length = 400.0f;
constexpr float cell_width = 400.0f;

}  // namespace

bool segment_terrain_grid(base_ctrl_e& controller, map_edge_t& edge, segment_terrain_grid_t& out)
{
    out = segment_terrain_grid_t{};
    seg_server_t* server = controller.seg_server;
    const map_node_t* start = segment_node(controller, edge.nodes[0]);
    const map_node_t* end = segment_node(controller, edge.nodes[1]);
    if (!server || !start || !end || edge.kind != map_edge_road)
        return false;
    const road_curve_t curve(*start, *end, edge.length);
    terrain_side_input_t sides[2];
    out.terrain_only = (edge.flags & map_edge_terrain_only) != 0;
    if (out.terrain_only) {
        out.rows = std::max(1, static_cast<int32_t>(std::ceil(edge.length / variant_row_length)));
        sides[1].width = segment_strip_width(edge, 1);
    } else {
        if (edge.definition < 0 || static_cast<size_t>(edge.definition) >= server->road_defs.size())
            return false;
        const road_def_t& def = server->road_defs[static_cast<size_t>(edge.definition)];
        if (def.bytes == 0 || def.part_count < 1 || !(def.length() > 0.0f))
            return false;
        out.rows = std::max(1, static_cast<int32_t>(std::ceil(edge.length / def.length())));
        // The same sides as the road's build.
        const road_section_t& surface = def.parts[0];
        sides[1].offset = -surface.left_xy[0];
        sides[1].edge_height = surface.left_xy[1];
        sides[0].offset = -surface.right_xy[0];
        sides[0].edge_height = surface.right_xy[1];
        for (int side = 0; side < 2; ++side)
            sides[side].width = segment_strip_width(edge, side);
    }
    vec3_t p[2], tangent[2], s[2];
    curve.at(0.0f, p[0], tangent[0], s[0]);
    curve.at(1.0f, p[1], tangent[1], s[1]);
    for (int side = 0; side < 2; ++side) {
        terrain_side_input_t& input = sides[side];
        const float reach = input.offset + (side == 1 ? cell_width : -cell_width) * static_cast<float>(input.width);
        input.outer_start = p[0] + s[0] * reach;
        input.outer_end = p[1] + s[1] * reach;
    }
    // A slot of its own, so that the built slot's terrain state is left as it is.
    segment_t scratch_slot;
    segment_setup_terrain(scratch_slot.terrain, controller, edge);
    if (!segment_build_terrain_strips(server->scratch, scratch_slot, edge, curve, out.rows, sides))
        return false;
    for (int side = 0; side < 2; ++side) {
        out.widths[side] = sides[side].width;
        if (sides[side].width > 0)
            out.points[side].assign(scratch_slot.grid_positions[side],
                                    scratch_slot.grid_positions[side] + scratch_slot.grid_points[side]);
    }
    return true;
}
