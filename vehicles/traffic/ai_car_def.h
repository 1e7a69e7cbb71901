#pragma once
#include <cstdint>

#include "engine/vec.h"

struct psm_t;

// One model of the AI traffic's car catalogue: its model instances and what its bones mark (model
// space: y up, z along the car, x across). Entry 0 of the catalogue is the police car.
struct ai_car_def_t {
    static constexpr int wheel_places = 4;
    static constexpr int blinker_places = 2;
    static constexpr int light_places = 6;  // front lights in places 0 and 1, rear lights in 2 to 5
    static constexpr int siren_places = 8;
    static constexpr int deform_places = 15;

    psm_t* model = nullptr;  // the car, owned
    psm_t* wheel = nullptr;  // its wheel, owned
    vec3_t wheels[wheel_places] = {};
    vec3_t left_blinkers[blinker_places] = {};
    vec3_t right_blinkers[blinker_places] = {};
    vec3_t lights[light_places] = {};
    vec3_t sirens[siren_places] = {};
    uint8_t front_light_count = 0;
    uint8_t rear_light_count = 0;
    uint8_t siren_count = 0;
    uint8_t speed = 0;         // speed class of the cruise speed
    float length = 0.0f;       // |bb0.z| + |bb1.z|
    float width = 0.0f;        // |bb0.x| + |bb1.x|
    float half_height = 0.0f;  // (|bb0.y| + |bb1.y|) / 2
    vec3_t box_span;           // bb1 - bb0
    float wheel_drop = 0.0f;   // bb1.y / 2 - 10
    int32_t deform_bones[deform_places] = {};
    vec3_t deform_directions[deform_places] = {};  // unit directions from "root_deform"
    uint8_t deform_count = 0;
    uint8_t wheel_count = 0;
    uint8_t two_wheeler = 1;  // 1 unless exactly four wheel bones were found
    uint8_t happy_hour = 0;   // preferred hour 1 to 23, 0 for none
    float day_probability = 0.0f;
    float night_probability = 0.0f;
    float city_probability = 0.0f;
    float country_probability = 0.0f;
    uint8_t sound_class = 0;  // motor channel group 0, 1 or 2
};
