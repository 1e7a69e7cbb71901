#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"

// Reservation of a semaphore that was never used, and of a free one.
constexpr int32_t map_semaphore_unused = -1000;
constexpr int32_t map_semaphore_free = -10;
// Light states: vehicles may go, vehicles stop.
constexpr int32_t map_light_open = -10;
constexpr int32_t map_light_closed = -20;

// A traffic-light semaphore of a lit crossing (memory only; the map file holds only their count).
struct map_semaphore_t {
    // map_semaphore_unused, map_semaphore_free or the value of the vehicle holding it.
    int32_t reservation;
    // map_light_open or map_light_closed.
    int32_t light;
    // Waiting time in seconds, or 0.
    int32_t wait;
    // The stop point it guards.
    vec3_t position;
};
static_assert(sizeof(map_semaphore_t) == 24);
