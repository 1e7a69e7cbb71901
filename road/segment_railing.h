#pragma once
#include <cstdint>

#include "engine/vec.h"

class base_ctrl_e;
struct map_edge_t;
struct railing_def_t;

// The railing of one side of an edge as it is built: its record, and whether the edge starts and
// ends the railing's run (a neighbour with the same railing on the same side continues it instead).
struct edge_railing_t {
    const railing_def_t* def = nullptr;
    bool begin = false;
    bool end = false;
};

// The railing of side `side` of `edge`: none when the side names no railing the segment server holds
// with a usable middle piece.
edge_railing_t segment_edge_railing(base_ctrl_e& controller, const map_edge_t& edge, int side);

// Where a railing's model vertex (x lateral, y up) lies on a row: between the row's two cross-sections
// (points p, side vectors s) at its t, at lateral `base` + x on the second side and `base` - x on the
// first (mirrored). `base` is the road's outer edge in the model's lateral axis.
vec3_t railing_point(const vec3_t& model, float t, const vec3_t p[2], const vec3_t s[2], float base, int side);
