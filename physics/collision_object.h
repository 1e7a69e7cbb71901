#pragma once
#include <cstddef>

#include "common/object_e.h"
#include "physics/body_callback.h"
#include "physics/contact_owner.h"

class cd_geo_t;

// An object that owns a counted collision geometry and answers its callbacks. The owner (a vehicle or
// the traffic) makes the geometry, stores it in `geometry`, links it with link_geom and inserts it in
// the physics process; phase 0 of destroy gives the object's use of it back.
class collision_object_e : public object_e, public body_callback_t {
public:
    collision_object_e() = default;
    // Unlinks and gives back the geometry when the destroy phases never ran.
    ~collision_object_e() override;

    // Phase 0: gives back the object's use of the geometry (the last use deletes it).
    int destroy(int phase) override;
    // The engine moved the object: points the geometry at the moved owner record and callbacks.
    void mem_move(ptrdiff_t delta) override;

    // Where the geometry stands (its position, shared with its body when it has one); null without one.
    vec3_t* position_ptr();
    // Resets the owner record's tag to -1 and makes the geometry name this object: its owner record,
    // its owner's handle and its callbacks.
    virtual void link_geom();

    // Slows both velocities by 0.7 of the process's frame time (per second) and has the move take them.
    bool filter_impulse(int kind, vec3_t& linear, vec3_t& angular, const phys_impact_t* impact) override;

    // The geometry this object holds one use of, or null.
    cd_geo_t* geometry = nullptr;
    // Who the geometry belongs to, as the contact filters and the contact response read it.
    contact_owner_t contact_owner;

protected:
    // Length of the current frame of the process the object lives in (0 outside a process).
    float frame_seconds() const;
    // Seconds the object's process has run (0 outside a process).
    float process_seconds() const;

private:
    // Gives back the geometry's use; a geometry that lives on forgets this object.
    void release_geometry();
};
