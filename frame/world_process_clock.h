#pragma once
#include <functional>

// Length of one physics step of a world, in seconds.
inline constexpr float world_step_seconds = 0.02f;

// Consumes a frame of `frame_seconds` (plus what `accumulator` holds) in steps of 0.02 s, then one
// remainder step with what is left (0 when the frame added nothing): the whole frame time is
// simulated within the frame and `accumulator` ends at 0.
void world_clock_advance(float& accumulator, double frame_seconds, const std::function<void(float)>& step);
