#pragma once
#include <cstdint>

#include "engine/evalue.h"
#include "engine/vec.h"
#include "common/object_e.h"

// Scatters decals when a map loads, registered as "decals.wrap.placer": "decal_count" decals of
// "decal_script" shot from the placer's position toward "project_direction", each direction spread at
// random by "fluctuation" (its own generator seeded with "rand_seed", so every load scatters alike).
// Its decals are kept: never taken away as the oldest of their class.
class decals_wrap_placer_e : public object_e {
public:
    // The phase the placer shoots in: after the world's geometry is in place.
    static constexpr int placing_phase = 1009;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "decals.wrap.placer"; }
    const level_list_t* get_init_list() const override;
    int init(int phase) override;
    // In the editor a new placer aims 10 units below itself.
    void edit_set_initial() override;

    // Places the decals; how many were placed.
    int place_all();

    char decal_script[64] = "";
    int32_t decal_count = 1;
    int32_t rand_seed = 12345;
    vec3_t fluctuation{};
    vec3_t project_direction{0.0f, -10.0f, 0.0f};
};
