#pragma once
#include <cstdint>

// The game clock: seconds of the game week as a float, 0 being 00:00 of the first day. It runs 80
// times as fast as the frame time and wraps at the end of the week, when the economy settles it.

// Where a game's clock starts: 08:00 of the first day.
constexpr float game_clock_start = 28800.0f;
// Game seconds per frame second.
constexpr double game_clock_speed = 80.0;
// Seconds of a game week.
constexpr float game_clock_week = 604800.0f;

// Advances `clock` by `dt` frame seconds; answers true when it passed the end of the week (and was
// wrapped back into the week).
bool game_clock_advance(float& clock, double dt);

// True at night: from 20:00 to 05:59, the clock rounded to the nearest second.
bool game_clock_is_night(float clock);
