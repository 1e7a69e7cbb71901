#pragma once
#include "engine/vec.h"

class economy_world_t;
struct c_item_t;
struct psm_t;

// The target marker: an animated model standing at the point where the player's job is delivered. It
// holds its model and its shader from its load until it is released (or destroyed).
class economy_target_marker_t {
public:
    economy_target_marker_t() = default;
    ~economy_target_marker_t() { release(); }
    economy_target_marker_t(const economy_target_marker_t&) = delete;
    economy_target_marker_t& operator=(const economy_target_marker_t&) = delete;

    // Loads the model with its shader and its looping animation, lit by `world`'s lights; without the
    // model file there is no marker.
    void load(economy_world_t& world);
    void release();
    // Draws the marker standing at `at`, its animation advanced by `dt` seconds.
    void draw(const vec3_t& at, float dt);
    // The marker's model (null while there is none).
    psm_t* model() const { return model_; }

private:
    psm_t* model_ = nullptr;
    // The shader, held while the model lives.
    c_item_t* shader_ = nullptr;
};
