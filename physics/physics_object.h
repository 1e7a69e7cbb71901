#pragma once
#include <cstdint>

#include "physics/collision_object.h"

class phys_body_t;

// A collision object with a rigid body, which remembers being hit for two seconds and follows its
// geometry when a move changed it. The owner makes the body with `new`; phase 0 of destroy frees it.
class physics_object_e : public collision_object_e {
public:
    // Seconds the in-contact flag stays set after the last contact.
    static constexpr float contact_hold_seconds = 2.0f;

    physics_object_e() = default;
    // Frees the body and the triangle use when the destroy phases never ran.
    ~physics_object_e() override;

    // Each frame: runs the contact timer down (clearing the in-contact flag once it is below 0) and,
    // after a move, takes the geometry's position as the object's.
    void handler() override;
    // Phase 0: records the object's handle in the owner record and takes a use of the shared triangle.
    int init(int phase) override;
    // Phase 0: detaches and frees the body and gives back the triangle use; then the geometry's use.
    int destroy(int phase) override;
    // Links the geometry as collision_object_e does, then attaches it to the body when both exist.
    void link_geom() override;

    // Sets the in-contact flag and restarts the contact timer.
    void on_contact(const phys_contact_t& contact, bool mover) override;
    // Notes that a move changed the geometry; never cancels it.
    bool on_touch(const vec3_t& translation, const quat_t& rotation) override;
    // Leaves the velocities to the move.
    bool filter_impulse(int kind, vec3_t& linear, vec3_t& angular, const phys_impact_t* impact) override;

    // The rigid body, owned, or null.
    phys_body_t* body = nullptr;
    bool in_contact = false;
    bool moved = false;
    float contact_timer = contact_hold_seconds;

private:
    // Detaches and frees the body and gives back the triangle use, each once.
    void release_body();

    bool holds_triangle_ = false;
};
