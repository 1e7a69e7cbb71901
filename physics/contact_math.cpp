#include "physics/contact_math.h"

axial_t frame_at(const vec3_t& position, const quat_t& orientation)
{
    axial_t frame;
    frame.translate(position);
    frame.qrotate(orientation);
    return frame;
}

float inverse_mass_along(const phys_body_t& body, const phys_state_t& state, const vec3_t& arm, const vec3_t& normal)
{
    return body.inverse_mass +
           mult_normal_matrix_fast(state.world_inverse_inertia, arm.cross(normal)).cross(arm).dot(normal);
}
