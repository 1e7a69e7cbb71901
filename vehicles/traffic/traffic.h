#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "common/bridge_parts.h"
#include "common/save_game_owners.h"
#include "engine/entity_handle.h"
#include "engine/gfx_render.h"
#include "engine/level_list.h"
#include "engine/vec.h"
#include "physics/dynamic_object.h"
#include "road/ctrl_parts.h"
#include "vehicles/traffic/ai_car_def.h"
#include "vehicles/traffic/ai_truck.h"
#include "vehicles/links/player_links.h"
#include "vehicles/links/vehicle_links.h"
#include "vehicles/traffic/traffic_car.h"
#include "vehicles/traffic/traffic_car_bodies.h"
#include "vehicles/traffic/traffic_catalogue.h"
#include "vehicles/traffic/traffic_motor_sounds.h"
#include "vehicles/traffic/traffic_offences.h"
#include "vehicles/traffic/traffic_road.h"

class car_police_e;
class cd_geo_box_t;
class game_bridge_t;
class game_ctrl_e;
class physproc_t;
struct c_item_t;
struct snd_sound_t;

// The AI traffic of a game world, registered as "traffic": 128 car slots (slot 0 is kept for an
// economy driver's truck), the roads near the player that the game controller registers, the car
// catalogue, and the once-per-frame update that spawns, steps, streams and removes cars. The player's
// truck runs the update from its physics step; the game controller's navigation moves each car along
// its route and links it into the lane lists of the roads it enters. The car catalogue, the cars'
// collision boxes, their motor sounds and the player's offences are parts that keep their own state.
class traffic_e : public dynamic_object_e,
                  public traffic_commands_t,
                  public ctrl_traffic_t,
                  public player_traffic_t,
                  public ai_truck_tow_t,
                  public save_section_owner_t {
public:
    // The most cars the traffic runs at once.
    static constexpr int32_t car_capacity = 128;
    static_assert(car_capacity == traffic_car_bodies_t::slot_count);
    // Seconds of the start burst, in which a spawn is tried every frame.
    static constexpr float start_burst_seconds = 5.0f;
    // Spawn interval by day; at night it is thirty times as long.
    static constexpr float day_spawn_interval = 0.2f;
    static constexpr float night_spawn_factor = 30.0f;
    // Squared viewer distances: streaming of models (60 m) and removal (500 m), and two cars closer
    // than 2 m overlap.
    static constexpr float near_distance = 3.6e7f;
    static constexpr float far_knocked_distance = 3.6e8f;
    static constexpr float removal_distance = 2.5e9f;
    static constexpr float knocked_removal_distance = 2.5e8f;
    static constexpr float overlap_distance = 40000.0f;
    // Squared distances of the AI truck: released beyond 900 m of the viewer; sounds its horn within
    // about 42 m of the player's truck.
    static constexpr float ai_truck_removal_distance = 8.1e9f;
    static constexpr float ai_truck_horn_distance = 1.8e7f;
    // Squared distance within which a police car of the traffic stops the player for a pending offence.
    static constexpr float ticket_distance = 7.2e6f;
    // Offences of the player: hitting a traffic car, driving against the traffic, no headlights at
    // night, passing a weigh station.
    static constexpr int32_t offence_hit_car = 120;
    static constexpr int32_t offence_wrong_way = 150;
    static constexpr int32_t offence_no_lights = 160;
    static constexpr int32_t offence_weigh_station = 180;
    // Squared distance beyond the viewer at which a police post may be placed by the road (about 346 m).
    static constexpr float police_post_distance = 1.2e9f;

    traffic_e();
    ~traffic_e() override;

    const char* get_default_name() const override { return "traffic"; }
    const level_list_t* get_init_list() const override;
    const level_list_t* get_destroy_list() const override;
    // Phase -2: registers in the bridge (a second traffic is refused); phase 0: loads its resources.
    int init(int phase) override;
    // Phase -1: lets go of the crossings' lights; phase 0: frees everything it owns.
    int destroy(int phase) override;
    // Every frame: the offence clock.
    void handler() override;
    // The car bodies point at their tag records inside the traffic.
    void mem_move(ptrdiff_t delta) override;
    // Contacts of the car bodies are the traffic's own; the bases' response does not apply. The moving
    // body's owner answers the contact (`mover`), the owner of the body it hit is told of it.
    void on_contact(const phys_contact_t& contact, bool mover) override;
    // A car becomes a free body with its hazard lights on; now and then it smokes.
    void knock_car(int32_t car);
    // Whether a car is a free body after a contact.
    bool is_knocked(int32_t car) const;

    // Reports "We have N registered roads and M of 128 spawned cars".
    void print_info() const override;

    // The game controller's calls.
    void register_road(int32_t id, int32_t edge, int32_t prefab_group, int32_t first_curve) override;
    void unregister_road(int32_t id, int32_t edge) override;
    // Takes the car of `cursor` out of its lane list; false (the car waits) unless it is the first car.
    bool lane_unlink(route_cursor_t& cursor) override;
    // Appends the car of `cursor` to lane `lane`, direction `direction` of the road with id `road`; a
    // road the traffic has not registered releases the car.
    void lane_link(route_cursor_t& cursor, int32_t road, int32_t lane, int32_t direction) override;
    // An offence of the player (see the offence codes); `value` is the car hit for 120 and the fine for
    // 180. Dropped while another offence is pending.
    void report_offence(int32_t code, int32_t value) override;
    // The police is to punish `code`: the police truck is told, or one is sent on a pursuit.
    void call_police(int32_t code, int32_t value);
    // Places a police post watching the road at `position` (only while the world has no police).
    void spawn_police(const vec3_t& position, const quat_t& rotation, bool must_see);
    // The pending offence is settled or dropped: the player's wrong-road check starts again.
    void cancel_offence();

    // The save-game section: the bare magic; nothing else of the traffic is kept.
    int32_t save(int file) override;
    int32_t check(int file, int32_t version) override;
    // Checks the section at the file's position without a traffic: the bytes it spans (the file left
    // after them), or -1 when a load would refuse it.
    static int32_t check_section(int file, int32_t version);
    int32_t load(int file, int32_t version) override;

    // Reads the catalogue, makes the car block, the road array, the free stack, the flares and sounds.
    void load_resources();
    // The one-second road step: removes one pending road whose lanes are empty.
    void purge_road_step();
    // Gives a car slot back; with `free_body` its crossing reservation too.
    void release_car(int32_t car, bool free_body);
    // The per-frame step with the world's time and frame time (read from the process).
    void update() override;
    void step(double clock, float dt);
    // Takes a car out of any place of its lane list.
    void unlink_car(int32_t car);
    // Loads the smoke emitter of a damaged car from "/scripts/game/ai_car_smoke.esc".
    void load_smoke();
    // The smoking car stops smoking.
    void stop_smoke() override;
    // Removes every car (after a reset the start burst runs again).
    void reset() override;
    // One spawn attempt; true when it placed a car or no slot was free.
    bool spawn_car();
    // Whether a car may spawn at `position` in `lane`, `direction`, with spacing term `spacing`.
    bool spawn_point_ok(const vec3_t& position, int32_t lane, int32_t direction, float spacing) const;
    // Puts a spawned car into its lane list on its road.
    bool place_car(int32_t car, int32_t lane, int32_t direction);
    // Links a car into lane `lane`, `direction` of road `road_slot`: among the cars of its edge by the
    // distance along it, else at the rear; false (the traffic is reset) when the list loops.
    bool insert_into_lane(int32_t car, int32_t road_slot, int32_t lane, int32_t direction);
    // From `start` on, the first car on `edge_before` (`out_after` false: the place is in front of it),
    // or the last of the cars on `edge_after` (`out_after` true); -1 when the list ends first.
    int32_t find_lane_slot(int32_t edge_before, int32_t edge_after, int32_t start, bool& out_after) const;
    // Moves a car into another lane list of its road and direction.
    void move_to_lane(int32_t car, int32_t lane);
    // Lane changes to lane - 1 and lane + 1, when the edge is long enough and the lane has room.
    void change_lane_down(int32_t car);
    void change_lane_up(int32_t car);
    // Whether `lane` of the car's road has no car within 120 m of it.
    bool lane_has_room(int32_t car, int32_t lane);
    // The driving step of one car: the obstacle test, then its driving state.
    void car_step(int32_t car);
    // Brings the car's speed towards its target speed, and its lane offset towards its target.
    void adjust_speed(int32_t car);
    // False (the car becomes blocked) when the player's truck or a knocked car stands in its way.
    bool path_clear(int32_t car);
    // Whether `point` lies outside the 10 m cone ahead of a car at `position` heading `heading`.
    bool point_clear(const vec3_t& point, const vec3_t& position, const vec3_t& heading);
    // Draws a new cruise speed for `car`.
    void pick_cruise_speed(int32_t car);
    // Creates and removes the car's collision body.
    void load_car_model(int32_t car);
    void unload_car_model(int32_t car);
    // The three reference points of the player's truck, given each frame by the truck.
    void set_player_points(const vec3_t& front, const vec3_t& rear, const vec3_t& middle) override;
    // The offence the police is after, -1 none.
    int32_t pending_offence() const override { return offences_.pending(); }
    // The offences counted and the one pending.
    traffic_offences_t& offences() { return offences_; }
    const traffic_offences_t& offences() const { return offences_; }
    // The driver of the economy truck driving through the traffic, -1 none.
    int32_t ai_truck_driver() const override { return ai_truck.present ? ai_truck.driver : -1; }
    // How busy the roads are: 0 below 70 % of the slots spawned, 1 up to 90 %, 2 above.
    int32_t level() const override;
    // The AI truck may sound its horn once more.
    void answer_horn() override;
    // Where a car is and where it heads: its body's when knocked, else its route's.
    vec3_t car_point(int32_t car) const;
    quat_t car_rotation(int32_t car) const;
    // Copies a car's position and rotation.
    void get_car_pose(vec3_t& out_position, quat_t& out_rotation, int32_t car) const;
    // The pose of a spawned car; false for a free slot.
    bool car_pose(int32_t car, vec3_t& out_position, quat_t& out_rotation) const override;
    // ai_truck_tow_t: the truck of slot 0.
    bool ai_truck_knocked() const override { return is_knocked(0); }
    void ai_truck_pose(vec3_t& out_position, quat_t& out_rotation) const override
    {
        get_car_pose(out_position, out_rotation, 0);
    }
    // The slot whose route cursor is `cursor`, -1 when none.
    int32_t car_of(const route_cursor_t& cursor) const;

    // Drawing of the cars (slot 0 draws itself): their shadow and headlight decals before the world,
    // then every spawned car by its distance, with wheels, lights and sirens.
    void pre_draw() override;
    void draw() override;
    void draw_shadows();
    void draw_light_decals();
    // The colour of a car's shadow and light decals at squared viewer distance `viewer_distance`: every
    // byte the opacity, full within 60 m and fading to none at 100 m.
    static uint32_t decal_colour(float viewer_distance);
    // One flare sprite at `position` (model space) when its `facing` looks towards the camera.
    void draw_flare(const vec3_t& position, const vec3_t& facing, const c_item_t* shader);
    // The up-axis half turn of the wheels on the right side.
    static const quat_t& wheel_flip_rotation();

    // The motor sounds: nine channels shared by the near cars, by the cars' sound class.
    traffic_motor_sounds_t& motor_sounds() { return motor_sounds_; }

    // The car models and the happy-hour car.
    traffic_catalogue_t& catalogue() { return catalogue_; }
    const traffic_catalogue_t& catalogue() const { return catalogue_; }
    // The model for a car about to be spawned on `edge`; false when no model is taken this time.
    bool choose_car_model(int32_t edge, uint8_t& model) const;

    // The economy driver's truck in slot 0, towing a trailer of its own.
    // Shows the driver's truck on `edge` (an edge of a registered road, out of the viewer's sight) with
    // a trailer of `trailer_make`; the truck is built from `truck_make` and its accessories.
    void spawn_ai_truck(int32_t edge, int32_t driver, const char* trailer_make, int32_t trailer_variant,
                        const char* truck_make, const char (*truck_accessories)[ai_truck_t::accessory_name_size],
                        uint32_t paint_colour);
    // The per-frame route step while the truck is present: the driver's route, the CB call-in, the lane.
    void drive_ai_truck();
    // Slot 0 off the lane lists (driving into a truck dock): when the car pass did not step it, the
    // game controller moves it along its route, without a model; past 0.6 of its current edge it leaves
    // the traffic, unless it entered on an edge numbered above that one.
    void move_ai_truck_off_lanes();
    // Frees the previous build and reads every named accessory of the truck's make.
    void build_ai_truck(const char* make, const char (*accessories)[ai_truck_t::accessory_name_size]);
    void read_truck_accessory(const char* make, const char* accessory);
    // A model of an accessory with its ":"-separated shader list; null (reported) when it does not load.
    psm_t* load_ai_truck_model(const char* make, const char* accessory, const char* model_name,
                               const char* shader_list);
    // The shader of a light of an accessory; null (reported) when missing.
    c_item_t* load_ai_truck_flare(const char* make, const char* accessory, const char* name);
    // Frees the build: the part models and their light shaders, the wheel models and the horn.
    void free_ai_truck();
    // Draws slot 0 as the truck and passes its lights to the trailer.
    void draw_ai_truck();

    // The world's bridge: found at init phase -2 unless given before.
    game_bridge_t* bridge = nullptr;

    bool dark = false;                // night: models are taken by their night probability
    entity_handle_t controller_link;  // the game controller

    // The car slots (empty until the resources are loaded).
    std::vector<traffic_car_t> cars;
    // The registered roads; the array grows with the roads the controller holds built.
    std::vector<traffic_road_t> roads;
    // Free slots (1..127; slot 0 is never handed out) and the spawned cars in spawn order.
    std::vector<int32_t> free_slots;
    std::vector<int32_t> spawned;
    // Cars that have become free bodies.
    std::vector<int32_t> knocked;

    // The world time of this frame and the frame's time.
    double clock = 0.0;
    float time_step = 0.0f;
    // Written by the controller when a car gives its crossing back.
    uint32_t last_reservation = 0;
    // Spawn and removal distances are measured from here.
    vec3_t viewer_position;
    std::array<vec3_t, 3> player_points{};
    float player_speed_mph = 0.0f;
    float player_speed = 0.0f;

    float step_timer = 0.0f;
    float blink_timer = 0.0f;
    float spawn_timer = 0.0f;
    float horn_timer = 0.0f;
    float siren_phase = 0.0f;
    bool start_burst = true;
    float start_burst_timer = 0.0f;
    // Where the next one-second road step continues.
    int32_t road_cursor = 0;

    // The smoke emitter (a car_smoke_e, one use held) and the car it follows, -1 for none.
    entity_handle_t smoke_emitter;
    int32_t smoking_car = -1;
    // Squared distance of the last obstacle test.
    float last_obstacle_distance = 0.0f;
    // The sprite every flare is drawn with; its colour and scale are written per flare.
    gfx_sprite_t flare_sprite{{0.0f, 0.0f, 0.0f}, 0xFFFFFFFFu, 0.35f, 0.0f, {0.0f, 0.0f}, {1.0f, 1.0f}, nullptr};
    ai_truck_t ai_truck;

private:
    // Instantiates the police truck's block and registers it as the world's police; null when either
    // fails (the caller checks the bridge first).
    car_police_e* bring_police();
    // False while the console variable "g_traffic" is "0".
    static bool enabled();
    physproc_t* physics() const;
    // Removes a car from the road: model, slot and lane list.
    void remove_car(int32_t car);
    // The car pass over one lane list from its first car.
    void walk_lane(int32_t first);
    // Steps one car; false when it was removed (the walk of its list ends).
    bool step_car(int32_t car);
    // Moves one knocked car with its body.
    void follow_body(int32_t car);
    // Now and then a police post is placed by a Road edge far from the viewer.
    void police_chance();
    // The contact passes: the owner of the hit body is told, and the moving car's response.
    void contact_notified(const phys_contact_t& contact);
    void contact_response(const phys_contact_t& contact);
    // Shows the player's truck the ticket for `code`; `value` as report_offence passes it.
    void direct_ticket(int32_t code, int32_t value);
    // Punishes `code`: through the police truck when the details allow one, else with a ticket at once.
    void punish(int32_t code, int32_t value, bool police_truck);
    // Brings the hour and the happy-hour car up to date from the game clock.
    void update_hour();
    // Reads the player's speeds and camera point, and the night, for this frame.
    void read_world();
    // The driving states.
    void drive_cruise(int32_t car);
    void drive_follow(int32_t car);
    void drive_approach(int32_t car);
    void drive_blocked(int32_t car, bool clear);
    void drive_semaphore_wait(int32_t car);
    void drive_restart_delay(int32_t car);
    // Target speed cruise + 1000, regulated.
    void cruise_on(int32_t car);
    // Reads a semaphore's reservation (-10 free), its stop point and light; -10 without a controller.
    int32_t semaphore_state(int32_t id, vec3_t* out_position, int32_t* out_light);
    // Writes a semaphore's reservation; answers its wait time.
    uint32_t reserve_semaphore(int32_t id, int32_t value);
    // Gives back a held semaphore that lies more than about 19 m away.
    void release_far_semaphore(int32_t car);
    // Reserves the car's next semaphore in place of the one it holds; a wait makes it wait.
    void take_semaphore(int32_t car);
    // Whether the car's road has more than one lane in its direction.
    bool road_has_lanes(const traffic_car_t& car) const;
    // A lane change by `step` (-1 or +1), and the speed it raises the car to.
    void change_lane(int32_t car, int32_t step, float pace);
    // What find_place_outwards answers when no road edge is left on either side.
    static constexpr int32_t disconnected = -2;
    // The car of `car`'s lane list (from `first`) nearest along the roads around the car's edge; -1
    // without a controller to ask.
    int32_t find_place_outwards(int32_t car, int32_t first, bool& out_after);
    // Slot 0 was released: the trailer goes, and the economy and the player's truck learn that the
    // driver's truck left.
    void leave_ai_truck();
    // Releases everything loaded by load_resources.
    void free_resources();
    // Drawing of one car (slot 0 only shows its collision box, with `boxes`); outside the `main_view`
    // the car's drawing state is left as it is.
    void draw_car(int32_t car, bool boxes, bool main_view);
    void draw_wheels(const traffic_car_t& c, const ai_car_def_t& def);
    void draw_car_lights(const traffic_car_t& c, const ai_car_def_t& def, bool near);
    void draw_sirens(int32_t car, const ai_car_def_t& def);
    void draw_collision_box(int32_t car);
    // Whether the road segment of `edge` is shown (an edge the controller does not hold counts as shown).
    bool edge_shown(int32_t edge);
    // Places one decal of `script` centred at `centre`, projected from 500 above to 500 below.
    void place_car_decal(const char* script, const vec3_t& centre, const vec3_t& heading, float length, float width,
                         uint32_t colour);

    std::array<snd_sound_t*, 5> horn_sounds_{};
    std::array<snd_sound_t*, 2> engine_loops_{};
    snd_sound_t* siren_sound_ = nullptr;
    std::array<c_item_t*, 5> flare_shaders_{};
    // The collision boxes of the cars near the viewer.
    traffic_car_bodies_t car_bodies_;
    traffic_motor_sounds_t motor_sounds_{*this};
    traffic_catalogue_t catalogue_;
    traffic_offences_t offences_;
};
