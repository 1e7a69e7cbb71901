// The cameras of the player's truck: the frame of each camera mode, the obstruction test and the
// switch between modes.
#include "vehicles/player/player_cameras.h"

#include <algorithm>
#include <cmath>

#include "engine/axial.h"
#include "engine/check.h"
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
// The traffic slot the traffic views follow (the AI truck's).
constexpr int32_t followed_car = 0;

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

player_cameras_t::player_cameras_t(car_player_e& truck) : truck_(truck)
{
    // The first side mirror looks back; the second follows its own angle (0 at start).
    mirror_rotation_[0].set(vec3_t(0.0f, 1.0f, 0.0f), 180.0f);
    mirror_rotation_[1].set(vec3_t(0.0f, 1.0f, 0.0f), mirror_angle_[1] + 180.0f);
}

void player_cameras_t::set_chase(float yaw, float distance)
{
    chase_yaw_ = chase_yaw_target_ = yaw;
    chase_distance_ = chase_distance_target_ = distance;
}

void player_cameras_t::move_free_camera(const vec3_t& step) { free_camera_ += normal_rotate(step, look_); }

void player_cameras_t::turn_mirror(int mirror, float degrees)
{
    kv_assert(mirror == 0 || mirror == 1);
    float& angle = mirror_angle_[mirror];
    angle = std::clamp(angle + degrees, -20.0f, 20.0f);
    mirror_rotation_[mirror].set(vec3_t(0.0f, 1.0f, 0.0f), angle + 180.0f);
}

void player_cameras_t::smooth_heading(const vec3_t& target, float dt)
{
    if (heading_reset_) {
        smoothed_heading_ = target;
        heading_reset_ = 0;
        return;
    }
    float d = std::fmod(target.y, 360.0f) - (std::fmod(smoothed_heading_.y, 360.0f) + 360.0f);
    while (d < -180.0f)
        d += 360.0f;
    if (std::fabs(d) > 0.1f)
        smoothed_heading_.y += d * dt * std::max(std::fabs(d) * 0.05f, 1.0f);
    smoothed_heading_.y = std::fmod(smoothed_heading_.y + 360.0f, 360.0f);
    if (smoothed_heading_.y < 0.0f)
        smoothed_heading_.y += 360.0f;
}

void player_cameras_t::update_chase_targets(float dt)
{
    if (truck_.speed > 5.0f) {
        if (truck_.gear == 0) {
            chase_yaw_target_ = 180.0f;
            chase_distance_target_ = 1900.0f;
        } else {
            chase_yaw_target_ = 0.0f;
            chase_distance_target_ = truck_.has_trailer() ? 2100.0f : 1300.0f;
        }
    }
    chase_yaw_ = approach(chase_yaw_, chase_yaw_target_, 200.0f * dt);
    chase_distance_ = approach(chase_distance_, chase_distance_target_, 1000.0f * dt);
}

void player_cameras_t::build_frame(axial_t& frame, float dt)
{
    frame.identity();
    const vec3_t where = truck_.get_position();
    const quat_t turn = truck_.get_orientation();
    vec3_t direction = normal_rotate(vec3_t(0.0f, 0.0f, -1.0f), turn);
    const uint8_t mode = truck_.camera_mode;
    if (mode == car_player_e::cam_intro || mode == car_player_e::cam_chase || mode == car_player_e::cam_dynamic ||
        mode == car_player_e::cam_roof)
        direction.y = 0.0f;
    const vec3_t heading_angles = cartes_2_ypr(direction);

    if (mode < car_player_e::cam_police) {
        if (!view_clear_) {
            obstruction_pitch_ -= 10.0f * dt;
            if (obstruction_pitch_ < -90.0f) {
                obstruction_pitch_ = -90.0f;
                set_mode(car_player_e::cam_cabin);
            }
        } else {
            obstruction_pitch_ = std::min(obstruction_pitch_ + 10.0f * dt, 0.0f);
        }
    }
    const vec3_t pitch(obstruction_pitch_, 0.0f, 0.0f);

    switch (mode) {
    case car_player_e::cam_fly:
        frame.translate(free_camera_);
        frame.rotate(look_);
        break;
    case car_player_e::cam_intro:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.rotate(look_);
        frame.rotate(pitch);
        frame.translate({0.0f, 500.0f, 1500.0f});
        break;
    case car_player_e::cam_cabin:
        frame.translate(where);
        frame.qrotate(turn);
        frame.translate(truck_.interior_offset);
        frame.rotate(look_);
        break;
    case car_player_e::cam_side:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.translate(truck_.side_camera);
        frame.rotate({-13.0f, 0.0f, 0.0f});
        break;
    case car_player_e::cam_chase:
        smooth_heading(heading_angles, dt);
        frame.translate(where);
        frame.rotate(smoothed_heading_);
        frame.rotate(pitch);
        frame.translate({0.0f, 500.0f, 2100.0f});
        frame.rotate({-15.0f, 0.0f, 0.0f});
        break;
    case car_player_e::cam_top:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.qrotate(look_down());
        frame.translate({0.0f, 600.0f, 2500.0f});
        frame.translate({0.0f, top_trailer_shift_ + top_reverse_shift_, 0.0f});
        top_trailer_shift_ = truck_.has_trailer() ? std::max(top_trailer_shift_ - 1000.0f * dt, -500.0f)
                                                  : std::min(top_trailer_shift_ + 1000.0f * dt, 0.0f);
        top_reverse_shift_ = truck_.gear == 0 ? std::min(top_reverse_shift_ + 1000.0f * dt, 0.0f)
                                              : std::max(top_reverse_shift_ - 1000.0f * dt, -500.0f);
        break;
    case car_player_e::cam_dynamic:
        smooth_heading(heading_angles, dt);
        update_chase_targets(dt);
        frame.translate(where);
        frame.rotate({smoothed_heading_.x, smoothed_heading_.y + chase_yaw_, smoothed_heading_.z});
        frame.rotate(pitch);
        frame.translate({0.0f, 500.0f, chase_distance_});
        break;
    case car_player_e::cam_hood:
        frame.translate(where);
        frame.qrotate(turn);
        frame.translate(truck_.interior_offset * 0.3f);
        break;
    case car_player_e::cam_roof:
        frame.translate(where);
        frame.rotate(heading_angles);
        frame.translate(truck_.roof_camera);
        frame.rotate({-12.0f, -5.0f, 0.0f});
        break;
    case car_player_e::cam_police: {
        vec3_t d = where - police_point_;
        // A police point on the truck itself has no direction: the zero vector stays as it is.
        if (d.length() > 0.0f)
            d = d.normalized();
        frame.translate(police_point_);
        frame.rotate(cartes_2_ypr(d));
        frame.translate({0.0f, 200.0f, 0.0f});
        break;
    }
    case car_player_e::cam_rear_mirror:
    case car_player_e::cam_side_mirror_1:
    case car_player_e::cam_side_mirror_2:
        frame.translate(where);
        frame.qrotate(turn);
        frame.translate(truck_.interior_offset);
        mirror_x(frame);
        if (mode == car_player_e::cam_rear_mirror) {
            frame.qrotate(turn_round());
        } else if (mode == car_player_e::cam_side_mirror_1) {
            frame.translate({100.0f, 0.0f, 0.0f});
            frame.qrotate(mirror_rotation_[0]);
        } else {
            frame.translate({-200.0f, 0.0f, 0.0f});
            frame.qrotate(mirror_rotation_[1]);
        }
        break;
    case car_player_e::cam_traffic:
    case car_player_e::cam_beside_traffic: {
        vec3_t car_position = where;
        quat_t car_turn = turn;
        followed_car_pose(car_position, car_turn);
        frame.translate(car_position);
        frame.qrotate(car_turn);
        if (mode == car_player_e::cam_traffic) {
            frame.rotate(look_);
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

bool player_cameras_t::followed_car_pose(vec3_t& out_position, quat_t& out_rotation) const
{
    const held_part_t<player_traffic_t> traffic(truck_.traffic_link);
    return traffic.get() && traffic.get()->car_pose(followed_car, out_position, out_rotation);
}

void player_cameras_t::place(mat4_t& matrix, mat4_t& inverse)
{
    const float dt = truck_.dt_frame();
    axial_t frame;
    for (int pass = 1;; ++pass) {
        build_frame(frame, dt);
        const vec3_t camera_point = mult_point_matrix(frame.matrix, vec3_t(0.0f, 0.0f, -1.0f));
        if (truck_.camera_mode < car_player_e::cam_intro || truck_.camera_mode > car_player_e::cam_police ||
            !collision_) {
            view_clear_ = 1;
            break;
        }
        physproc_t* const world = truck_.physics();
        const phys_pair_t pair{car_phys_pair, reinterpret_cast<uintptr_t>(&truck_)};
        view_clear_ = !world || !world->ray_cast(truck_.get_position(), camera_point, &pair, nullptr, 0, 0);
        if (view_clear_ || pass >= most_passes)
            break;
    }
    matrix = frame.matrix;
    inverse = frame.inverse;
    viewer_position_ = mult_zero_matrix(frame.matrix);
}

void player_cameras_t::set_mode(uint8_t mode)
{
    if (mode != truck_.camera_mode) {
        const int32_t rain = truck_.rain_level();
        const int stop_from = truck_.camera_mode == car_player_e::cam_cabin ? car_player_e::snd_rain_in_light
                                                                            : car_player_e::snd_rain_out_light;
        for (int i = stop_from; i < stop_from + 2; ++i)
            if (truck_.sounds[i] && api::snd_playing(truck_.sounds[i]))
                api::snd_stop(truck_.sounds[i]);
        const int start_from =
            mode == car_player_e::cam_cabin ? car_player_e::snd_rain_in_light : car_player_e::snd_rain_out_light;
        if (rain == 1 || rain == 2) {
            snd_sound_t* const loop = truck_.sounds[start_from + rain - 1];
            if (loop && !api::snd_playing(loop))
                api::snd_play(loop);
        }
        psm_t* const cabin = truck_.cabin_slot >= 0 ? truck_.models[truck_.cabin_slot].model : nullptr;
        if (mode == car_player_e::cam_cabin && cabin)
            for (const char* part : {"d", "dl", "dr"})
                if (const int found = api::psm_part_find(cabin, part); found >= 0)
                    api::psm_part_set_visible(cabin, found, false);
    }
    trailer_view_flag() = mode != car_player_e::cam_top;
    truck_.camera_mode = mode;
    if (!truck_.main_hud)
        return;
    if (mode != car_player_e::cam_cabin) {
        if (truck_.input().hud_visible())
            truck_.hud_show(truck_hud_group, true);
        if (truck_.input().control_mode() == 2)
            truck_.hud_show(truck_hud_mouse_mode, true);
        truck_.hud_show(truck_hud_cabin, false);
    } else {
        truck_.hud_show(truck_hud_group, false);
        truck_.hud_show(truck_hud_mouse_mode, false);
        truck_.hud_show(truck_hud_cabin, true);
        truck_.setup_interior();
    }
}
