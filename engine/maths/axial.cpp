#include "engine/axial.h"

void axial_t::identity()
{
    matrix = mat4_t::identity();
    inverse = mat4_t::identity();
}

void axial_t::translate(const vec3_t& offset)
{
    mat4_t forward, backward;
    matrix_set_translate(forward, offset);
    matrix_set_translate(backward, -offset);
    mult_i(forward, backward);
}

void axial_t::rotate(const vec3_t& angles_degrees)
{
    mat4_t forward;
    matrix_set_rotate(forward, angles_degrees);
    mult_i(forward, forward.transposed());
}

void axial_t::qrotate(const quat_t& rotation)
{
    mat4_t forward, backward;
    rotation.get_matrix_pair(forward, backward);
    mult_i(forward, backward);
}

void axial_t::mult(const axial_t& local) { mult_i(local.matrix, local.inverse); }

void axial_t::mult_i(const mat4_t& local_matrix, const mat4_t& local_inverse)
{
    // (M L)^-1 = L^-1 M^-1.
    matrix = matrix * local_matrix;
    inverse = local_inverse * inverse;
}
