#include "physics/phys_state.h"

void phys_state_t::update_matrices()
{
    orientation.normalize();
    orientation.get_matrix_pair(rotation, inverse_rotation);
    world_inertia = rotation * inertia * inverse_rotation;
    world_inverse_inertia = rotation * inverse_inertia * inverse_rotation;
}
