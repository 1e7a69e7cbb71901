#pragma once
#include <cstdint>

#include "engine/vec.h"

class base_ctrl_e;
class segment_t;
class seg_server_t;
class terrain_profile_t;
class seg_scratch_t;
struct map_edge_t;
struct map_node_t;

// Widest terrain strip a side may have, in cells of 400 cm: the profile gives heights this far out.
constexpr int32_t segment_max_strip_width = 32;

// The strip width of side `side` of `edge`, held to 0 .. segment_max_strip_width.
int32_t segment_strip_width(const map_edge_t& edge, int side);

// The curve of an edge: its two nodes with tangents of a third of its length along their directions.
struct road_curve_t {
    vec3_t start;
    vec3_t start_tangent;
    vec3_t end;
    vec3_t end_tangent;

    road_curve_t(const map_node_t& from, const map_node_t& to, float length);
    // The point, the tangent and the side vector (tangent x up, normalised) at `t`.
    void at(float t, vec3_t& point, vec3_t& tangent, vec3_t& side) const;
};

// Where a side's terrain strip starts and how far it reaches: the lateral offset of the road's edge
// (positive towards the side vector), the height of that edge, the strip width in cells, and the
// strip's outer corners at t 0 and t 1.
struct terrain_side_input_t {
    float offset = 0.0f;
    float edge_height = 0.0f;
    int32_t width = 0;
    vec3_t outer_start;
    vec3_t outer_end;
};

// Sets the terrain profile `terrain` for `edge`: both sides' profiles and the neighbours at its ends
// (a prefab's terrain heights before the start, the Road or prefab after the end).
void segment_setup_terrain(terrain_profile_t& terrain, base_ctrl_e& controller, const map_edge_t& edge);

// Fills the terrain grids of `slot` (side 1 the second side, side 0 the first) for `rows` rows of
// `curve`: column 0 on the road's edge, each further column 400 out, heights from the slot's terrain
// profile, and area-weighted normals (not normalised). The grids live in the segment server's scratch.
// False when the scratch cannot be had.
bool segment_build_terrain_strips(seg_scratch_t& scratch, segment_t& slot, const map_edge_t& edge,
                                  const road_curve_t& curve, int32_t rows, const terrain_side_input_t sides[2]);

// The lateral offset of column `column` (0 the road's edge) of a side whose road edge lies at `offset`:
// 100 beyond the edge for column 1 and 400 further for each next one, outwards on that side.
float segment_column_offset(int side, float offset, int32_t column);
