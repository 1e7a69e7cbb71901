#pragma once
#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"

// A frame of axes kept as a matrix and its inverse, built by a chain of moves like a matrix stack:
// each call acts in the frame built so far (translate, then rotate, turns about the new origin).
// `matrix` carries local points into the parent frame, `inverse` back.
struct axial_t {
    mat4_t matrix = mat4_t::identity();
    mat4_t inverse = mat4_t::identity();

    // Back to the identity frame.
    void identity();
    // Moves the frame's origin by `offset`, given in the frame's own axes.
    void translate(const vec3_t& offset);
    // Turns the frame by an angle triple in degrees (see matrix_set_rotate).
    void rotate(const vec3_t& angles_degrees);
    // Turns the frame by a unit quaternion.
    void qrotate(const quat_t& rotation);
    // Appends another frame: `local` is placed inside this one.
    void mult(const axial_t& local);
    // Appends a frame given as a matrix and its inverse.
    void mult_i(const mat4_t& local_matrix, const mat4_t& local_inverse);
};
