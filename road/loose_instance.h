#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"

class phys_body_t;

// Bits of a loose instance's flag word.
constexpr uint32_t loose_carried = 1;    // a pooled box carries it
constexpr uint32_t loose_kind_near = 2;  // its box contacts as kind -3 rather than -4

// An object the road builds place loose beside the road (a sign board, a barrier) that can be knocked
// over: the segment server keeps them in a list while their segments are built, and the game
// controller's box pool lends the nearest of them a physics box.
struct loose_instance_t {
    vec3_t position;
    quat_t orientation;
    uint32_t flags = 0;
    // The body carrying it, null none; and the pool entry of that body, -1 none.
    phys_body_t* body = nullptr;
    int32_t box = -1;
    // Sizes of its first and second box: a box is lent only when the first is at least 1 long, a
    // second box only when the second is longer than 1.
    vec3_t boxes[2];
    // Centres of the two boxes from its position, turned by its orientation.
    vec3_t box_centres[2];
};
