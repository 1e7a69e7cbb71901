// The wheel and force model of car_phys_e: what the rigid body calls at every physics step.
#include <algorithm>
#include <cmath>

#include "common/game_settings.h"
#include "common/bridge_parts.h"
#include "physics/cd_geo.h"
#include "physics/cd_item.h"
#include "physics/phys_body.h"
#include "physics/phys_contact.h"
#include "physics/physproc.h"
#include "vehicles/body/car_phys.h"
#include "vehicles/links/vehicle_links.h"

namespace {

constexpr float ray_above = 300.0f;
constexpr float ray_below = 100.0f;
constexpr float no_ground = 100.0f;
constexpr float bottomed = 20.0f;
constexpr float spring_rate = 1600.0f;
// A surface more than 60 degrees off the vehicle's up (a wall, a kerb's face) is no ground a wheel stands
// on: its spring would lift the vehicle up the wall and the wheels would steer along it.
constexpr float standing_cosine = 0.5f;
constexpr float gravity = 981.0f;
// Each of the four force points of a vehicle that is not a trailer takes 0.4 g: 1.6 g in all.
constexpr float corner_gravity = 392.4f;

// Moves `value` towards 0 by at most `step`, never across it.
float towards_zero(float value, float step)
{
    if (value > 0.0f)
        return std::max(value - step, 0.0f);
    return std::min(value + step, 0.0f);
}

// The unit normal of the surface a ray hit, in the world, on the side of `up` (a triangle's winding
// says nothing about which side a wheel meets it from); `up` itself when the geometry gives no plane.
vec3_t hit_normal(const phys_contact_t& hit, const vec3_t& up)
{
    cd_geo_t* const surface = hit.second;
    if (!surface || hit.second_item == cd_item_none)
        return up;
    cd_item_t item;
    item.id = hit.second_item;
    item.request = cd_item_t::request_plane;
    surface->get_item(item, 1);
    if (!(item.request & cd_item_t::request_plane))
        return up;
    const vec3_t local = item.plane.xyz();
    if (local.length_sq() <= 0.0f)
        return up;
    const cd_geo_t* top = surface;
    while (top->parent)
        top = top->parent;
    const vec3_t normal = top->pose.orientation.rotate(local).normalized();
    return normal.dot(up) < 0.0f ? -normal : normal;
}

}  // namespace

int32_t car_phys_e::ground_kind_of(const phys_contact_t& hit)
{
    if (!hit.second || hit.second_item == cd_item_none)
        return 0;
    cd_item_t item;
    item.id = hit.second_item;
    item.request = cd_item_t::request_material;
    hit.second->get_item(item, 1);
    if (!(item.request & cd_item_t::request_material) || item.material == 0xFFFFFFFFu)
        return 0;
    return static_cast<int32_t>(std::min<uint32_t>(item.material, 0x7FFFFFFF));
}

float car_phys_e::cast_wheel(const vec3_t& ray_point, const phys_contact_t** hit) const
{
    *hit = nullptr;
    physproc_t* const world = physics();
    if (!world)
        return no_ground;
    const vec3_t from = to_world(ray_point + vec3_t{0.0f, ray_above, 0.0f});
    const vec3_t to = to_world(ray_point - vec3_t{0.0f, ray_below, 0.0f});
    const phys_pair_t pair{car_phys_pair, reinterpret_cast<uintptr_t>(this)};
    const phys_contact_t* const found = world->ray_cast(from, to, &pair, nullptr, 0, 0);
    if (!found)
        return no_ground;
    *hit = found;
    const float distance = std::sqrt((found->position - from).length_sq());
    return std::clamp(distance - ray_above, 0.0f, no_ground);
}

void car_phys_e::sense_ground(const phys_contact_t** last_hit)
{
    wheels_in_contact = 0;
    const vec3_t up_world = vector_to_world({0.0f, 1.0f, 0.0f});
    // What each wheel's ray found, before a steep hit is ruled out.
    float cast_lengths[4];
    for (int i = 0; i < 4; ++i) {
        car_wheel_t& wheel = wheels[i];
        const phys_contact_t* hit = nullptr;
        wheel.spring_length = cast_lengths[i] = cast_wheel(wheel.ray_point, &hit);
        wheel.in_contact = 0;
        if (!hit)
            continue;
        const vec3_t normal = hit_normal(*hit, up_world);
        if (normal.dot(up_world) < standing_cosine) {
            wheel.spring_length = no_ground;
            continue;
        }
        wheel.in_contact = 1;
        ++wheels_in_contact;
        wheel.ground_kind = std::max(ground_kind_of(*hit), 0);
        wheel.contact_point = vector_to_local(hit->position - get_position());
        *last_hit = hit;
        if (i < 2 && !is_trailer) {
            const vec3_t forward = vector_to_world({0.0f, 0.0f, -1.0f});
            vec3_t laid = forward - normal * forward.dot(normal);
            heading = laid.length_sq() > 0.0f ? laid.normalized() : forward;
            quat_t steer;
            steer.set(normal, controls.steering);
            wheel_direction = steer.rotate(heading).normalized();
            third_direction = heading.cross(normal).normalized();
        }
    }
    if (is_trailer) {
        heading = vector_to_world({0.0f, 0.0f, -1.0f});
        wheel_direction = heading;
        third_direction = heading.cross(up_world).normalized();
        rear_visual[0] = wheels[2].spring_length;
        rear_visual[1] = wheels[3].spring_length;
    } else {
        for (int i = 0; i < 2; ++i) {
            // A rear ray from a wheel's own ray point finds what that wheel's ray found.
            if (rear_ray_points[i] == wheels[i + 2].ray_point) {
                rear_visual[i] = cast_lengths[i + 2];
                continue;
            }
            const phys_contact_t* hit = nullptr;
            rear_visual[i] = cast_wheel(rear_ray_points[i], &hit);
        }
    }
    front_visual[0] = wheels[1].spring_length;
    front_visual[1] = wheels[0].spring_length;
    for (int i = 2; i < rear_visual_limit; i += 2) {
        rear_visual[i] = wheels[2].spring_length;
        rear_visual[i + 1] = wheels[3].spring_length;
    }
}

void car_phys_e::sense_road(const phys_contact_t* hit)
{
    held_part_t<vehicle_roads_t> roads(controller_link);
    if (!roads.get())
        return;
    int32_t edge = roads.get()->edge_of_contact(hit->second, hit->second_item);
    if (edge >= vehicle_roads_t::no_edge || edge < 0)
        edge = -1;
    road_edge = edge;
    if (edge == last_road_edge)
        return;
    last_road_edge = edge;
    if (edge >= 0) {
        const int32_t surface = roads.get()->edge_surface_class(edge);
        if (surface != -1) {
            grip = surface == 1 ? 0.6f : 1.0f;
            held_part_t<vehicle_weather_t> weather(environment_link);
            if (weather.get())
                weather.get()->set_weather_state(surface);
        }
    }
    held_part_t<vehicle_economy_t> economy(economy_link);
    if (economy.get())
        economy.get()->set_current_road(edge);
}

void car_phys_e::wheel_contacts()
{
    if (wheels_off || !body || !geometry || !physics())
        return;
    const phys_contact_t* last_hit = nullptr;
    sense_ground(&last_hit);

    for (int i = 0; i < 4; ++i)
        if (corners[i].amount >= 1.0f)
            wrecked = 1;
    if (!wrecked) {
        const long step = physics()->step_count();
        for (const car_wheel_t& wheel : wheels) {
            if (!wheel.in_contact)
                continue;
            if (wheel.spring_length < bottomed && lifted_step_ != step) {
                lifted_step_ = step;
                body->extra_translation.y += bottomed;
            }
            const vec3_t force{0.0f, body->mass * (1.0f - wheel.spring_length / no_ground) * spring_rate, 0.0f};
            body->add_force_at(force, nullptr, wheel.force_point, geometry);
        }
    }
    if (last_hit)
        sense_road(last_hit);
}

void car_phys_e::apply_damping_and_grip(float dt)
{
    phys_state_t& state = *body->current;
    const float mass = body->mass;

    // Vertical damping, as an impulse at the centre.
    const vec3_t up = vector_to_world({0.0f, 1.0f, 0.0f});
    const float rising = state.linear_velocity.dot(up);
    const float change = towards_zero(rising, 250.0f * dt) - rising;
    if (change != 0.0f)
        body->apply_impulse_at(up * (mass * change), nullptr, vec3_t(), geometry);

    // Tyre grip: the momentum is steered along the wheels.
    const float yaw_before = vector_to_world(state.angular_velocity).dot(up);
    const float velocity_length = std::sqrt(state.linear_velocity.length_sq());
    if (velocity_length > 0.0f) {
        const vec3_t u = state.linear_velocity / velocity_length;
        const float most = is_player ? (gear == 0 ? 20e6f : 2e6f) : 6e8f;
        const float limit = std::min(mass * velocity_length, most) * dt;
        vec3_t drive;
        drive_point(drive);
        if (u.dot(heading) > 0.0f) {
            const vec3_t impulse = (wheel_direction - u) * limit;
            if (is_player) {
                vec3_t point = wheels[controls.steering < 0.0f ? 0 : 1].force_point;
                point.y += 0.3f * size.y;
                body->apply_impulse_at(impulse, nullptr, point, geometry);
            } else {
                body->apply_impulse_at(impulse, nullptr, drive, nullptr);
            }
        } else {
            body->apply_impulse_at((-wheel_direction - u) * limit, nullptr, drive, nullptr);
        }
    }

    const int kind = std::clamp(wheels[2].ground_kind, 0, ground_kind_count - 1);
    const float side = is_player ? 1000.0f : 10000.0f;
    const float side_rate = ground_friction[kind] * side / mass * grip * 1200.0f;
    // The hitched trailer only follows the hitch and puts no force on the truck, so the truck turns on its
    // wheels' circle whether it tows or not.
    if (is_player)
        hold_grip_yaw(yaw_before, side_rate);

    // Brakes and side friction on the local velocity.
    vec3_t local = vector_to_local(state.linear_velocity);
    const float forward = -local.z;
    float braked = forward;
    if (air_pressure > 1.0f && (controls.brake > 0.0f || controls.hold_brake > 0.0f)) {
        const float factor = gravity * brake_strength * dt / mass * grip;
        if (forward > 0.0f)
            braked = towards_zero(forward, (controls.brake + controls.hold_brake) * factor);
        else
            braked = towards_zero(forward, (controls.brake * 0.5f + controls.hold_brake) * factor);
    }
    if (wrecked)
        braked = 0.0f;
    local.z = -braked;
    local.x = towards_zero(local.x, side_rate * dt);
    state.linear_velocity = vector_to_world(local);
}

void car_phys_e::hold_grip_yaw(float yaw_before, float side_rate)
{
    phys_state_t& state = *body->current;
    const vec3_t up = vector_to_world({0.0f, 1.0f, 0.0f});
    vec3_t spin = vector_to_world(state.angular_velocity);
    const float yaw = spin.dot(up);
    const float wheelbase = std::fabs(wheels[0].force_point.z - wheels[2].force_point.z);
    const float rolling = -vector_to_local(state.linear_velocity).z;
    if (wheelbase <= 0.0f || std::fabs(rolling) <= 1.0f)
        return;
    // The wheels roll the truck round a circle of wheelbase / tan(steering), turning the way they point
    // (the other way when it rolls backwards); faster, the tyres' side friction cannot hold a tighter
    // circle than speed² / side_rate.
    const float rolled = rolling * std::tan(controls.steering * 3.14159265f / 180.0f) / wheelbase;
    const float held = side_rate / std::fabs(rolling);
    const float wanted = std::clamp(rolled, -held, held);
    // A spin the body already had (a knock) is left to the damping.
    if (std::fabs(yaw_before) > std::fabs(wanted) && std::fabs(yaw) <= std::fabs(yaw_before))
        return;
    const float target = std::fabs(yaw_before) > std::fabs(wanted) ? std::copysign(std::fabs(yaw_before), yaw) : wanted;
    spin += up * (target - yaw);
    state.angular_velocity = vector_to_local(spin);
}

void car_phys_e::apply_angular_damping(float dt)
{
    phys_state_t& state = *body->current;
    vec3_t spin = vector_to_world(state.angular_velocity);
    const float n = 800.0f * dt;
    const auto damp = [n](float base) { return std::pow(base, n); };
    const bool towing = !hitched_trailer.is_null();
    if (wheels_in_contact == 4) {
        spin.x *= damp(towing ? 0.985f : 0.991f);
    } else {
        spin.x *= damp(0.995f);
        spin.z *= damp(0.997f);
    }
    const float speed_sq = state.linear_velocity.length_sq();
    const bool player_or_trailer = is_player || is_trailer;
    if (speed_sq > 40000.0f) {
        spin.z *= damp(0.995f);
        spin.y *= damp(grip < 0.9f && player_or_trailer ? 0.995f : 0.993f);
    } else {
        spin.z *= damp(0.994f);
        if (player_or_trailer && game_detail_level() != 0)
            spin.y *= damp(speed_sq > 4900.0f ? 0.995f : 0.993f);
        else
            spin.y *= damp(0.997f);
    }
    if (towing) {
        spin.z *= damp(0.995f);
        spin.y *= damp(0.996f);
    }
    state.angular_velocity = vector_to_local(spin);
}

void car_phys_e::apply_gravity()
{
    if (is_trailer) {
        body->add_force({0.0f, -gravity * body->mass, 0.0f}, nullptr);
        return;
    }
    for (const car_wheel_t& wheel : wheels)
        body->add_force_at({0.0f, -corner_gravity * body->mass, 0.0f}, nullptr, wheel.force_point, geometry);
}

void car_phys_e::apply_forces()
{
    if (!body || !body->current || !geometry)
        return;
    const float dt = step_seconds();
    if (wheels_in_contact > 0) {
        apply_damping_and_grip(dt);
        apply_angular_damping(dt);
    }
    phys_state_t& state = *body->current;
    if (state.linear_velocity.length_sq() < 0.25f && controls.throttle < 0.1f)
        state.linear_velocity = vec3_t();
    apply_gravity();
}
