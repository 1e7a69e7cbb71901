#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "physics/cd_bounds.h"

// The record through which any collision geometry hands out one item (a triangle or a sphere). The
// caller sets the id and the request flags; cd_geo_t::get_item fills what was asked for.
struct cd_item_t {
    // Request flags: each asks for one group of fields.
    enum request_t : uint32_t {
        request_vertices = 1,
        request_plane = 2,
        request_material = 4,
        request_user = 8,
        request_bounds = 16,
    };
    // Item kinds.
    enum kind_t : uint16_t { kind_triangle = 2, kind_sphere = 4 };

    // Id in the geometry's own numbering.
    uint32_t id = 0;
    // Request flags; the geometry clears 4 or 8 when it has no material or user word for the item.
    uint32_t request = 0;
    uint16_t kind = 0;
    // Triangle: its three corners in the geometry's local frame. Sphere: the centre in the first place.
    const vec3_t* vertex[3] = {nullptr, nullptr, nullptr};
    // Sphere: its radius.
    const float* radius = nullptr;
    uint16_t vertex_count = 0;
    // Plane (normal, distance) of the triangle.
    vec4_t plane;
    // Material number and per-item user word; 0xFFFFFFFF when none.
    uint32_t material = 0xFFFFFFFFu;
    uint32_t user = 0xFFFFFFFFu;
    // The item on the five axes of the collision trees.
    cd_bounds_t bounds = cd_bounds_make_empty();
    // Whether the item is a surface the world draws; a geometry clears it for collision-only triangles
    // (the road's invisible walls), on which no decal is laid.
    bool drawn = true;
};

// The item id that names no item.
constexpr uint32_t cd_item_none = 0xFFFFFF;
