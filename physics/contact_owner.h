#pragma once
#include <cstdint>

// Who a collision geometry belongs to, as the contact filters and the contact response read it: the
// owning entity's handle word, the kind of object (negative: -2 every vehicle, -3 and -4 the pooled
// boxes, -10 trailers, -20 the player's truck, -30 the police truck, -200 the road; a traffic car's
// slot number otherwise), and the world time at which a vehicle last kicked it.
struct contact_owner_t {
    uint32_t owner_word = 0;
    int32_t tag = -1;
    float kick_time = 0.0f;
};
