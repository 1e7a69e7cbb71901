#include "engine/quat.h"

#include <algorithm>
#include <cmath>

#include "engine/geometry.h"

namespace {

constexpr double radians_per_degree = 3.14159265358979323846 / 180.0;
constexpr double degrees_per_radian = 180.0 / 3.14159265358979323846;

// The rotation of `angle_degrees` about a unit axis.
quat_t about_unit_axis(float ax, float ay, float az, double angle_degrees)
{
    const double half = angle_degrees * radians_per_degree * 0.5;
    const float s = static_cast<float>(std::sin(half));
    return {ax * s, ay * s, az * s, static_cast<float>(std::cos(half))};
}

}  // namespace

void quat_t::set(const vec3_t& axis, float angle_degrees)
{
    const float length = axis.length();
    if (!(length > 0.0f)) {
        *this = quat_t{};
        return;
    }
    *this = about_unit_axis(axis.x / length, axis.y / length, axis.z / length, angle_degrees);
}

void quat_t::set_ypr(const vec3_t& angles_degrees)
{
    // Same order as matrix_set_rotate: Z first, then X, then Y.
    const quat_t about_x = about_unit_axis(1.0f, 0.0f, 0.0f, angles_degrees.x);
    const quat_t about_y = about_unit_axis(0.0f, 1.0f, 0.0f, angles_degrees.y);
    const quat_t about_z = about_unit_axis(0.0f, 0.0f, 1.0f, angles_degrees.z);
    *this = about_y * (about_x * about_z);
}

void quat_t::set_cartes(const vec3_t& direction) { set_ypr(cartes_2_ypr(direction)); }

vec3_t quat_t::get_ypr() const
{
    mat4_t r;
    get_matrix(r);
    // r = Ry(b) Rx(a) Rz(g): r[1][2] = -sin a, r[0][2] / r[2][2] = tan b, r[1][0] / r[1][1] = tan g.
    const double sin_a = std::clamp(-static_cast<double>(r.m[1][2]), -1.0, 1.0);
    const double a = std::asin(sin_a);
    double b, g;
    if (std::fabs(sin_a) < 0.9999999) {
        b = std::atan2(r.m[0][2], r.m[2][2]);
        g = std::atan2(r.m[1][0], r.m[1][1]);
    } else {
        // Looking straight up or down: yaw and roll turn about the same axis; put it all in yaw.
        b = std::atan2(-r.m[2][0], r.m[0][0]);
        g = 0.0;
    }
    return {static_cast<float>(a * degrees_per_radian), static_cast<float>(b * degrees_per_radian),
            static_cast<float>(g * degrees_per_radian)};
}

void quat_t::get_matrix(mat4_t& out_matrix) const { matrix_set_quat(out_matrix, *this); }

void quat_t::get_matrix_pair(mat4_t& out_matrix, mat4_t& out_inverse) const
{
    matrix_set_quat(out_matrix, *this);
    // A rotation's inverse is its transpose.
    out_inverse = out_matrix.transposed();
}

quat_t quat_t::operator*(const quat_t& b) const
{
    return {w * b.x + x * b.w + y * b.z - z * b.y, w * b.y + y * b.w + z * b.x - x * b.z,
            w * b.z + z * b.w + x * b.y - y * b.x, w * b.w - x * b.x - y * b.y - z * b.z};
}

float quat_t::normalize()
{
    const float length = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(length > 0.0f)) {
        *this = quat_t{};
        return 0.0f;
    }
    x /= length;
    y /= length;
    z /= length;
    w /= length;
    return length;
}

bool quat_t::is_zero() const { return x * x + y * y + z * z <= 1e-12f; }

float quat_t::get_rotation_rad() const
{
    const float v = std::sqrt(x * x + y * y + z * z);
    return 2.0f * std::atan2(v, std::fabs(w));
}

vec3_t quat_t::rotate(const vec3_t& v) const
{
    const vec3_t u{x, y, z};
    const vec3_t t = u.cross(v) * 2.0f;
    return v + t * w + u.cross(t);
}

quat_t quat_t::get_delta(const quat_t& from, const quat_t& to) { return to * from.conjugate(); }

quat_t quat_t::slerp(const quat_t& a, const quat_t& b, float t)
{
    float cosine = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    quat_t end = b;
    if (cosine < 0.0f) {
        // q and -q are the same rotation: go the shorter way round.
        cosine = -cosine;
        end = {-b.x, -b.y, -b.z, -b.w};
    }
    float wa, wb;
    if (cosine > 0.9995f) {
        // Nearly the same rotation: a straight blend is exact enough and avoids dividing by ~0.
        wa = 1.0f - t;
        wb = t;
    } else {
        const double angle = std::acos(static_cast<double>(cosine));
        const double s = std::sin(angle);
        wa = static_cast<float>(std::sin((1.0 - t) * angle) / s);
        wb = static_cast<float>(std::sin(t * angle) / s);
    }
    quat_t r{a.x * wa + end.x * wb, a.y * wa + end.y * wb, a.z * wa + end.z * wb, a.w * wa + end.w * wb};
    r.normalize();
    return r;
}
