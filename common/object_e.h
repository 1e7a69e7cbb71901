#pragma once
#include <cstdint>

#include "engine/axial.h"
#include "engine/entity.h"
#include "engine/vec.h"

// Common base of every module entity that has a place in the world: a position, the position of the
// previous step, an orientation, a few editable properties, and its world frame.
class object_e : public entity_t {
public:
    // The phases an object adds: -10 (before the world loads), 10 (after).
    static const level_list_t object_init_list;

    object_e();
    ~object_e() override = default;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "object_e"; }
    // In phase -10 the previous position starts equal to the position.
    int init(int phase) override;
    const level_list_t* get_init_list() const override { return &object_init_list; }

    // The object's world frame: the position, turned by the orientation, and, once after an offset was
    // set, the local offset frame appended. Subclasses that aim a camera override it.
    virtual void get_world_axial(mat4_t& matrix, mat4_t& inverse);

    // Clears positions, orientation and the state after them, and puts the rotation back to (0, 1, 0).
    void reset_state();

    // Appends `offset` to the next world frame asked for, and only to that one.
    void set_local_offset(const axial_t& offset);

    vec3_t previous_position{};
    vec3_t position{};
    // Angles in degrees, turned into the world frame.
    vec3_t orientation{};
    vec3_t state_extra{};
    uint32_t state_word = 0;
    float volume = 1.0f;
    vec3_t rotation{0.0f, 1.0f, 0.0f};
    uint32_t object_word = 0;
    bool useable = false;
    // Kept for the subclasses that read them (ranges and limits in game units).
    float object_reals[6] = {240.0f, 60.0f, 60.0f, 120.0f, 120.0f, 120.0f};
    uint32_t object_mode = 3;

private:
    axial_t local_offset_;
    bool offset_pending_ = false;
};
