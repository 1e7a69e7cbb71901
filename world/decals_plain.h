#pragma once
#include "world/decals_wrap.h"

// Decals laid only on the triangles in the plane of the triangle they are shot at; registered as
// "decals.plain".
class decals_plain_e : public decals_wrap_e {
public:
    const char* get_default_name() const override { return "decals.plain"; }
    // A hit that names no triangle (a box placement) takes the triangle its line meets near the point;
    // nothing is placed when there is none.
    bool place(const decal_hit_t& hit, const decal_params_t* params, bool keep) override;
};
