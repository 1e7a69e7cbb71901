#include "engine/geometry.h"

#include <cmath>

namespace {

constexpr double radians_per_degree = 3.14159265358979323846 / 180.0;
constexpr double degrees_per_radian = 180.0 / 3.14159265358979323846;

// The plane through `point` with the normal `n` scaled to unit length, when |n| is above `tolerance`.
bool plane_from_normal(const vec3_t& point, const vec3_t& n, float tolerance, vec4_t& out_plane)
{
    const float length = n.length();
    if (!(length > tolerance) || !(length > 0.0f))
        return false;
    out_plane = construct_equation(point, n / length);
    return true;
}

}  // namespace

vec3_t point_rotate(const vec3_t& point, const quat_t& rotation) { return rotation.rotate(point); }

vec3_t point_rotate(const vec3_t& point, const vec3_t& angles_degrees)
{
    mat4_t r;
    matrix_set_rotate(r, angles_degrees);
    return mult_normal_matrix_fast(r, point);
}

vec3_t normal_rotate(const vec3_t& normal, const quat_t& rotation) { return rotation.rotate(normal); }

vec3_t normal_rotate(const vec3_t& normal, const vec3_t& angles_degrees)
{
    return point_rotate(normal, angles_degrees);
}

vec3_t cartes_2_ypr(const vec3_t& direction)
{
    const double x = direction.x, y = direction.y, z = direction.z;
    const double ground = std::sqrt(x * x + z * z);
    if (ground == 0.0 && y == 0.0)
        return {};
    const double pitch = std::atan2(y, ground);
    // Straight up or down has no heading: yaw 0 rather than atan2's -180 for (-0, -0).
    const double yaw = ground > 0.0 ? std::atan2(-x, -z) : 0.0;
    return {static_cast<float>(pitch * degrees_per_radian), static_cast<float>(yaw * degrees_per_radian), 0.0f};
}

vec3_t ypr_2_cartes(const vec3_t& angles_degrees)
{
    // Ry(yaw) Rx(pitch) (0, 0, -1); roll turns about the forward axis and changes nothing.
    const double a = angles_degrees.x * radians_per_degree;
    const double b = angles_degrees.y * radians_per_degree;
    const double ca = std::cos(a);
    return {static_cast<float>(-ca * std::sin(b)), static_cast<float>(std::sin(a)),
            static_cast<float>(-ca * std::cos(b))};
}

float vec3_angle(const vec3_t& a, const vec3_t& b)
{
    if (a.length_sq() == 0.0f || b.length_sq() == 0.0f)
        return 0.0f;
    // atan2 of |a x b| and a . b stays accurate near 0 and pi, where acos does not.
    return std::atan2(a.cross(b).length(), a.dot(b));
}

float xz_distance_squared(const vec3_t& a, const vec3_t& b)
{
    const float dx = a.x - b.x, dz = a.z - b.z;
    return dx * dx + dz * dz;
}

vec3_t points_compute_normal(const vec3_t& p0, const vec3_t& p1, const vec3_t& p2)
{
    return (p1 - p0).cross(p2 - p0).normalized();
}

bool points_compute_equation(const vec3_t& p0, const vec3_t& p1, const vec3_t& p2, float tolerance, vec4_t& out_plane)
{
    return plane_from_normal(p0, (p1 - p0).cross(p2 - p0), tolerance, out_plane);
}

bool compute_equation(const vec3_t& point, const vec3_t& u, const vec3_t& v, float tolerance, vec4_t& out_plane)
{
    return plane_from_normal(point, u.cross(v), tolerance, out_plane);
}

vec4_t construct_equation(const vec3_t& point, const vec3_t& normal) { return {normal, -normal.dot(point)}; }

vec4_t translate_plane(const vec4_t& plane, const vec3_t& offset)
{
    return {plane.x, plane.y, plane.z, plane.w - plane.xyz().dot(offset)};
}

vec3_t project_vector(const vec3_t& normal, const vec3_t& v)
{
    const float nn = normal.length_sq();
    if (nn == 0.0f)
        return v;
    return v - normal * (v.dot(normal) / nn);
}

vec3_t project_vector2vector(const vec3_t& direction, const vec3_t& v)
{
    const float dd = direction.length_sq();
    if (dd == 0.0f)
        return {};
    return direction * (v.dot(direction) / dd);
}

void smooth_curve(const vec3_t& p0, const vec3_t& t0, const vec3_t& p1, const vec3_t& t1, float t, vec3_t& out_point,
                  vec3_t* out_tangent)
{
    const vec3_t c0 = p0, c1 = p0 + t0, c2 = p1 - t1, c3 = p1;
    const float s = 1.0f - t;
    // De Casteljau: stable and exact at both ends.
    const vec3_t a = c0 * s + c1 * t, b = c1 * s + c2 * t, c = c2 * s + c3 * t;
    const vec3_t ab = a * s + b * t, bc = b * s + c * t;
    out_point = ab * s + bc * t;
    if (!out_tangent)
        return;
    vec3_t direction = bc - ab;  // the first derivative / 3
    if (direction.length_sq() == 0.0f) {
        // A cusp (a zero tangent at an end): the second derivative gives the way the curve goes on,
        // or, at the very end, the way it came.
        const vec3_t second = (c2 - c1 * 2.0f + c0) * s + (c3 - c2 * 2.0f + c1) * t;
        direction = t < 1.0f ? second : -second;
    }
    if (direction.length_sq() == 0.0f)
        direction = c3 - c0;
    *out_tangent = direction.normalized();
}
