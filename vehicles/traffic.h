#pragma once
#include <cstdint>

#include "common/bridge_parts.h"
#include "engine/entity.h"

// The AI traffic, registered as "traffic". For now only what the type registry and the console need:
// the engine creates, names and destroys it by that type name, and "g_traffic_info" prints its counts
// (which stay 0 until the traffic registers roads and spawns cars).
class traffic_e : public entity_t, public traffic_commands_t {
public:
    // The most cars the traffic runs at once.
    static constexpr int32_t car_capacity = 128;

    // Reports "We have N registered roads and M of 128 spawned cars".
    void print_info() const override;

    int32_t road_count = 0;     // roads registered with the traffic
    int32_t spawned_count = 0;  // cars on the roads now
};
