// The cab instruments and the HUD feeds of the player's truck: blinkers, brake and reverse lights,
// the dashboard texts and gauges, the cabin's needles and dial shaders, the wipers and windshields.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/snd.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "common/hud_components.h"
#include "vehicles/player/car_player.h"
#include "vehicles/player/windshield_drops.h"

namespace {

constexpr uint8_t lamp_left = 8;
constexpr uint8_t lamp_right = 16;
// Degrees of needle per mile per hour, and the needles' speed in degrees per second.
constexpr float needle_per_mph = 3.0f;
constexpr float needle_speed = 150.0f;

// Every needle and wiper turns about this axis.
const vec3_t dial_axis(-1.0f, 0.0f, 0.0f);

// Turns bone `bone` of `model` by `degrees` about the dial axis; nothing for a missing bone.
void turn_bone(psm_t* model, int32_t bone, float degrees)
{
    if (!model || bone < 0)
        return;
    quat_t turn;
    turn.set(dial_axis, degrees);
    api::psm_bone_set_ext_rot(model, bone, &turn);
}

// Moves a needle towards its target at needle_speed, never past it.
float needle_towards(float value, float target, float dt)
{
    const float step = needle_speed * dt;
    return value < target ? std::min(value + step, target) : std::max(value - step, target);
}

}  // namespace

void car_player_e::find_cabin_parts()
{
    psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
    psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
    part_dl = cabin ? api::psm_part_find(cabin, "dl") : -1;
    part_dr = cabin ? api::psm_part_find(cabin, "dr") : -1;
    part_radar = cabin ? api::psm_part_find(cabin, "d") : -1;
    const auto bone_in = [](psm_t* model, const char* name) {
        return model ? api::psm_bone_find_global(model, name) : -1;
    };
    bone_rpm = bone_in(interior, "h_rpm");
    bone_speed = bone_in(interior, "h_mph");
    bone_cruise = bone_in(interior, "cc");
    bone_fuel = bone_in(interior, "h_fuel");
    bone_brake = bone_in(interior, "h_brake");
    bone_steering = bone_in(interior, "sw");
    bone_wiper_in[0] = bone_in(interior, "wiper0");
    bone_wiper_in[1] = bone_in(interior, "wiper1");
    bone_wiper_cabin[0] = bone_in(cabin, "wiper0");
    bone_wiper_cabin[1] = bone_in(cabin, "wiper1");
}

void car_player_e::click()
{
    if (sounds[snd_click])
        api::snd_play(sounds[snd_click]);
}

void car_player_e::update_lights(float dt)
{
    const uint8_t both = lamp_left | lamp_right;
    const auto blink = [this](uint8_t bits) {
        if (blink_timer < 0.001f) {
            lights |= bits;
            blink_timer += 0.01f;
        }
        if (blink_timer > 0.4f && (lights & bits))
            lights &= static_cast<uint8_t>(~bits);
    };
    if (!hazard) {
        if (blink_left)
            blink(lamp_left);
        if (blink_right)
            blink(lamp_right);
    } else {
        blink(both);
    }
    if (hazard || blink_left || blink_right) {
        blink_timer += dt;
        if (blink_timer > 0.8f)
            blink_timer = 0.0f;
    }
    lights = static_cast<uint8_t>(controls.brake > 0.1f ? lights | 2u : lights & ~2u);
    lights = static_cast<uint8_t>(gear == 0 ? lights | 4u : lights & ~4u);

    if (camera_mode == cam_cabin) {
        if (lights == shown_lights)
            return;
        psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
        const auto lamp = [cabin](int32_t part, bool on) {
            if (cabin && part >= 0)
                api::psm_part_set_visible(cabin, part, on);
        };
        lamp(part_dl, false);
        lamp(part_dr, false);
        if (lights & lamp_right) {
            lamp(part_dr, true);
            click();
        }
        if (lights & lamp_left) {
            lamp(part_dl, true);
            click();
        }
        if (shown_lights & lamp_right)
            click();
        if (shown_lights & lamp_left)
            click();
    } else {
        hud_press(truck_hud_right_blinker, (lights & lamp_right) != 0);
        hud_press(truck_hud_left_blinker, (lights & lamp_left) != 0);
    }
    shown_lights = lights;
}

void car_player_e::update_dashboard()
{
    if (!main_hud)
        return;
    hud_value(truck_hud_speed, get_speed_mph());
    char gear_text[16];
    if (gear == 0)
        std::snprintf(gear_text, sizeof gear_text, "R");
    else if (gear < 0)
        std::snprintf(gear_text, sizeof gear_text, "N");
    else
        std::snprintf(gear_text, sizeof gear_text, "%d", gear);
    hud_text(truck_hud_gear, gear_text);
    hud_text(truck_hud_cabin_gear, gear_text);
    hud_value(truck_hud_rpm, engine_state == engine_running ? std::max<float>(rpm, 300.0f) : 0.0f);
    hud_value(truck_hud_fuel, fuel);
}

void car_player_e::update_gauges(float dt)
{
    const float rpm_target = engine_state == engine_running ? std::max<float>(rpm, 300.0f) * 0.072f : 0.0f;
    const float speed_target = speed * 0.0006213711f * 3600.0f * needle_per_mph;
    const float cruise_target = cruise_speed * 0.0006213711f * 3600.0f * needle_per_mph;
    rpm_needle = needle_towards(rpm_needle, rpm_target, dt);
    speed_needle = needle_towards(speed_needle, speed_target, dt);
    cruise_needle = needle_towards(cruise_needle, cruise_target, dt);
    psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
    turn_bone(interior, bone_rpm, rpm_needle);
    turn_bone(interior, bone_speed, speed_needle);
    turn_bone(interior, bone_cruise, cruise_needle);
    turn_bone(interior, bone_fuel, fuel * 0.7f - 70.0f);
    turn_bone(interior, bone_brake, air_pressure * 0.6f - 60.0f);
}

void car_player_e::turn_wipers(float degrees)
{
    psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
    psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
    for (int i = 0; i < 2; ++i) {
        turn_bone(interior, bone_wiper_in[i], degrees);
        turn_bone(cabin, bone_wiper_cabin[i], degrees);
    }
    const float sweep = (degrees + 6.0f) * 3.14159265f / 180.0f;
    for (windshield_drops_t* glass : windshields)
        if (glass)
            glass->set_wiper_angle(sweep);
}

void car_player_e::update_wipers(float dt)
{
    for (windshield_drops_t* glass : windshields) {
        if (!glass)
            continue;
        glass->speed = std::min(get_speed_mph(), 50.0f);
        glass->update(dt);
    }
    if (cvar_reads("g_wipers_auto", "1")) {
        if (windshield_rain != 0.0f)
            wiper_mode = wipers_on;
        else if (wiper_mode != wipers_off)
            wiper_mode = wipers_finishing;
    }
    if (wiper_mode == wipers_off)
        return;
    wiper_angle += wiper_direction * 180.0f * dt;
    if (wiper_angle > 120.0f) {
        wiper_direction = -wiper_direction;
        wiper_angle = 120.0f;
        if (camera_mode == cam_cabin && sounds[snd_wiper_0])
            api::snd_play(sounds[snd_wiper_0]);
    } else if (wiper_angle < 0.0f) {
        wiper_direction = -wiper_direction;
        wiper_angle = 0.0f;
        if (wiper_mode == wipers_finishing)
            wiper_mode = wipers_off;
        if (camera_mode == cam_cabin && sounds[snd_wiper_1])
            api::snd_play(sounds[snd_wiper_1]);
    }
    turn_wipers(wiper_angle);
}

void car_player_e::reset_wipers()
{
    wiper_mode = wipers_off;
    wiper_angle = 0.0f;
    turn_wipers(0.0f);
}

void car_player_e::set_windshield_rain(float level)
{
    windshield_rain = rain_shelter ? 0.0f : level;
    for (windshield_drops_t* glass : windshields)
        if (glass)
            glass->level = windshield_rain;
}

void car_player_e::setup_interior()
{
    psm_t* const interior = interior_slot >= 0 ? models[interior_slot].model : nullptr;
    if (!interior || !interior_name[0])
        return;
    char list[sizeof interior_shaders[0]];
    std::snprintf(list, sizeof list, "%s", interior_shaders[(lights & 1u) ? 0 : 1]);
    const char* names[6] = {};
    int count = 0;
    for (char* name = std::strtok(list, ":"); name; name = std::strtok(nullptr, ":")) {
        if (count == 6)
            return;
        names[count++] = name;
    }
    if (count != 5)
        return;
    static constexpr struct {
        const char* part;
        int name;
    } dials[] = {{"mph", 0},    {"rpm", 1},   {"fuel", 2},  {"brake", 3}, {"h_brake", 4},
                 {"h_fuel", 4}, {"h_mph", 4}, {"h_rpm", 4}, {"cc", 4}};
    for (const auto& dial : dials) {
        const int part = api::psm_part_find(interior, dial.part);
        if (part < 0)
            continue;
        char path[256];
        std::snprintf(path, sizeof path, "/makes/truck/%s/acc/%s/%s", make_name, interior_name, names[dial.name]);
        api::psm_set_shader(interior, part, path);
    }
}
