#pragma once
#include <cstdint>

#include "engine/entity_handle.h"
#include "vehicles/body/car_phys.h"

class car_smoke_e;
class def_obj_t;
struct truck_folders_t;

// The truck on top of the vehicle physics: engine with a torque table, gearbox with clutch and
// automatic shifting, drive force, air drag and rolling resistance, fuel, cruise control, repair and
// the exhaust smoke. Its parts and numbers come from its make (car_truck_e::build). The player's truck
// and the police truck derive from it.
class car_truck_e : public car_phys_e {
public:
    // Engine states. State 5 stands both for "out of fuel" and for "stop requested": the driving input
    // treats them alike, so one value serves both on purpose.
    enum engine_state_t : int32_t { engine_off = 1, engine_running = 4, engine_stopped = 5 };
    static constexpr int torque_entries = 60;
    static constexpr int gear_limit = 20;
    static constexpr int accessory_limit = 64;
    // Longest make or accessory name, terminator included.
    static constexpr int name_capacity = 32;
    // Longest paint shader path, terminator included.
    static constexpr int path_capacity = 512;
    static constexpr int smoke_count = 5;

    car_truck_e();
    ~car_truck_e() override;

    // Phase 0: the ground friction table from the materials file and the smoke emitters.
    int init(int phase) override;
    int destroy(int phase) override;
    // Per frame: the vehicle's handler, the engine, the fuel, the clutch.
    void handler() override;
    // The truck's own origin in world space.
    void get_hitch_point(vec3_t& out) override;

    // Assembles the truck from a make and up to `count` accessory names (at most 64; empty names are
    // skipped). False when the make name does not fit.
    virtual bool build(const char* make, const char* const* accessories, int count);

    // Drag, drive force, rpm, the automatic gearbox, smoke; once per frame.
    void engine_update(float dt);
    // Torque at `rpm` from the table, lowered by the damage.
    float torque(int rpm) const;
    // Fills the torque table from the power (or the full-power flag).
    void fill_torque_table();
    void shift_up(bool with_clutch);
    void shift_down(bool with_clutch);
    // Lowers the damage by `amount` and straightens the cabin in proportion.
    void repair(float amount);
    // Centimetres per second.
    float get_speed() const { return speed_cms; }
    void get_fuel(float& out_tank, float& out_fuel) const;
    void set_fuel(float level) { fuel = level; }
    // The ground friction table from "/defs/materials/materials.def".
    void load_skid_material();
    // The exhaust, tyre and damage smoke emitters from their entity blocks.
    void load_smoke();

    int32_t engine_state = engine_off;
    float fuel = 100.0f;
    float tank = 0.0f;
    float consumption = 1.0f;
    uint16_t rpm = 0;
    uint16_t torque_table[torque_entries] = {};
    float power = 0.0f;
    uint8_t full_power = 0;
    float ratios[gear_limit] = {};
    uint8_t gear_count = 0;
    float current_ratio = 0.0f;
    float drive_factor = 0.7f;
    int32_t selected_gear = 0;
    float clutch_timer = 0.0f;
    float clutch_time = 0.0f;
    uint8_t clutching = 0;
    uint8_t shifting_up = 0;
    uint8_t automatic = 1;
    float shift_timer = 0.0f;
    uint8_t cruise = 0;
    float cruise_speed = 0.0f;
    float speed_cms = 0.0f;
    vec3_t drive_force;
    float brake_air_use = 0.0f;
    uint8_t smoke_bone_missing = 0;
    uint8_t exhaust_pipes = 0;
    // Set by the player's truck while its tyres smoke.
    uint8_t tyre_smoke = 0;
    vec3_t exhaust_points[2];
    int32_t pipes_slot = -1;
    // Exhaust (2), tyre (2) and damage (1) smoke emitters.
    entity_handle_t smoke[smoke_count];
    // The build: make, accessory names, paint.
    char make_name[name_capacity] = "";
    char accessory_names[accessory_limit][name_capacity] = {};
    char paint_shader[path_capacity] = "";
    char paint_shader_interior[path_capacity] = "";
    uint8_t painted = 0;
    int32_t interior_slot = -1;
    // The front and rear wheel models.
    psm_t* wheel_models[2] = {nullptr, nullptr};
    // The wheels' places in the truck's frame: the two front wheels, then the rear wheels.
    vec3_t wheel_places[2 + rear_visual_limit];
    vec3_t damage_smoke_point;
    // The cabin's blinker points and the side and roof camera places, and the cabin camera's place.
    vec3_t blinker_points[2];
    vec3_t side_camera;
    vec3_t roof_camera;
    vec3_t interior_offset;
    // The interior accessory's name and its dial shader lists for lights on [0] and off [1].
    char interior_name[name_capacity] = "";
    char interior_shaders[2][256] = {};
    // The make's own sounds, as paths in their accessory's folder ("" when it names none): the cabin's
    // engine, engine start and stop and horn, and the transmission's gear change. The player's truck
    // makes its sounds from them.
    enum make_sound_t : int {
        make_engine,
        make_engine_start,
        make_engine_stop,
        make_horn,
        make_gear_change,
        make_sound_count
    };
    char make_sounds[make_sound_count][path_capacity] = {};

protected:
    // The two front wheels and the rear wheels at their chassis places.
    int drawn_wheels(car_drawn_wheel_t* out, int capacity) const override;
    // The gearbox began or finished a change (the player's truck plays its gear-change sound).
    virtual void gear_changed() {}
    // Shows a message on the player's pager (nothing for other trucks).
    void pager(const char* text);
    // Moves the exhaust emitters to the pipes and, with the tyre-smoke flag, the tyre emitters to the
    // first rear wheel and the middle of the rear axle.
    void place_smoke();
    // Switches one smoke emitter on or off.
    void set_smoke(int index, bool on);

private:
    // A change with the clutch begins (unless one runs): neutral while the clutch is down, then one
    // gear up or down from the gear it left.
    void begin_clutch(bool up);
    // The clutch timer runs down; below 0 the change completes without the clutch.
    void clutch_update(float dt);
    void fuel_update(float dt);
    // Reads one accessory into the truck.
    void read_accessory(const char* accessory);
    // The chassis: wheel places, the figures and the size, the body box.
    void read_base(const def_obj_t& keys, const truck_folders_t& folders);
    // A model-carrying accessory of `type` (pipes, cabin, interior, lights or a plain model).
    void read_model_accessory(const def_obj_t& keys, const truck_folders_t& folders, const char* type);
    // The cabin's deform bones, measures and damage-smoke point.
    void read_cabin(psm_t* cabin, int slot);
    // Ties the slots that follow a deform bone to the cabin: they sit at the cabin's offset plus their
    // own and take the bone's place, dents included, when drawn.
    void follow_cabin_bones();
    // Puts a model into the next free slot; -1 (the model freed, reported) when all 64 are taken.
    int take_model_slot(psm_t* model, const vec3_t& offset);
    // Frees the wheel models.
    void free_wheel_models();

public:
    // Shows the interior parts that light with a light while that light is on, hides them otherwise.
    void light_interior_parts();
};
