#pragma once

// The renderer's own 4x4 arithmetic, in the engine's one convention: column vectors (p' = M p),
// elements stored row by row (m[row * 4 + column]), the translation in elements 3, 7 and 11.
struct render_matrix_t {
    float m[16];

    static render_matrix_t identity();
    static render_matrix_t from(const float* values);
    // Rotation by an angle triple in degrees (a0 about X, a1 about Y, a2 about Z), applied Z first,
    // then X, then Y: Ry(a1) Rx(a0) Rz(a2), each turn right-handed.
    static render_matrix_t rotation(const float* degrees);
    // Rotation by a unit quaternion (x, y, z, w).
    static render_matrix_t rotation_quat(const float* quaternion);
};

// a b: applies b first, then a.
render_matrix_t render_mul(const render_matrix_t& a, const render_matrix_t& b);
// General inverse; the identity (and false) when the matrix is singular.
bool render_invert(const render_matrix_t& in, render_matrix_t& out);
// M p with w = 1, without the divide: `out` gets x, y, z and the result is w.
float render_point(const render_matrix_t& matrix, const float* point, float* out);
// M d with w = 0.
void render_direction(const render_matrix_t& matrix, const float* direction, float* out);
