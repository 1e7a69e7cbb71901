#pragma once
#include "world/decals_wrap.h"

// Wrap decals drawn with a stronger depth bias, their packets placed in world coordinates; registered
// as "decals.wrap_aa".
class decals_wrap_aa_e : public decals_wrap_e {
public:
    const char* get_default_name() const override { return "decals.wrap_aa"; }
    void draw() override;
};
