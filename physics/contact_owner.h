#pragma once
#include <cstdint>

#include "physics/contact_kind.h"

// Who a collision geometry belongs to, as the contact filters and the contact response read it: the
// owning entity's handle word, the kind of object (contact_kind_t, or a traffic car's slot number), and
// the world time at which a vehicle last kicked it.
struct contact_owner_t {
    uint32_t owner_word = 0;
    int32_t tag = contact_kind_none;
    float kick_time = 0.0f;
};
