#pragma once
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/vec.h"

// Five-axis bounds of the collision code: a minimum and a maximum on x, y, z and on the two diagonals
// of the horizontal plane, u = (x + z) / 2 and v = (x - z) / 2. Diagonal roads and terrain triangles
// fit these much tighter than an axis-aligned box.

// The value that marks an empty bound: minima at +cd_bound_empty, maxima at -cd_bound_empty.
constexpr float cd_bound_empty = 3.37e38f;

// Number of axes of a five-axis bound.
constexpr int cd_bound_axes = 5;

// A minimum and a maximum on each of the five axes (x, y, z, u, v).
struct cd_bounds_t {
    float minimum[cd_bound_axes];
    float maximum[cd_bound_axes];

    // Sets every minimum to +3.37e38 and every maximum to -3.37e38.
    void set_empty();
    // Widens the bound to hold the point (x, y, z).
    void add_point(float x, float y, float z)
    {
        const float values[cd_bound_axes] = {x, y, z, (x + z) / 2.0f, (x - z) / 2.0f};
        for (int axis = 0; axis < cd_bound_axes; ++axis) {
            minimum[axis] = std::min(minimum[axis], values[axis]);
            maximum[axis] = std::max(maximum[axis], values[axis]);
        }
    }
    // Sets the bound to a triangle's: the same as set_empty and add_point for each corner, without the
    // extra stores and compares, since every box query fetches its candidates' bounds this way.
    void set_triangle(const vec3_t& a, const vec3_t& b, const vec3_t& c)
    {
        const float values[3][cd_bound_axes] = {{a.x, a.y, a.z, (a.x + a.z) / 2.0f, (a.x - a.z) / 2.0f},
                                                {b.x, b.y, b.z, (b.x + b.z) / 2.0f, (b.x - b.z) / 2.0f},
                                                {c.x, c.y, c.z, (c.x + c.z) / 2.0f, (c.x - c.z) / 2.0f}};
        for (int axis = 0; axis < cd_bound_axes; ++axis) {
            minimum[axis] = std::min({values[0][axis], values[1][axis], values[2][axis]});
            maximum[axis] = std::max({values[0][axis], values[1][axis], values[2][axis]});
        }
    }
    // Widens the bound to hold the axis-aligned box from (x0, y0, z0) to (x1, y1, z1).
    void add_box(const float box_minimum[3], const float box_maximum[3]);
    // Widens the bound to hold another five-axis bound.
    void add_bounds(const cd_bounds_t& other);
    // Moves every minimum down and every maximum up by `margin`.
    void widen(float margin);
    // Shifts the bound by (x, y, z): the diagonals move by the matching combinations.
    void translate(float x, float y, float z);
    // True when on every axis neither minimum lies above the other's maximum (closed intervals). Every
    // tree walk asks this once per node, so it stays inline and free of branches.
    bool overlaps(const cd_bounds_t& other) const
    {
#if defined(__SSE2__)
        // x, y, z and u in one go; v on its own.
        const __m128 apart = _mm_or_ps(_mm_cmpgt_ps(_mm_loadu_ps(minimum), _mm_loadu_ps(other.maximum)),
                                       _mm_cmpgt_ps(_mm_loadu_ps(other.minimum), _mm_loadu_ps(maximum)));
        return (_mm_movemask_ps(apart) == 0) & !(minimum[4] > other.maximum[4]) & !(other.minimum[4] > maximum[4]);
#else
        return overlaps_by_axis(other);
#endif
    }
    // The same answer one axis at a time: for a bound just written field by field (an item fetched a
    // moment ago), whose wide reads would wait for those writes to drain.
    bool overlaps_by_axis(const cd_bounds_t& other) const
    {
        bool apart = false;
        for (int axis = 0; axis < cd_bound_axes; ++axis)
            apart |= (minimum[axis] > other.maximum[axis]) | (other.minimum[axis] > maximum[axis]);
        return !apart;
    }
    // True when the minimum of x lies above its maximum (nothing was added).
    bool empty() const { return minimum[0] > maximum[0]; }
};

// The empty five-axis bound.
cd_bounds_t cd_bounds_make_empty();
