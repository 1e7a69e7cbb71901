// The player's truck as the game's camera: the frame of each camera mode, the obstruction test and
// the switch between modes.
#include <algorithm>
#include <cmath>

#include "engine/geometry.h"
#include "engine/snd.h"
#include "common/engine_api.h"
#include "common/hud_components.h"
#include "physics/phys_pair.h"
#include "physics/physproc.h"
#include "vehicles/player/car_player.h"
#include "vehicles/links/player_links.h"

namespace {

constexpr int most_passes = 31;

// Looking straight down, and turned round about the up axis; made once.
const quat_t& look_down()
{
    static const quat_t turn = [] {
        quat_t q;
        q.set(vec3_t(1.0f, 0.0f, 0.0f), -90.0f);
        return q;
    }();
    return turn;
}
const quat_t& turn_round()
{
    static const quat_t turn = [] {
        quat_t q;
        q.set(vec3_t(0.0f, 1.0f, 0.0f), 180.0f);
        return q;
    }();
    return turn;
}

// Moves `value` towards `target` by at most `step`, never past it.
float approach(float value, float target, float step)
{
    if (value < target)
        return std::min(value + step, target);
    return std::max(value - step, target);
}

// The frame mirrored left to right (its own inverse).
void mirror_x(axial_t& frame)
{
    mat4_t flip = mat4_t::identity();
    flip[0][0] = -1.0f;
    frame.mult_i(flip, flip);
}

}  // namespace

void car_player_e::smooth_heading(const vec3_t& target, float dt)
{
    if (heading_reset) {
        smoothed_heading = target;
        heading_reset = 0;
        return;
    }
    float d = std::fmod(target.y, 360.0f) - (std::fmod(smoothed_heading.y, 360.0f) + 360.0f);
    while (d < -180.0f)
        d += 360.0f;
    if (std::fabs(d) > 0.1f)
        smoothed_heading.y += d * dt * std::max(std::fabs(d) * 0.05f, 1.0f);
    smoothed_heading.y = std::fmod(smoothed_heading.y + 360.0f, 360.0f);
    if (smoothed_heading.y < 0.0f)
        smoothed_heading.y += 360.0f;
}

void car_player_e::update_chase_targets(float dt)
{
    if (speed > 5.0f) {
        if (gear == 0) {
            chase_yaw_target = 180.0f;
            chase_distance_target = 1900.0f;
        } else {
            chase_yaw_target = 0.0f;
            chase_distance_target = has_trailer() ? 2100.0f : 1300.0f;
        }
    }
    chase_yaw = approach(chase_yaw, chase_yaw_target, 200.0f * dt);
    chase_distance = approach(chase_distance, chase_distance_target, 1000.0f * dt);
}

void car_player_e::build_camera_frame(axial_t& frame, float dt)
{
    frame.identity();
    const vec3_t where = get_position();
    const quat_t turn = get_orientation();
    vec3_t direction = normal_rotate(vec3_t(0.0f, 0.0f, -1.0f), turn);
    const uint8_t mode = camera_mode;
    if (mode == cam_intro || mode == cam_chase || mode == cam_dynamic || mode == cam_roof)
        direction.y = 0.0f;
    const vec3_t heading_angles = cartes_2_ypr(direction);

    if (mode < cam_police) {
        if (!view_clear) {
            obstruction_pitch -= 10.0f * dt;
            if (obstruction_pitch < -90.0f) {
                obstruction_pitch = -90.0f;
                set_camera_mode(cam_cabin);
            }
        } else {
            obstruction_pitch = std::min(obstruction_pitch + 10.0f * dt, 0.0f);
        }
    }
    const vec3_t pitch(obstruction_pitch, 0.0f, 0.0f);

    switch (camera_mode) {
    case cam_fly:
        frame.translate(free_camera);
        frame.rotate(look);
        break;
    case cam_intro:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.rotate(look);
        frame.rotate(pitch);
        frame.translate({0.0f, 500.0f, 1500.0f});
        break;
    case cam_cabin:
        frame.translate(where);
        frame.qrotate(turn);
        frame.translate(interior_offset);
        frame.rotate(look);
        break;
    case cam_side:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.translate(side_camera);
        frame.rotate({-13.0f, 0.0f, 0.0f});
        break;
    case cam_chase:
        smooth_heading(heading_angles, dt);
        frame.translate(where);
        frame.rotate(smoothed_heading);
        frame.rotate(pitch);
        frame.translate({0.0f, 500.0f, 2100.0f});
        frame.rotate({-15.0f, 0.0f, 0.0f});
        break;
    case cam_top:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.qrotate(look_down());
        frame.translate({0.0f, 600.0f, 2500.0f});
        frame.translate({0.0f, top_trailer_shift + top_reverse_shift, 0.0f});
        top_trailer_shift = has_trailer() ? std::max(top_trailer_shift - 1000.0f * dt, -500.0f)
                                          : std::min(top_trailer_shift + 1000.0f * dt, 0.0f);
        top_reverse_shift = gear == 0 ? std::min(top_reverse_shift + 1000.0f * dt, 0.0f)
                                      : std::max(top_reverse_shift - 1000.0f * dt, -500.0f);
        break;
    case cam_dynamic:
        smooth_heading(heading_angles, dt);
        update_chase_targets(dt);
        frame.translate(where);
        frame.rotate({smoothed_heading.x, smoothed_heading.y + chase_yaw, smoothed_heading.z});
        frame.rotate(pitch);
        frame.translate({0.0f, 500.0f, chase_distance});
        break;
    case cam_hood:
        frame.translate(where);
        frame.qrotate(turn);
        frame.translate(interior_offset * 0.3f);
        break;
    case cam_roof:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.translate(roof_camera);
        frame.rotate({-12.0f, -5.0f, 0.0f});
        break;
    case cam_police: {
        vec3_t d = where - police_point;
        // A police point on the truck itself has no direction: the zero vector stays as it is.
        if (d.length() > 0.0f)
            d = d.normalized();
        frame.translate(police_point);
        frame.rotate(cartes_2_ypr(d));
        frame.translate({0.0f, 200.0f, 0.0f});
        break;
    }
    case cam_rear_mirror:
    case cam_side_mirror_1:
    case cam_side_mirror_2:
        frame.translate(where);
        frame.qrotate(turn);
        frame.translate(interior_offset);
        mirror_x(frame);
        if (mode == cam_rear_mirror) {
            frame.qrotate(turn_round());
        } else if (mode == cam_side_mirror_1) {
            frame.translate({100.0f, 0.0f, 0.0f});
            frame.qrotate(mirror_rotation[0]);
        } else {
            frame.translate({-200.0f, 0.0f, 0.0f});
            frame.qrotate(mirror_rotation[1]);
        }
        break;
    case cam_traffic:
    case cam_beside_traffic: {
        vec3_t car_position = where;
        quat_t car_turn = turn;
        followed_car_pose(car_position, car_turn);
        frame.translate(car_position);
        frame.qrotate(car_turn);
        if (mode == cam_traffic) {
            frame.rotate(look);
            frame.translate({0.0f, 300.0f, 938.0f});
        } else {
            frame.rotate({0.0f, 210.0f, 0.0f});
            frame.translate({0.0f, 300.0f, 1450.0f});
        }
        break;
    }
    default:
        break;
    }
}

bool car_player_e::followed_car_pose(vec3_t& out_position, quat_t& out_rotation) const
{
    const held_part_t<player_traffic_t> traffic(traffic_link);
    return traffic.get() && traffic.get()->car_pose(followed_car, out_position, out_rotation);
}

void car_player_e::place_camera(mat4_t& matrix, mat4_t& inverse)
{
    const float dt = frame_seconds();
    axial_t frame;
    for (int pass = 1;; ++pass) {
        build_camera_frame(frame, dt);
        const vec3_t camera_point = mult_point_matrix(frame.matrix, vec3_t(0.0f, 0.0f, -1.0f));
        if (camera_mode < cam_intro || camera_mode > cam_police || !camera_collision) {
            view_clear = 1;
            break;
        }
        physproc_t* const world = physics();
        const phys_pair_t pair{car_phys_pair, reinterpret_cast<uintptr_t>(this)};
        view_clear = !world || !world->ray_cast(get_position(), camera_point, &pair, nullptr, 0, 0);
        if (view_clear || pass >= most_passes)
            break;
    }
    matrix = frame.matrix;
    inverse = frame.inverse;
    viewer_position = mult_zero_matrix(frame.matrix);
}

void car_player_e::set_camera_mode(uint8_t mode)
{
    if (mode != camera_mode) {
        const int32_t rain = rain_level();
        const int stop_from = camera_mode == cam_cabin ? snd_rain_in_light : snd_rain_out_light;
        for (int i = stop_from; i < stop_from + 2; ++i)
            if (sounds[i] && api::snd_playing(sounds[i]))
                api::snd_stop(sounds[i]);
        const int start_from = mode == cam_cabin ? snd_rain_in_light : snd_rain_out_light;
        if (rain == 1 || rain == 2) {
            snd_sound_t* const loop = sounds[start_from + rain - 1];
            if (loop && !api::snd_playing(loop))
                api::snd_play(loop);
        }
        psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
        if (mode == cam_cabin && cabin)
            for (const char* part : {"d", "dl", "dr"})
                if (const int found = api::psm_part_find(cabin, part); found >= 0)
                    api::psm_part_set_visible(cabin, found, false);
    }
    trailer_view_flag() = mode != cam_top;
    camera_mode = mode;
    if (!main_hud)
        return;
    if (mode != cam_cabin) {
        lights_decal_offset = 0.0f;
        if (hud_visible)
            hud_show(truck_hud_group, true);
        if (control_mode == 2)
            hud_show(truck_hud_mouse_mode, true);
        hud_show(truck_hud_cabin, false);
    } else {
        hud_show(truck_hud_group, false);
        hud_show(truck_hud_mouse_mode, false);
        hud_show(truck_hud_cabin, true);
        lights_decal_offset = 400.0f;
        setup_interior();
    }
}
