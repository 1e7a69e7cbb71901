#pragma once
#include <cstdint>

#include "engine/vec.h"

class game_ctrl_e;
class ctrl_environment_t;

// The sky-swap state: the zone the truck is in and the skies it blends between.
struct sky_swap_state_t {
    int32_t item = -1;
    float near_point[2] = {};
    float far_point[2] = {};
    float direction[2] = {};
    float length = 0.0f;
    int32_t far_sky = -1;
    int32_t near_sky = -1;
    int32_t current_sky = -1;
};

// The sky-swap zones of a game world: a truck that comes within 30 m of either end of a zone's line
// enters it, and while it drives along the line the sky blends from the near end's to the far end's.
class sky_swap_t {
public:
    explicit sky_swap_t(game_ctrl_e& ctrl) : ctrl_(ctrl) {}
    sky_swap_t(const sky_swap_t&) = delete;
    sky_swap_t& operator=(const sky_swap_t&) = delete;

    // One frame with the truck at `position`: enters a zone, blends, or leaves it.
    void update(const vec3_t& position, ctrl_environment_t& environment);

    // The saved state, and a read one taken over as it was checked.
    const sky_swap_state_t& saved() const { return state_; }
    void restore(const sky_swap_state_t& state) { state_ = state; }

private:
    // Enters the first listed zone whose end lies within reach of (x, z).
    void enter(float x, float z, ctrl_environment_t& environment);

    game_ctrl_e& ctrl_;
    sky_swap_state_t state_;
};
