#pragma once
#include <string>

#include "engine/vec.h"

// Where the player's truck is, read from what the model library drew: the base model of its make, the
// one nearest where the truck was last seen (the traffic may draw trucks of the same make).
struct truck_pose_t {
    vec3_t position;
    // The truck's forward axis (its local -Z) in the world.
    vec3_t forward{0.0f, 0.0f, -1.0f};
};

class truck_tracker_t {
public:
    // Follows the trucks of make `make` whose base model's path starts with
    // "/makes/truck/<make>/acc/base/", starting from `start`.
    truck_tracker_t(const std::string& make, const vec3_t& start);

    // Reads the last frame's records; false when no base model of the make was drawn.
    bool update();
    const truck_pose_t& pose() const { return pose_; }

private:
    std::string base_prefix_;
    truck_pose_t pose_;
    int last_frame_ = -1;
};
