#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"

class base_ctrl_e;
struct map_edge_t;

// The terrain grid beside a Road edge as its build lays it out: per side (0 the first, 1 the second)
// (width + 1) points for each of rows + 1 cross-sections. Cell (row g, cell k) of a side has the
// corners (g, k), (g, k + 1), (g + 1, k + 1), (g + 1, k); cell 0 of a road with a surface is its
// transition to the terrain.
struct segment_terrain_grid_t {
    int32_t rows = 0;
    int32_t widths[2] = {};
    // The edge has no road surface (terrain only): its cells count from the road's middle line.
    bool terrain_only = false;
    std::vector<vec3_t> points[2];

    const vec3_t& at(int side, int32_t row, int32_t cell) const
    {
        return points[side]
                     [static_cast<size_t>(row) * static_cast<size_t>(widths[side] + 1) + static_cast<size_t>(cell)];
    }
};

// Lays out the terrain grid of Road `edge` of `controller` into `out`; false when the edge cannot be
// built (no definition, nodes or scratch).
bool segment_terrain_grid(base_ctrl_e& controller, map_edge_t& edge, segment_terrain_grid_t& out);
