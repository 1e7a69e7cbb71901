// The per-frame handler of the player's truck: the input and the CB radio, then the truck's frame work
// in a fixed order.
#include <algorithm>
#include <cmath>

#include "engine/snd.h"
#include "common/engine_api.h"
#include "common/game_settings.h"
#include "physics/phys_body.h"
#include "road/game_ctrl.h"
#include "vehicles/player/car_player.h"
#include "vehicles/links/player_links.h"
#include "world/car_smoke.h"

namespace {

// The smoke emitters of the truck base: exhaust 0 and 1, tyres 2 and 3, damage 4.
constexpr int tyre_smoke_first = 2;
constexpr int damage_smoke = 4;
// Two points of the truck the traffic watches, in the truck's frame.
const vec3_t front_point(0.0f, 0.0f, -400.0f);
const vec3_t rear_point(0.0f, 0.0f, 400.0f);

}  // namespace

void car_player_e::handler()
{
    if (!set_up)
        first_frame_setup();
    if (waiting_for_ground)
        wait_for_ground();
    const float dt = frame_seconds();
    traffic_pending = 1;
    input_.advance(dt);
    crash_timer += dt;
    scenes_.advance_offence_clock(dt);
    if (reattach)
        reattach_timer += dt;

    if (scenes_.intro_running()) {
        scenes_.update_intro(dt);
    } else {
        if (camera_mode != cam_fly)
            drive_input();
        cb_radio_.update(dt);
        if (scenes_.ticket_running()) {
            scenes_.update_ticket(dt);
            return;
        }
    }
    brake_held = controls.brake > 0.9f ? brake_held + dt : 0.0f;

    if (game_ctrl_e* const ctrl = game_ctrl()) {
        game_seconds = static_cast<int32_t>(ctrl->get_game_time());
        game_hour = (game_seconds / 3600) % 24;
        if (!(lights & 1u) && (game_hour > 22 || game_hour < 4) && speed > 20.0f) {
            const held_part_t<player_traffic_t> traffic(traffic_link);
            if (traffic.get())
                traffic.get()->report_offence(160, 0);
        }
    }
    tyre_smoke_step(dt);
    if (!scratch) {
        if (sounds[snd_scratch] && api::snd_playing(sounds[snd_scratch]))
            api::snd_stop(sounds[snd_scratch]);
    } else {
        scratch = 0;
    }

    car_truck_e::handler();

    player_points[0] = to_world(front_point);
    player_points[1] = to_world(rear_point);
    {
        vec3_t trailer_point = player_points[1];
        get_trailer_position(trailer_point);
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get())
            traffic.get()->set_player_points(player_points[1], player_points[0], trailer_point);
    }
    instruments_.update_lights(dt);
    light_interior_parts();
    instruments_.update_wipers(dt);
    instruments_.turn_steering_wheel(controls.steering);
    cab_driver.steer(controls.steering, dt);
    update_engine_sound(dt);
    instruments_.update_dashboard();
    instruments_.update_gauges(dt);

    if (gear == 0) {
        if (reverse_timer > 1.5f) {
            reverse_timer = 0.0f;
            if (sounds[snd_reverse])
                api::snd_play(sounds[snd_reverse]);
        }
        reverse_timer += dt;
    }
    distance_driven += (get_position() - previous_body_position).length();
    previous_body_position = get_position();

    const bool hard_ground = wheels[2].ground_kind == ground_kind_road || wheels[3].ground_kind == ground_kind_road;
    update_tyre_tracks(hard_ground);
    if (hard_ground)
        update_history();
    if (force_feedback)
        play_road_rumble();
    if (!no_rain) {
        sound_timer += dt;
        if (sound_timer > 1.0f) {
            sound_timer = 0.0f;
            update_sounds();
        }
    } else {
        stop_rain_loops();
    }
    if (reattach) {
        if (reattach_timer <= 2.0f)
            attach_trailer();
        else
            reattach = 0;
    }
    refresh_friction(dt);
    input_.release_jake_brake();
    instruments_.update_radar(dt);
    if (game_detail_level() > 0 && car_phys_e::damage > 0.8f && !smoke[damage_smoke].is_null()) {
        if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke[damage_smoke].resolve()))
            emitter->set_position(to_world(damage_smoke_point));
    }
    road_direction_check(dt);
    track_dock();
}

void car_player_e::tyre_smoke_step(float dt)
{
    if (air_pressure < 100.0f)
        air_pressure = std::min(air_pressure + dt * 20.0f, 100.0f);
    if (controls.brake == 0.0f) {
        if (tyre_smoke) {
            tyre_smoke = 0;
            set_smoke(tyre_smoke_first, false);
            set_smoke(tyre_smoke_first + 1, false);
        }
        return;
    }
    air_pressure = std::max(air_pressure - brake_air_use * controls.brake * dt * 10.0f, 0.0f);
    if (!tyre_smoke && air_pressure < 80.0f) {
        tyre_smoke = 1;
        set_smoke(tyre_smoke_first, true);
        set_smoke(tyre_smoke_first + 1, true);
    }
}

void car_player_e::road_direction_check(float dt)
{
    road_test_timer += dt;
    road_offence_timer += dt;
    if (road_edge == -1 || road_test_timer <= 1.0f)
        return;
    if (const game_ctrl_e* const ctrl = game_ctrl()) {
        if (ctrl->edge_curve_point_road(road_edge, get_position(), heading))
            road_counter = std::max(road_counter - 1, 0);
        else
            ++road_counter;
        if (road_counter > 10) {
            road_counter = 10;
            if (road_offence_timer > 30.0f) {
                road_offence_timer = 0.0f;
                const held_part_t<player_traffic_t> traffic(traffic_link);
                if (traffic.get())
                    traffic.get()->report_offence(150, 0);
            }
        }
    }
    road_test_timer = 0.0f;
}
