#pragma once
#include "engine/axial.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/phys_body.h"

// The small sums every contact response shares.

// A frame placing a shape at `position`, turned by `orientation`.
axial_t frame_at(const vec3_t& position, const quat_t& orientation);

// How much an impulse along `normal` at `arm` from the body's centre changes the speed there, per unit.
float inverse_mass_along(const phys_body_t& body, const phys_state_t& state, const vec3_t& arm, const vec3_t& normal);
