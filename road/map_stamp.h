#pragma once
#include <cstdint>

// A brush laid over the terrain beside an edge; an edge owns a group of four.
struct map_stamp_t {
    // Brush of the segment server (-1: no stamp).
    int32_t brush;
    // Terrain shader the brush blends into (-1 none).
    int32_t shader;
    // Row of the brush's centre along the edge and column across the strip (negative: first side).
    int32_t row;
    int32_t column;
};
static_assert(sizeof(map_stamp_t) == 16);

// Records in one stamp group.
constexpr int map_stamp_group_size = 4;
