#pragma once
#include <cstdint>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/cd_filter.h"
#include "physics/dynamic_object.h"
#include "vehicles/body/vehicle_controls.h"
#include "vehicles/body/vehicle_flares.h"

class cd_geo_compound_t;
class physproc_t;
struct phys_contact_t;
struct psm_t;

// One model of a vehicle's build: its instance, where it sits, and the cabin bone it follows.
struct car_model_slot_t {
    psm_t* model = nullptr;
    vec3_t offset;
    int32_t follow_bone = -1;
    // The cabin's deform bone (by number, "bone_offset") the slot follows once the build has its cabin;
    // -1 none.
    int32_t follow_deform = -1;
    // Lights bits of the light entries the slot carries (0: none), and their flares.
    uint8_t light_bits = 0;
    std::vector<vehicle_flare_t> flares;
    // Parts of the truck's interior model that light with the light (named by "interior_p"), -1 none.
    char interior_part_names[2][32] = {};
    int32_t interior_parts[2] = {-1, -1};
};

// One ray-cast wheel on a linear spring, in the vehicle's frame.
struct car_wheel_t {
    vec3_t force_point;
    vec3_t ray_point;
    // 0..100; 100 means no ground.
    float spring_length = 100.0f;
    uint8_t in_contact = 0;
    int32_t ground_kind = 0;
    vec3_t contact_point;
};

// One wheel as it is drawn: its place in the vehicle's frame, its model and its visual offset.
struct car_drawn_wheel_t {
    vec3_t place;
    psm_t* model = nullptr;
    bool front = false;
    float offset = 50.0f;
};

// Damage taken at one place of the body.
struct car_corner_damage_t {
    float amount = 0.0f;
    vec3_t direction;
    vec3_t place;
};

// A cabin bone that bends inwards on impacts along its direction.
struct car_deform_bone_t {
    int32_t bone = -1;
    vec3_t direction;
    float amount = 0.0f;
};

// The physical base of every truck and trailer: a rigid body with a compound of two boxes, four
// ray-cast wheels on linear springs, per-ground grip, brakes, damping, a distributed gravity and impact
// damage that bends the cabin. Local frame: Y up, forward is -Z. Units: centimetres, seconds, degrees.
class car_phys_e : public dynamic_object_e {
public:
    static constexpr int model_slot_count = 64;
    static constexpr int deform_bone_limit = 60;
    static constexpr int corner_count = 10;
    static constexpr int rear_visual_limit = 8;
    static constexpr int ground_kind_count = 5;
    // The ground kind of hard ground (road).
    static constexpr int32_t ground_kind_road = 4;
    // Contact tags of the vehicles.

    car_phys_e();
    ~car_phys_e() override;

    // Phase 0: keeps the world's links from the bridge and sets the grip to 1.
    int init(int phase) override;
    // Phase 0: frees the build's models and takes the compound out of the physics process.
    int destroy(int phase) override;
    // The engine moved the vehicle: the compound's boxes follow its owner record too.
    void mem_move(ptrdiff_t delta) override;
    // Per frame: wheel spin, deform timer, runaway guard and rough-ground wheel jitter.
    void handler() override;
    // The shadow under the vehicle and the pool of its headlights, placed as decals.
    void pre_draw() override;
    // The build's models, its lights, its wheels and (with "g_colbox") the collision boxes.
    void draw() override;

    // The wheel and force model: rays, springs and ground sensing, then damping, grip, brakes,
    // side friction and gravity.
    void wheel_contacts() override;
    void apply_forces() override;
    // No impulse is filtered.
    bool filter_impulse(int kind, vec3_t& linear, vec3_t& angular, const phys_impact_t* impact) override;

    // Bends the deform bones and takes damage from an impact's normal and speed.
    void apply_impact(const vclip_contact_t* point, cd_geo_t* other, uint32_t other_item) override;
    // How much faster than 100 cm/s the body meets the contact along its normal; 0 or less for a touch
    // or a graze (and without a contact or a body).
    float impact_speed(const vclip_contact_t* point) const;
    // The point where a trailer's kingpin couples (world); nothing here.
    virtual void get_hitch_point(vec3_t& out) { (void)out; }
    // Drops the body onto what lies below it; false when it would land on another vehicle (or, in
    // mode 0, on the player's truck). Mode 3 starts from the compound's own offset point.
    virtual bool place_on_ground(int mode);
    // damage := min(damage + amount, 1); the player's truck shows it on the HUD.
    virtual void set_damage(float amount);
    // Sets the wheel force points from the size vector, makes the body when there is none and builds
    // the two-box compound (mode 1: the hitched trailer's layout), inserted in the physics process.
    virtual void create_body(int mode);

    // Keeps a use of an offered trailer unless one is hitched; gives back the previous offer.
    void offer_trailer(entity_handle_t trailer);
    // Withdraws the offer of this trailer.
    void trailer_removing(entity_handle_t trailer);
    // Midpoint of the front force points raised by half the size's height, in world space.
    void drive_point(vec3_t& out) const;
    void set_mass(float mass);
    void set_towing_truck(entity_handle_t truck) { towing_truck = truck; }
    // The body's position (0 without one).
    vec3_t get_position() const;
    quat_t get_orientation() const;
    // Puts the body at a place; the orientation is normalised and the matrices rebuilt.
    void set_transform(const vec3_t& where, const quat_t& turn);
    // Puts the body at a place at rest (no linear or angular speed), its geometry moved with it.
    void put_still(const vec3_t& where, const quat_t& turn);
    void set_color(uint32_t rgb) { paint_colour = static_cast<int32_t>(rgb & 0xFFFFFF); }
    // The vehicle light callback: gives a model of a vehicle's build the map's lights, the way the map's
    // own models get them (nothing without the game controller `controller` or its scenery server).
    static void light_model(psm_t* model, const entity_handle_t& controller);
    // Gives every model of the build the map's lights.
    void light_models();
    float get_speed_mph() const { return speed * 0.0006213711f * 3600.0f; }
    uint8_t get_lights() const { return lights; }

    // The physics process of the world the vehicle lives in, or null.
    physproc_t* physics() const;
    // A point of the vehicle's frame in the world, and a world vector in the vehicle's frame.
    vec3_t to_world(const vec3_t& local) const;
    vec3_t vector_to_world(const vec3_t& local) const;
    vec3_t vector_to_local(const vec3_t& world) const;

    // Build: model slots, the cabin's slot, paint.
    car_model_slot_t models[model_slot_count];
    uint8_t model_count = 2;
    int32_t cabin_slot = -1;
    int32_t paint_colour = 0xFFFFFF;
    float paint_alpha = 255.0f;
    uint8_t lights = 0;
    uint8_t camera_mode = 0;

    // Resistance, brakes, mass and size.
    float air_drag = 5.4257f;
    float rolling_resistance = 100.0f;
    float brake_strength = 0.0f;
    float base_mass = 1500.0f;
    vec3_t size{10.0f, 10.0f, 10.0f};
    float wheel_offset = 0.0f;
    // Figures of the build: the wheels' draw height, track and length (shadow) and the body box.
    float wheel_height = 0.0f;
    float track_figure = 0.0f;
    float length_figure = 0.0f;
    float box_length = 0.0f;
    vec3_t box_centre;
    // The cabin's two measures (box length and front reach).
    float cabin_measures[2] = {10.0f, 0.0f};

    // Metres per second (written by the truck's engine update).
    float speed = 0.0f;
    // -1 neutral, 0 reverse, 1 and up forward.
    int32_t gear = -1;

    car_wheel_t wheels[4];
    uint8_t wheels_in_contact = 0;
    vec3_t rear_ray_points[2];
    float front_visual[2] = {7.0f, 7.0f};
    float rear_visual[rear_visual_limit] = {7.0f, 7.0f, 7.0f, 7.0f, 7.0f, 7.0f, 7.0f, 7.0f};
    uint8_t front_wheel_count = 2;
    uint8_t rear_wheel_count = 2;

    float ground_friction[ground_kind_count] = {1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    float grip = 1.0f;

    // What the driver sets.
    vehicle_controls_t controls;
    float air_pressure = 0.0f;

    // Directions under the front wheels (world).
    vec3_t heading{0.0f, 0.0f, 1.0f};
    vec3_t wheel_direction{0.0f, 0.0f, 1.0f};
    vec3_t third_direction{0.0f, 0.0f, 1.0f};

    float spin_angle = 0.0f;
    uint16_t wheel_rpm = 0;
    vec3_t reference_position;

    float damage = 0.0f;
    car_corner_damage_t corners[corner_count];
    uint8_t wrecked = 0;
    car_deform_bone_t deform_bones[deform_bone_limit];
    uint8_t deform_count = 0;
    float since_deform = 0.0f;

    entity_handle_t offered_trailer;
    entity_handle_t hitched_trailer;
    entity_handle_t towing_truck;

    uint8_t is_player = 0;
    uint8_t is_trailer = 0;
    // Set by a derived vehicle to switch the wheel contacts off.
    uint8_t wheels_off = 0;

    int32_t road_edge = -1;
    int32_t last_road_edge = -1;

    // The world's parts, kept at init (tests may set them directly).
    entity_handle_t environment_link;
    entity_handle_t traffic_link;
    entity_handle_t economy_link;
    entity_handle_t controller_link;

    // The rigid body's compound (also `geometry`), and its filter.
    cd_geo_compound_t* compound = nullptr;
    cd_geo_t* box_parts[2] = {nullptr, nullptr};
    cd_filter_t filter;

protected:
    // The wheels the build draws, at most `capacity` of them, front wheels first; none here.
    virtual int drawn_wheels(car_drawn_wheel_t* out, int capacity) const
    {
        (void)out;
        (void)capacity;
        return 0;
    }
    // Casts one wheel ray from 300 above `ray_point` to 100 below it; the spring length (100 for no
    // ground) and, on a hit, the contact.
    float cast_wheel(const vec3_t& ray_point, const phys_contact_t** hit) const;
    // Frees every model of the build.
    void free_models();
    // Frees a slot's model and flares and empties it.
    static void free_slot(car_model_slot_t& slot);
    // Physics step length (the last one the process took, else the frame's).
    float step_seconds() const;
    // The ground kind of a ray hit (its material, not below 0).
    static int32_t ground_kind_of(const phys_contact_t& hit);

private:
    // Steps 1 to 4 of the wheel contacts: the rays and the visual offsets. The last hit stays in
    // `last_hit`.
    void sense_ground(const phys_contact_t** last_hit);
    // The road edge under the last hit: grip, weather state and the economy's current road.
    void sense_road(const phys_contact_t* hit);
    void apply_damping_and_grip(float dt);
    // The grip turns the body as its wheels roll it round, as far as its tyres' side friction
    // (`side_rate` cm/s²) holds the circle; a faster spin the body had before (`yaw_before`) is kept.
    void hold_grip_yaw(float yaw_before, float side_rate);
    void apply_angular_damping(float dt);
    void apply_gravity();
    // Places one decal block shot down onto the ground round `centre`, turned to the heading.
    void place_decal(const char* script, const vec3_t& centre, float length, float width);
    // The wheels, lowered by their visual offsets, turned by the spin and the steering.
    void draw_wheels();
    // The collision boxes and a line down each wheel ray.
    void draw_collision_boxes();

    // The physics step in which the body was last lifted off a bottomed spring.
    long lifted_step_ = -1;
    // The physics the body's geometry was inserted into: it is taken out of the same one, also when the
    // vehicle is destroyed after its process let go of it (a freed entity block).
    physproc_t* inserted_into_ = nullptr;
};

// Answers a vehicle's wheel rays and sweeps: its own geometries and what its filter refuses are ignored,
// everything else is solid. `user` is the car_phys_e.
int car_phys_pair(uintptr_t user, const cd_geo_t* moving, const cd_geo_t* candidate);
