// The driving input of the player's truck: the engine's numbered impulses become pedals, steering,
// gears, switches, cameras and look angles once per frame.
#include "vehicles/player/player_input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/check.h"
#include "engine/geometry.h"
#include "engine/input.h"
#include "engine/snd.h"
#include "engine/ui.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/impulses.h"
#include "common/hud_components.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"
#include "road/game_ctrl.h"
#include "vehicles/player/car_player.h"
#include "vehicles/player/console_settings.h"
#include "vehicles/links/player_links.h"

namespace {

// Squared centimetres below which the truck counts as standing between two frames.
constexpr float standing_sq = 20.0f;

float impulse(int number, int context = 0) { return api::inp_impulse_value(number, context); }

// Steers `angle` by keys: left grows it, twice as fast back from the right; the same mirrored for right.
void keys_step(float& angle, float left, float right, float dt, uint8_t& self_centre)
{
    if (left != 0.0f) {
        angle += dt * left * (angle >= 0.0f ? 25.0f : 50.0f);
        angle = std::min(angle, 30.0f);
        self_centre = 0;
    }
    if (right != 0.0f) {
        angle -= dt * right * (angle <= 0.0f ? 25.0f : 50.0f);
        angle = std::max(angle, -30.0f);
        self_centre = 0;
    }
    if (self_centre)
        angle = angle > 0.0f ? std::max(angle - 40.0f * dt, 0.0f) : std::min(angle + 40.0f * dt, 0.0f);
}

}  // namespace

bool player_input_t::switch_accepted(int number, float threshold)
{
    if (impulse(number) == 0.0f || debounce_ <= threshold)
        return false;
    debounce_ = 0.0f;
    return true;
}

void player_input_t::cruise_off()
{
    truck_.cruise = 0;
    truck_.cruise_speed = 0.0f;
    if (truck_.main_hud)
        truck_.hud_value(truck_hud_cruise_speed, 0.0f);
}

bool player_input_t::standing() const
{
    return (truck_.previous_body_position - truck_.get_position()).length_sq() < standing_sq;
}

void player_input_t::begin_engine_start()
{
    truck_.engine_state = car_player_e::engine_starting;
    truck_.engine_fade = 0.0f;
    if (truck_.sounds[car_player_e::snd_engine_start])
        api::snd_play(truck_.sounds[car_player_e::snd_engine_start]);
    if (truck_.sounds[car_player_e::snd_engine]) {
        api::snd_volume(truck_.sounds[car_player_e::snd_engine], 0.0f);
        api::snd_play(truck_.sounds[car_player_e::snd_engine]);
    }
}

void player_input_t::engine_auto_start()
{
    if (truck_.engine_state == car_player_e::engine_off)
        begin_engine_start();
}

void player_input_t::finish_direction_change(uint8_t& pending, const int32_t from_gear, const bool up)
{
    if (direction_timer_ <= 1.0f || !pending)
        return;
    pending = 0;
    truck_.gear = from_gear;
    if (up)
        truck_.shift_up(true);
    else
        truck_.shift_down(true);
}

void player_input_t::pedal_forward(float value)
{
    cruise_off();
    if (!truck_.automatic) {
        truck_.controls.throttle = value;
    } else {
        if (!(direction_timer_ > 1.0f && pending_forward_)) {
            if (truck_.gear > 0 || (truck_.clutching && truck_.selected_gear > 0)) {
                truck_.controls.throttle = value;
            } else {
                truck_.controls.brake = value;
                if (truck_.gear == 0 && standing()) {
                    truck_.gear = -1;
                    pending_forward_ = 1;
                    direction_timer_ = 0.0f;
                }
                finish_direction_change(pending_reverse_, 0, true);
            }
        }
        finish_direction_change(pending_forward_, 0, true);
    }
    engine_auto_start();
}

void player_input_t::pedal_backward(float value)
{
    cruise_off();
    if (!truck_.automatic) {
        truck_.controls.brake = value;
    } else {
        if (!(direction_timer_ > 1.0f && pending_reverse_)) {
            if (truck_.gear < 1 && !(truck_.clutching && truck_.selected_gear > 0)) {
                if (truck_.gear == 0)
                    truck_.controls.throttle = value;
            } else {
                truck_.controls.brake = value;
                if (standing()) {
                    truck_.gear = -1;
                    pending_reverse_ = 1;
                    direction_timer_ = 0.0f;
                }
            }
            if (truck_.gear == -1)
                truck_.controls.brake = value;
            finish_direction_change(pending_forward_, 1, false);
        }
        finish_direction_change(pending_reverse_, 1, false);
    }
    engine_auto_start();
}

void player_input_t::steer_keys(float dt)
{
    keys_step(truck_.controls.steering, impulse(impulse_left), impulse(impulse_right), dt, self_centre_);
}

void player_input_t::steer_joystick(float dt)
{
    const float* const axes = joystick_state_ ? joystick_state_->axis : nullptr;
    if (axis_steer_ == 16 || !axes || axis_steer_ < 0 || axis_steer_ >= inp_joy_axis_count) {
        keys_step(truck_.controls.steering, impulse(impulse_left) > 0.0f ? 1.0f : 0.0f,
                  impulse(impulse_right) > 0.0f ? 1.0f : 0.0f, dt, self_centre_);
    } else {
        const float target = axes[axis_steer_] * -30.0f;
        const float step = (steer_sensitivity_ * 300.0f + 20.0f) * dt;
        truck_.controls.steering = truck_.controls.steering < target
                                       ? std::min(truck_.controls.steering + step, target)
                                       : std::max(truck_.controls.steering - step, target);
    }
    if (!axes)
        return;
    if (axis_throttle_ >= 0 && axis_throttle_ < inp_joy_axis_count) {
        const float value = axes[axis_throttle_] * throttle_scale_ + throttle_offset_;
        if (value > 0.1f && truck_.wheels_in_contact > 1)
            pedal_forward(value);
    }
    if (axis_brake_ >= 0 && axis_brake_ < inp_joy_axis_count) {
        const float value = axes[axis_brake_] * brake_scale_ + brake_offset_;
        if (value > 0.1f && truck_.wheels_in_contact > 1)
            pedal_backward(value);
    }
}

void player_input_t::steer_mouse()
{
    mouse_position_ +=
        (steer_sensitivity_ * 0.008f + 0.0005f) * (impulse(impulse_look_yaw_plus) - impulse(impulse_look_yaw_minus));
    mouse_position_ = std::clamp(mouse_position_, -1.0f, 1.0f);
    truck_.controls.steering = std::fabs(mouse_position_) * mouse_position_ * 30.0f;
    truck_.hud_value(truck_hud_mouse_steering, 1.0f - mouse_position_);
}

void player_input_t::drive()
{
    const float dt = truck_.dt_frame();
    debounce_ += api::sys_get_lastdelta();
    if (truck_.camera_mode == car_player_e::cam_fly) {
        const float s = static_cast<float>(setting_integer("g_flyspeed", 5000)) * dt;
        const struct {
            int number;
            vec3_t step;
        } moves[] = {{impulse_forward, {0.0f, 0.0f, -s}},
                     {impulse_backward, {0.0f, 0.0f, s}},
                     {impulse_left, {-s, 0.0f, 0.0f}},
                     {impulse_right, {s, 0.0f, 0.0f}}};
        for (const auto& move : moves)
            if (impulse(move.number) != 0.0f)
                truck_.cameras().move_free_camera(move.step);
    } else {
        driving_step(dt);
    }
    look_step();
    camera_impulses(truck_.cb_radio().menu_open() ? 2 : 0);
    if (switch_accepted(impulse_hidehud, 0.2f)) {
        hud_visible_ = !hud_visible_;
        truck_.hud_show(job_hud_group, hud_visible_ != 0, true);
        if (truck_.camera_mode != car_player_e::cam_cabin)
            truck_.hud_show(truck_hud_group, hud_visible_ != 0);
        const held_part_t<player_economy_t> economy(truck_.economy_link);
        if (economy.get())
            economy.get()->show_call911_icon(hud_visible_ != 0);
    }
    if (switch_accepted(impulse_horn, 0.4f)) {
        if (truck_.sounds[car_player_e::snd_horn])
            api::snd_play(truck_.sounds[car_player_e::snd_horn]);
        const held_part_t<player_traffic_t> traffic(truck_.traffic_link);
        if (traffic.get())
            traffic.get()->answer_horn();
    }
    if (switch_accepted(impulse_reset_place, 0.2f)) {
        if (const game_ctrl_e* const ctrl = truck_.game_ctrl()) {
            truck_.set_transform(ctrl->camera_position, truck_.get_orientation());
            if (physproc_t* const world = truck_.physics(); world && truck_.geometry)
                phys_update_geom(world, truck_.geometry);
            truck_.place_on_ground(0);
        }
    }
    if (switch_accepted(impulse_voice, 0.2f)) {
        truck_.cb_radio().toggle_menu();
    }
}

void player_input_t::driving_step(float dt)
{
    truck_.controls.throttle = 0.0f;
    truck_.controls.brake = 0.0f;
    if (impulse(impulse_forward) != 0.0f && truck_.wheels_in_contact > 1)
        pedal_forward(impulse(impulse_forward));
    if (impulse(impulse_backward) != 0.0f && truck_.wheels_in_contact > 1)
        pedal_backward(impulse(impulse_backward));
    self_centre_ = 1;
    if (control_mode_ == 0)
        steer_keys(dt);
    else if (control_mode_ == 1)
        steer_joystick(dt);
    else if (impulse(impulse_cam_rotate) == 0.0f)
        steer_mouse();

    if (truck_.controls.brake > 0.1f) {
        air_brake_flag_ = 1;
        air_brake_timer_ = 0.0f;
    }
    air_brake_timer_ += dt;
    if (air_brake_flag_ && air_brake_timer_ > 1.0f) {
        air_brake_flag_ = 0;
        if (truck_.sounds[car_player_e::snd_air_brake])
            api::snd_play(truck_.sounds[car_player_e::snd_air_brake]);
    }
    if (truck_.controls.throttle > 0.1f && truck_.controls.hold_brake > 0.9f && release_message_) {
        release_message_ = 0;
        truck_.pager_message("@@ui_release_handbrake@@", 0);
    }
    if (auto_blinkers_)
        truck_.instruments().follow_steering(truck_.controls.steering);
    switch_impulses(dt);
}

void player_input_t::switch_impulses(float dt)
{
    if (switch_accepted(impulse_lights, 0.2f)) {
        truck_.lights ^= 1u;
        if (truck_.camera_mode == car_player_e::cam_cabin)
            truck_.setup_interior();
    }
    if (switch_accepted(impulse_mirrors, 0.2f)) {
        mirror_state_ = (mirror_state_ + 1) % 4;
        kv_assert(mirror_state_ >= 0 && mirror_state_ < 4);
        truck_.hud_show(truck_hud_rear_mirror, (mirror_state_ & 1) != 0);
        truck_.hud_show(truck_hud_left_mirror, (mirror_state_ & 2) != 0);
        truck_.hud_show(truck_hud_right_mirror, (mirror_state_ & 2) != 0 && !truck_.hud_hidden_by_ctrl());
    }
    if (switch_accepted(impulse_4wflasher, 0.4f))
        truck_.instruments().toggle_hazard();
    if (!truck_.instruments().hazard_on() && switch_accepted(impulse_lblinker, 0.4f))
        truck_.instruments().toggle_blinker(true);
    if (!truck_.instruments().hazard_on() && switch_accepted(impulse_rblinker, 0.4f))
        truck_.instruments().toggle_blinker(false);
    if (switch_accepted(impulse_wipers, 0.4f)) {
        if (setting_reads("g_wipers_auto", "0")) {
            truck_.instruments().step_wiper_switch();
        } else {
            truck_.pager_message("@@ui_wipers_message@@", 0);
        }
    }
    const struct {
        int number;
        int mirror;
        float sign;
    } mirror_keys[] = {{impulse_leftmirrorplus, 0, 1.0f},
                       {impulse_leftmirrorminus, 0, -1.0f},
                       {impulse_rightmirrorplus, 1, 1.0f},
                       {impulse_rightmirrorminus, 1, -1.0f}};
    for (const auto& key : mirror_keys) {
        if (impulse(key.number) == 0.0f)
            continue;
        truck_.cameras().turn_mirror(key.mirror, key.sign * 30.0f * dt);
    }
    if (switch_accepted(impulse_detach, 0.2f)) {
        if (truck_.speed >= 10.0f)
            truck_.pager_message("@@ui_slow_down@@", 0);
        else
            truck_.detach_trailer(true);
    }
    if (switch_accepted(impulse_attach, 0.2f))
        truck_.attach_trailer();
    if (switch_accepted(impulse_handbrake, 0.2f)) {
        const bool was_on = truck_.controls.hold_brake == 1.0f;
        truck_.controls.hold_brake = was_on ? 0.0f : 1.0f;
        if (snd_sound_t* const sound =
                truck_.sounds[was_on ? car_player_e::snd_parking_release : car_player_e::snd_parking_set])
            api::snd_play(sound);
        release_message_ = 1;
    }
    if (switch_accepted(impulse_jakebrake, 0.2f)) {
        jake_ = !jake_;
        if (truck_.sounds[car_player_e::snd_jake]) {
            if (jake_)
                api::snd_play(truck_.sounds[car_player_e::snd_jake]);
            else
                api::snd_stop(truck_.sounds[car_player_e::snd_jake]);
        }
    }
    // Cruise control keeps the switch timer running: it holds back no other switch.
    if (impulse(impulse_cruise_ctrl) != 0.0f && debounce_ > 0.2f) {
        truck_.cruise = 1;
        truck_.cruise_speed = truck_.speed;
        if (truck_.main_hud)
            truck_.hud_value(truck_hud_cruise_speed, truck_.speed * 0.0006213711f * 3600.0f);
    }
    if (impulse(impulse_call911) != 0.0f)
        open_call911();
    if (switch_accepted(impulse_gear_up, 0.1f))
        truck_.shift_up(true);
    if (impulse(impulse_gear_down) != 0.0f && debounce_ > 0.1f && truck_.rpm < 3000) {
        debounce_ = 0.0f;
        truck_.shift_down(true);
    }
    const bool key = impulse(impulse_engine) != 0.0f;
    if (key && truck_.engine_state == car_player_e::engine_off) {
        truck_.engine_state = car_player_e::engine_key_held;
    } else if (key && truck_.engine_state == car_player_e::engine_running) {
        truck_.engine_state = car_player_e::engine_stopped;
    } else if (!key && truck_.engine_state == car_player_e::engine_key_held) {
        begin_engine_start();
    } else if (!key && truck_.engine_state == car_player_e::engine_stopped) {
        truck_.engine_state = car_player_e::engine_stopping;
        truck_.engine_fade = 0.0f;
        if (truck_.sounds[car_player_e::snd_engine_stop])
            api::snd_play(truck_.sounds[car_player_e::snd_engine_stop]);
    }
}

void player_input_t::open_call911()
{
    game_bridge_t* const bridge = get_game_bridge();
    if (!bridge)
        return;
    c_item_t* window = bridge->find_window("service", "call911");
    if (!window) {
        window = ui_winsert("service", "call911", 4, "/ui/gcall911.esc", true);
        if (!window)
            return;
        bridge->adopt_window(window);
    }
    ui_wshow(window, 0x20000000);
}

void player_input_t::look_step()
{
    vec3_t look = truck_.cameras().look();
    if (!(control_mode_ == 2 && impulse(impulse_cam_rotate) == 0.0f)) {
        look.x += impulse(impulse_look_pitch_plus) - impulse(impulse_look_pitch_minus);
        look.y += impulse(impulse_look_yaw_plus) - impulse(impulse_look_yaw_minus);
    }
    if (truck_.camera_mode == car_player_e::cam_intro) {
        look.x = std::clamp(look.x, -5.0f, 15.0f);
    } else if (truck_.camera_mode == car_player_e::cam_cabin) {
        look.y = std::clamp(look.y, -55.0f, 35.0f);
        look.x = 0.0f;
    }
    truck_.cameras().set_look(look);
}

void player_input_t::camera_impulses(int context)
{
    const auto on = [context](int number) { return impulse(number, context) != 0.0f; };
    if (on(impulse_insidecam)) {
        truck_.set_camera_mode(car_player_e::cam_cabin);
        truck_.cameras().set_look(vec3_t());
    }
    if (on(impulse_back1cam) && truck_.camera_mode != car_player_e::cam_chase) {
        truck_.set_camera_mode(car_player_e::cam_chase);
        truck_.cameras().reset_heading();
    }
    if (on(impulse_uppercam))
        truck_.set_camera_mode(car_player_e::cam_top);
    if (on(impulse_topcam))
        truck_.set_camera_mode(car_player_e::cam_side);
    if (on(impulse_freecam)) {
        truck_.set_camera_mode(car_player_e::cam_intro);
        truck_.cameras().set_look(vec3_t());
    }
    if (on(impulse_roofcam) && debounce_ > 0.2f) {
        debounce_ = 0.0f;
        truck_.set_camera_mode(car_player_e::cam_roof);
    }
    if (on(impulse_back2cam) && truck_.camera_mode != car_player_e::cam_dynamic) {
        truck_.set_camera_mode(car_player_e::cam_dynamic);
        truck_.cameras().reset_heading();
        truck_.cameras().set_chase(truck_.gear == 0 ? 180.0f : 0.0f,
                                   truck_.gear == 0 ? 1900.0f : (truck_.has_trailer() ? 2100.0f : 1300.0f));
    }
    if (on(impulse_bumpercam) && debounce_ > 0.2f) {
        debounce_ = 0.0f;
        truck_.set_camera_mode(car_player_e::cam_hood);
    }
    if (on(impulse_flycam)) {
        truck_.set_camera_mode(car_player_e::cam_fly);
        truck_.cameras().fly_from(truck_.get_position());
    }
    if (on(impulse_behind_traffic_cam)) {
        truck_.set_camera_mode(car_player_e::cam_traffic);
        truck_.cameras().set_look(vec3_t());
    }
    if (on(impulse_beside_traffic_cam))
        truck_.set_camera_mode(car_player_e::cam_beside_traffic);
}

void player_input_t::read_settings(int32_t joystick)
{
    read_flag_setting("g_blinkers_auto", auto_blinkers_);
    const uint8_t mouse_control = setting_reads("g_mouse_control", "1") ? 1 : 0;
    control_mode_ = joystick == -1 ? (mouse_control ? 2 : 0) : 1;
    joystick_state_ =
        joystick >= 0 ? api::inp_trigger(static_cast<uint32_t>(inp_code_joystick_first + joystick)) : nullptr;
    const struct {
        const char* axis;
        const char* dead_zone;
        int32_t* number;
    } axes[] = {{"g_joy_axis_throttle", "g_joy_axis_throttle_dz", &axis_throttle_},
                {"g_joy_axis_brake", "g_joy_axis_brake_dz", &axis_brake_},
                {"g_joy_axis_steer", "g_joy_axis_steer_dz", &axis_steer_}};
    for (const auto& axis : axes) {
        read_setting(axis.axis, *axis.number);
        if (*axis.number != 16) {
            float zone = 0.0f;
            read_setting(axis.dead_zone, zone);
            api::inp_joy_set_dead_zone(static_cast<uint32_t>(inp_code_joystick_first + joystick), zone, *axis.number);
        }
    }
    read_setting("g_joy_axis_steer_sens", steer_sensitivity_);
    const char* const combine = setting_text("g_joy_axis_combine");
    if (!combine || std::atoi(combine) == 0) {
        throttle_offset_ = brake_offset_ = 0.5f;
        throttle_scale_ = brake_scale_ = -0.5f;
    } else {
        axis_brake_ = axis_throttle_;
        throttle_offset_ = brake_offset_ = 0.0f;
        throttle_scale_ = -1.0f;
        brake_scale_ = 1.0f;
    }
}

void player_input_t::advance(float dt) { direction_timer_ += dt; }

void player_input_t::release_jake_brake()
{
    if (!jake_ || truck_.speed >= 10.0f)
        return;
    jake_ = 0;
    if (truck_.sounds[car_player_e::snd_jake])
        api::snd_stop(truck_.sounds[car_player_e::snd_jake]);
}
