#pragma once
#include <algorithm>
#include <cmath>
#include <memory>

#include "engine/axial.h"
#include "engine/matrix.h"
#include "physics/cd_geo_box.h"
#include "physics/polyhedron.h"

// A box's polyhedron placed in the world by a frame, for the closest-feature tests.
struct placed_box_t {
    // A box of full edge lengths `dimensions`, its centre at `position`, turned by `angles` (degrees).
    placed_box_t(const vec3_t& dimensions, const vec3_t& position, const vec3_t& angles = {})
        : box(std::make_unique<cd_geo_box_t>(dimensions, nullptr, -1, -1)), half(dimensions * 0.5f)
    {
        frame.translate(position);
        frame.rotate(angles);
    }

    const cd_polyhedron_t& polyhedron() const { return *box->get_polyhedron(); }
    vec3_t to_world(const vec3_t& local) const { return mult_point_matrix_fast(frame.matrix, local); }
    vec3_t to_local(const vec3_t& world) const { return mult_point_matrix_fast(frame.inverse, world); }

    // The edge whose ends lie nearest (in the world) to `a` and `b`, in either order.
    const cd_poly_edge_t* edge_near(const vec3_t& a, const vec3_t& b) const
    {
        const cd_poly_edge_t* best = nullptr;
        float best_error = 1e30f;
        for (const cd_poly_edge_t& edge : polyhedron().edges()) {
            const vec3_t tail = to_world(*edge.tail->position), head = to_world(*edge.head->position);
            const float error =
                std::min((tail - a).length() + (head - b).length(), (tail - b).length() + (head - a).length());
            if (error < best_error) {
                best_error = error;
                best = &edge;
            }
        }
        return best;
    }

    // The face whose outward normal (in the world) is nearest to `normal`.
    const cd_poly_face_t* face_toward(const vec3_t& normal) const
    {
        const cd_poly_face_t* best = nullptr;
        float best_dot = -2.0f;
        for (const cd_poly_face_t& face : polyhedron().faces()) {
            const float dot = mult_normal_matrix_fast(frame.matrix, face.plane.xyz()).dot(normal);
            if (dot > best_dot) {
                best_dot = dot;
                best = &face;
            }
        }
        return best;
    }

    // Distance from a world point to the solid box (0 inside).
    float distance_to(const vec3_t& world) const
    {
        const vec3_t p = to_local(world);
        const vec3_t outside(std::max(std::fabs(p.x) - half.x, 0.0f), std::max(std::fabs(p.y) - half.y, 0.0f),
                             std::max(std::fabs(p.z) - half.z, 0.0f));
        return outside.length();
    }

    // True when the segment between two world points meets the solid box.
    bool segment_meets(const vec3_t& world_a, const vec3_t& world_b) const
    {
        const vec3_t a = to_local(world_a), d = to_local(world_b) - a;
        float low = 0.0f, high = 1.0f;
        for (int axis = 0; axis < 3; ++axis) {
            if (std::fabs(d[axis]) < 1e-12f) {
                if (std::fabs(a[axis]) > half[axis])
                    return false;
                continue;
            }
            float t0 = (-half[axis] - a[axis]) / d[axis], t1 = (half[axis] - a[axis]) / d[axis];
            if (t0 > t1)
                std::swap(t0, t1);
            low = std::max(low, t0);
            high = std::min(high, t1);
        }
        return low <= high;
    }

    std::unique_ptr<cd_geo_box_t> box;
    vec3_t half;
    axial_t frame;
};

// Distance between the segments p0-p1 and q0-q1.
inline float segment_distance(const vec3_t& p0, const vec3_t& p1, const vec3_t& q0, const vec3_t& q1)
{
    const vec3_t d1 = p1 - p0, d2 = q1 - q0, r = p0 - q0;
    const float a = d1.dot(d1), e = d2.dot(d2), f = d2.dot(r), c = d1.dot(r), b = d1.dot(d2);
    const float denominator = a * e - b * b;
    float s = denominator > 1e-9f * a * e ? std::clamp((b * f - c * e) / denominator, 0.0f, 1.0f) : 0.0f;
    float t = (b * s + f) / e;
    if (t < 0.0f) {
        t = 0.0f;
        s = std::clamp(-c / a, 0.0f, 1.0f);
    } else if (t > 1.0f) {
        t = 1.0f;
        s = std::clamp((b - c) / a, 0.0f, 1.0f);
    }
    return ((p0 + d1 * s) - (q0 + d2 * t)).length();
}

// Distance between two boxes by brute force (0 when they meet): every edge through the other solid,
// every corner against the other solid and every pair of edges.
inline float box_distance(const placed_box_t& a, const placed_box_t& b)
{
    for (const cd_poly_edge_t& e : a.polyhedron().edges())
        if (b.segment_meets(a.to_world(*e.tail->position), a.to_world(*e.head->position)))
            return 0.0f;
    for (const cd_poly_edge_t& e : b.polyhedron().edges())
        if (a.segment_meets(b.to_world(*e.tail->position), b.to_world(*e.head->position)))
            return 0.0f;
    float best = 1e30f;
    for (const cd_poly_vertex_t& vertex : a.polyhedron().vertices())
        best = std::min(best, b.distance_to(a.to_world(*vertex.position)));
    for (const cd_poly_vertex_t& vertex : b.polyhedron().vertices())
        best = std::min(best, a.distance_to(b.to_world(*vertex.position)));
    for (const cd_poly_edge_t& e : a.polyhedron().edges())
        for (const cd_poly_edge_t& g : b.polyhedron().edges())
            best = std::min(best, segment_distance(a.to_world(*e.tail->position), a.to_world(*e.head->position),
                                                   b.to_world(*g.tail->position), b.to_world(*g.head->position)));
    return best;
}
