#pragma once
#include "engine/vec.h"

// Square matrices of the engine's class library, and the 4 x 4 operations the game calls.
//
// Convention (one for the whole engine, the camera included): column vectors. A point p is turned
// into M p, so the product A * B applies B first, then A. Elements are stored row by row,
// m[row][column]; a rigid transform keeps its translation in the last column (m[0][3], m[1][3],
// m[2][3]) and its last row is (0, 0, 0, 1).
template <typename T, int N> struct mat_sq_t {
    T m[N][N]{};

    // The identity matrix.
    static constexpr mat_sq_t identity()
    {
        mat_sq_t r;
        for (int i = 0; i < N; ++i)
            r.m[i][i] = T(1);
        return r;
    }

    constexpr T* operator[](int row) { return m[row]; }
    constexpr const T* operator[](int row) const { return m[row]; }

    // Matrix product: (a * b) p = a (b p).
    constexpr mat_sq_t operator*(const mat_sq_t& b) const
    {
        mat_sq_t r;
        for (int i = 0; i < N; ++i)
            for (int j = 0; j < N; ++j) {
                T sum = T(0);
                for (int k = 0; k < N; ++k)
                    sum += m[i][k] * b.m[k][j];
                r.m[i][j] = sum;
            }
        return r;
    }

    constexpr mat_sq_t transposed() const
    {
        mat_sq_t r;
        for (int i = 0; i < N; ++i)
            for (int j = 0; j < N; ++j)
                r.m[i][j] = m[j][i];
        return r;
    }

    constexpr bool operator==(const mat_sq_t& b) const = default;
};

// The 4 x 4 float matrix of frames, cameras and tensors.
using mat4_t = mat_sq_t<float, 4>;

static_assert(sizeof(mat4_t) == 64, "a 4 x 4 matrix is sixteen packed floats");

struct quat_t;

// Sets `out` to the identity.
void matrix_set_identity(mat4_t& out);
// Sets `out` to the rotation of an angle triple in degrees (a0, a1, a2): a0 turns about X, a1 about
// Y, a2 about Z, applied as Z first, then X, then Y (out = Ry(a1) Rx(a0) Rz(a2)); each turn is
// right-handed. So (-90, 0, 0) turns the forward direction (0, 0, -1) down to (0, -1, 0).
void matrix_set_rotate(mat4_t& out, const vec3_t& angles_degrees);
// Sets `out` to the translation by `offset`.
void matrix_set_translate(mat4_t& out, const vec3_t& offset);
// Sets `out` to the rotation of a unit quaternion.
void matrix_set_quat(mat4_t& out, const quat_t& rotation);
// Sets `out` to the mirror across the plane through the origin with normal `normal` (any length;
// a zero normal gives the identity).
void matrix_set_mirror(mat4_t& out, const vec3_t& normal);
// Sets `out` to the camera's perspective projection: a view-space point (the eye looks down -Z, Y up)
// goes to x and y in -1..1 across the view and a depth (third component) of 0 at `near_plane` and 1
// at `far_plane`, after mult_point_matrix divides by w. `fov_degrees` is the full vertical angle.
// False (and `out` the identity) on a non-positive angle, aspect or near plane, or far <= near.
bool matrix_set_perspective(mat4_t& out, float fov_degrees, float aspect, float near_plane, float far_plane);
// Inverse of any invertible matrix; false, with `out` the identity, when `m` is singular.
bool matrix_inverse(mat4_t& out, const mat4_t& m);

// Products: "no" writes a new matrix (out = a b; out may alias neither), "lo" overwrites the left
// operand (a = a b), "ro" overwrites the right operand (b = a b).
void mult_matrix_matrix_no(mat4_t& out, const mat4_t& a, const mat4_t& b);
void mult_matrix_matrix_lo(mat4_t& a, const mat4_t& b);
void mult_matrix_matrix_ro(const mat4_t& a, mat4_t& b);

// Full transform of a point with the divide by w (for projections); when w is 0 the point is at
// infinity and x, y, z are returned undivided.
vec3_t mult_point_matrix(const mat4_t& m, const vec3_t& p);
// The same over `count` points read every `in_stride` bytes from `in` and written every `out_stride`
// bytes to `out` (12 for packed vec3_t); `in` and `out` may be the same array. A null array with a
// positive count is logged as an error and nothing is written.
void mult_point_matrix(const mat4_t& m, const void* in, int in_stride, void* out, int out_stride, int count);
// Affine transform of a point (the last row is taken as 0, 0, 0, 1: no divide). Inline: collision
// tests carry points between frames in their inner loops.
inline vec3_t mult_point_matrix_fast(const mat4_t& m, const vec3_t& p)
{
    return {m.m[0][0] * p.x + m.m[0][1] * p.y + m.m[0][2] * p.z + m.m[0][3],
            m.m[1][0] * p.x + m.m[1][1] * p.y + m.m[1][2] * p.z + m.m[1][3],
            m.m[2][0] * p.x + m.m[2][1] * p.y + m.m[2][2] * p.z + m.m[2][3]};
}
// The same over strided arrays, as mult_point_matrix.
void mult_point_matrix_fast(const mat4_t& m, const void* in, int in_stride, void* out, int out_stride, int count);
// Turns a direction by the upper 3 x 3 part (no translation, no renormalising).
inline vec3_t mult_normal_matrix_fast(const mat4_t& m, const vec3_t& n)
{
    return {m.m[0][0] * n.x + m.m[0][1] * n.y + m.m[0][2] * n.z, m.m[1][0] * n.x + m.m[1][1] * n.y + m.m[1][2] * n.z,
            m.m[2][0] * n.x + m.m[2][1] * n.y + m.m[2][2] * n.z};
}
// Where the origin goes: the translation column of `m`.
vec3_t mult_zero_matrix(const mat4_t& m);
