#pragma once
#include <cstdint>

#include "engine/vec.h"

// What the traffic asks of the player's truck (which implements it): the speed the lane changes and
// the cruise speeds follow, the camera point spawn and removal distances are measured from, and the
// police ticket a police car of the traffic hands out.
class traffic_player_t {
public:
    virtual ~traffic_player_t() = default;
    // Speed in miles per hour, and in centimetres per second.
    virtual float traffic_speed_mph() const = 0;
    virtual float traffic_speed() const = 0;
    // The camera point of the player's view.
    virtual vec3_t traffic_viewer_position() const = 0;
    // Shows the police ticket for `offence` (fine -1: the offence's own).
    virtual void show_ticket(int32_t offence, int32_t fine) = 0;
    // An economy driver's truck has driven near for a while: the driver may call in on the CB radio.
    virtual void driver_truck_arrived(int32_t driver) { (void)driver; }
    // The driver's truck left the traffic: his panel is cleared.
    virtual void driver_truck_left() {}
};
