#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"
#include "road/vehicle_roads.h"
#include "world/environment_links.h"

// What the vehicles ask of the parts a world's bridge holds. The economy, the environment and the
// game controller are built by other subsystems and implement these; a vehicle reaches them through
// held_part_t, so an empty slot (or an entity without the interface) means there is nothing to tell.

// The economy controller's operations the vehicles call.
class vehicle_economy_t {
public:
    virtual ~vehicle_economy_t() = default;
    // Shows the truck damage (0..1) on the main HUD's gauge.
    virtual void set_hud_damage(float damage) = 0;
    // The job whose trailer the player now tows, with its target point; null target: the job is let go.
    virtual void set_player_job(int32_t job, const vec3_t* target) = 0;
    // The trailer of `job` was unhitched near its target with `damage` (0..1): pay the delivery.
    virtual void deliver_player_job(int32_t job, float damage) = 0;
    // Frees the loading-dock slot a trailer held.
    virtual void dock_slot_release(int32_t owner, int32_t slot) = 0;
    // The road edge under the player's vehicle, -1 when none.
    virtual void set_current_road(int32_t edge) = 0;
    // The id of the loading dock in reach whose yard holds `position`, -1 when none.
    virtual int32_t dock_at(const vec3_t& position) const = 0;
    // The loading dock the player's truck now stands at, -1 once it left: trailers are placed for it there.
    virtual void set_current_dock(int32_t dock) = 0;
    // Adds `delta` to the player company's prestige (kept within 0..100); shown when `update_hud`.
    virtual void add_prestige(float delta, bool update_hud) = 0;
};

// What a trailer asks of the truck that tows it (the player's truck implements it).
class trailer_tower_t {
public:
    virtual ~trailer_tower_t() = default;
    // The trailer came off: the truck forgets it (`by_player` when the player asked).
    virtual void detach_trailer(bool by_player) = 0;
    // Shows the towed trailer's damage in percent.
    virtual void set_trailer_damage_text(int32_t percent) = 0;
    // Starts the HUD's short notice.
    virtual void start_notice() = 0;
};

// The traffic, as the trailer of the economy driver's truck (the traffic's car slot 0) follows that truck.
class ai_truck_tow_t {
public:
    virtual ~ai_truck_tow_t() = default;
    // The truck was knocked off its route: the trailer is left to itself.
    virtual bool ai_truck_knocked() const = 0;
    // The truck's place and turn.
    virtual void ai_truck_pose(vec3_t& out_position, quat_t& out_rotation) const = 0;
};

// The economy's drivers, as the traffic drives one driver's truck along his route.
class traffic_economy_t {
public:
    virtual ~traffic_economy_t() = default;
    // The route edge the driver is on, and the next one (-1 past the route's end); false when none.
    virtual bool driver_route_node(int32_t driver, int32_t& out_node) const = 0;
    virtual bool driver_next_node(int32_t driver, int32_t& out_node) const = 0;
    // Moves the driver on to his next route edge.
    virtual void driver_route_step(int32_t driver) = 0;
    // Whether the driver's truck is in the traffic (the economy then leaves its progress to the traffic).
    virtual void set_driver_spawned(int32_t driver, bool on) = 0;
};
