#include "engine/random.h"

#include "engine/host.h"
#include "engine/reset.h"

namespace {

// The engine's own source; seeded from the host's seed at its first draw after start or reset.
randomizer_t engine_source;
bool engine_source_seeded = false;

randomizer_t& source()
{
    if (!engine_source_seeded) {
        engine_source.seed(host_settings().seed);
        engine_source_seeded = true;
    }
    return engine_source;
}

}  // namespace

void random_reset() { engine_source_seeded = false; }

void randomizer_t::seed(uint32_t seed_value) { state_ = seed_value; }

uint32_t randomizer_t::next_u32()
{
    // splitmix64: every seed, 0 included, gives a well mixed sequence.
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<uint32_t>(z >> 32);
}

float randomizer_t::rand()
{
    // 24 bits fill a float's mantissa exactly, so the result is below 1.0 without rounding up.
    return static_cast<float>(next_u32() >> 8) * (1.0f / 16777216.0f);
}

ENGINE_API float sys_rand() { return source().rand(); }
ENGINE_API uint32_t sys_get_random_seed() { return source().next_u32(); }

static engine_reset_registrar_t random_reset_registrar(reset_order_core, random_reset);
