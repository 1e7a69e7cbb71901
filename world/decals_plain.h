#pragma once
#include "world/decals_wrap.h"

// Decals laid only on the triangles in the plane of the triangle they are shot at; registered as
// "decals.plain".
class decals_plain_e : public decals_wrap_e {
public:
    const char* get_default_name() const override { return "decals.plain"; }
    // Nothing is placed when the hit names no triangle of its geometry.
    bool place(const decal_hit_t& hit, const decal_params_t* params, bool keep) override;
};
