#pragma once
#include "engine/matrix.h"
#include "engine/vec.h"

// A rotation as a quaternion (x, y, z, w): w is the scalar part and comes last, as in files.
// Rotations compose like matrices: (a * b) turns by b first, then by a, and turning a vector v is
// q v q*. Angles given in degrees follow the engine's angle triple (see matrix_set_rotate).
struct quat_t {
    float x = 0.0f, y = 0.0f, z = 0.0f, w = 1.0f;

    // The identity rotation.
    constexpr quat_t() = default;
    constexpr quat_t(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

    // Sets the rotation of `angle_degrees` about `axis` (any length; a zero axis gives the identity).
    void set(const vec3_t& axis, float angle_degrees);
    // Sets the rotation of an angle triple in degrees: the same turn as matrix_set_rotate.
    void set_ypr(const vec3_t& angles_degrees);
    // Sets the rotation that turns the forward direction (0, 0, -1) into `direction`, without roll.
    void set_cartes(const vec3_t& direction);
    // The angle triple in degrees of this rotation (inverse of set_ypr, pitch within -90..90).
    vec3_t get_ypr() const;
    // The rotation matrix, and the matrix with its inverse (this rotation must be normalised).
    void get_matrix(mat4_t& out_matrix) const;
    void get_matrix_pair(mat4_t& out_matrix, mat4_t& out_inverse) const;

    // Hamilton product: turns by `b` first, then by this.
    quat_t operator*(const quat_t& b) const;
    constexpr bool operator==(const quat_t& b) const = default;
    // The inverse rotation of a unit quaternion.
    constexpr quat_t conjugate() const { return {-x, -y, -z, w}; }
    // Scales to unit length and returns the length it had; the zero quaternion becomes the identity.
    float normalize();
    // True when this turns nothing: its vector part is zero (within 1e-12 squared). The all-zero
    // quaternion counts as no rotation too.
    bool is_zero() const;
    // Angle of the rotation in radians, 0..pi (the shorter way round).
    float get_rotation_rad() const;
    // Turns a vector by this rotation (this must be normalised).
    vec3_t rotate(const vec3_t& v) const;

    // The rotation d with d * from = to (both normalised): the world-frame turn from one to the other.
    static quat_t get_delta(const quat_t& from, const quat_t& to);
    // Spherical interpolation along the shorter arc: `a` at t = 0, `b` (or -b) at t = 1; normalised.
    static quat_t slerp(const quat_t& a, const quat_t& b, float t);
};

static_assert(sizeof(quat_t) == 16, "a quaternion is four packed floats");
