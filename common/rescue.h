#pragma once

// The player's truck as the call-911 window reaches it: the roadside rescue (fuel raised to at least
// half, damage above half repaired down to half, the traffic around reset). The truck implements it.
class rescue_owner_t {
public:
    virtual ~rescue_owner_t() = default;
    virtual void call911_repair() = 0;
};
