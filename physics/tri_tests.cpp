#include "physics/tri_tests.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/geometry.h"
#include "physics/cd_segment_slabs.h"

namespace {

// Signed distances smaller than this count as lying on the plane.
constexpr float distance_epsilon = 1e-6f;
// Determinants smaller than this make a segment parallel to the triangle.
constexpr float determinant_epsilon = 1e-6f;

// The two ends of the interval where a triangle crosses the line of the two planes. `vertex` values are
// the corners projected on the line, `distance` their signed distances from the other plane; the lone
// corner (the one on its own side) comes first.
void interval_ends(float v0, float v1, float v2, float d0, float d1, float d2, float* end0, float* end1)
{
    *end0 = v0 + (v1 - v0) * d0 / (d0 - d1);
    *end1 = v0 + (v2 - v0) * d0 / (d0 - d2);
}

// Interval of one triangle on the line; false when the triangles turn out to be coplanar.
bool compute_interval(const float v[3], const float d[3], float* end0, float* end1)
{
    const float d0d1 = d[0] * d[1];
    const float d0d2 = d[0] * d[2];
    if (d0d1 > 0.0f)
        interval_ends(v[2], v[0], v[1], d[2], d[0], d[1], end0, end1);
    else if (d0d2 > 0.0f)
        interval_ends(v[1], v[0], v[2], d[1], d[0], d[2], end0, end1);
    else if (d[1] * d[2] > 0.0f || d[0] != 0.0f)
        interval_ends(v[0], v[1], v[2], d[0], d[1], d[2], end0, end1);
    else if (d[1] != 0.0f)
        interval_ends(v[1], v[0], v[2], d[1], d[0], d[2], end0, end1);
    else if (d[2] != 0.0f)
        interval_ends(v[2], v[0], v[1], d[2], d[0], d[1], end0, end1);
    else
        return false;
    return true;
}

// Signed distances of three corners from a plane (normal, offset), snapped to 0 below the tolerance.
void plane_distances(const vec3_t& normal, float offset, const vec3_t& p0, const vec3_t& p1, const vec3_t& p2,
                     float d[3])
{
    const vec3_t* const points[3] = {&p0, &p1, &p2};
    for (int i = 0; i < 3; ++i) {
        d[i] = normal.dot(*points[i]) + offset;
        if (std::fabs(d[i]) < distance_epsilon)
            d[i] = 0.0f;
    }
}

// Projection axes of a coplanar test: the two that remain after dropping the normal's largest one.
void projection_axes(const vec3_t& normal, int* i0, int* i1)
{
    const float ax = std::fabs(normal[0]), ay = std::fabs(normal[1]), az = std::fabs(normal[2]);
    if (ax > ay) {
        if (ax > az) {
            *i0 = 1;
            *i1 = 2;
        } else {
            *i0 = 0;
            *i1 = 1;
        }
    } else if (az > ay) {
        *i0 = 0;
        *i1 = 1;
    } else {
        *i0 = 0;
        *i1 = 2;
    }
}

// Projected edge (p, p + (ax, ay)) against edge (q0, q1).
bool edge_edge(float ax, float ay, const vec3_t& p, const vec3_t& q0, const vec3_t& q1, int i0, int i1)
{
    const float bx = q0[i0] - q1[i0], by = q0[i1] - q1[i1];
    const float cx = p[i0] - q0[i0], cy = p[i1] - q0[i1];
    const float f = ay * bx - ax * by;
    const float d = by * cx - bx * cy;
    if ((f > 0.0f && d >= 0.0f && d <= f) || (f < 0.0f && d <= 0.0f && d >= f)) {
        const float e = ax * cy - ay * cx;
        if (f > 0.0f)
            return e >= 0.0f && e <= f;
        return e <= 0.0f && e >= f;
    }
    return false;
}

// Projected edge (p0, p1) against the three edges of triangle (q0, q1, q2).
bool edge_against_edges(const vec3_t& p0, const vec3_t& p1, const vec3_t& q0, const vec3_t& q1, const vec3_t& q2,
                        int i0, int i1)
{
    const float ax = p1[i0] - p0[i0], ay = p1[i1] - p0[i1];
    return edge_edge(ax, ay, p0, q0, q1, i0, i1) || edge_edge(ax, ay, p0, q1, q2, i0, i1) ||
           edge_edge(ax, ay, p0, q2, q0, i0, i1);
}

// Projected point strictly inside projected triangle (q0, q1, q2).
bool point_in_projected_triangle(const vec3_t& p, const vec3_t& q0, const vec3_t& q1, const vec3_t& q2, int i0, int i1)
{
    const vec3_t* const q[3] = {&q0, &q1, &q2};
    float d[3];
    for (int k = 0; k < 3; ++k) {
        const vec3_t& from = *q[k];
        const vec3_t& to = *q[(k + 1) % 3];
        const float a = to[i1] - from[i1];
        const float b = -(to[i0] - from[i0]);
        const float c = -a * from[i0] - b * from[i1];
        d[k] = a * p[i0] + b * p[i1] + c;
    }
    return d[0] * d[1] > 0.0f && d[0] * d[2] > 0.0f;
}

// Separation of the triangle (v0, v1, v2) from the box along `axis`.
bool separated_on(const vec3_t& axis, const vec3_t& v0, const vec3_t& v1, const vec3_t& v2, const vec3_t& half)
{
    const float p0 = axis.dot(v0), p1 = axis.dot(v1), p2 = axis.dot(v2);
    const float radius = half[0] * std::fabs(axis[0]) + half[1] * std::fabs(axis[1]) + half[2] * std::fabs(axis[2]);
    return std::min({p0, p1, p2}) > radius || std::max({p0, p1, p2}) < -radius;
}

// The plane through `point` with `normal` against the box centred at the origin.
bool plane_meets_box(const vec3_t& normal, const vec3_t& point, const vec3_t& half)
{
    vec3_t nearest, farthest;
    for (int q = 0; q < 3; ++q) {
        if (normal[q] > 0.0f) {
            nearest[q] = -half[q] - point[q];
            farthest[q] = half[q] - point[q];
        } else {
            nearest[q] = half[q] - point[q];
            farthest[q] = -half[q] - point[q];
        }
    }
    if (normal.dot(nearest) > 0.0f)
        return false;
    return normal.dot(farthest) >= 0.0f;
}

// Squared distance from `p` to the segment (a, b).
float segment_distance_sq(const vec3_t& a, const vec3_t& b, const vec3_t& p)
{
    const vec3_t ab = (b - a);
    const float length_sq = ab.length_sq();
    float t = length_sq > 0.0f ? (p - a).dot(ab) / length_sq : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    return (p - (a + ab * t)).length_sq();
}

// Projection of `p` inside triangle (a, b, c), edges included, in the plane that drops axis `drop`.
bool projection_inside(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& p, int drop)
{
    const int i0 = drop == 0 ? 1 : 0;
    const int i1 = drop == 2 ? 1 : 2;
    const vec3_t* const corner[3] = {&a, &b, &c};
    bool negative = false, positive = false;
    for (int k = 0; k < 3; ++k) {
        const vec3_t& from = *corner[k];
        const vec3_t& to = *corner[(k + 1) % 3];
        const float side = (to[i0] - from[i0]) * (p[i1] - from[i1]) - (to[i1] - from[i1]) * (p[i0] - from[i0]);
        negative = negative || side < 0.0f;
        positive = positive || side > 0.0f;
    }
    return !(negative && positive);
}

}  // namespace

bool cd_triangle_segment_test(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& start,
                              const vec3_t& vector, float* fraction)
{
    const vec3_t edge1 = (b - a);
    const vec3_t edge2 = (c - a);
    const vec3_t p = vector.cross(edge2);
    const float determinant = edge1.dot(p);
    if (determinant >= -determinant_epsilon && determinant <= determinant_epsilon)
        return false;
    const float inverse = 1.0f / determinant;
    const vec3_t s = (start - a);
    const float u = s.dot(p) * inverse;
    if (u < 0.0f || u > 1.0f)
        return false;
    const vec3_t q = s.cross(edge1);
    const float v = vector.dot(q) * inverse;
    if (v < 0.0f || u + v > 1.0f)
        return false;
    const float t = edge2.dot(q) * inverse;
    if (t < 0.0f || t > 1.0f)
        return false;
    *fraction = t;
    return true;
}

bool cd_tri_tri_test(const vec3_t& a0, const vec3_t& a1, const vec3_t& a2, const vec3_t& b0, const vec3_t& b1,
                     const vec3_t& b2)
{
    const vec3_t normal_a = (a1 - a0).cross(a2 - a0);
    float db[3];
    plane_distances(normal_a, -normal_a.dot(a0), b0, b1, b2, db);
    if (db[0] * db[1] > 0.0f && db[0] * db[2] > 0.0f)
        return false;

    const vec3_t normal_b = (b1 - b0).cross(b2 - b0);
    float da[3];
    plane_distances(normal_b, -normal_b.dot(b0), a0, a1, a2, da);
    if (da[0] * da[1] > 0.0f && da[0] * da[2] > 0.0f)
        return false;

    // Project onto the largest axis of the line where the planes meet.
    const vec3_t line = normal_a.cross(normal_b);
    int index = 0;
    if (std::fabs(line[1]) > std::fabs(line[index]))
        index = 1;
    if (std::fabs(line[2]) > std::fabs(line[index]))
        index = 2;
    const float va[3] = {a0[index], a1[index], a2[index]};
    const float vb[3] = {b0[index], b1[index], b2[index]};

    float a_ends[2], b_ends[2];
    if (!compute_interval(va, da, &a_ends[0], &a_ends[1]))
        return cd_tri_tri_coplanar(normal_a, a0, a1, a2, b0, b1, b2);
    if (!compute_interval(vb, db, &b_ends[0], &b_ends[1]))
        return cd_tri_tri_coplanar(normal_a, a0, a1, a2, b0, b1, b2);
    if (a_ends[0] > a_ends[1])
        std::swap(a_ends[0], a_ends[1]);
    if (b_ends[0] > b_ends[1])
        std::swap(b_ends[0], b_ends[1]);
    return !(a_ends[1] < b_ends[0] || b_ends[1] < a_ends[0]);
}

bool cd_tri_tri_coplanar(const vec3_t& normal, const vec3_t& a0, const vec3_t& a1, const vec3_t& a2, const vec3_t& b0,
                         const vec3_t& b1, const vec3_t& b2)
{
    int i0 = 0, i1 = 0;
    projection_axes(normal, &i0, &i1);
    if (edge_against_edges(a0, a1, b0, b1, b2, i0, i1) || edge_against_edges(a1, a2, b0, b1, b2, i0, i1) ||
        edge_against_edges(a2, a0, b0, b1, b2, i0, i1))
        return true;
    return point_in_projected_triangle(a0, b0, b1, b2, i0, i1) || point_in_projected_triangle(b0, a0, a1, a2, i0, i1);
}

bool cd_tri_box_test(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& half)
{
    const vec3_t edges[3] = {(b - a), (c - b), (a - c)};
    for (int box_axis = 0; box_axis < 3; ++box_axis) {
        vec3_t unit;
        unit[box_axis] = 1.0f;
        for (const vec3_t& edge : edges)
            if (separated_on(unit.cross(edge), a, b, c, half))
                return false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (std::min({a[axis], b[axis], c[axis]}) > half[axis] || std::max({a[axis], b[axis], c[axis]}) < -half[axis])
            return false;
    }
    return plane_meets_box(edges[0].cross(edges[1]), a, half);
}

bool cd_sphere_sphere_test(const vec3_t& centre_a, float radius_a, const vec3_t& centre_b, float radius_b)
{
    const float reach = radius_a + radius_b;
    return ((centre_a - centre_b)).length_sq() < reach * reach;
}

bool cd_sphere_triangle_test(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& centre, float radius)
{
    const float radius_sq = radius * radius;
    if (((a - centre)).length_sq() <= radius_sq || ((b - centre)).length_sq() <= radius_sq ||
        ((c - centre)).length_sq() <= radius_sq)
        return true;
    if (segment_distance_sq(a, b, centre) <= radius_sq || segment_distance_sq(b, c, centre) <= radius_sq ||
        segment_distance_sq(c, a, centre) <= radius_sq)
        return true;
    vec4_t plane;
    if (!points_compute_equation(a, b, c, 0.0f, plane))
        return false;
    if (std::fabs(plane.xyz().dot(centre) + plane.w) > radius)
        return false;
    int drop = 0;
    if (std::fabs(plane[1]) > std::fabs(plane[drop]))
        drop = 1;
    if (std::fabs(plane[2]) > std::fabs(plane[drop]))
        drop = 2;
    return projection_inside(a, b, c, centre, drop);
}

bool cd_segment_bounds_test(const cd_bounds_t& bounds, const vec3_t& start, const vec3_t& vector)
{
    return cd_segment_slabs_t(start, vector).crosses(bounds);
}
