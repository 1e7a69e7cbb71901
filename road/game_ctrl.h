#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/vec.h"
#include "common/save_game_owners.h"
#include "road/base_ctrl.h"
#include "road/box_pool.h"
#include "road/road_collision.h"
#include "road/road_geo.h"
#include "road/city_ambience.h"
#include "road/ctrl_parts.h"
#include "road/game_map_view.h"
#include "road/game_music.h"
#include "road/game_stations.h"
#include "road/road_hazards.h"
#include "road/route_cursor.h"
#include "road/sky_swap.h"
#include "road/traffic_light_cycle.h"
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

// What the game controller keeps in its save-game section besides the player's profile: its own
// clock and key timer and its parts' saved states.
struct game_ctrl_saved_t {
    float game_clock = 0.0f;
    float key_timer = 0.0f;
    map_view_state_t map;
    sky_swap_state_t sky_swap;
    station_state_t stations;
    float hazard_timer = 0.0f;
    int32_t current_loop = -1;
    int32_t dealer_start = 0;
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
    // The edge a wheel's ray hit on the road collision belongs to (500000000 + free-item index for a free
    // item's mesh); no_edge for any other geometry.
    int32_t edge_of_contact(const cd_geo_t* geometry, uint32_t item) const override;
    // The road network's collision geometry, null before init phase 10 has inserted it.
    road_geo_t* get_road_geo() override { return road_collision_.geometry(); }
    // The road network's collision in the world's physics (inserted at init phase 10).
    road_collision_t& road_collision() { return road_collision_; }
    // The first solid hit of the static world on the ray from `point` to 3000 below it.
    bool find_ground(const vec3_t& point, vec3_t& out_point) override;
    // Blends the sky while the truck crosses a sky-swap zone.
    void update_sky_swap();
    const sky_swap_t& sky_swap() const { return sky_swap_; }
    // The road hazards: Prefab edges built now and then with a variant of their prefab.
    road_hazards_t& hazards() { return hazards_; }
    const road_hazards_t& hazards() const { return hazards_; }

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
    // The traffic lights' cycle and the light objects of the lit crossings the traffic holds.
    traffic_light_cycle_t& lights() { return lights_; }
    const traffic_light_cycle_t& lights() const { return lights_; }

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

    // The game map window and the city the truck is in.
    game_map_view_t& map_view() { return map_view_; }
    const game_map_view_t& map_view() const { return map_view_; }
    // The city traffic loop that plays while the truck is in a city.
    const city_ambience_t& ambience() const { return ambience_; }
    // The player's music (the jukebox plays it; the frame starts the next track).
    game_music_t& music() { return music_; }
    const game_music_t& music() const { return music_; }

    // The stations: fuel, repair, the weigh station and the dealers.
    game_stations_t& stations() { return stations_; }
    const game_stations_t& stations() const { return stations_; }

    // The save-game section ("g4m3ctrlh34d3r", game_ctrl_save_size bytes).
    int32_t save(int file) override;
    int32_t check(int file, int32_t version) override;
    // Checks the section at the file's position without a controller: the bytes it spans (the file
    // left after them), or -1 (with a message) when a load would refuse it.
    static int32_t check_section(int file, int32_t version);
    int32_t load(int file, int32_t version) override;
    // Re-applies the windows, prices, city loop and sky of a game that was just read.
    void after_load() override;
    // The section's fields as they stand, and a read section's taken over (indices the world does not
    // have are reported and none, or the first, taken).
    game_ctrl_saved_t saved() const;
    void take_saved(game_ctrl_saved_t fields);

    // The world's bridge: found at init phase -10 unless given before.
    game_bridge_t* bridge = nullptr;
    // The parts of the world the controller and its parts ask, each held for the call (see
    // ctrl_parts.h); empty without a bridge.
    entity_handle_t economy_handle() const;
    entity_handle_t truck_handle() const;
    entity_handle_t environment_handle() const;
    entity_handle_t traffic_handle() const;
    // Finds a window of the bridge, or inserts it and gives it to the bridge.
    c_item_t* open_window(const char* group, const char* name, unsigned flags, const char* script);
    // The notebook window (made at init phase 0), or null.
    c_item_t* notebook() const { return notebook_; }

    // Game clock in seconds of the week.
    float game_clock;
    // Seconds before the next menu key is accepted.
    float key_timer = 0.0f;
    // First dealer number handed out by the station numbering.
    int32_t dealer_start = 0;

private:
    // Writes the player's truck's position into a window's report handler (the bug report), when both exist.
    void report_truck_position(c_item_t* window) const;

    // The frame's steps.
    void game_keys(double dt);
    // The game map follows the player's truck.
    void map_follow();
    void far_view(double dt);
    void update_cut_planes();
    void update_box_pool();
    void weekly_settlement();
    // Refuses a map: the world goes back to the menu.
    void refuse_map();
    // Phase 10 after the map was read.
    void build_after_load();
    // Puts the map's misc items into the active lists by type (movers, sky swaps, stations, cut planes,
    // no-weather boxes).
    void activate_items();

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

    c_item_t* notebook_ = nullptr;
    entity_handle_t traffic_;
    bool registered_ = false;
    game_music_t music_{*this};
    traffic_light_cycle_t lights_{*this};
    game_map_view_t map_view_{*this};
    city_ambience_t ambience_;
    road_hazards_t hazards_{*this};
    sky_swap_t sky_swap_{*this};
    game_stations_t stations_{*this};
    road_collision_t road_collision_{*this};
};
