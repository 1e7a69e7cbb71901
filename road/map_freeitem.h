#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"
#include "physics/cd_bounds.h"

// A free item: one model placed freely on the map. 23 words in memory; the map file leaves out the last
// two.
struct map_freeitem_t {
    // Free-item model of the segment server (-1 none: no collision either).
    int32_t model;
    // Look of the model.
    int32_t look;
    vec3_t position;
    // The three angles of its rotation, in degrees.
    vec3_t rotation;
    // Bit 0: the item takes part in road collision.
    uint32_t flags;
    // Two words carried unchanged.
    int32_t words[2];
    // Five-axis bounds (words 11-20).
    cd_bounds_t bounds;
    // Memory only: the low byte is set while the item is shown.
    uint32_t shown;
    // Memory only: handle of its node in the list of shown free items, 0 none.
    uint32_t shown_node;
};
static_assert(sizeof(map_freeitem_t) == 92 && offsetof(map_freeitem_t, bounds) == 44 &&
              offsetof(map_freeitem_t, shown) == 84);
