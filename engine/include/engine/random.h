#pragma once
#include <cstdint>

#include "engine/api.h"

// Random numbers. The engine's own source seeds itself from the host's seed (host_settings().seed) at
// its first draw, and again after engine_reset, so a run with the same seed draws the same numbers.

// Uniform float in [0, 1) from the engine's source.
ENGINE_API float sys_rand();
// A 32-bit seed for a private generator, drawn from the engine's source.
ENGINE_API uint32_t sys_get_random_seed();

// Makes the engine's source reseed itself from the host's seed at its next draw.
void random_reset();

// A private generator: the same seed always gives the same sequence, whatever else draws numbers.
class randomizer_t {
public:
    // A generator seeded with `seed_value`.
    explicit randomizer_t(uint32_t seed_value = 0) { seed(seed_value); }
    // Restarts the sequence of `seed_value`.
    void seed(uint32_t seed_value);
    // Next uniform float in [0, 1).
    float rand();
    // Next 32 random bits.
    uint32_t next_u32();

private:
    uint64_t state_ = 0;
};
