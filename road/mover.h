#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"
#include "road/map_miscitem.h"

// Movers are misc items of type 7 that carry a model along their waypoints: straight from point to
// point at a rate per segment, or along smooth curves at a fixed speed; they run round, or back and
// forth (ping-pong), and may pause at the ends of their path. Their whole state is in the record's
// progress and flag words, so a saved map restarts them where they were.

// Where a mover's model stands after a step.
struct mover_pose_t {
    vec3_t position;
    // The identity unless the mover is oriented along its path.
    quat_t rotation;
};

// What one step did to a mover.
struct mover_step_t {
    // False while the mover pauses (nothing moved) and for a mover without a path.
    bool moved = false;
    // Current segment and progress along it (0 at its first waypoint, 1 at its second).
    int32_t segment = 0;
    float progress = 0.0f;
};

// Bits of the progress word that hold the progress (in millionths) or the pause (in milliseconds).
constexpr uint32_t mover_progress_mask = 0x0FFFFFFF;
// Shift of the current segment in the progress word.
constexpr int mover_segment_shift = 28;

// The instance word of a mover whose moving model could not be made: it is not tried again until the
// mover is switched off and on.
constexpr uint32_t mover_refused = 0xFFFFFFFFu;

// Advances the mover `item` by `dt` seconds, updating its progress and flag words.
mover_step_t mover_advance(map_miscitem_t& item, float dt);
// The pose of the mover `item` at `segment` and `progress` (as mover_advance answers them).
mover_pose_t mover_pose(const map_miscitem_t& item, int32_t segment, float progress);
// The pose of the mover `item` as its record stands (while it pauses: at the end it waits at).
mover_pose_t mover_pose_now(const map_miscitem_t& item);
