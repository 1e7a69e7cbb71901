#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/vec.h"
#include "common/save_game_owners.h"
#include "road/base_ctrl.h"
#include "road/box_pool.h"
#include "road/road_geo.h"
#include "road/ctrl_parts.h"
#include "road/route_cursor.h"
#include "road/vehicle_roads.h"

struct c_item_t;
struct snd_sound_t;
struct psm_t;
class game_bridge_t;
class physproc_t;

// Bytes of the game controller's save-game section.
constexpr int32_t game_ctrl_save_size = 651;
// Segment and aux segment slots a game controller makes.
constexpr int32_t game_ctrl_segment_slots = 80;
constexpr int32_t game_ctrl_aux_segment_slots = 64;
// Centimetres around the camera within which the road network is built and drawn.
constexpr float game_ctrl_road_reach = 60000.0f;
// Seconds a menu key waits before it is accepted again.
constexpr float game_ctrl_key_delay = 0.4f;
// Zoom of the game map over a city, and over the country.
constexpr float game_map_city_zoom = 69000.0f;
constexpr float game_map_country_zoom = 890000.0f;
// Where the remembered truck position goes when the map must be brought up to date at once.
inline const vec3_t map_far_away(0.0f, -666666688.0f, 0.0f);
// Squared distance the truck moves before the city lookup and the map run again (20 m).
constexpr float map_follow_distance_sq = 4000000.0f;
// The road map's component in the game map window.
constexpr int32_t game_map_component_id = 1000;
// Target models over the active stations: the dealer's (and any other item's), gas, service, weigh.
constexpr int game_ctrl_target_models = 4;
// City traffic loops a game controller plays.
constexpr int32_t game_ctrl_ambient_loops = 5;

// The light objects of one lit crossing while the traffic holds its road: 16 entry semaphores in
// four groups of four (one group per arm), -1 none.
struct cross_lights_t {
    int32_t ids[16];
    uint8_t disabled;
    int32_t edge;
};

// Variants a road hazard has at most (its own prefab first).
constexpr int32_t hazard_variants = 8;

// A Prefab edge that is built, from time to time, with a variant prefab instead of its own: the
// variants (prefab indices, variant 0 the edge's own), the first map sign of each (-1 none) and the
// variant chosen now.
struct hazard_entry_t {
    int32_t edge = -1;
    int32_t count = 0;
    int32_t variants[hazard_variants] = {};
    int32_t first_sign[hazard_variants] = {};
    int32_t chosen = 0;
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
class game_ctrl_e : public base_ctrl_e, public save_section_owner_t, public environment_ctrl_t, public vehicle_roads_t {
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
    // Keeps the camera position for the cut planes and the bug report; with "g_colbox" 1 draws the
    // pooled boxes.
    void draw() override;
    // The boxes' geometries keep pointers to their owner records inside the controller.
    void mem_move(ptrdiff_t delta) override;
    // The start of a game: the headquarters city's start when the player has one, else the map's.
    void get_start_pos(vec3_t& out_position, quat_t& out_rotation) override;
    // Items that are enabled only by day stay inactive at night.
    void activate_miscitem(map_miscitem_t& record) override;
    // The traffic takes on the roads of a built edge (a prefab's curves in groups of eight), and lets
    // them go when it is freed.
    void on_segment_built(int32_t edge) override;
    void on_segment_freed(int32_t edge) override;
    // The economy's loading dock on an edge comes into reach, or goes.
    void on_edge_built(int32_t edge) override;
    void on_edge_freed(int32_t edge) override;
    // The prefab of a road hazard's edge is the variant chosen now.
    const prefab_t* get_prefab_def(map_edge_t& edge, bool* out_variant) override;

    // Map items the controller adds at load: stations and dealers from prefabs' service points, and dry
    // boxes from the no-weather boxes of free items' models and of prefabs.
    void add_service_points();
    void add_noweather_items();
    // A dry box between corners `a` and `b`; false when the misc items cannot grow.
    bool add_noweather_box(const vec3_t& a, const vec3_t& b);
    // A segment build placed a sign board, which the box pool may lend a box to from now on, or is
    // taking it away (its box goes back to the pool).
    void on_instance_placed(board_instance_t& board) override;
    void on_instance_removed(board_instance_t& board) override;
    // The headquarters' target marker left the camera's range.
    // A headquarters item came into range: when no marker shows yet, the company with its headquarters
    // in the item's city (the economy says which) gets its marker there; with none the item shows none.
    void show_target(map_miscitem_t& record) override;
    void hide_target() override;
    // The 16 boxes lent to loose instances near the truck (made at phase 10).
    box_pool_t box_pool;
    // The road network's collision in the world's physics (made at phase 10) and its owner record.
    std::unique_ptr<road_geo_t> road_geo;
    contact_owner_t road_owner{0, contact_kind_world, 0.0f};
    // The edge a wheel's ray hit on the road collision belongs to (500000000 + free-item index for a free
    // item's mesh); no_edge for any other geometry.
    int32_t edge_of_contact(const cd_geo_t* geometry, uint32_t item) const override;
    // The road network's collision geometry, null before init phase 10 has inserted it.
    road_geo_t* get_road_geo() override { return road_geo.get(); }
    // The first solid hit of the static world on the ray from `point` to 3000 below it.
    bool find_ground(const vec3_t& point, vec3_t& out_point) override;
    // Blends the sky while the truck crosses a sky-swap zone.
    void update_sky_swap();
    // Reads the road hazards of "/defs/seg_server/prefabs.def" for the map's Prefab edges.
    void load_road_hazards();
    // Redraws the variants of the hazards that are not on screen every 600 s of frame time.
    void reshuffle_hazards(float dt);
    const std::vector<hazard_entry_t>& hazards() const { return hazards_; }

    // Everything a frame does after the movers, with `dt` the frame time in seconds.
    void tick(double dt);
    // Seconds since the start of the game week.
    float get_game_time() const { return game_clock; }
    // The clock and the dry boxes as the environment and the weather effects read them.
    float game_time() const override { return game_clock; }
    void set_game_time(float seconds) override { game_clock = seconds; }
    bool nearest_dry_box(const vec3_t& point, dry_box_t& out) override;
    // Hands the time of day's light to the segment server's models.
    void set_road_lighting(const vec3_t& direction, const vec3_t& diffuse, const vec3_t& ambient) override;
    // The wheel contact code of the truck on edge `edge`: -1 none or a junction, 2 a city road, and on a
    // road 0, 1 or 3 by its road type.
    int32_t edge_surface_class(int32_t edge) const override;

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

    // Navigation. Moves `cursor` by its speed times `dt` along its edge, through prefab curves and on to
    // the next edges; a cursor the traffic does not let go waits where it is.
    void next_path_point(route_cursor_t& cursor, float dt);
    // Puts `cursor` on `edge` at `fraction` of its length, in lane `lane`; false for an edge without a
    // road definition.
    bool enter_edge(route_cursor_t& cursor, int32_t edge, bool forward, float speed, float lane, float fraction,
                    float lateral_base);
    // Places a newly spawned car on `edge`, heading away from `next_edge`'s side when `next_edge` is on
    // its start node; fills the driver's route from the economy. `out_forward` receives the direction.
    void place_on_edge(route_cursor_t& cursor, int32_t edge, int32_t next_edge, float speed, float fraction,
                       bool* out_forward, int32_t driver, route_t* route, float lateral_base);
    // Recomputes the cursor's lateral offset from its lane; answers its edge's lanes, or null.
    const road_lanes_t* update_lane_offset(route_cursor_t& cursor) const;
    // The lane count of the first (`first`) or second direction of `edge`: 0 for a negative index, -1
    // for an edge without a road definition.
    int32_t road_def_word(int32_t edge, bool first) const;
    // Starts a curve from the cursor to lane `new_lane` a little ahead on the same edge.
    void start_curve(route_cursor_t& cursor, float new_lane);
    // The semaphore that guards the cursor's way ahead (set up on first use); 0 none, -1 when a prefab
    // cursor has no curve ("Wrong curve idx %d") or the semaphore is outside the array.
    int32_t get_prefab_curve(const route_cursor_t& cursor);
    // Picks the curve through prefab edge `edge` that the cursor enters, and links the car into it.
    void choose_prefab_curve(route_cursor_t& cursor, int32_t edge);
    // Picks one of `count` candidate curves: by the cursor's route when it has one, else at random.
    int32_t pick_curve(const route_cursor_t& cursor, const prefab_t& prefab, const int32_t* candidates, int32_t count);
    // What follows curve `curve`: a next curve (0 or more), -2 to -5 to leave into lane 1 to 4, -1 none.
    int32_t curve_continuation(const prefab_t& prefab, int32_t curve);
    // Fills the exit arms and lanes of the prefab edges of `route`.
    void link_lane_semaphores(route_t& route);
    // 10000 on a Road, 800 elsewhere.
    int32_t edge_spacing(const route_cursor_t& cursor) const;
    // The position of the start node of `edge` (zero past the end; untouched for a negative index).
    void get_edge_start_pos(int32_t edge, vec3_t& out) const;
    // The middle of `edge`'s curve moved beside the road, and the rotation of its direction.
    void edge_curve_point(int32_t edge, vec3_t& out_position, quat_t& out_rotation) const;
    // Whether a car at `point` heading `heading` drives on its own side of road `edge`.
    bool edge_curve_point_road(int32_t edge, const vec3_t& point, const vec3_t& heading) const;
    bool is_city_road(int32_t edge) const;
    // Whether either side of `edge` has a railing of type 3 or 4, or of type 7 to 9.
    bool edge_side_type_3_4(int32_t edge) const;
    bool edge_side_type_7_9(int32_t edge) const;

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
    // The playing track's sound, or null when none plays.
    snd_sound_t* music_track() const { return music_track_; }

    // Stations: one fuelling tick and one repair tick of `dt` seconds while their key is held.
    void fuel_step(float dt);
    void repair_step(float dt);
    // Draws the pumps' prices and numbers the dealers (at load and after a save game was read).
    void assign_station_prices();

    // The save-game section ("g4m3ctrlh34d3r", game_ctrl_save_size bytes).
    int32_t save(int file) override;
    int32_t check(int file, int32_t version) override;
    // Checks the section at the file's position without a controller: the bytes it spans (the file
    // left after them), or -1 (with a message) when a load would refuse it.
    static int32_t check_section(int file, int32_t version);
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
    // Puts the road collision into `physics` (once), or takes it out again before the controller goes.
    void insert_road_collision(physproc_t* physics);
    void remove_road_collision();
    // The physics process the road collision was inserted into.
    physproc_t* road_physics_ = nullptr;
    // The parts of the world the controller asks, each held for the call (see ctrl_parts.h).
    entity_handle_t economy_handle() const;
    entity_handle_t truck_handle() const;
    // Writes the player's truck's position into a window's report handler (the bug report), when both exist.
    void report_truck_position(c_item_t* window) const;
    entity_handle_t environment_handle() const;

    // The frame's steps.
    void game_keys(double dt);
    void map_follow();
    // Makes the game map window and finds its road map.
    void open_map_window();
    // Loads the four target models, frees them, and draws each active station's.
    void load_target_models();
    void free_target_models();
    void draw_station_targets();
    void far_view(double dt);
    void update_cut_planes();
    void station_interaction();
    void update_box_pool();
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
    // A truck that left an armed weigh station unweighed is reported with probability 0.8 when it
    // hauls a job.
    void report_passed_scales(int32_t job);
    // What job `job` pays, times `multiplier`, divided by 8 to 12.
    int32_t weighing_fine(int32_t job, int32_t multiplier);
    void close_stations();
    void set_station_text(c_item_t* window, int component, const char* text);
    // Plays one of the station sounds the controller made at phase 0.
    void play_ui_sound(int sound);

    // Navigation steps.
    bool ask_lane_unlink(route_cursor_t& cursor);
    void tell_lane_link(route_cursor_t& cursor, int32_t road, int32_t lane, int32_t flag);
    vec3_t prefab_place(const map_edge_t& edge, const prefab_t& prefab, const vec3_t& point) const;
    static void set_cursor_pose(route_cursor_t& cursor, const vec3_t& point, const vec3_t& tangent, bool lateral);
    void set_up_road_curve(route_cursor_t& cursor);
    static void road_pose(route_cursor_t& cursor, float u, bool city);
    // One step on a road or a prefab; true when the cursor was handed to another edge or segment and
    // goes on there.
    bool follow_road(route_cursor_t& cursor, float step);
    bool follow_prefab(route_cursor_t& cursor, float step);
    bool leave_prefab_curve(route_cursor_t& cursor, const prefab_t& prefab, const prefab_curve_t& curve);
    void shift_route(route_cursor_t& cursor);
    int32_t entry_semaphore(map_edge_t& edge, int32_t arm, int32_t lane);
    int32_t semaphore_ahead(int32_t edge, int32_t node, int32_t lane);
    int32_t set_up_semaphore(const map_edge_t& edge, int32_t id, const vec3_t& position, bool stop, int32_t group,
                             int32_t lane, bool three_arms);
    bool edge_curve(int32_t edge, vec3_t& p0, vec3_t& t0, vec3_t& p1, vec3_t& t1) const;
    void register_traffic_roads(int32_t edge, bool built);

    std::vector<cross_lights_t> cross_lights_;
    std::vector<hazard_entry_t> hazards_;
    std::vector<std::string> music_list_;
    snd_sound_t* music_track_ = nullptr;
    snd_sound_t* ambient_loops_[game_ctrl_ambient_loops] = {};
    // The station sounds (bell, fuelling start, stop and flow), made once and replayed.
    snd_sound_t* ui_sounds_[4] = {};
    c_item_t* notebook_ = nullptr;
    c_item_t* map_window_ = nullptr;
    // The road map (id 1000) of the game map window; the window owns it.
    c_item_t* map_component_ = nullptr;
    psm_t* target_models_[game_ctrl_target_models] = {};
    entity_handle_t traffic_;
    bool registered_ = false;
};
