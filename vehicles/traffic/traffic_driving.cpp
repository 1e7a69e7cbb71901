#include <algorithm>
#include <cmath>

#include "common/engine_api.h"
#include "engine/snd.h"
#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"

namespace {

// Squared distances of the driving states.
constexpr float ahead_range = 3.6e7f;          // 6000: a leader or a semaphore ahead matters
constexpr float follow_match_range = 3.42e7f;  // beyond it a follower takes its leader's target
constexpr float queue_gap = 2.88e6f;           // a queued follower closes up to here at 750
constexpr float stop_gap = 3.6e6f;             // a follower this close stops at once; a far held semaphore
constexpr float reserve_range = 1.8e8f;        // a crossing may be reserved from afar
constexpr float truck_stop = 600000.0f;        // the AI truck stops this far before a light
constexpr float car_stop = 30000.0f;           // any other car stops this far before a light
constexpr float creep_range = 200000.0f;       // within it a car slows with the distance to a light
constexpr float blocked_stand = 500000.0f;     // an obstacle this close makes a blocked car stand
// Clear and held values of a semaphore's reservation and light.
constexpr int32_t semaphore_free = -10;
constexpr int32_t light_open = -10;
// Speeds of the states.
constexpr float cruise_margin = 1000.0f;
constexpr float queue_speed = 750.0f;
constexpr float close_up_speed = 1200.0f;
constexpr float approach_speed = 1000.0f;
constexpr float creep_speed = 500.0f;
constexpr float player_gap_speed = 100.0f;
// Acceleration, braking in cruise and braking otherwise, in cm/s per second.
constexpr float accelerate = 200.0f;
constexpr float cruise_brake = 500.0f;
constexpr float hard_brake = 5000.0f;
// A leader slower than this counts as slow; after this many seconds the follower overtakes.
constexpr float slow_leader_speed = 10.0f;
constexpr double slow_leader_seconds = 2.0;
// The obstacle test: how near, and how far off the heading (cosine) an obstacle blocks.
constexpr float obstacle_range = 1e6f;
constexpr float obstacle_cone = 0.93f;

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

// The x-z part of `v`, normalised when it has a length.
vec3_t flat_direction(const vec3_t& v)
{
    const vec3_t flat{v.x, 0.0f, v.z};
    const float length = std::sqrt(flat.x * flat.x + flat.z * flat.z);
    return length > 0.0f ? flat * (1.0f / length) : flat;
}

}  // namespace

bool traffic_e::point_clear(const vec3_t& point, const vec3_t& position, const vec3_t& heading)
{
    last_obstacle_distance = square_distance(point, position);
    if (last_obstacle_distance >= obstacle_range)
        return true;
    const vec3_t u = flat_direction(point - position);
    const vec3_t v = flat_direction(heading);
    return u.x * v.x + u.z * v.z <= obstacle_cone;
}

bool traffic_e::path_clear(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    bool clear = point_clear(player_points[1], c.route.position, c.route.tangent) &&
                 point_clear(player_points[0], c.route.position, c.route.tangent) &&
                 point_clear(player_points[2], c.route.position, c.route.tangent);
    for (size_t i = 0; clear && i < knocked.size(); ++i)
        if (knocked[i] != car)
            clear =
                point_clear(cars[static_cast<size_t>(knocked[i])].route.position, c.route.position, c.route.tangent);
    if (!clear)
        c.state = 4;
    return clear;
}

void traffic_e::car_step(const int32_t car)
{
    const bool clear = path_clear(car);
    switch (cars[static_cast<size_t>(car)].state) {
    case 1:
        drive_cruise(car);
        break;
    case 2:
        drive_follow(car);
        break;
    case 3:
        drive_approach(car);
        break;
    case 4:
        drive_blocked(car, clear);
        break;
    case 5:
        drive_semaphore_wait(car);
        break;
    case 6:
        drive_restart_delay(car);
        break;
    default:
        break;
    }
}

void traffic_e::adjust_speed(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    float& speed = c.route.speed;
    if (speed <= c.target_speed) {
        speed = std::min(speed + accelerate * time_step, c.target_speed);
    } else {
        const float brake = c.state == 1 ? cruise_brake : hard_brake;
        speed = std::max(speed - brake * time_step, c.target_speed);
    }
    if (speed <= 10.0f)
        return;
    const float step = time_step * speed * 0.005f;
    const float offset = c.route.lateral_base;
    c.route.lateral_base = offset < c.lane_offset_target ? std::min(offset + step, c.lane_offset_target)
                                                         : std::max(offset - step, c.lane_offset_target);
    const held_part_t<game_ctrl_e> controller(controller_link);
    if (controller.get())
        controller.get()->update_lane_offset(c.route);
}

int32_t traffic_e::semaphore_state(const int32_t id, vec3_t* out_position, int32_t* out_light)
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    if (!controller.get() || id < 0)
        return semaphore_free;
    if (out_light)
        *out_light = controller.get()->get_semaphore_light(id);
    return controller.get()->get_semaphore(id, out_position);
}

uint32_t traffic_e::reserve_semaphore(const int32_t id, const int32_t value)
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    if (!controller.get() || id < 0)
        return 0;
    uint32_t wait = 0;
    controller.get()->set_semaphore(id, value, &wait);
    return wait;
}

void traffic_e::release_far_semaphore(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.held_semaphore == -1)
        return;
    vec3_t where;
    semaphore_state(c.held_semaphore, &where, nullptr);
    if (square_distance(where, c.route.position) > stop_gap) {
        last_reservation = reserve_semaphore(c.held_semaphore, semaphore_free);
        c.held_semaphore = -1;
    }
}

bool traffic_e::road_has_lanes(const traffic_car_t& c) const
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    return controller.get() && controller.get()->road_def_word(c.route.edge, c.direction == 1) > 1;
}

void traffic_e::cruise_on(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    c.target_speed = static_cast<float>(c.cruise_speed) + cruise_margin;
    adjust_speed(car);
}

void traffic_e::drive_cruise(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.leader != -1) {
        if (square_distance(cars[static_cast<size_t>(c.leader)].route.position, c.route.position) < ahead_range) {
            c.slow_leader_stamp = static_cast<int32_t>(clock);
            c.state = 2;
            return;
        }
        release_far_semaphore(car);
        cruise_on(car);
    }
    if (c.next_semaphore == c.held_semaphore) {
        cruise_on(car);
        return;
    }
    release_far_semaphore(car);
    vec3_t where;
    const int32_t reservation = semaphore_state(c.next_semaphore, &where, nullptr);
    c.next_semaphore_distance = c.next_semaphore >= 0 ? square_distance(where, c.route.position) : ahead_range;
    if (c.next_semaphore_distance < ahead_range) {
        c.state = 3;
        return;
    }
    if ((c.route_flags & 2) && reservation == semaphore_free && c.held_semaphore == -1 &&
        c.next_semaphore_distance < reserve_range) {
        reserve_semaphore(c.next_semaphore, car);
        c.held_semaphore = c.next_semaphore;
    }
    cruise_on(car);
}

void traffic_e::drive_follow(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    release_far_semaphore(car);
    if (c.leader == -1) {
        c.state = 1;
        return;
    }
    const traffic_car_t& leader = cars[static_cast<size_t>(c.leader)];
    if (leader.has(traffic_car_t::status_queued))
        c.status |= traffic_car_t::status_queued;
    const float d = square_distance(leader.route.position, c.route.position);
    if (d > ahead_range) {
        c.state = 1;
        return;
    }
    const bool queued = c.has(traffic_car_t::status_queued);
    if (queued && d > queue_gap) {
        c.target_speed = queue_speed;
        adjust_speed(car);
        return;
    }
    const float f = std::max(c.route.speed / 1500.0f, 0.3f);
    if (d > f * ahead_range) {
        c.target_speed = close_up_speed;
        adjust_speed(car);
        if (c.route.lane > 1.0f && road_has_lanes(c)) {
            change_lane_down(car);
            c.state = 1;
        }
        return;
    }
    if (c.route.speed > 20.0f && !queued && clock - c.slow_leader_stamp > slow_leader_seconds && c.route.lane > 1.0f &&
        road_has_lanes(c)) {
        c.left_blinker = 1;
        change_lane_down(car);
        c.state = 1;
    }
    if (c.leader == -1)
        return;
    const traffic_car_t& ahead = cars[static_cast<size_t>(c.leader)];
    if (d > follow_match_range) {
        c.target_speed = ahead.target_speed;
        adjust_speed(car);
        return;
    }
    c.target_speed = std::max(0.0f, ahead.route.speed * 0.9f);
    adjust_speed(car);
    if (d < stop_gap)
        c.target_speed = c.route.speed = 0.0f;
    if (ahead.route.speed < slow_leader_speed)
        c.slow_leader_stamp = static_cast<int32_t>(clock);
}

void traffic_e::take_semaphore(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.held_semaphore != -1)
        last_reservation = reserve_semaphore(c.held_semaphore, semaphore_free);
    c.held_semaphore = c.next_semaphore;
    c.wait_timer = static_cast<float>(reserve_semaphore(c.next_semaphore, car));
    if (c.wait_timer > 0.0f)
        c.state = 5;
}

void traffic_e::drive_approach(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.next_semaphore == c.held_semaphore) {
        c.state = 1;
        cruise_on(car);
        return;
    }
    release_far_semaphore(car);
    vec3_t where;
    int32_t light = 0;
    const int32_t reservation = semaphore_state(c.next_semaphore, &where, &light);
    const float d = square_distance(where, c.route.position);
    if (reservation == semaphore_free && light == light_open && c.leader == -1) {
        if (c.held_semaphore != -1) {
            vec3_t held_at;
            semaphore_state(c.held_semaphore, &held_at, nullptr);
            if (d < square_distance(held_at, c.route.position)) {
                take_semaphore(car);
                return;
            }
            c.target_speed = approach_speed;
            adjust_speed(car);
            return;
        }
        if (d < ahead_range) {
            take_semaphore(car);
            return;
        }
        cruise_on(car);
        return;
    }
    if (d < ahead_range && c.leader == -1) {
        if (reservation == semaphore_free) {
            c.status |= traffic_car_t::status_queued;
            const float stop = car == 0 ? truck_stop : car_stop;
            if (d >= creep_range) {
                c.target_speed = approach_speed;
                adjust_speed(car);
                return;
            }
            c.target_speed = d < stop ? 0.0f : d * 5e-6f * 1000.0f;
            adjust_speed(car);
            return;
        }
        const bool holder_valid = reservation >= 0 && reservation < static_cast<int32_t>(cars.size());
        const traffic_car_t* const holder = holder_valid ? &cars[static_cast<size_t>(reservation)] : nullptr;
        if (holder && square_distance(holder->route.position, c.route.position) > stop_gap && !(c.route_flags & 32)) {
            c.target_speed = holder->target_speed >= creep_speed ? holder->target_speed : creep_speed;
        } else {
            c.route.speed = 0.0f;
        }
        adjust_speed(car);
        return;
    }
    cruise_on(car);
    c.state = 1;
}

void traffic_e::drive_blocked(const int32_t car, const bool clear)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (clear) {
        c.wait_timer = api::sys_rand() * 0.5f;
        c.state = 6;
        if (c.held_semaphore != -1 && c.held_semaphore == c.next_semaphore) {
            last_reservation = reserve_semaphore(c.held_semaphore, semaphore_free);
            c.held_semaphore = -1;
        }
        return;
    }
    if (last_obstacle_distance <= blocked_stand) {
        c.route.speed = c.target_speed = 0.0f;
    } else {
        const float pace = std::max(0.0f, player_speed - player_gap_speed);
        if (c.route.speed > player_speed)
            c.route.speed = pace;
        c.target_speed = pace;
    }
    adjust_speed(car);
    const float h = c.horn_clock;
    const float t = horn_timer;
    if (!((h < t && t < h + 0.5f) || (h + 0.7f < t && t < h + 1.2f)))
        return;
    if (!dark)
        c.lights = 1;
    c.horn_clock = api::sys_rand();
    snd_sound_t* const horn = horn_sounds_[c.model % 4];
    if (!horn || car == 0)
        return;
    if (!(c.horn_bits & 1) && !api::snd_playing(horn)) {
        api::snd_play(horn);
        c.horn_bits |= 1;
    }
}

void traffic_e::drive_semaphore_wait(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    c.lights = 0;
    c.wait_timer -= time_step;
    if (c.wait_timer < 0.0f) {
        c.state = 1;
        c.lights = dark ? 1 : 0;
    }
    c.status |= traffic_car_t::status_queued;
    vec3_t where;
    semaphore_state(c.held_semaphore, &where, nullptr);
    const float d = square_distance(where, c.route.position);
    if (d < car_stop)
        c.target_speed = 0.0f;
    else if (d < creep_range)
        c.target_speed = d * 5e-6f * 1000.0f;
    else
        c.target_speed = static_cast<float>(c.cruise_speed) + cruise_margin;
    adjust_speed(car);
}

void traffic_e::drive_restart_delay(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    c.wait_timer -= time_step;
    if (c.wait_timer < 0.0f)
        c.state = 1;
    c.status |= traffic_car_t::status_queued;
    adjust_speed(car);
}
