#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"

struct psm_t;

// What the economy asks of the rest of its world: the clocks, the player's truck, the pager, the main
// HUD, the trailers it places, the traffic that shows its drivers' trucks and the game controller's
// markers. The game's world answers through the bridge (economy_bridge_world.h); tests answer with a
// stand-in, so a career runs headless.

// A trailer to place at a dock slot for a job.
struct trailer_order_t {
    const char* make;
    int32_t variant;
    float fragility;
    float weight;
    vec3_t position;
    quat_t orientation;
    int32_t dock;
    int32_t slot;
    int32_t job;
    vec3_t destination;
};

// A driver's truck the traffic is asked to show on the road.
struct driver_truck_order_t {
    int32_t route_node;
    int32_t driver;
    const char* trailer_make;
    int32_t trailer_variant;
    const char* truck_make;
    const char (*accessories)[32];
    uint32_t colour;
};

// The player's truck as a company truck record builds it: the make, its accessories, the paint.
struct player_truck_build_t {
    const char* make;
    const char (*accessories)[32];
    int32_t accessory_count;
    uint32_t colour;
};

// The player's truck as a save game keeps it beside the economy.
struct player_truck_state_t {
    vec3_t position;
    quat_t orientation;
    bool has_trailer = false;
    vec3_t trailer_position;
    quat_t trailer_orientation;
    float trailer_damage = 0.0f;
    float fuel = 0.0f;
};

// The economy's view of its world.
class economy_world_t {
public:
    virtual ~economy_world_t() = default;
    // The world process's clock and the frame's length, in seconds.
    virtual double world_time() const = 0;
    virtual float frame_time() const = 0;
    // The game clock: seconds of the game week.
    virtual float game_time() const = 0;
    // The city the game controller counts the player's truck in (-1 none).
    virtual int32_t current_city() const = 0;
    // The position of the start node of road edge `edge`.
    virtual vec3_t edge_start(int32_t edge) const = 0;
    // The player's truck's position; false when there is no truck.
    virtual bool truck_position(vec3_t& out) const = 0;
    // A line on the pager of the player's truck.
    virtual void pager(const char* text, int flag) = 0;
    // Opens the main HUD window (the world's, else one built from its script) and shows it.
    virtual void open_hud_window() = 0;
    // The main HUD's component `id`: a new text, or shown or hidden.
    virtual void hud_text(int32_t id, const char* text) = 0;
    virtual void hud_show(int32_t id, bool shown) = 0;
    // Plays the cash register sound once.
    virtual void cash_sound() = 0;
    // Lights `model` with the world's lights as it draws.
    virtual void light_model(psm_t* model) = 0;
    // The game controller rebuilds its headquarters markers.
    virtual void refresh_city_markers() = 0;
    // Places a trailer; answers its entity handle word, or 0 when it could not be placed.
    virtual uint32_t place_trailer(const trailer_order_t& order) = 0;
    // Tells a trailer standing at a slot that its dock went out of range.
    virtual void release_trailer(uint32_t trailer) = 0;
    // The traffic shows a driver's truck.
    virtual void show_driver_truck(const driver_truck_order_t& order) = 0;
    // The player's truck's state for a save game, and its state put back; false without a truck.
    virtual bool truck_state(player_truck_state_t& out) const = 0;
    virtual void restore_truck_state(const player_truck_state_t& state, uint32_t colour) = 0;
    // Builds the player's truck again as `build` says and paints it; with `keep_position` the truck
    // stays where it stands, else it goes back to the road's start.
    virtual void rebuild_player_truck(const player_truck_build_t& build, bool keep_position) = 0;
    // The damage of the player's truck (0 new, 1 wrecked); 0 without a truck.
    virtual float player_truck_damage() const = 0;
    // Spawns the trailer a save brings back behind the player's truck: placed as `order` says (its
    // dock and slot -1), with `damage`; answers its handle word, 0 when it cannot be spawned.
    virtual uint32_t restore_towed_trailer(const trailer_order_t& order, float damage) = 0;
    // The player's truck's own stored state, written straight into the save file after the economy's
    // fields; answers the bytes written (0 when the world keeps none).
    virtual int32_t truck_record_save(int file)
    {
        (void)file;
        return 0;
    }
    // Reads that state back as save `version` wrote it; answers the bytes read.
    virtual int32_t truck_record_load(int file, int32_t version)
    {
        (void)file;
        (void)version;
        return 0;
    }
    // The length of that state as save `version` wrote it (0 when the world keeps none).
    virtual int32_t truck_record_bytes(int32_t version) const
    {
        (void)version;
        return 0;
    }
    // Shows the game-over window, or the notebook's competition page.
    virtual void show_game_over_window(bool notebook) = 0;
};
