#pragma once
#include <cstdint>

// The kind of a collision geometry's owner (`contact_owner_t::tag`): a traffic car's slot number (0 to
// 127) or one of these. The contact filters, the contact response and the traffic's contact rules tell
// owners apart by it.
enum contact_kind_t : int32_t {
    contact_kind_none = -1,
    contact_kind_vehicle = -2,  // every vehicle, until the trailer and the player's truck set their own
    // The game controller's pooled boxes: kicked away by vehicles (and knocking no traffic car), or
    // resting.
    contact_kind_kicked_box = -3,
    contact_kind_resting_box = -4,
    contact_kind_trailer = -10,
    contact_kind_player = -20,
    contact_kind_police = -30,
    contact_kind_world = -200,  // the static world, whose contacts in the response pass knock no traffic car
};
