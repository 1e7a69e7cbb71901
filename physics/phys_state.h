#pragma once
#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"

// The pose-and-mass record that a rigid body and a free collision geometry both carry: the geometry
// holds the current state, the body the next one that integration writes.
struct phys_state_t {
    // Integrated part: body-frame angular velocity (radians per second), orientation (body to world),
    // world linear velocity (centimetres per second) and world position of the centre of mass.
    vec3_t angular_velocity;
    quat_t orientation;
    vec3_t linear_velocity;
    vec3_t position;
    // Copied from the body when a geometry is attached.
    float inverse_mass = 0.0f;
    // Body-frame tensors (the 3 x 3 part is used; the fourth diagonal element is 0).
    mat4_t inertia;
    mat4_t inverse_inertia;
    // Derived from the orientation: rotation (body to world), its inverse, and the tensors turned into
    // the world frame as rotation x tensor x inverse rotation.
    mat4_t rotation = mat4_t::identity();
    mat4_t inverse_rotation = mat4_t::identity();
    mat4_t world_inertia = mat4_t::identity();
    mat4_t world_inverse_inertia = mat4_t::identity();

    // Normalises the orientation and derives the rotation pair and both world tensors from it.
    void update_matrices();
};
