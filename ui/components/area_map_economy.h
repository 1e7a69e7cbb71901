#pragma once
#include <cstdint>

#include "engine/vec.h"

// What the road map asks of the economy beside the city names: whether a dealer is open to the player,
// the icon of a trader and where the player's job is delivered.
class area_map_economy_t {
public:
    virtual ~area_map_economy_t() = default;
    // True when dealer `dealer` exists and is open to the player.
    virtual bool dealer_open(int32_t dealer) const = 0;
    // The icon shader of trader `trader`, or null when there is no such trader or it has none.
    virtual const char* trader_icon(int32_t trader) const = 0;
    // While the player has a job: true with its delivery point in `out`.
    virtual bool player_target(vec3_t& out) const = 0;
};
