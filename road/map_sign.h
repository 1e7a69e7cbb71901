#pragma once
#include <cstddef>
#include <cstdint>

// A sign beside an edge: up to three boards, each with two symbols, an arrow and a compass direction.
// Eleven words; the map file stores word 9 third (see road/map_file_layout.h).
struct map_sign_t {
    // Sign definition of the segment server.
    int32_t definition;
    // The edge that carries the sign.
    int32_t edge;
    // Lateral offset in centimetres.
    int32_t offset;
    // First and second symbol of boards 0, 1 and 2 (-1 blank).
    int32_t first_symbols[3];
    int32_t second_symbols[3];
    // Bits 0-1, 4-5, 8-9 the boards' arrows; 12-15, 16-19, 20-23 their compass directions; bit 28 the
    // left road side.
    uint32_t board_flags;
    // Position along the edge: the curve parameter, 0 at the start node, 1 at the end node.
    float position;
};
static_assert(sizeof(map_sign_t) == 44 && offsetof(map_sign_t, board_flags) == 36);
