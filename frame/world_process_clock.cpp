#include "frame/world_process_clock.h"

void world_clock_advance(float& accumulator, double frame_seconds, const std::function<void(float)>& step)
{
    const double pending = static_cast<double>(accumulator) + frame_seconds;
    accumulator = static_cast<float>(pending);
    // The first test sees the double sum, later ones the stored float.
    bool more = pending > world_step_seconds;
    while (more) {
        step(0.02f);
        accumulator -= world_step_seconds;
        more = accumulator > world_step_seconds;
    }
    step(accumulator);
    accumulator = 0.0f;
}
