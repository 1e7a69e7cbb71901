#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/phys_pose.h"

struct phys_contact_t;

// What a move tells its owner about an impact: the contact normal and, at the first impact only, the
// pose reached (null otherwise).
struct phys_impact_t {
    const vec3_t* normal;
    const phys_pose_t* pose;
};

// The interface through which the physics calls back the object that owns a body. The physical object
// bases implement it; the rigid body calls wheel_contacts inside each derivative evaluation, the
// physics step apply_forces once per step, and the move the other three.
class body_callback_t {
public:
    // Flags: the step calls apply_forces for this owner; each derivative evaluation calls wheel_contacts.
    enum flag_t : uint8_t { flag_apply_forces = 1, flag_wheel_contacts = 2 };
    // Why the move asks filter_impulse.
    enum impulse_kind_t : int { impulse_first_impact = 0, impulse_constraint = 1, impulse_free = 2 };

    virtual ~body_callback_t() = default;
    // Adds the forces of the wheels' ground contacts while the geometry holds the evaluated state.
    virtual void wheel_contacts() {}
    // Adds the owner's forces for the coming step, before integration.
    virtual void apply_forces() {}
    // May change the next linear and angular velocity after an impact; true when the move is to take
    // them as left.
    virtual bool filter_impulse(int kind, vec3_t& linear, vec3_t& angular, const phys_impact_t* impact)
    {
        (void)kind, (void)linear, (void)angular, (void)impact;
        return false;
    }
    // Told the translation and rotation the move made; true cancels the move.
    virtual bool on_touch(const vec3_t& translation, const quat_t& rotation)
    {
        (void)translation, (void)rotation;
        return false;
    }
    // Told of one contact of a move: `mover` when this owner's geometry was the moving one.
    virtual void on_contact(const phys_contact_t& contact, bool mover) { (void)contact, (void)mover; }

    uint8_t flags = 0;
};
