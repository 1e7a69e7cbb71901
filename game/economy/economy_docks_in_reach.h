#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"

class economy_ctrl_e;

// The loading docks in the player's reach: the game controller brings a dock's trader into reach and
// takes it out again, the player's truck says which dock's yard it stands in. A dock coming into reach
// readies its slots' jobs, the trailers of the yard the truck stands in are placed as it comes near
// them, and one dock a frame, in turn, readies the jobs of its open slots.
class economy_docks_in_reach_t {
public:
    explicit economy_docks_in_reach_t(economy_ctrl_e& economy) : economy_(economy) {}
    economy_docks_in_reach_t(const economy_docks_in_reach_t&) = delete;
    economy_docks_in_reach_t& operator=(const economy_docks_in_reach_t&) = delete;

    // The dock of `trader` (whose id is `dock_id`) comes into reach, or leaves it; a dockless trader is
    // reported and changes nothing.
    void activate(int32_t dock_id, int32_t trader);
    void deactivate(int32_t dock_id, int32_t trader);
    // The id of the dock in reach whose yard holds `position` (-1 none).
    int32_t dock_at(const vec3_t& position) const;
    // The id of the dock whose yard the player's truck stands in (-1 none).
    void set_current(int32_t dock_id) { current_ = dock_id; }
    // Places the trailers of the current yard's ready slots within 120 m of the player's truck.
    void place_near_trailers();
    // Turns the open slots with a job of the next dock into ready ones.
    void promote_slots();
    // Forgets every dock in reach (the world's docks are gone).
    void clear() { active_.clear(); }
    // Indices of the docks in reach.
    const std::vector<int32_t>& active() const { return active_; }

private:
    economy_ctrl_e& economy_;
    std::vector<int32_t> active_;
    int32_t cursor_ = 0;
    int32_t current_ = -1;
};
