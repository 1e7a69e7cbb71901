#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "engine/entity_handle.h"
#include "engine/vec.h"
#include "road/route_cursor.h"
#include "vehicles/body/vehicle_flares.h"

struct c_item_t;
struct psm_t;
struct snd_sound_t;

// One model of an AI truck's build, where it sits on the truck and the lights it carries.
struct ai_truck_part_t {
    psm_t* model = nullptr;
    vec3_t offset;
    std::vector<vehicle_flare_t> flares;
};

// The truck of an economy driver that drives through the traffic in car slot 0, with what the traffic
// keeps of its build to draw it (a reduced reading of the truck's make) and the trailer it tows.
struct ai_truck_t {
    // Part slots of a build: 0 is never used, 1 is the base, further models from 2.
    static constexpr int part_capacity = 64;
    static constexpr int first_extra_part = 2;
    static constexpr int wheel_point_capacity = 8;
    static constexpr int deform_point_capacity = 60;
    // Accessory names of a build order: this many, each this long with its terminator.
    static constexpr int accessory_capacity = 64;
    static constexpr int accessory_name_size = 32;

    bool present = false;
    int32_t driver = -1;
    uint32_t paint_colour = 0;
    // The trailer entity it tows (one use held).
    entity_handle_t trailer;
    uint8_t part_count = first_extra_part;
    std::array<ai_truck_part_t, part_capacity> parts;
    psm_t* front_wheel_model = nullptr;
    psm_t* rear_wheel_model = nullptr;
    static constexpr int front_wheel_count = 2;
    std::array<vec3_t, front_wheel_count> front_wheel_points{};
    std::array<vec3_t, wheel_point_capacity> wheel_points{};
    int32_t wheel_count = 0;
    float ride_height = 0.0f;
    float body_offset = 0.0f;
    // The base model's bounds (its bones "bb0" and "bb1"); the collision box of slot 0 is made from them.
    vec3_t bounds_min;
    vec3_t bounds_max;
    int32_t cabin_slot = -1;
    std::array<vec3_t, deform_point_capacity> deform_points{};
    snd_sound_t* horn = nullptr;
    float arrival_timer = 0.0f;
    bool arrival_pending = false;
    // Slot 0 took its driving step in this frame's pass over the lane lists.
    bool stepped = false;
    // The driver's route ahead, which slot 0's route cursor follows.
    route_t route{};
};
