#pragma once
#include <cstdint>

#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "common/bridge_parts.h"
#include "road/ctrl_parts.h"
#include "vehicles/player/cab_driver.h"
#include "vehicles/body/car_truck.h"
#include "vehicles/links/police_player.h"
#include "vehicles/links/trailer_view.h"
#include "vehicles/links/traffic_player.h"
#include "vehicles/links/vehicle_links.h"
#include "vehicles/player/player_cameras.h"
#include "vehicles/player/player_cb_radio.h"
#include "vehicles/player/player_input.h"
#include "vehicles/player/player_instruments.h"
#include "vehicles/player/player_scenes.h"
#include "world/environment_links.h"

struct c_item_t;
struct snd_sound_t;
class ui_view_t;
class windshield_drops_t;
class game_ctrl_e;

// The player's truck, registered as "actors.car": a truck with the two HUD windows, the cameras, the
// sound set and the stored state, the cab instruments, the driving input, the control settings, the
// CB radio, the player's side of coupling a trailer, the wreck response, the police ticket, the intro,
// the pager and the position history the police follows. It is also the game's camera.
class car_player_e : public car_truck_e,
                     public pager_owner_t,
                     public ticket_owner_t,
                     public trailer_tower_t,
                     public ctrl_truck_t,
                     public environment_truck_t,
                     public traffic_player_t,
                     public police_player_t {
public:
    // Camera modes (byte).
    enum camera_mode_t : uint8_t {
        cam_fly = 1,
        cam_traffic = 2,
        cam_intro = 3,
        cam_cabin = 4,
        cam_side = 5,
        cam_chase = 6,
        cam_top = 7,
        cam_dynamic = 8,
        cam_hood = 9,
        cam_roof = 10,
        cam_police = 11,
        cam_rear_mirror = 12,
        cam_side_mirror_1 = 13,
        cam_side_mirror_2 = 14,
        cam_beside_traffic = 15,
    };
    // Engine key states beyond the truck base's: key held from off, starting, stopping.
    static constexpr int32_t engine_key_held = 2;
    static constexpr int32_t engine_starting = 3;
    static constexpr int32_t engine_stopping = 6;
    // Wiper modes.
    enum wiper_mode_t : int32_t { wipers_off = 1, wipers_on = 2, wipers_finishing = 3 };
    // The player's truck's contact tag.
    static constexpr float player_mass = 3000.0f;
    static constexpr int history_size = history_entries;
    // The stored truck state: 66 words.
    static constexpr int state_words = 66;
    static constexpr int state_bytes = state_words * 4;
    // The cabin view's near and far planes.
    static constexpr float cabin_near_plane = 2.0f;
    static constexpr float cabin_far_plane = 10000.0f;
    // Longest build text, terminator included.
    static constexpr int build_capacity = 1024;
    // Sound set slots.
    enum sound_slot_t : int {
        snd_rain_in_light,
        snd_rain_in_heavy,
        snd_rain_out_light,
        snd_rain_out_heavy,
        snd_parking_set,
        snd_parking_release,
        snd_reverse,
        snd_attach,
        snd_detach,
        snd_jake,
        snd_air_brake,
        snd_click,
        snd_radar,
        snd_engine,
        snd_engine_start,
        snd_engine_stop,
        snd_horn,
        snd_scratch,
        snd_crash_0,
        snd_wiper_0 = snd_crash_0 + 4,
        snd_wiper_1,
        snd_gear_change,
        sound_count,
    };
    // Force-feedback effect kinds (the letters I, A, C and F) in the order of the id table.
    static constexpr int ff_kinds[4] = {73, 65, 67, 70};

    static const level_list_t player_init_list;
    static const level_list_t player_destroy_list;

    car_player_e();
    ~car_player_e() override;

    const char* get_default_name() const override { return "player"; }
    virtual const char* get_type_name() const { return "actors.car"; }
    // "truck_build", chained before the base's editable values.
    const evalue_def_t* get_evalue_root() const override;
    const level_list_t* get_init_list() const override { return &player_init_list; }
    const level_list_t* get_destroy_list() const override { return &player_destroy_list; }
    // Phase -1: the windshields; phase 10:
    // the HUDs, controls, sounds, intro and CB menu.
    int init(int phase) override;
    // Phase 0: every sound, window, effect and handle the truck holds.
    int destroy(int phase) override;
    // The frame handler (car_player_handler.cpp).
    void handler() override;
    void draw() override;
    // The engine's view is the truck's camera.
    void get_world_axial(mat4_t& matrix, mat4_t& inverse) override { place_camera(matrix, inverse); }

    // Traffic once per frame, then the truck's forces.
    void apply_forces() override;
    // The wreck response, then the base impact.
    void apply_impact(const vclip_contact_t* point, cd_geo_t* other, uint32_t other_item) override;
    bool place_on_ground(int mode) override;
    void create_body(int mode) override;
    bool build(const char* make, const char* const* accessories, int count) override;
    // Builds the truck from the "truck_build" text: a make then accessory names, separated by blanks.
    bool build_from_text();
    // The truck of a company truck record: `make` with its `count` accessories (empty names skipped),
    // painted `colour`. Before the first frame it only replaces "truck_build", which that frame builds;
    // after it the truck is built again at once and stays where it stands, or with `keep_position`
    // false goes back to its start place.
    void rebuild(const char* make, const char (*accessories)[32], int count, uint32_t colour, bool keep_position);
    // Puts the truck where a save game left it: at once when it has its body, else in its first frame
    // instead of the start place.
    void restore_place(const vec3_t& where, const quat_t& turn);
    // The first frame: the build from "truck_build", the body and the start place.
    void first_frame_setup();
    // Something solid lies up to 30 m below the truck.
    bool ground_below() const;
    // Holds the truck at its start place until the ground below exists, then drops it there.
    void wait_for_ground();

    // pager_owner_t: a line on the main HUD's pager; `with_sound` plays the pager sound.
    void pager_message(const char* text, int with_sound) override;
    // ticket_owner_t: the police stops the truck for `offence`; `amount` -1 charges the standard fine.
    void show_ticket(int32_t offence, int32_t amount) override;
    // traffic_player_t: the speed the traffic's lane changes and cruise speeds follow, and the camera
    // point its spawn and removal distances are measured from.
    float traffic_speed_mph() const override { return get_speed_mph(); }
    float traffic_speed() const override { return get_speed(); }
    vec3_t traffic_viewer_position() const override { return cameras_.viewer_position(); }
    // An economy driver's truck near the player: his CB call-in; and his panel cleared when it leaves.
    void driver_truck_arrived(int32_t driver) override { cb_radio_.call_in(driver); }
    void driver_truck_left() override { show_driver_panel(false, -1); }
    // trailer_tower_t.
    void detach_trailer(bool by_player) override;
    void set_trailer_damage_text(int32_t percent) override;
    void start_notice() override;
    // ctrl_truck_t.
    vec3_t truck_position() const override { return get_position(); }
    float truck_speed() const override { return speed_cms; }
    float truck_speed_mph() const override { return get_speed_mph(); }
    void get_fuel(float& out_capacity, float& out_percent) const override
    {
        car_truck_e::get_fuel(out_capacity, out_percent);
    }
    void set_fuel(float percent) override { car_truck_e::set_fuel(percent); }
    float damage() const override { return car_phys_e::damage; }
    void repair(float amount) override { car_truck_e::repair(amount); }
    int32_t trailer_job() const override { return get_trailer_job(); }
    void show_hud(bool shown) override;

    // Trailer coupling and the job HUD.
    void attach_trailer();
    void show_job_hud(bool show);
    // Has the job HUD show job `job`'s suggested route, its pager text (maybe none) left in `out_text`.
    void show_suggested_route(int32_t job, char* out_text, size_t out_size) const;
    void begin_trailer_reattach();
    int32_t get_trailer_job() const;
    void get_trailer_damage(float& out) const;
    void get_trailer_position(vec3_t& out) const;
    void get_trailer_orientation(quat_t& out) const;
    bool has_trailer() const { return !hitched_trailer.is_null(); }

    // The scenes: the police ticket and the start-of-game intro.
    bool recovery_active() const override { return scenes_.ticket_running(); }
    float offence_clock() const override { return scenes_.offence_clock(); }
    void end_police() override { road_offence_timer = 0.0f; }
    player_scenes_t& scenes() { return scenes_; }

    // The CB panel of a driver and its call-in.
    void show_driver_panel(bool show, int32_t driver);

    // Skid marks on the road while the truck slides (`hard_ground`), ruts elsewhere: a strip behind
    // each rear wheel once the truck has moved far enough (tyre_tracks.cpp).
    void update_tyre_tracks(bool hard_ground);
    // How hard the truck slides: its sideways speed in metres per second.
    float lateral_slip() const;

    // Position history for the police.
    void update_history();
    void reset_history();
    void get_history(int i, vec3_t& out_position, quat_t& out_orientation) const override;
    int32_t get_history_index() const override { return history_index; }
    void set_radar_interval(float seconds) override { instruments_.set_radar_interval(seconds); }

    // The cameras: the frame of the current mode (the engine's view) and the switch between modes.
    void place_camera(mat4_t& matrix, mat4_t& inverse) { cameras_.place(matrix, inverse); }
    void set_camera_mode(uint8_t mode) { cameras_.set_mode(mode); }
    player_cameras_t& cameras() { return cameras_; }

    // Sounds (car_player_state.cpp).
    // The fixed sound set (init phase 10).
    void load_sounds();
    // The engine, engine start and stop, horn and gear-change sounds the make names (after each build).
    void load_make_sounds();
    void update_sounds();
    void update_engine_sound(float dt);
    void stop_rain_loops();
    // The stored state (car_player_stored_state.cpp).
    int save_state(int file);
    // Writes the stored state of a truck fresh from its make (no dents, no damage, no offence, the
    // chase camera, lights off, wipers off); answers the bytes written.
    static int save_default_state(int file);
    int load_state(int file, int version);
    // Bytes of the stored state a save of `version` holds: 264 for 14, 260 for 13, else 248.
    static int state_record_bytes(int version);

    // The cab instruments: the wipers parked (the options), the windshields' rain (the weather), the
    // dial shaders (after a build, in the cabin view, as the headlights switch).
    void reset_wipers() { instruments_.reset_wipers(); }
    void set_windshield_rain(float level) override { instruments_.set_windshield_rain(level); }
    void set_rain_shelter(bool sheltered) override { instruments_.set_rain_shelter(sheltered); }
    void setup_interior() { instruments_.setup_interior(); }
    player_instruments_t& instruments() { return instruments_; }

    // The driving input: one frame of impulses read into the controls record.
    virtual void drive_input() { input_.drive(); }
    player_input_t& input() { return input_; }

    // Control settings, force feedback and the rescue (car_player_controls.cpp).
    void apply_control_settings();
    void force_feedback_update();
    void play_road_rumble();
    void refresh_friction(float dt);
    void call911_repair();
    // Puts the truck back at the place three history entries back, dropped onto the ground.
    void reset_to_road();

    // The CB radio.
    player_cb_radio_t& cb_radio() { return cb_radio_; }

    // HUD helpers: the component `id` of the main HUD (or the job HUD with `job`), null when absent.
    ui_view_t* hud_view(int32_t id, bool job = false) const;
    void hud_show(int32_t id, bool shown, bool job = false) const;
    void hud_value(int32_t id, float value) const;
    void hud_text(int32_t id, const char* text, bool job = false) const;
    void hud_press(int32_t id, bool pressed) const;
    // The game controller of the world, held for as long as the world lives, or null.
    game_ctrl_e* game_ctrl() const;
    float dt_frame() const { return frame_seconds(); }
    // The environment's rain and snow levels (0 none, 1 light, 2 heavy), 0 without one.
    int32_t rain_level() const;
    int32_t snow_level() const;
    // The hide-HUD flag of the game controller (its map window), false without one.
    bool hud_hidden_by_ctrl() const;

    // --- Fields ---
    c_item_t* main_hud = nullptr;
    c_item_t* job_hud = nullptr;
    uint32_t hud_detail = 2;
    windshield_drops_t* windshields[2] = {nullptr, nullptr};
    // The driver the cabin view shows turning the wheel.
    cab_driver_t cab_driver;

    // Position histories of the truck and the trailer.
    vec3_t history_position[history_size];
    quat_t history_orientation[history_size];
    vec3_t trailer_history_position[history_size];
    quat_t trailer_history_orientation[history_size];
    int32_t history_index = 0;

    // Tyre tracks: where each rear wheel's track (left, right) last ended and the skid value marks on
    // the road need (above 1.0).
    vec3_t last_marks[2];
    float skid_value = 0.0f;

    float crash_timer = 0.0f;
    uint8_t scratch = 0;

    // Sounds.
    snd_sound_t* sounds[sound_count] = {};
    float engine_fade = 0.0f;

    // Where the body stood last frame (the odometer and the input's standing test).
    vec3_t previous_body_position;

    // Force feedback on the joystick the control settings name (-1 none).
    uint8_t force_feedback = 0;
    int32_t joystick = -1;
    int32_t ff_friction[10] = {};
    float ff_timer = 0.0f;

    // Odometer: centimetres driven (for the log and the tests).
    double distance_driven = 0.0;

protected:
    // Plays the gear-change sound.
    void gear_changed() override;

private:
    // Plays the force-feedback effect of ff_kinds[kind_index] once.
    void shake_force(int kind_index) const;
    void insert_huds();
    void apply_hud_flags();
    // The truck's start place from the game controller, then dropped onto the ground.
    void place_at_start();
    // Tells the economy when the truck enters or leaves a loading dock's yard (car_player_dock.cpp).
    void track_dock();
    void road_direction_check(float dt);
    void tyre_smoke_step(float dt);

    char truck_build[build_capacity] = "";
    uint8_t set_up = 0;
    // Set while nothing lies below the start place: the truck is held there.
    uint8_t waiting_for_ground = 0;
    vec3_t start_place;
    uint8_t place_restored = 0;
    quat_t restored_turn;

    // Trailer re-hitch window after a load.
    uint8_t reattach = 0;
    float reattach_timer = 0.0f;
    vec3_t landing_points[3];

    // Tyre tracks: the sum of the squared moves since the last strip, the body position of the frame
    // before, and whether the tracks' ends are known.
    float track_distance = 0.0f;
    vec3_t track_body_position;
    uint8_t marks_placed = 0;

    uint8_t traffic_pending = 0;
    snd_sound_t* pager_sound = nullptr;
    uint8_t no_rain = 0;
    uint8_t ff_effects[4] = {};

    // Frame handler timers.
    float brake_held = 0.0f;
    float reverse_timer = 0.0f;
    float sound_timer = 0.0f;
    float road_test_timer = 0.0f;
    float road_offence_timer = 0.0f;
    int32_t road_counter = 0;
    int32_t game_seconds = 0;
    int32_t game_hour = 0;
    vec3_t player_points[2];
    // The loading dock whose yard the truck stands in, as the economy was last told (-1 none).
    int32_t current_dock = -1;

    player_cameras_t cameras_{*this};
    player_cb_radio_t cb_radio_{*this};
    player_instruments_t instruments_{*this};
    player_scenes_t scenes_{*this};
    player_input_t input_{*this};
};
