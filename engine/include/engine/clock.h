#pragma once
#include <cstdint>

#include "engine/api.h"

// The engine's clocks. Game time advances by the host's frame time (fixed unless the host runs in
// wall-clock mode), so a run is reproducible; timer ticks follow game time at one tick per
// microsecond. Only the profiling cycle counter reads the real clock.

// Seconds of game time since the start (or since the last sys_set_time).
ENGINE_API double sys_get_time();
// Sets the game time to `seconds`.
ENGINE_API void sys_set_time(double seconds);
// Length of the last frame in seconds (0 before the first frame).
ENGINE_API float sys_get_lastdelta();

// 64-bit timer ticks (microseconds of game time).
ENGINE_API uint64_t tmr_read();
// Profiling counter (nanoseconds of the real monotonic clock).
ENGINE_API uint64_t tmr_get_cycles();
// Microseconds in a span of profiling counts.
ENGINE_API double tmr_cycles_to_usec(uint64_t cycles);

// Host side: one frame of `seconds` starts (the frame loop calls this before ticking processes).
void sys_advance_frame(double seconds);
// Test hook: pins tmr_read at `ticks` until tmr_release_for_test or engine_reset.
void tmr_set_for_test(uint64_t ticks);
void tmr_release_for_test();
