#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "physics/cd_item.h"

class cd_geo_t;

// Where a placement ray met a geometry: the geometry, the world point, the ray's unit direction and
// the two item words of the contact (cd_item_none when unknown).
struct decal_hit_t {
    cd_geo_t* geometry = nullptr;
    vec3_t point;
    vec3_t direction{0.0f, -1.0f, 0.0f};
    uint32_t item = cd_item_none;
    uint32_t other_item = cd_item_none;
};
