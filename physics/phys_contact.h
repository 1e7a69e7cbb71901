#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/cd_item.h"

class cd_geo_t;

// One contact found by a query: which geometries and items met, where the moving geometry stood
// when they did, and how far along the query that was. Lists keep at most one record per identity
// (the two geometries and the two item ids).
struct phys_contact_t {
    // The moving geometry, or null for a ray.
    cd_geo_t* first = nullptr;
    // The geometry that was hit.
    cd_geo_t* second = nullptr;
    // In a sweep the trial position of the moving geometry, in a ray cast the hit point.
    vec3_t position;
    // Orientation of the moving geometry at that sub-step.
    quat_t orientation;
    // Direction of the motion (or of the ray).
    vec3_t direction{0.0f, 1.0f, 0.0f};
    // Item ids on each geometry; cd_item_none when none.
    uint32_t first_item = cd_item_none;
    uint32_t second_item = cd_item_none;
    // Cleared whenever the record is filed in a list.
    uint8_t flags = 0;
    // Sort key: squared distance from the ray's start, or the motion fraction of the impact.
    float key = 0.0f;
    // Set on contacts with a solid candidate, clear on touch contacts.
    uint8_t constraint = 0;

    // Puts every field but the constraint flag back to its default.
    void reset();
    // True when both records name the same geometries and items.
    bool same_identity(const phys_contact_t& other) const
    {
        return first == other.first && second == other.second && first_item == other.first_item &&
               second_item == other.second_item;
    }
};
