#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "physics/cd_bounds.h"
#include "world/environment_links.h"

struct route_cursor_t;
struct route_t;

// What the game controller asks of the world's other parts. The economy, the traffic, the player's
// truck and the environment are built by their own subsystems and registered in the world's bridge;
// the controller reaches each through one of these interfaces, so an empty bridge slot (or an entity
// without the interface) simply means there is nothing to ask.

// The economy controller, as the game clock and the stations use it.
class ctrl_economy_t {
public:
    virtual ~ctrl_economy_t() = default;
    // Settles the game week that just ended (runs once per wrap of the game clock).
    virtual void weekly_report() = 0;
    // Number of truck dealers of the game.
    virtual int32_t dealer_count() const = 0;
    // The city of the player's headquarters, an index into the segment server's cities; -1 none.
    virtual int32_t headquarters_city() const = 0;
    // The name of city `index` (its definition file's name under "/defs/cities"), or null.
    virtual const char* city_name(int32_t index) const = 0;
    // The name city `index` is shown by (its definition's "name", as spelt there), or null.
    virtual const char* city_display_name(int32_t index) const = 0;
    // For the company whose headquarters is city `city`: its level and colour (level -1 when none).
    virtual void city_headquarters(int32_t city, int32_t& out_level, int32_t& out_colour) const = 0;
    // The player company's money in dollars.
    virtual int32_t money() const = 0;
    // Adds `dollars` (negative: spends) to the player company.
    virtual void add_money(int32_t dollars, int32_t flag) = 0;
    // What the player's current truck is worth, in dollars.
    virtual int32_t current_truck_value() const = 0;
    // Fills all entries of `route` with the next edges of `driver` (exit arms and lanes -1).
    virtual void driver_route_ahead(int32_t driver, route_t& route) = 0;
    // Fills the last entry of `route` after its entries moved up by one.
    virtual void driver_route_node6(route_t& route) = 0;
    // Whether job `job` carries too much weight, and what it pays (the base of a weighing fine).
    virtual bool job_overweight(int32_t job) const = 0;
    virtual int32_t job_pay(int32_t job) = 0;
    // The player has found dealer `dealer`.
    virtual void mark_dealer_known(int32_t dealer) = 0;
    // The loading dock of trader `trader` on edge `edge` came into reach, or went out of it.
    virtual void dock_activate(int32_t edge, int32_t trader) = 0;
    virtual void dock_deactivate(int32_t edge, int32_t trader) = 0;
};

// The AI traffic, as the navigation and the road builds use it.
class ctrl_traffic_t {
public:
    virtual ~ctrl_traffic_t() = default;
    // Takes on a built road: `id` its traffic road, `kind` 0 a road or 1 a prefab's group of curves
    // from `first_curve` on.
    virtual void register_road(int32_t id, int32_t edge, int32_t kind, int32_t first_curve) = 0;
    // Lets go of a road.
    virtual void unregister_road(int32_t id, int32_t edge) = 0;
    // Asks whether the car of `cursor` may leave its lane now; false makes it wait.
    virtual bool lane_unlink(route_cursor_t& cursor) = 0;
    // Reports an offence of the player to the police (code 180: passing a weigh station), with a fine.
    virtual void report_offence(int32_t code, int32_t fine) = 0;
    // Links the car of `cursor` into lane `lane` of traffic road `road`; `flag` 1 when it runs from the
    // road's start (or into a prefab curve group).
    virtual void lane_link(route_cursor_t& cursor, int32_t road, int32_t lane, int32_t flag) = 0;
};

// The player's truck, as the controller reads and serves it.
class ctrl_truck_t {
public:
    virtual ~ctrl_truck_t() = default;
    virtual vec3_t truck_position() const = 0;
    // Speed in units per second.
    virtual float truck_speed() const = 0;
    // Speed in miles per hour.
    virtual float truck_speed_mph() const = 0;
    // Tank capacity in fuel units and fill level in percent.
    virtual void get_fuel(float& out_capacity, float& out_percent) const = 0;
    virtual void set_fuel(float percent) = 0;
    // Damage from 0 (none) to 1.
    virtual float damage() const = 0;
    // Repairs `amount` of the damage.
    virtual void repair(float amount) = 0;
    // The job of the attached trailer, -1 none.
    virtual int32_t trailer_job() const = 0;
    // Shows or hides the driving HUD (hidden while the map is up).
    virtual void show_hud(bool shown) = 0;
};

// The road map of the game map window, as the controller follows the truck with it.
class ctrl_map_view_t {
public:
    virtual ~ctrl_map_view_t() = default;
    // Shown in the game map (following the truck), in the close city view or not, from `zoom` above.
    virtual void set_map_view(uint8_t shown, uint8_t city, float zoom) = 0;
    // Rebuilds the map from the road network inside `region`.
    virtual void build_map(const cd_bounds_t& region) = 0;
};
