#include "road/game_clock.h"

#include <cmath>

bool game_clock_advance(float& clock, const double dt)
{
    clock = static_cast<float>(clock + dt * game_clock_speed);
    if (clock < game_clock_week)
        return false;
    clock -= game_clock_week;
    return true;
}

bool game_clock_is_night(const float clock)
{
    const auto second = static_cast<int64_t>(std::lround(clock));
    const int64_t hour = second / 3600 % 24;
    return hour < 6 || hour > 19;
}
