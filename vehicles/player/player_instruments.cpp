// The cab instruments and the HUD feeds of the player's truck: blinkers, brake and reverse lights,
// the dashboard texts and gauges, the cabin's needles and dial shaders, the wipers and windshields.
#include "vehicles/player/player_instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/check.h"
#include "engine/snd.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "common/hud_components.h"
#include "vehicles/player/car_player.h"
#include "vehicles/player/console_settings.h"
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

void player_instruments_t::find_parts()
{
    psm_t* const cabin = truck_.cabin_slot >= 0 ? truck_.models[truck_.cabin_slot].model : nullptr;
    psm_t* const interior = truck_.interior_slot >= 0 ? truck_.models[truck_.interior_slot].model : nullptr;
    part_dl_ = cabin ? api::psm_part_find(cabin, "dl") : -1;
    part_dr_ = cabin ? api::psm_part_find(cabin, "dr") : -1;
    part_radar_ = cabin ? api::psm_part_find(cabin, "d") : -1;
    const auto bone_in = [](psm_t* model, const char* name) {
        return model ? api::psm_bone_find_global(model, name) : -1;
    };
    bone_rpm_ = bone_in(interior, "h_rpm");
    bone_speed_ = bone_in(interior, "h_mph");
    bone_cruise_ = bone_in(interior, "cc");
    bone_fuel_ = bone_in(interior, "h_fuel");
    bone_brake_ = bone_in(interior, "h_brake");
    bone_steering_ = bone_in(interior, "sw");
    bone_wiper_in_[0] = bone_in(interior, "wiper0");
    bone_wiper_in_[1] = bone_in(interior, "wiper1");
    bone_wiper_cabin_[0] = bone_in(cabin, "wiper0");
    bone_wiper_cabin_[1] = bone_in(cabin, "wiper1");
}

void player_instruments_t::click() const
{
    if (truck_.sounds[car_player_e::snd_click])
        api::snd_play(truck_.sounds[car_player_e::snd_click]);
}

void player_instruments_t::update_lights(float dt)
{
    const uint8_t both = lamp_left | lamp_right;
    const auto blink = [this](uint8_t bits) {
        if (blink_timer_ < 0.001f) {
            truck_.lights |= bits;
            blink_timer_ += 0.01f;
        }
        if (blink_timer_ > 0.4f && (truck_.lights & bits))
            truck_.lights &= static_cast<uint8_t>(~bits);
    };
    if (!hazard_) {
        if (blink_left_)
            blink(lamp_left);
        if (blink_right_)
            blink(lamp_right);
    } else {
        blink(both);
    }
    if (hazard_ || blink_left_ || blink_right_) {
        blink_timer_ += dt;
        if (blink_timer_ > 0.8f)
            blink_timer_ = 0.0f;
    }
    truck_.lights = static_cast<uint8_t>(truck_.controls.brake > 0.1f ? truck_.lights | 2u : truck_.lights & ~2u);
    truck_.lights = static_cast<uint8_t>(truck_.gear == 0 ? truck_.lights | 4u : truck_.lights & ~4u);

    if (truck_.camera_mode == car_player_e::cam_cabin) {
        if (truck_.lights == shown_lights_)
            return;
        psm_t* const cabin = truck_.cabin_slot >= 0 ? truck_.models[truck_.cabin_slot].model : nullptr;
        const auto lamp = [cabin](int32_t part, bool on) {
            if (cabin && part >= 0)
                api::psm_part_set_visible(cabin, part, on);
        };
        lamp(part_dl_, false);
        lamp(part_dr_, false);
        if (truck_.lights & lamp_right) {
            lamp(part_dr_, true);
            click();
        }
        if (truck_.lights & lamp_left) {
            lamp(part_dl_, true);
            click();
        }
        if (shown_lights_ & lamp_right)
            click();
        if (shown_lights_ & lamp_left)
            click();
    } else {
        truck_.hud_press(truck_hud_right_blinker, (truck_.lights & lamp_right) != 0);
        truck_.hud_press(truck_hud_left_blinker, (truck_.lights & lamp_left) != 0);
    }
    shown_lights_ = truck_.lights;
}

void player_instruments_t::update_dashboard()
{
    if (!truck_.main_hud)
        return;
    truck_.hud_value(truck_hud_speed, truck_.get_speed_mph());
    char gear_text[16];
    if (truck_.gear == 0)
        std::snprintf(gear_text, sizeof gear_text, "R");
    else if (truck_.gear < 0)
        std::snprintf(gear_text, sizeof gear_text, "N");
    else
        std::snprintf(gear_text, sizeof gear_text, "%d", truck_.gear);
    truck_.hud_text(truck_hud_gear, gear_text);
    truck_.hud_text(truck_hud_cabin_gear, gear_text);
    truck_.hud_value(truck_hud_rpm,
                     truck_.engine_state == car_player_e::engine_running ? std::max<float>(truck_.rpm, 300.0f) : 0.0f);
    truck_.hud_value(truck_hud_fuel, truck_.fuel);
}

void player_instruments_t::update_gauges(float dt)
{
    const float rpm_target =
        truck_.engine_state == car_player_e::engine_running ? std::max<float>(truck_.rpm, 300.0f) * 0.072f : 0.0f;
    const float speed_target = truck_.speed * 0.0006213711f * 3600.0f * needle_per_mph;
    const float cruise_target = truck_.cruise_speed * 0.0006213711f * 3600.0f * needle_per_mph;
    rpm_needle_ = needle_towards(rpm_needle_, rpm_target, dt);
    speed_needle_ = needle_towards(speed_needle_, speed_target, dt);
    cruise_needle_ = needle_towards(cruise_needle_, cruise_target, dt);
    psm_t* const interior = truck_.interior_slot >= 0 ? truck_.models[truck_.interior_slot].model : nullptr;
    turn_bone(interior, bone_rpm_, rpm_needle_);
    turn_bone(interior, bone_speed_, speed_needle_);
    turn_bone(interior, bone_cruise_, cruise_needle_);
    turn_bone(interior, bone_fuel_, truck_.fuel * 0.7f - 70.0f);
    turn_bone(interior, bone_brake_, truck_.air_pressure * 0.6f - 60.0f);
}

void player_instruments_t::turn_wipers(float degrees)
{
    psm_t* const interior = truck_.interior_slot >= 0 ? truck_.models[truck_.interior_slot].model : nullptr;
    psm_t* const cabin = truck_.cabin_slot >= 0 ? truck_.models[truck_.cabin_slot].model : nullptr;
    for (int i = 0; i < 2; ++i) {
        turn_bone(interior, bone_wiper_in_[i], degrees);
        turn_bone(cabin, bone_wiper_cabin_[i], degrees);
    }
    const float sweep = (degrees + 6.0f) * 3.14159265f / 180.0f;
    for (windshield_drops_t* glass : truck_.windshields)
        if (glass)
            glass->set_wiper_angle(sweep);
}

void player_instruments_t::update_wipers(float dt)
{
    for (windshield_drops_t* glass : truck_.windshields) {
        if (!glass)
            continue;
        glass->speed = std::min(truck_.get_speed_mph(), 50.0f);
        glass->update(dt);
    }
    if (setting_reads("g_wipers_auto", "1")) {
        if (windshield_rain_ != 0.0f)
            wiper_mode_ = car_player_e::wipers_on;
        else if (wiper_mode_ != car_player_e::wipers_off)
            wiper_mode_ = car_player_e::wipers_finishing;
    }
    if (wiper_mode_ == car_player_e::wipers_off)
        return;
    wiper_angle_ += wiper_direction_ * 180.0f * dt;
    if (wiper_angle_ > 120.0f) {
        wiper_direction_ = -wiper_direction_;
        wiper_angle_ = 120.0f;
        if (truck_.camera_mode == car_player_e::cam_cabin && truck_.sounds[car_player_e::snd_wiper_0])
            api::snd_play(truck_.sounds[car_player_e::snd_wiper_0]);
    } else if (wiper_angle_ < 0.0f) {
        wiper_direction_ = -wiper_direction_;
        wiper_angle_ = 0.0f;
        if (wiper_mode_ == car_player_e::wipers_finishing)
            wiper_mode_ = car_player_e::wipers_off;
        if (truck_.camera_mode == car_player_e::cam_cabin && truck_.sounds[car_player_e::snd_wiper_1])
            api::snd_play(truck_.sounds[car_player_e::snd_wiper_1]);
    }
    turn_wipers(wiper_angle_);
}

void player_instruments_t::reset_wipers()
{
    wiper_mode_ = car_player_e::wipers_off;
    wiper_angle_ = 0.0f;
    turn_wipers(0.0f);
}

void player_instruments_t::set_windshield_rain(float level)
{
    windshield_rain_ = rain_shelter_ ? 0.0f : level;
    for (windshield_drops_t* glass : truck_.windshields)
        if (glass)
            glass->level = windshield_rain_;
}

void player_instruments_t::setup_interior()
{
    psm_t* const interior = truck_.interior_slot >= 0 ? truck_.models[truck_.interior_slot].model : nullptr;
    if (!interior || !truck_.interior_name[0])
        return;
    char list[sizeof truck_.interior_shaders[0]];
    std::snprintf(list, sizeof list, "%s", truck_.interior_shaders[(truck_.lights & 1u) ? 0 : 1]);
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
        std::snprintf(path, sizeof path, "/makes/truck/%s/acc/%s/%s", truck_.make_name, truck_.interior_name,
                      names[dial.name]);
        api::psm_set_shader(interior, part, path);
    }
}

void player_instruments_t::toggle_hazard()
{
    hazard_ = !hazard_;
    if (!hazard_)
        truck_.lights &= static_cast<uint8_t>(~(lamp_left | lamp_right));
}

void player_instruments_t::toggle_blinker(bool left)
{
    uint8_t& own = left ? blink_left_ : blink_right_;
    uint8_t& other = left ? blink_right_ : blink_left_;
    const uint8_t own_bit = left ? lamp_left : lamp_right;
    const uint8_t other_bit = left ? lamp_right : lamp_left;
    // The lamp bit is cleared for the blink to start over.
    if (!own) {
        own = 1;
        other = 0;
        truck_.lights &= static_cast<uint8_t>(~other_bit);
    } else {
        own = 0;
        truck_.lights &= static_cast<uint8_t>(~own_bit);
    }
    blink_timer_ = 0.0f;
}

void player_instruments_t::follow_steering(float steering)
{
    if (steering > 29.0f && !blink_left_ && !hazard_) {
        blink_left_ = 1;
        blink_right_ = 0;
        truck_.lights &= static_cast<uint8_t>(~lamp_right);
        auto_cancel_ = 1;
    } else if (steering < -29.0f && !blink_right_ && !hazard_) {
        blink_right_ = 1;
        blink_left_ = 0;
        truck_.lights &= static_cast<uint8_t>(~lamp_left);
        auto_cancel_ = 1;
    } else if (steering >= -29.0f && steering <= 29.0f && auto_cancel_) {
        blink_left_ = blink_right_ = 0;
        truck_.lights &= static_cast<uint8_t>(~(lamp_left | lamp_right));
        auto_cancel_ = 0;
    }
}

void player_instruments_t::turn_steering_wheel(float steering)
{
    psm_t* const interior = truck_.interior_slot >= 0 ? truck_.models[truck_.interior_slot].model : nullptr;
    if (truck_.camera_mode == car_player_e::cam_cabin && interior && bone_steering_ >= 0) {
        quat_t turn;
        turn.set(vec3_t(1.0f, 0.0f, 0.0f), steering * 5.0f);
        api::psm_bone_set_ext_rot(interior, bone_steering_, &turn);
    }
}

void player_instruments_t::step_wiper_switch()
{
    if (wiper_mode_ == car_player_e::wipers_off || wiper_mode_ == car_player_e::wipers_on)
        ++wiper_mode_;
    kv_assert(wiper_mode_ >= car_player_e::wipers_off && wiper_mode_ <= car_player_e::wipers_finishing);
}

void player_instruments_t::set_wiper_mode(int32_t mode)
{
    kv_assert(mode >= car_player_e::wipers_off && mode <= car_player_e::wipers_finishing);
    wiper_mode_ = mode;
}

void player_instruments_t::set_radar_interval(float seconds)
{
    radar_interval_ = seconds;
    psm_t* const cabin = truck_.cabin_slot >= 0 ? truck_.models[truck_.cabin_slot].model : nullptr;
    if (seconds == 0.0f && cabin && part_radar_ >= 0)
        api::psm_part_set_visible(cabin, part_radar_, false);
}

void player_instruments_t::update_radar(float dt)
{
    if (radar_interval_ <= 0.0f)
        return;
    psm_t* const cabin = truck_.cabin_slot >= 0 ? truck_.models[truck_.cabin_slot].model : nullptr;
    radar_timer_ += dt;
    radar_lamp_timer_ += dt;
    if (radar_timer_ > radar_interval_) {
        radar_timer_ = 0.0f;
        radar_lamp_timer_ = 0.0f;
        if (cabin && part_radar_ >= 0)
            api::psm_part_set_visible(cabin, part_radar_, true);
        if (truck_.sounds[car_player_e::snd_radar])
            api::snd_play(truck_.sounds[car_player_e::snd_radar]);
    }
    if (radar_lamp_timer_ > 0.3f && cabin && part_radar_ >= 0)
        api::psm_part_set_visible(cabin, part_radar_, false);
}
