#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"

// Where a geometry stands: position and orientation (seven floats).
struct phys_pose_t {
    vec3_t position;
    quat_t orientation;
};

// What a swept test reports: the pose it reached and the normal of the surface that stopped it.
struct phys_sweep_out_t {
    phys_pose_t pose;
    vec3_t normal;
};

// Mode bits of a swept test.
enum phys_sweep_mode_t : uint32_t {
    sweep_fresh = 1,   // empty the contact list first
    sweep_pose = 4,    // report the pose reached
    sweep_normal = 8,  // report the normal of the impact
};
