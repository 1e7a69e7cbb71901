#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"
#include "physics/cd_bounds.h"

// Types of a misc item (word 0 of map_miscitem_t).
enum map_misc_type_t : int32_t {
    map_misc_none = 0,
    map_misc_sky_swap = 1,
    map_misc_gas_station = 2,
    map_misc_service = 3,
    map_misc_truck_stop = 4,
    map_misc_scales = 5,
    map_misc_cut_plane = 6,
    map_misc_mover = 7,
    map_misc_headquarters = 9,
    map_misc_dealer = 10,
    map_misc_no_weather = 11,
};

// Bits of a misc item's flag word (word 33).
enum map_misc_flag_t : uint32_t {
    map_misc_segments_mask = 0x3,  // segments of a mover's path (points less one)
    map_misc_ping_pong = 0x4,      // runs back and forth instead of jumping back to the start
    map_misc_orient = 0x8,         // the moving instance faces along its path
    map_misc_backwards = 0x10,     // moving from the last point towards the first
    map_misc_curve = 0x20,         // moves along smooth curves at a fixed speed
    map_misc_pausing = 0x40,       // waiting at an end of its path
    map_misc_night = 0x80,         // enabled at night
};

// A misc item: a special place or volume of the map (sky swaps, stations, cut planes, movers,
// headquarters, no-weather areas). 48 words in memory; the map file leaves out the last two.
struct map_miscitem_t {
    int32_t type;
    // Up to four waypoints (words 1-12) and their tangents (words 13-24).
    vec3_t points[4];
    vec3_t tangents[4];
    // Four words by type: a mover's timing of each segment, the last also holding the curve speed
    // (bits 0-15) and the pause at each end in seconds (bits 16-30).
    int32_t params[4];
    // A mover's moving model and look; a no-weather area's width and height; word 29 of a headquarters
    // is its shown marker.
    int32_t model_words[2];
    // A mover's progress: bits 0-27 in millionths, or the remaining pause in milliseconds; bits 28-31
    // the current segment.
    uint32_t progress;
    // Handle of the run-time instance, 0 until created.
    uint32_t instance;
    // See map_misc_flag_t.
    uint32_t flags;
    // Two words carried unchanged.
    int32_t words[2];
    // Five-axis bounds (words 36-45).
    cd_bounds_t bounds;
    // Memory only: the point selected in the editor, -1 none.
    int32_t selected_point;
    // Memory only: non-zero while the item is in an active list.
    uint32_t active;
};
static_assert(sizeof(map_miscitem_t) == 192 && offsetof(map_miscitem_t, params) == 100 &&
              offsetof(map_miscitem_t, flags) == 132 && offsetof(map_miscitem_t, bounds) == 144 &&
              offsetof(map_miscitem_t, active) == 188);
