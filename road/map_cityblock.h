#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"

// Points of a city block's outline that are used; its tables hold two more that are never read.
constexpr int map_cityblock_max_points = 14;
// Entries of each of a city block's tables.
constexpr int map_cityblock_table_size = 16;

// A city block beside a city road: an outline filled with buildings, and its ground polygon. 133 words
// in memory; the map file leaves out word 132.
struct map_cityblock_t {
    // Number of outline points (at most 14; 4 is a closed quadrilateral).
    int32_t point_count;
    // The outline, also the ground polygon's vertices.
    vec3_t points[map_cityblock_table_size];
    // Normals of the ground vertices.
    vec3_t normals[map_cityblock_table_size];
    // Texture coordinates of the ground vertices.
    float texcoords[map_cityblock_table_size][2];
    // Ground shader (a shader table of the segment server).
    int32_t shader;
    // City-block definition.
    int32_t definition;
    // Random seed of its buildings.
    int32_t seed;
    // Memory only: handle of the built instance, 0 none.
    uint32_t instance;
};
static_assert(sizeof(map_cityblock_t) == 532 && offsetof(map_cityblock_t, normals) == 196 &&
              offsetof(map_cityblock_t, texcoords) == 388 && offsetof(map_cityblock_t, shader) == 516);
