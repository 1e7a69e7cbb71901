#pragma once
#include <algorithm>
#include <cstdint>
#include <set>
#include <vector>

#include "engine/vec.h"
#include "physics/cd_bounds.h"
#include "physics/cd_geo.h"
#include "physics/tri_query.h"

// A deterministic scatter of small triangles in a cube of `extent` centimetres from the origin: the raw
// arrays a triangle-soup geometry is built from, kept here so that tests can answer queries by brute
// force over every triangle.
struct triangle_soup_t {
    std::vector<vec3_t> vertices;
    std::vector<uint16_t> indices;

    triangle_soup_t(uint32_t triangles, float extent, uint32_t seed)
    {
        state_ = seed;
        for (uint32_t t = 0; t < triangles; ++t) {
            const vec3_t centre(next() * extent, next() * extent, next() * extent);
            for (int k = 0; k < 3; ++k) {
                indices.push_back(static_cast<uint16_t>(vertices.size()));
                vertices.push_back(centre +
                                   vec3_t(next() * 150.0f - 75.0f, next() * 150.0f - 75.0f, next() * 150.0f - 75.0f));
            }
        }
    }

    uint32_t triangle_count() const { return static_cast<uint32_t>(indices.size() / 3); }
    // Corner k of triangle t.
    const vec3_t& corner(uint32_t t, int k) const { return vertices[indices[3 * t + k]]; }
    // The triangle's five-axis bound.
    cd_bounds_t bounds(uint32_t t) const
    {
        cd_bounds_t b = cd_bounds_make_empty();
        for (int k = 0; k < 3; ++k)
            b.add_point(corner(t, k).x, corner(t, k).y, corner(t, k).z);
        return b;
    }

    // A value in [0, 1) from the fixture's own generator.
    float next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 16777216.0f;
    }

private:
    uint32_t state_ = 0;
};

// The five-axis bound of the axis-aligned box spanned by two corners.
inline cd_bounds_t box_bounds(const vec3_t& a, const vec3_t& b)
{
    const float low[3] = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    const float high[3] = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    cd_bounds_t bounds = cd_bounds_make_empty();
    bounds.add_box(low, high);
    return bounds;
}

// Ids a box query hands out whose own bound overlaps the box (a one-item leaf hands its item out
// unjudged, so the caller's bound test is repeated here).
inline std::set<uint32_t> box_query_ids(cd_geo_t& geometry, const vec3_t& a, const vec3_t& b)
{
    const cd_bounds_t box = box_bounds(a, b);
    std::set<uint32_t> ids;
    cd_tri_query_t query;
    query.begin(&geometry, a, b);
    cd_item_t item;
    item.request = cd_item_t::request_bounds;
    while (query.next(item)) {
        if (item.bounds.overlaps_by_axis(box))
            ids.insert(item.id);
        item.request = cd_item_t::request_bounds;
    }
    return ids;
}

// Ids a segment query hands out from `start` to `end`.
inline std::set<uint32_t> segment_query_ids(cd_geo_t& geometry, const vec3_t& start, const vec3_t& end)
{
    std::set<uint32_t> ids;
    cd_tri_query_t query;
    query.begin_segment(&geometry, start, end, 0);
    cd_item_t item;
    item.request = cd_item_t::request_vertices;
    while (query.next(item)) {
        ids.insert(item.id);
        item.request = cd_item_t::request_vertices;
    }
    return ids;
}
