#include "engine/clock.h"

#include <chrono>
#include <cmath>

#include "engine/log.h"
#include "engine/reset.h"

namespace {

double game_time = 0.0;
float last_delta = 0.0f;
uint64_t ticks = 0;  // advanced only by frames, so it never runs backwards
bool ticks_pinned = false;
uint64_t pinned_ticks = 0;

void clock_reset()
{
    game_time = 0.0;
    last_delta = 0.0f;
    ticks = 0;
    ticks_pinned = false;
    pinned_ticks = 0;
}

}  // namespace

ENGINE_API double sys_get_time() { return game_time; }

ENGINE_API void sys_set_time(double seconds)
{
    if (!std::isfinite(seconds)) {
        error("sys_set_time: time %g is not a number of seconds", seconds);
        return;
    }
    game_time = seconds;
}

ENGINE_API float sys_get_lastdelta() { return last_delta; }

ENGINE_API uint64_t tmr_read() { return ticks_pinned ? pinned_ticks : ticks; }

ENGINE_API uint64_t tmr_get_cycles()
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
}

ENGINE_API double tmr_cycles_to_usec(uint64_t cycles) { return static_cast<double>(cycles) / 1000.0; }

void sys_advance_frame(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0.0) {
        error("frame time %g is not a non-negative number of seconds; the frame counts as 0", seconds);
        seconds = 0.0;
    }
    last_delta = static_cast<float>(seconds);
    game_time += seconds;
    ticks += static_cast<uint64_t>(std::llround(seconds * 1e6));
}

void tmr_set_for_test(uint64_t value)
{
    ticks_pinned = true;
    pinned_ticks = value;
}

void tmr_release_for_test() { ticks_pinned = false; }

static engine_reset_registrar_t clock_reset_registrar(reset_order_core, clock_reset);
