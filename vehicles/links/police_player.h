#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"

// What the police (the police truck and the traffic's offence rules) ask of the player's truck beyond
// its position, speed, pager and ticket (road/ctrl_parts.h, common/bridge_parts.h): the position history
// a pursuit follows, the radar lamp, the wrong-road timer, the offence clock and the recovery scene.
class police_player_t {
public:
    // Entries in the position history.
    static constexpr int history_entries = 15;

    virtual ~police_player_t() = default;
    // Entry `i` (0..14) of the position history; the newest entry's index.
    virtual void get_history(int i, vec3_t& out_position, quat_t& out_orientation) const = 0;
    virtual int32_t get_history_index() const = 0;
    // The radar lamp flashes every `seconds`; 0 switches it off.
    virtual void set_radar_interval(float seconds) = 0;
    // An offence was settled: the wrong-road check starts its timer again.
    virtual void end_police() = 0;
    // Seconds since the last ticket.
    virtual float offence_clock() const = 0;
    // True while the truck plays a recovery scene (a ticket, a rescue).
    virtual bool recovery_active() const = 0;
};
