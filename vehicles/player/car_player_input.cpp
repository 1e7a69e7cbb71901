// The driving input of the player's truck: the engine's numbered impulses become pedals, steering,
// gears, switches, cameras and look angles once per frame.
#include <algorithm>
#include <cmath>
#include <cstring>

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

bool car_player_e::switch_accepted(int number, float threshold)
{
    if (impulse(number) == 0.0f || debounce <= threshold)
        return false;
    debounce = 0.0f;
    return true;
}

void car_player_e::cruise_off()
{
    cruise = 0;
    cruise_speed = 0.0f;
    if (main_hud)
        hud_value(truck_hud_cruise_speed, 0.0f);
}

bool car_player_e::standing() const { return (previous_body_position - get_position()).length_sq() < standing_sq; }

void car_player_e::begin_engine_start()
{
    engine_state = engine_starting;
    engine_fade = 0.0f;
    if (sounds[snd_engine_start])
        api::snd_play(sounds[snd_engine_start]);
    if (sounds[snd_engine]) {
        api::snd_volume(sounds[snd_engine], 0.0f);
        api::snd_play(sounds[snd_engine]);
    }
}

void car_player_e::engine_auto_start()
{
    if (engine_state == engine_off)
        begin_engine_start();
}

void car_player_e::finish_direction_change(uint8_t& pending, const int32_t from_gear, const bool up)
{
    if (direction_timer <= 1.0f || !pending)
        return;
    pending = 0;
    gear = from_gear;
    if (up)
        shift_up(true);
    else
        shift_down(true);
}

void car_player_e::pedal_forward(float value)
{
    cruise_off();
    if (!automatic) {
        controls.throttle = value;
    } else {
        if (!(direction_timer > 1.0f && pending_forward)) {
            if (gear > 0 || (clutching && selected_gear > 0)) {
                controls.throttle = value;
            } else {
                controls.brake = value;
                if (gear == 0 && standing()) {
                    gear = -1;
                    pending_forward = 1;
                    direction_timer = 0.0f;
                }
                finish_direction_change(pending_reverse, 0, true);
            }
        }
        finish_direction_change(pending_forward, 0, true);
    }
    engine_auto_start();
}

void car_player_e::pedal_backward(float value)
{
    cruise_off();
    if (!automatic) {
        controls.brake = value;
    } else {
        if (!(direction_timer > 1.0f && pending_reverse)) {
            if (gear < 1 && !(clutching && selected_gear > 0)) {
                if (gear == 0)
                    controls.throttle = value;
            } else {
                controls.brake = value;
                if (standing()) {
                    gear = -1;
                    pending_reverse = 1;
                    direction_timer = 0.0f;
                }
            }
            if (gear == -1)
                controls.brake = value;
            finish_direction_change(pending_forward, 1, false);
        }
        finish_direction_change(pending_reverse, 1, false);
    }
    engine_auto_start();
}

void car_player_e::steer_keys(float dt)
{
    keys_step(controls.steering, impulse(impulse_left), impulse(impulse_right), dt, self_centre);
}

void car_player_e::steer_joystick(float dt)
{
    const float* const axes = joystick_state ? joystick_state->axis : nullptr;
    if (axis_steer == 16 || !axes || axis_steer < 0 || axis_steer >= inp_joy_axis_count) {
        keys_step(controls.steering, impulse(impulse_left) > 0.0f ? 1.0f : 0.0f,
                  impulse(impulse_right) > 0.0f ? 1.0f : 0.0f, dt, self_centre);
    } else {
        const float target = axes[axis_steer] * -30.0f;
        const float step = (steer_sensitivity * 300.0f + 20.0f) * dt;
        controls.steering = controls.steering < target ? std::min(controls.steering + step, target)
                                                       : std::max(controls.steering - step, target);
    }
    if (!axes)
        return;
    if (axis_throttle >= 0 && axis_throttle < inp_joy_axis_count) {
        const float value = axes[axis_throttle] * throttle_scale + throttle_offset;
        if (value > 0.1f && wheels_in_contact > 1)
            pedal_forward(value);
    }
    if (axis_brake >= 0 && axis_brake < inp_joy_axis_count) {
        const float value = axes[axis_brake] * brake_scale + brake_offset;
        if (value > 0.1f && wheels_in_contact > 1)
            pedal_backward(value);
    }
}

void car_player_e::steer_mouse()
{
    mouse_position +=
        (steer_sensitivity * 0.008f + 0.0005f) * (impulse(impulse_look_yaw_plus) - impulse(impulse_look_yaw_minus));
    mouse_position = std::clamp(mouse_position, -1.0f, 1.0f);
    controls.steering = std::fabs(mouse_position) * mouse_position * 30.0f;
    hud_value(truck_hud_mouse_steering, 1.0f - mouse_position);
}

void car_player_e::drive_input()
{
    const float dt = frame_seconds();
    debounce += api::sys_get_lastdelta();
    if (camera_mode == cam_fly) {
        const float s = static_cast<float>(cvar_integer("g_flyspeed", 5000)) * dt;
        const struct {
            int number;
            vec3_t step;
        } moves[] = {{impulse_forward, {0.0f, 0.0f, -s}},
                     {impulse_backward, {0.0f, 0.0f, s}},
                     {impulse_left, {-s, 0.0f, 0.0f}},
                     {impulse_right, {s, 0.0f, 0.0f}}};
        for (const auto& move : moves)
            if (impulse(move.number) != 0.0f)
                cameras_.move_free_camera(move.step);
    } else {
        driving_step(dt);
    }
    look_step();
    camera_impulses(cb_radio_.menu_open() ? 2 : 0);
    if (switch_accepted(impulse_hidehud, 0.2f)) {
        hud_visible = !hud_visible;
        hud_show(job_hud_group, hud_visible != 0, true);
        if (camera_mode != cam_cabin)
            hud_show(truck_hud_group, hud_visible != 0);
        const held_part_t<player_economy_t> economy(economy_link);
        if (economy.get())
            economy.get()->show_call911_icon(hud_visible != 0);
    }
    if (switch_accepted(impulse_horn, 0.4f)) {
        if (sounds[snd_horn])
            api::snd_play(sounds[snd_horn]);
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get())
            traffic.get()->answer_horn();
    }
    if (switch_accepted(impulse_reset_place, 0.2f)) {
        if (const game_ctrl_e* const ctrl = game_ctrl()) {
            set_transform(ctrl->camera_position, get_orientation());
            if (physproc_t* const world = physics(); world && geometry)
                phys_update_geom(world, geometry);
            place_on_ground(0);
        }
    }
    if (switch_accepted(impulse_voice, 0.2f)) {
        cb_radio_.toggle_menu();
    }
}

void car_player_e::driving_step(float dt)
{
    controls.throttle = 0.0f;
    controls.brake = 0.0f;
    if (impulse(impulse_forward) != 0.0f && wheels_in_contact > 1)
        pedal_forward(impulse(impulse_forward));
    if (impulse(impulse_backward) != 0.0f && wheels_in_contact > 1)
        pedal_backward(impulse(impulse_backward));
    self_centre = 1;
    if (control_mode == 0)
        steer_keys(dt);
    else if (control_mode == 1)
        steer_joystick(dt);
    else if (impulse(impulse_cam_rotate) == 0.0f)
        steer_mouse();

    if (controls.brake > 0.1f) {
        air_brake_flag = 1;
        air_brake_timer = 0.0f;
    }
    air_brake_timer += dt;
    if (air_brake_flag && air_brake_timer > 1.0f) {
        air_brake_flag = 0;
        if (sounds[snd_air_brake])
            api::snd_play(sounds[snd_air_brake]);
    }
    if (controls.throttle > 0.1f && controls.hold_brake > 0.9f && release_message) {
        release_message = 0;
        pager_message("@@ui_release_handbrake@@", 0);
    }
    if (auto_blinkers)
        instruments_.follow_steering(controls.steering);
    switch_impulses(dt);
}

void car_player_e::switch_impulses(float dt)
{
    if (switch_accepted(impulse_lights, 0.2f)) {
        lights ^= 1u;
        if (camera_mode == cam_cabin)
            setup_interior();
        lights_switch_timer = 0.0f;
    }
    if (switch_accepted(impulse_mirrors, 0.2f)) {
        mirror_state = (mirror_state + 1) % 4;
        hud_show(truck_hud_rear_mirror, (mirror_state & 1) != 0);
        hud_show(truck_hud_left_mirror, (mirror_state & 2) != 0);
        hud_show(truck_hud_right_mirror, (mirror_state & 2) != 0 && !hud_hidden_by_ctrl());
    }
    if (switch_accepted(impulse_4wflasher, 0.4f))
        instruments_.toggle_hazard();
    if (!instruments_.hazard_on() && switch_accepted(impulse_lblinker, 0.4f))
        instruments_.toggle_blinker(true);
    if (!instruments_.hazard_on() && switch_accepted(impulse_rblinker, 0.4f))
        instruments_.toggle_blinker(false);
    if (switch_accepted(impulse_wipers, 0.4f)) {
        if (cvar_reads("g_wipers_auto", "0")) {
            instruments_.step_wiper_switch();
        } else {
            pager_message("@@ui_wipers_message@@", 0);
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
        cameras_.turn_mirror(key.mirror, key.sign * 30.0f * dt);
    }
    if (switch_accepted(impulse_detach, 0.2f)) {
        if (speed >= 10.0f)
            pager_message("@@ui_slow_down@@", 0);
        else
            detach_trailer(true);
    }
    if (switch_accepted(impulse_attach, 0.2f))
        attach_trailer();
    if (switch_accepted(impulse_handbrake, 0.2f)) {
        const bool was_on = controls.hold_brake == 1.0f;
        controls.hold_brake = was_on ? 0.0f : 1.0f;
        if (snd_sound_t* const sound = sounds[was_on ? snd_parking_release : snd_parking_set])
            api::snd_play(sound);
        release_message = 1;
    }
    if (switch_accepted(impulse_jakebrake, 0.2f)) {
        jake = !jake;
        if (sounds[snd_jake]) {
            if (jake)
                api::snd_play(sounds[snd_jake]);
            else
                api::snd_stop(sounds[snd_jake]);
        }
    }
    // Cruise control keeps the debounce running: it holds back no other switch.
    if (impulse(impulse_cruise_ctrl) != 0.0f && debounce > 0.2f) {
        cruise = 1;
        cruise_speed = speed;
        if (main_hud)
            hud_value(truck_hud_cruise_speed, speed * 0.0006213711f * 3600.0f);
    }
    if (impulse(impulse_call911) != 0.0f)
        open_call911();
    if (switch_accepted(impulse_gear_up, 0.1f))
        shift_up(true);
    if (impulse(impulse_gear_down) != 0.0f && debounce > 0.1f && rpm < 3000) {
        debounce = 0.0f;
        shift_down(true);
    }
    const bool key = impulse(impulse_engine) != 0.0f;
    if (key && engine_state == engine_off) {
        engine_state = engine_key_held;
    } else if (key && engine_state == engine_running) {
        engine_state = engine_stopped;
    } else if (!key && engine_state == engine_key_held) {
        begin_engine_start();
    } else if (!key && engine_state == engine_stopped) {
        engine_state = engine_stopping;
        engine_fade = 0.0f;
        if (sounds[snd_engine_stop])
            api::snd_play(sounds[snd_engine_stop]);
    }
}

void car_player_e::open_call911()
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

void car_player_e::look_step()
{
    vec3_t look = cameras_.look();
    if (!(control_mode == 2 && impulse(impulse_cam_rotate) == 0.0f)) {
        look.x += impulse(impulse_look_pitch_plus) - impulse(impulse_look_pitch_minus);
        look.y += impulse(impulse_look_yaw_plus) - impulse(impulse_look_yaw_minus);
    }
    if (camera_mode == cam_intro) {
        look.x = std::clamp(look.x, -5.0f, 15.0f);
    } else if (camera_mode == cam_cabin) {
        look.y = std::clamp(look.y, -55.0f, 35.0f);
        look.x = 0.0f;
    }
    cameras_.set_look(look);
}

void car_player_e::camera_impulses(int context)
{
    const auto on = [context](int number) { return impulse(number, context) != 0.0f; };
    if (on(impulse_insidecam)) {
        set_camera_mode(cam_cabin);
        cameras_.set_look(vec3_t());
    }
    if (on(impulse_back1cam) && camera_mode != cam_chase) {
        set_camera_mode(cam_chase);
        cameras_.reset_heading();
    }
    if (on(impulse_uppercam))
        set_camera_mode(cam_top);
    if (on(impulse_topcam))
        set_camera_mode(cam_side);
    if (on(impulse_freecam)) {
        set_camera_mode(cam_intro);
        cameras_.set_look(vec3_t());
    }
    if (on(impulse_roofcam) && debounce > 0.2f) {
        debounce = 0.0f;
        set_camera_mode(cam_roof);
    }
    if (on(impulse_back2cam) && camera_mode != cam_dynamic) {
        set_camera_mode(cam_dynamic);
        cameras_.reset_heading();
        cameras_.set_chase(gear == 0 ? 180.0f : 0.0f, gear == 0 ? 1900.0f : (has_trailer() ? 2100.0f : 1300.0f));
    }
    if (on(impulse_bumpercam) && debounce > 0.2f) {
        debounce = 0.0f;
        set_camera_mode(cam_hood);
    }
    if (on(impulse_flycam)) {
        set_camera_mode(cam_fly);
        cameras_.fly_from(get_position());
    }
    if (on(impulse_behind_traffic_cam)) {
        set_camera_mode(cam_traffic);
        cameras_.set_look(vec3_t());
    }
    if (on(impulse_beside_traffic_cam))
        set_camera_mode(cam_beside_traffic);
}
