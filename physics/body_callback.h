#pragma once
#include <cstdint>

// The interface through which the physics calls back the object that owns a body. The physical object
// bases implement it; the rigid body calls wheel_contacts inside each derivative evaluation.
class body_callback_t {
public:
    // Flags: the step calls apply_forces for this owner; each derivative evaluation calls wheel_contacts.
    enum flag_t : uint8_t { flag_apply_forces = 1, flag_wheel_contacts = 2 };

    virtual ~body_callback_t() = default;
    // Adds the forces of the wheels' ground contacts while the geometry holds the evaluated state.
    virtual void wheel_contacts() {}

    uint8_t flags = 0;
};
