#include <cmath>

#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_settings.h"
#include "engine/entity_proc.h"
#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/links/traffic_player.h"

namespace {

// Seconds between two road steps, and the horn and blinker rhythms.
constexpr float road_step_seconds = 1.0f;
constexpr float horn_period = 4.0f;
constexpr float blink_period = 1.0f;
// Body velocities beyond these squares are cut back (a body thrown out of the world).
constexpr float wild_linear_square = 1e22f;
constexpr float tamed_linear = 1e11f;
constexpr float wild_angular_square = 90000.0f;
constexpr float tamed_angular = 100.0f;
// Degrees the wheels turn per centimetre.
constexpr float wheel_turn_rate = 1.9108279f;
// A knocked body comes to rest after this many seconds, and below this speed (squared).
constexpr float knocked_rest_seconds = 6.0f;
constexpr float resting_speed_square = 2500.0f;
constexpr float gravity = 981.0f;

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

// `v` scaled to `length` when its square exceeds `limit`.
vec3_t tamed(const vec3_t& v, float limit, float length)
{
    const float square = v.x * v.x + v.y * v.y + v.z * v.z;
    return square > limit ? v * (length / std::sqrt(square)) : v;
}

}  // namespace

void traffic_e::release_car(const int32_t car, const bool free_body)
{
    if (car < 0 || car >= static_cast<int32_t>(cars.size()))
        return;
    traffic_car_t& record = cars[static_cast<size_t>(car)];
    if (record.has(traffic_car_t::status_body))
        unload_car_model(car);
    if (car == smoking_car)
        stop_smoke();
    // A slot that goes back to the free stack lets go of its motor channel.
    motor_sounds_.stop(car);
    if (car == 0)
        leave_ai_truck();
    if (free_body && record.held_semaphore != -1) {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            controller.get()->set_semaphore(record.held_semaphore, -10, &last_reservation);
        record.held_semaphore = -1;
    }
    const auto at = std::ranges::find(spawned, car);
    if (at == spawned.end())
        return;
    spawned.erase(at);
    if (car != 0)
        free_slots.push_back(car);
}

void traffic_e::remove_car(const int32_t car)
{
    unload_car_model(car);
    release_car(car, true);
    unlink_car(car);
}

void traffic_e::reset()
{
    start_burst = true;
    start_burst_timer = 0.0f;
    message("Reseting traffic");
    while (!spawned.empty())
        remove_car(spawned.front());
    for (traffic_road_t& road : roads)
        road.clear_lanes();
    offences_.forget_hits();
    knocked.clear();
}

void traffic_e::update()
{
    const double now = process() ? process()->process_time() : 0.0;
    const float dt = process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
    step(now, dt);
}

void traffic_e::update_hour()
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    if (!controller.get())
        return;
    const auto seconds = static_cast<int64_t>(controller.get()->get_game_time());
    catalogue_.follow_hour(static_cast<uint8_t>((seconds / 3600) % 24));
}

void traffic_e::step(const double now, const float dt)
{
    clock = now;
    time_step = dt;
    if (!enabled() || cars.empty())
        return;
    if (start_burst) {
        start_burst_timer += dt;
        if (start_burst_timer > start_burst_seconds)
            start_burst = false;
    }
    if (ai_truck.present)
        drive_ai_truck();
    siren_phase += 360.0f * dt;
    if (siren_phase > 360.0f)
        siren_phase -= 360.0f;
    read_world();
    update_hour();
    horn_timer += dt;
    if (horn_timer > horn_period)
        horn_timer = 0.0f;

    ai_truck.stepped = false;
    for (size_t r = 0; r < roads.size(); ++r)
        for (int lane = 0; lane < traffic_road_t::lanes; ++lane)
            for (int direction = 0; direction < traffic_road_t::directions; ++direction)
                walk_lane(roads[r].first_car[direction][lane]);
    move_ai_truck_off_lanes();

    const float interval = day_spawn_interval * (dark ? night_spawn_factor : 1.0f);
    if ((start_burst || spawn_timer > interval) && spawn_car())
        spawn_timer = 0.0f;
    police_chance();

    if (step_timer <= road_step_seconds) {
        step_timer += dt;
    } else {
        purge_road_step();
        step_timer = 0.0f;
    }
    blink_timer += dt;
    if (blink_timer > blink_period)
        blink_timer = 0.0f;
    spawn_timer += dt;
}

void traffic_e::walk_lane(int32_t car)
{
    // A list can hold each car once; more steps than cars means its links loop.
    for (int32_t visits = 0; car != -1 && visits < car_capacity; ++visits) {
        const int32_t next = cars[static_cast<size_t>(car)].follower;
        if (!step_car(car) || next == car)
            return;
        car = next;
    }
}

bool traffic_e::step_car(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    motor_sounds_.step(car);
    if (c.route.speed > c.reference_speed) {
        c.status |= traffic_car_t::status_braking;
        c.decision_stamp = clock;
    }
    c.lights = dark ? 1 : 0;
    phys_body_t* const body = car_bodies_.body(car);
    if (body && body->current) {
        body->current->linear_velocity = tamed(body->current->linear_velocity, wild_linear_square, tamed_linear);
        body->current->angular_velocity = tamed(body->current->angular_velocity, wild_angular_square, tamed_angular);
    }
    // The drawing keeps the viewer distances the motor pitch is read from.
    const float d2 = square_distance(c.route.position, viewer_position);

    if (!spawned.empty()) {
        const auto pick =
            std::min(static_cast<size_t>(api::sys_rand() * static_cast<float>(spawned.size())), spawned.size() - 1);
        const int32_t other = spawned[pick];
        if (other != car &&
            square_distance(cars[static_cast<size_t>(other)].route.position, c.route.position) < overlap_distance) {
            message("Removing car");
            remove_car(car);
            return false;
        }
    }
    const bool knocked_car = c.has(traffic_car_t::status_knocked);
    if (car == 0 && d2 > ai_truck_removal_distance) {
        release_car(0, true);
        unlink_car(0);
        return false;
    }
    if ((knocked_car && car != 0 && d2 > knocked_removal_distance) || (car != 0 && d2 > removal_distance)) {
        remove_car(car);
        return false;
    }
    if (offences_.pending() != -1 && d2 < ticket_distance && c.model == 0 && car != 0) {
        stop_smoke();
        const held_part_t<traffic_player_t> player(bridge ? bridge->avatar() : entity_handle_t{});
        if (player.get())
            player.get()->show_ticket(offences_.pending(), -1);
        c.siren_bits |= 1;
        offences_.settle();
    }

    if (!knocked_car) {
        car_step(car);
        if (car == 0)
            ai_truck.stepped = true;
        {
            const held_part_t<game_ctrl_e> controller(controller_link);
            if (controller.get())
                controller.get()->next_path_point(c.route, time_step);
        }
        if (c.has(traffic_car_t::status_body) && body && body->current) {
            const ai_car_def_t* const def = catalogue_.find(c.model);
            const float lift = def ? def->half_height + 20.0f : 20.0f;
            body->current->position = c.route.position + vec3_t{0.0f, lift, 0.0f};
            body->current->orientation = c.route.rotation;
            body->current->update_matrices();
        }
    } else {
        follow_body(car);
    }

    if (car == 0 && !(c.horn_bits & 1) && ai_truck.horn &&
        square_distance(c.route.position, player_points[1]) < ai_truck_horn_distance && api::sys_rand() > 0.95f) {
        api::snd_play(ai_truck.horn);
        c.horn_bits |= 1;
    }
    if (d2 >= near_distance) {
        if (c.has(traffic_car_t::status_body) && (!knocked_car || d2 > far_knocked_distance))
            unload_car_model(car);
    } else if (!c.has(traffic_car_t::status_body)) {
        load_car_model(car);
    }
    c.wheel_angle = std::fmod(c.wheel_angle + c.route.speed * time_step * wheel_turn_rate, 720.0f);
    if (clock - c.decision_stamp > 2.0 * (api::sys_rand() + 1.0)) {
        if (c.route.speed <= c.reference_speed)
            c.status &= static_cast<uint8_t>(~traffic_car_t::status_braking);
        pick_cruise_speed(car);
        c.decision_stamp = clock;
    }
    return true;
}

void traffic_e::follow_body(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    phys_body_t* const body = car_bodies_.body(car);
    if (!body || !body->current)
        return;
    c.route.position = body->current->position;
    c.route.rotation = body->current->orientation;
    if (!c.has(traffic_car_t::status_body))
        return;
    const float steps = 200.0f * time_step;
    body->current->linear_velocity = body->current->linear_velocity * std::pow(0.996f, steps);
    body->current->angular_velocity = body->current->angular_velocity * std::pow(0.99f, steps);
    const vec3_t& v = body->current->linear_velocity;
    if (v.x * v.x + v.y * v.y + v.z * v.z < resting_speed_square)
        body->current->linear_velocity = {};
    if (!(c.body_bits & 1) && clock - c.knock_time > knocked_rest_seconds)
        c.body_bits |= 1;
    if (!(c.body_bits & 1))
        body->add_force({0.0f, -gravity * body->mass, 0.0f}, nullptr);
}
