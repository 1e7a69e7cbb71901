#pragma once
#include <cstdint>

#include "engine/vec.h"

class segment_t;
class seg_server_t;
struct map_edge_t;
struct veg_look_t;

// The plants scattered over one side's terrain strip of a Road build, row by row, with the slot's
// randomizer so that a rebuild places the same plants.
class segment_vegetation_t {
public:
    // Takes the look of `side` (0 first, 1 second) of `edge` over a strip `width` cells wide; the side
    // scatters nothing when it has no look the server holds, no column of the look lies on the strip,
    // or the look's spacing is not positive.
    void set_up(const seg_server_t& server, const map_edge_t& edge, int side, int32_t width);
    // Scatters the plants of grid row `row` of the strip whose points are `grid` and `normals`
    // (`stride` per row), rows `row_length` long, until the slot keeps its most instances. The rotation
    // numbers follow on from `rotation`.
    void scatter_row(segment_t& slot, seg_server_t& server, const vec3_t* grid, const vec3_t* normals, int32_t stride,
                     int32_t row, float row_length, uint32_t& rotation);

private:
    const veg_look_t* look_ = nullptr;
    int32_t columns_ = 0;
    float jitter_ = 0.0f;
    // How far along the strip the next plant stands from the start of the current row.
    float distance_ = 0.0f;
};
