#pragma once
#include <cstdint>
#include <deque>

#include "engine/evalue.h"
#include "world/decal_generic.h"

struct psm_t;

// One placed model decal: the geometry it sits on (one decal use held), its offset from the
// geometry's position and its turn (yaw, pitch, roll, then the extra rotation).
struct pmd_instance_t {
    cd_geo_t* geometry = nullptr;
    vec3_t offset;
    vec3_t turn;
    vec3_t extra;
    bool keep = false;
};

// Decals that are small models of the model library set down where they are shot; registered as
// "decals.pmd".
class decals_pmd_e : public decal_generic_e {
public:
    // Random-axis bits taken from "rand_rotation".
    enum random_axis_t : uint8_t { random_x = 1, random_y = 2, random_z = 4 };

    decals_pmd_e() = default;
    ~decals_pmd_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "decals.pmd"; }
    // Phase 0 makes the model instance and starts its animation.
    int init(int phase) override;
    int destroy(int phase) override;
    // Advances the model after the base handler.
    void handler() override;
    void draw() override;

    bool place(const decal_hit_t& hit, const decal_params_t* params, bool keep) override;
    bool remove_oldest(int count) override;
    void clear() override;

    const std::deque<pmd_instance_t>& instances() const { return instances_; }
    uint8_t random_axes() const { return random_axes_; }

    // Properties.
    char model_name[64] = "";
    evalue_array_t model_skins{};
    vec3_t model_rotation{};
    vec3_t model_scale{1.0f, 1.0f, 1.0f};
    char play_animation[1024] = "";
    char rand_rotation[4] = "";
    bool clip2plane = false;

private:
    // Reads the axis letters of "rand_rotation".
    void read_random_axes();
    // Frees the model and every instance's geometry use.
    void release_all();

    psm_t* model_ = nullptr;
    uint8_t random_axes_ = 0;
    std::deque<pmd_instance_t> instances_;
};
