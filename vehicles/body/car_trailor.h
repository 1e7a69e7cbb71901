#pragma once
#include <cstdint>

#include "engine/entity_handle.h"
#include "vehicles/body/car_phys.h"

class def_obj_t;
struct c_item_t;

// The semi-trailer, registered as "actors.trailer". A hitched trailer has no joint: every physics step
// it is turned about the vertical and moved so that its kingpin follows the towing truck's hitch point,
// and it is lost when it cannot follow. It belongs to a cargo job: it holds a loading-dock slot until
// it is taken away, is delivered when unhitched near its target (then fades out and goes), and a
// trailer left behind goes once the player is far from it. Its body and parts come from its make.
class car_trailor_e : public car_phys_e {
public:
    // Wheel bones a trailer's base model may have.
    static constexpr int wheel_bone_limit = 8;
    // Longest make or accessory name, terminator included.
    static constexpr int name_capacity = 20;
    // Part slots the make's further models take from (0 is unused, 1 the rear wheel, 2 the base).
    static constexpr int first_extra_slot = 3;

    car_trailor_e();
    ~car_trailor_e() override;

    const char* get_default_name() const override { return "actors.trailer"; }
    int init(int phase) override;
    // Phase 0: lets go of the player's job (only its own undelivered job trailer) and withdraws the
    // trailer from the player's truck.
    int destroy(int phase) override;
    void handler() override;
    // The trailer (unless the towing truck's camera hides it) and, over a job trailer that waits at its
    // dock, its job label fading with the camera's distance.
    void draw() override;
    // The hitch point at the trailer's own rear (world).
    void get_hitch_point(vec3_t& out) override;
    // Damage scaled by the cargo's factor; the towing truck shows it.
    void set_damage(float amount) override;
    // Unless destroy is requested: the vehicle forces (or rest after 5 s unhitched), then the hitch.
    void apply_forces() override;

    // Hitches to the truck already stored as towing_truck.
    void attach();
    // Unhitches; delivers the job when the trailer stands within 20 m of its target. Detaches once:
    // a second call (the truck's own detach calling back) does nothing.
    void detach();
    // Loads the make, places the trailer and (unless `mode` is 1) drops it onto the ground; false, with
    // the trailer to be removed, when it cannot be placed.
    bool setup_cargo(const char* make, int variant, float damage_scale, float value, const vec3_t& where,
                     const quat_t& turn, int32_t owner, int32_t slot, int32_t job, const vec3_t& target, int mode);
    // Reads the make and builds the body when there is none.
    void load_make(const char* make, int variant);
    void place_at(const vec3_t& where, const quat_t& turn);
    void restore_damage(float value) { damage = value; }
    vec3_t get_kingpin_world() const { return kingpin_world; }
    float get_cargo_value() const { return cargo_value; }
    bool is_towed_by_ai() const { return towed_by_ai; }
    void flag_if_unhitched();
    void request_destroy() { destroy_requested = true; }
    void fade_out_step();
    // Contact kind -10, the geometry's owner this trailer.
    void set_contact_kind();
    // The job label window: made at init phase 0 (one use held), given back at destroy; its handler
    // shows the trailer's job.
    void open_job_window();
    void close_job_window();
    void write_job_label();

    // The make: "/makes/trailer/<make>/description.def" and its accessories.
    void read_description(const char* make, int variant);
    void read_accessory(const char* make, const char* accessory, int variant);
    // Level of detail of the rear wheel model.
    void set_high_detail(bool on);

    // One physics step of following the hitch: the yaw correction, the move, and the lost test.
    void hitch_step(car_phys_e& truck);
    // Turns the trailer about the vertical by its yaw error towards `hitch` and moves its kingpin there;
    // answers the trailer's heading before the turn.
    vec3_t align_to_hitch(const vec3_t& hitch);
    // Hitches the trailer to the AI truck of the traffic at `where`, `turn`, with `make` and `variant`.
    void attach_to_ai_truck(const char* make, int variant, const vec3_t& where, const quat_t& turn);
    // One physics step behind the AI truck of the traffic (nothing while the truck is a knocked body).
    void follow_ai_truck();

    entity_handle_t player_link;
    c_item_t* job_window = nullptr;
    bool job_label_shown = false;
    bool vehicle_active = false;
    int32_t fade_state = 0;
    float alpha = 255.0f;
    bool destroy_requested = false;
    vec3_t kingpin_world;
    int32_t feet_part = -1;
    vec3_t kingpin_local;
    vec3_t spawn_position;
    vec3_t spawn_target;
    float dock_timer = 0.0f;
    int32_t dock_owner = -1;
    int32_t dock_slot = -1;
    int32_t job_index = -1;
    bool dock_slot_held = false;
    bool towed_by_ai = false;
    bool left_behind = false;
    float cargo_value = 0.0f;
    bool settled = false;
    float settle_timer = 0.0f;
    float hitch_timer = 0.0f;
    float damage_factor = 1.0f;
    float idle_timer = 0.0f;
    // Set once the job's delivery was paid; the economy is not told to let the job go afterwards.
    bool delivered = false;
    // Set once the player's truck hitched it, which made its job the player's.
    bool hitched_by_player = false;
    // The last yaw correction (degrees), articulation angle (radians) and correction length of a step.
    float last_yaw = 0.0f;
    float last_articulation = 0.0f;
    float last_correction = 0.0f;

    // The make.
    char make_name[name_capacity] = "";
    char accessory_names[car_phys_e::model_slot_count][name_capacity] = {};
    psm_t* rear_wheel_model = nullptr;
    vec3_t wheel_positions[wheel_bone_limit];
    int32_t wheel_count = 0;
    int32_t next_slot = first_extra_slot;

protected:
    // The rear wheels found on the base model.
    int drawn_wheels(car_drawn_wheel_t* out, int capacity) const override;

private:
    // The base accessory: wheel places, kingpin, figures, feet, size and the rear ray points.
    void read_base(const def_obj_t& keys, const char* make, const char* accessory, int variant);
    // Rebuilds the body in `mode` keeping its place and turn.
    void rebuild_body(int mode);
    // Takes the trailer's entity block out of the world (the next frame).
    void remove_block();
    // The unhitched step of the handler: the offer to the player, the clean-up when left behind, sleep.
    void unhitched_step(float dt);
    // Releases the dock slot when held.
    void release_dock_slot();
};
