#pragma once

// The renderer's own 4x4 matrix arithmetic (row-major, row vectors: p' = p * M).
struct mat4_t {
    float m[16];

    static mat4_t identity();
    static mat4_t from(const float* values);
    static mat4_t translation(const float* offset);
    // Rotation by an angle triple in degrees: about X first, then Y, then Z.
    static mat4_t rotation_xyz(const float* degrees);
    // Rotation by a unit quaternion (x, y, z, w).
    static mat4_t rotation_quat(const float* quaternion);
};

// a * b: applies a first, then b.
mat4_t mat4_mul(const mat4_t& a, const mat4_t& b);
// General inverse; the identity (and false) when the matrix is singular.
bool mat4_invert(const mat4_t& in, mat4_t& out);
// p * M with w = 1, without the divide: out gets x, y, z and w answers the fourth component.
float mat4_point(const mat4_t& matrix, const float* point, float* out);
// Direction d * M (w = 0).
void mat4_direction(const mat4_t& matrix, const float* direction, float* out);
