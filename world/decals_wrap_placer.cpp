#include "world/decals_wrap_placer.h"

#include <array>

#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/random.h"
#include "common/decal_store.h"
#include "physics/phys_pair.h"
#include "world/decal_generic.h"
#include "world/owning_process.h"

namespace {

constexpr evalue_def_t decal_script_def =
    evalue_member("decal_script", evalue_text, 64, evalue_bind<&decals_wrap_placer_e::decal_script>, nullptr, "");
constexpr evalue_def_t decal_count_def = evalue_member("decal_count", evalue_int, sizeof(int32_t),
                                                       evalue_bind<&decals_wrap_placer_e::decal_count>, nullptr, "1");
constexpr evalue_def_t rand_seed_def = evalue_member("rand_seed", evalue_int, sizeof(int32_t),
                                                     evalue_bind<&decals_wrap_placer_e::rand_seed>, nullptr, "12345");
constexpr evalue_def_t fluctuation_def = evalue_member(
    "fluctuation", evalue_point, sizeof(vec3_t), evalue_bind<&decals_wrap_placer_e::fluctuation>, nullptr, "0 0 0");
constexpr evalue_def_t project_direction_def =
    evalue_member("project_direction", evalue_point, sizeof(vec3_t),
                  evalue_bind<&decals_wrap_placer_e::project_direction>, nullptr, "0 -10 0");

const level_list_t placer_phases(&object_e::object_init_list, {decals_wrap_placer_e::placing_phase});

}  // namespace

const evalue_def_t* decals_wrap_placer_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 5> defs{decal_script_def, decal_count_def, rand_seed_def, fluctuation_def,
                                            project_direction_def};
    static const evalue_def_t* const root = decal_property_chain(defs, object_e::get_evalue_root());
    return root;
}

const level_list_t* decals_wrap_placer_e::get_init_list() const { return &placer_phases; }

int decals_wrap_placer_e::init(int phase)
{
    if (const int base = object_e::init(phase))
        return base;
    if (phase == placing_phase)
        place_all();
    return 0;
}

void decals_wrap_placer_e::edit_set_initial() { project_direction = position + vec3_t(0.0f, -10.0f, 0.0f); }

int decals_wrap_placer_e::place_all()
{
    client_decal_acquire(-1);
    randomizer_t random(static_cast<uint32_t>(rand_seed));
    const vec3_t aim = project_direction - position;
    const vec3_t base = cartes_2_ypr(aim);
    const float length = aim.length();
    const phys_pair_t any{phys_pair_all_solid, 0};
    int placed = 0;
    for (int32_t i = 0; i < decal_count; ++i) {
        vec3_t angles = base;
        angles.z += 2.0f * (random.rand() - 0.5f) * fluctuation.z;
        angles.y += 2.0f * (random.rand() - 0.5f) * fluctuation.y;
        angles.x += 2.0f * (random.rand() - 0.5f) * fluctuation.x;
        vec3_t direction = ypr_2_cartes(angles);
        direction.normalize();
        decal_params_t params;
        params.fields[14].integer = 0;
        if (client_place_decal(owning_process(*this), position, position + direction * length, any, decal_script,
                               params, 1, -1.0f))
            ++placed;
    }
    client_decal_release();
    return placed;
}
