#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/vec.h"
#include "frame/save_game_owners.h"
#include "road/base_ctrl.h"
#include "road/ctrl_parts.h"

struct c_item_t;
struct snd_sound_t;
class game_bridge_t;

// Bytes of the game controller's save-game section.
constexpr int32_t game_ctrl_save_size = 651;
// Segment and aux segment slots a game controller makes.
constexpr int32_t game_ctrl_segment_slots = 80;
constexpr int32_t game_ctrl_aux_segment_slots = 64;
// Seconds a menu key waits before it is accepted again.
constexpr float game_ctrl_key_delay = 0.4f;
// Zoom of the game map over a city, and over the country.
constexpr float game_map_city_zoom = 69000.0f;
constexpr float game_map_country_zoom = 890000.0f;
// City traffic loops a game controller plays.
constexpr int32_t game_ctrl_ambient_loops = 5;

// The light objects of one lit crossing while the traffic holds its road: 16 entry semaphores in
// four groups of four (one group per arm), -1 none.
struct cross_lights_t {
    int32_t ids[16];
    uint8_t disabled;
    int32_t edge;
};

// The sky-swap state: the zone the truck is in and the skies it blends between.
struct sky_swap_state_t {
    int32_t item = -1;
    float near_point[2] = {};
    float far_point[2] = {};
    float direction[2] = {};
    float length = 0.0f;
    int32_t far_sky = -1;
    int32_t near_sky = -1;
    int32_t current_sky = -1;
};

// What the stations keep between frames (windows, visits, prices, fuelling and repair progress).
struct station_state_t {
    c_item_t* gas_window = nullptr;
    uint8_t at_gas_pump = 0;
    c_item_t* service_window = nullptr;
    uint8_t at_service = 0;
    c_item_t* weigh_window = nullptr;
    uint8_t weigh_shown = 0;
    float weigh_point[2] = {};
    uint8_t weigh_armed = 0;
    uint8_t weigh_done = 0;
    // Dollars per fuel unit at the current pump.
    float fuel_price = 1.58f;
    int32_t fuel_ticks = 0;
    int32_t fuel_paid = 0;
    float fuel_timer = 0.0f;
    uint8_t dealer_armed = 1;
    int32_t repair_cost = 0;
    int32_t repair_step_cost = 0;
    float repair_damage = 0.0f;
    float repair_timer = 0.0f;
};

// The game controller, registered as "game.ctrl": the map controller of a game world. On top of the
// road network it keeps the game clock and the night flag, cycles the traffic lights, serves the
// stations, plays the player's music and the city ambience, runs the game keys, the game map window
// and the far view distance, and keeps its section of the save game.
class game_ctrl_e : public base_ctrl_e, public save_section_owner_t {
public:
    game_ctrl_e();
    ~game_ctrl_e() override;

    const char* get_default_name() const override { return "game_ctrl"; }
    // The registered type name.
    virtual const char* get_type_name() const { return "game.ctrl"; }
    // Phase -10: slots, segment server, registration in the bridge; phase 0: the sounds; phase 10: the
    // map named by the bridge and what depends on it. A map that is refused ends the game world.
    int init(int phase) override;
    // Phase 0 gives back the windows, sounds and lists the controller holds.
    int destroy(int phase) override;
    // One frame: the base's movers, then tick() with the world's frame time.
    void handler() override;
    // Keeps the camera position for the cut planes and the bug report.
    void draw() override;
    // The start of a game: the headquarters city's start when the player has one, else the map's.
    void get_start_pos(vec3_t& out_position, quat_t& out_rotation) override;
    // Items that are enabled only by day stay inactive at night.
    void activate_miscitem(map_miscitem_t& record) override;

    // Everything a frame does after the movers, with `dt` the frame time in seconds.
    void tick(double dt);
    // Seconds since the start of the game week.
    float get_game_time() const { return game_clock; }
    // The wheel contact code of the truck on edge `edge`: -1 none or a junction, 2 a city road, and on a
    // road 0, 1 or 3 by its road type.
    int32_t edge_surface_class(int32_t edge) const;

    // Traffic lights. The reservation of semaphore `id` (and its stop point in `out_position`); an id
    // outside the array is reported ("Wrong semaphore index") and answers -10.
    int32_t get_semaphore(int32_t id, vec3_t* out_position);
    // Sets the reservation of semaphore `id`; answers its waiting time (also in `out_wait`). An id
    // outside the array is reported and changes nothing (answer 0).
    uint32_t set_semaphore(int32_t id, int32_t value, uint32_t* out_wait);
    // The light of semaphore `id`; an id outside the array is reported and answers 0.
    int32_t get_semaphore_light(int32_t id);
    // Gives the lit crossing `edge` its light object (when the traffic takes its road on).
    void attach_cross_lights(int32_t edge);
    // Takes the light object of `edge` away.
    void detach_cross_lights(int32_t edge);
    // Advances the shared light cycle by `dt` real seconds.
    void traffic_light_cycle(double dt);
    // Sets the lights of every light object for the phase of `mask`.
    void apply_light_mask(uint8_t mask);
    // The light objects of the crossings the traffic holds.
    const std::vector<cross_lights_t>& cross_lights() const { return cross_lights_; }

    // Music: lists "/music/" (".ogg" and ".wav", sorted by name ignoring case).
    void build_music_list();
    // Starts the next track when the music is on and none plays; true when it started one.
    bool music_update();
    // Plays the track at list position `index`; a negative index stops the track.
    void music_select(int32_t index);
    // Plays "/music/NAME"; null or "" stops the track.
    void music_play_track(const char* name);
    // Stops the music and turns it off.
    void music_stop();
    const std::vector<std::string>& music_list() const { return music_list_; }

    // Stations: one fuelling tick and one repair tick of `dt` seconds while their key is held.
    void fuel_step(float dt);
    void repair_step(float dt);
    // Draws the pumps' prices and numbers the dealers (at load and after a save game was read).
    void assign_station_prices();

    // The save-game section ("g4m3ctrlh34d3r", game_ctrl_save_size bytes).
    int32_t save(int file) override;
    int32_t load(int file, int32_t version) override;
    // Re-applies the windows, prices, city loop and sky of a game that was just read.
    void after_load() override;

    // The world's bridge: found at init phase -10 unless given before.
    game_bridge_t* bridge = nullptr;

    // Game clock in seconds of the week.
    float game_clock;
    // Seconds before the next menu key is accepted.
    float key_timer = 0.0f;
    // Game map view.
    uint8_t map_shown = 0;
    uint8_t in_city = 1;
    uint8_t city_zoom = 1;
    float map_zoom = game_map_city_zoom;
    int32_t city_index = -1;
    sky_swap_state_t sky_swap;
    station_state_t stations;
    // Seconds towards the next redraw of the road hazards.
    float hazard_timer = 0.0f;
    // City traffic loop playing (-1 none).
    int32_t current_loop = -1;
    // First dealer number handed out by the station numbering.
    int32_t dealer_start = 0;
    // Light cycle: phase 0 to 7, its timer in seconds and its one-bit mask (0x80 >> phase).
    uint8_t light_phase = 0;
    float light_timer = 10.0f;
    uint8_t light_mask = 0x80;
    // Music.
    uint8_t music_on = 0;
    int32_t music_current = 0;

    // The truck position the city lookup last ran at, shared by every game controller.
    static vec3_t remembered_truck_position;

private:
    // The parts of the world the controller asks, each held for the call (see ctrl_parts.h).
        entity_handle_t economy_handle() const;
    entity_handle_t truck_handle() const;
    entity_handle_t environment_handle() const;

    // The frame's steps.
    void game_keys(double dt);
    void map_follow();
    void far_view(double dt);
    void update_cut_planes();
    void station_interaction();
    void update_city_ambience();
    void weekly_settlement();
    // Shows or inserts a window of the bridge and shows it.
    c_item_t* open_window(const char* group, const char* name, unsigned flags, const char* script);
    // Refuses a map: the world goes back to the menu.
    void refuse_map();
    // Phase 10 after the map was read.
    void build_after_load();
    // Puts the map's misc items into the active lists by type (movers, sky swaps, stations, cut planes,
    // no-weather boxes).
    void activate_items();
    void load_ambient_sounds();
    void free_sounds();
    void gas_entry(const map_miscitem_t& item, float speed_mph);
    void service_entry(float speed_mph);
    void weigh_entry(float speed_mph);
    void dealer_arrival(const map_miscitem_t& item);
    void close_stations();
    void set_station_text(c_item_t* window, int component, const char* text);
    // Plays one of the station sounds the controller made at phase 0.
    void play_ui_sound(int sound);

    std::vector<cross_lights_t> cross_lights_;
    std::vector<std::string> music_list_;
    snd_sound_t* music_track_ = nullptr;
    snd_sound_t* ambient_loops_[game_ctrl_ambient_loops] = {};
    // The station sounds (bell, fuelling start, stop and flow), made once and replayed.
    snd_sound_t* ui_sounds_[4] = {};
    c_item_t* notebook_ = nullptr;
    c_item_t* map_window_ = nullptr;
    entity_handle_t traffic_;
    bool registered_ = false;
};
