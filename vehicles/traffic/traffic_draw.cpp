// Drawing of the traffic's cars: three model parts by distance, wheels near, lights and blinkers as
// flares, sirens on a police car that stopped the player.
#include <climits>
#include <cmath>
#include <cstring>

#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "common/world_view.h"
#include "engine/cache.h"
#include "engine/geometry.h"
#include "engine/gfx.h"
#include "engine/psm.h"
#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "road/game_ctrl.h"
#include "road/segment.h"
#include "vehicles/traffic/traffic.h"

namespace {

// A car is drawn when this sphere around it can be seen.
constexpr float visible_radius = 2000.0f;
// Squared viewer distances: nothing beyond 350 m, the far part beyond 100 m, the near part within 60 m.
constexpr float drawn_distance = 1.225e9f;
constexpr float middle_distance = 1e8f;
constexpr float near_distance = 3.6e7f;
// A car's model stands this far above its route point.
constexpr float model_raise = 30.0f;
// Degrees per second at which the tilt rises and falls, and the steer follows the turn.
constexpr float tilt_rise_rate = 5.0f;
constexpr float tilt_fall_rate = 13.0f;
constexpr float steer_rate = 100.0f;
// Sprite scales of the model's lights and of the sirens, and the flare size.
constexpr float light_flare_scale = 0.35f;
constexpr float siren_flare_scale = 0.7f;
constexpr float flare_size = 10.0f;
// The blinkers show in the second half of each second of the blink timer.
constexpr float blink_on = 0.5f;
// The flare shaders in the order the traffic loads them.
enum flare_kind_t { flare_light, flare_blinker, flare_brake, flare_siren_red, flare_siren_blue };
// Facing of the front and the rear lights in model space (forward is -z).
const vec3_t facing_front(0.0f, 0.0f, -1.0f);
const vec3_t facing_rear(0.0f, 0.0f, 1.0f);

void translate(const vec3_t& offset) { api::gfx_translate(&offset.x); }

void rotate(float about_x, float about_y)
{
    const float angles[3] = {about_x, about_y, 0.0f};
    api::gfx_rotate(angles);
}

bool collision_boxes_shown()
{
    const char* value = cvar_string_value(api::cvar_get("g_colbox"));
    return value && std::strcmp(value, "1") == 0;
}

// The pitch a car leans to: nose up below its reference speed, down above it.
float tilt_target(const float reference_speed, const float speed)
{
    const float gap = reference_speed - speed;
    return gap <= 0.0f ? std::max(gap * 0.005f, -1.5f) : std::min(gap * 0.01f, 1.0f);
}

// `value` moved towards `target` by at most `up` upwards or `down` downwards.
float move_towards(const float value, const float target, const float up, const float down)
{
    if (target > value)
        return std::min(value + up, target);
    return std::max(value - down, target);
}

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

const void* shader_object(const c_item_t* shader) { return shader ? shader->object : nullptr; }

}  // namespace

const quat_t& traffic_e::wheel_flip_rotation()
{
    static const quat_t flip = [] {
        quat_t turn;
        turn.set(vec3_t(0.0f, 1.0f, 0.0f), 180.0f);
        return turn;
    }();
    return flip;
}

vec3_t traffic_e::car_point(const int32_t car) const
{
    const traffic_car_t& c = cars[static_cast<size_t>(car)];
    const phys_body_t* const body = car_bodies_.body(car);
    if (c.has(traffic_car_t::status_knocked) && body && body->current)
        return body->current->position;
    return c.route.position;
}

quat_t traffic_e::car_rotation(const int32_t car) const
{
    const traffic_car_t& c = cars[static_cast<size_t>(car)];
    const phys_body_t* const body = car_bodies_.body(car);
    if (c.has(traffic_car_t::status_knocked) && body && body->current)
        return body->current->orientation;
    return c.route.rotation;
}

bool traffic_e::edge_shown(const int32_t edge)
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    if (!controller.get() || !controller.get()->edges.valid(edge))
        return true;
    const segment_t* const segment = controller.get()->segment_slot(controller.get()->edges[edge].segment_slot);
    return segment && segment->visible;
}

void traffic_e::draw_collision_box(const int32_t car)
{
    if (cd_geo_box_t* const box = car_bodies_.geometry(car))
        cd_geo_box_t::debug_draw(box, nullptr, 0, INT_MAX, false);
}

void traffic_e::draw()
{
    if (cars.empty())
        return;
    // A mirror draws the cars as the main view left them: their distances, lean, steer and draw
    // levels change once a frame.
    const bool main_view = !drawing_secondary_view();
    if (main_view) {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            controller.get()->get_camera_pos(viewer_position);
    }
    const bool boxes = collision_boxes_shown();
    for (const int32_t car : spawned)
        draw_car(car, boxes, main_view);
}

void traffic_e::draw_car(const int32_t car, const bool boxes, const bool main_view)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    const auto set_level = [&](const int32_t level) {
        if (main_view)
            c.draw_level = level;
    };
    if (car == 0) {
        // The economy driver's truck draws itself.
        draw_ai_truck();
        if (boxes && c.has(traffic_car_t::status_body))
            draw_collision_box(car);
        return;
    }
    const bool knocked = c.has(traffic_car_t::status_knocked);
    if ((!knocked && !edge_shown(c.route.edge)) || !catalogue_.find(c.model)) {
        set_level(0);
        return;
    }
    const vec3_t where = car_point(car);
    if (!api::gfx_sphere_visible(&where.x, visible_radius)) {
        set_level(0);
        return;
    }
    if (boxes)
        draw_collision_box(car);
    const float distance = square_distance(viewer_position, where);
    if (main_view) {
        c.previous_viewer_distance = c.viewer_distance;
        c.viewer_distance = distance;
    }
    if (distance > drawn_distance)
        return;

    if (main_view)
        c.tilt = move_towards(c.tilt, tilt_target(c.reference_speed, c.route.speed), tilt_rise_rate * time_step,
                              tilt_fall_rate * time_step);
    const ai_car_def_t& def = *catalogue_.find(c.model);
    const quat_t rotation = car_rotation(car);
    flare_sprite.scale = light_flare_scale;
    api::gfx_push();
    if (!knocked) {
        translate(c.route.position + vec3_t(0.0f, model_raise, 0.0f));
        api::gfx_qrotate(&rotation.x);
        rotate(c.tilt, 0.0f);
        if (distance > middle_distance) {
            // Far: the simplest part, no wheels, the lights as flares only.
            set_level(1);
            if (def.model)
                api::psm_draw_part(def.model, 2, nullptr, 1, c.colour);
            draw_car_lights(c, def, false);
            api::gfx_pop();
            return;
        }
        const bool near = distance <= near_distance;
        set_level(near ? 3 : 2);
        if (def.model)
            api::psm_draw_part(def.model, near ? 0 : 1, nullptr, 1, c.colour);
        rotate(-c.tilt, 0.0f);
    } else {
        // A knocked car lies as its body does, its model lowered onto the wheels.
        set_level(3);
        translate(where);
        api::gfx_qrotate(&rotation.x);
        rotate(c.tilt, 0.0f);
        translate(vec3_t(0.0f, -def.wheel_drop, 0.0f));
        if (def.model)
            api::psm_draw_part(def.model, 0, nullptr, 1, c.colour);
        translate(vec3_t(0.0f, def.wheel_drop, 0.0f));
        rotate(-c.tilt, 0.0f);
    }

    // The front wheels follow the turn of the heading since the last frame: left turns steer left.
    const vec3_t heading = rotation.rotate(facing_front);
    if (main_view) {
        // A frame without time measures no turn rate: the steer stays where it was.
        if (time_step > 0.0f) {
            float turn = vec3_angle(heading, c.previous_heading) * (180.0f / 3.14159265f) / time_step * 0.2f;
            const vec3_t left_of_previous(c.previous_heading.z, 0.0f, -c.previous_heading.x);
            if (heading.dot(left_of_previous) < 0.0f)
                turn = -turn;
            c.steer = move_towards(c.steer, turn, steer_rate * time_step, steer_rate * time_step);
        }
        c.previous_heading = heading;
    }
    draw_wheels(c, def);
    if (!knocked)
        rotate(c.tilt, 0.0f);
    draw_car_lights(c, def, true);
    draw_sirens(car, def);
    api::gfx_pop();
}

void traffic_e::draw_wheels(const traffic_car_t& c, const ai_car_def_t& def)
{
    if (!def.wheel)
        return;
    for (int k = 0; k < def.wheel_count && k < ai_car_def_t::wheel_places; ++k) {
        api::gfx_push();
        translate(def.wheels[k]);
        if (k < 2)
            rotate(0.0f, c.steer);
        rotate(-c.wheel_angle, 0.0f);
        if (k & 1)
            api::gfx_qrotate(&wheel_flip_rotation().x);
        api::psm_draw(def.wheel, 1, 0xFFFFFFFFu);
        api::gfx_pop();
    }
}

void traffic_e::draw_car_lights(const traffic_car_t& c, const ai_car_def_t& def, const bool near)
{
    const c_item_t* const brake = flare_shaders_[flare_brake];
    const auto rear_lights = [&] {
        for (int k = 0; k < def.rear_light_count && 2 + k < ai_car_def_t::light_places; ++k)
            draw_flare(def.lights[2 + k], facing_rear, brake);
    };
    if (c.lights & 1) {
        for (int k = 0; k < def.front_light_count && k < 2; ++k)
            draw_flare(def.lights[k], facing_front, flare_shaders_[flare_light]);
        rear_lights();
    }
    if (near && c.has(traffic_car_t::status_braking))
        rear_lights();
    if (blink_timer <= blink_on)
        return;
    const c_item_t* const blinker = flare_shaders_[flare_blinker];
    if (c.left_blinker) {
        draw_flare(def.left_blinkers[0], facing_front, blinker);
        draw_flare(def.left_blinkers[1], facing_rear, blinker);
    }
    if (c.right_blinker) {
        draw_flare(def.right_blinkers[0], facing_front, blinker);
        draw_flare(def.right_blinkers[1], facing_rear, blinker);
    }
}

void traffic_e::draw_sirens(const int32_t car, const ai_car_def_t& def)
{
    const traffic_car_t& c = cars[static_cast<size_t>(car)];
    flare_sprite.scale = siren_flare_scale;
    if (!(c.siren_bits & 1) || def.siren_count == 0)
        return;
    if (siren_sound_) {
        const phys_body_t* const body = car_bodies_.body(car);
        const vec3_t at =
            c.has(traffic_car_t::status_body) && body && body->current ? body->current->position : c.route.position;
        api::snd_position(siren_sound_, &at.x);
    }
    for (int k = 0; k < def.siren_count && k < ai_car_def_t::siren_places; ++k) {
        const bool even = (k & 1) == 0;
        quat_t spin;
        spin.set(vec3_t(0.0f, 1.0f, 0.0f), 30.0f * static_cast<float>(k) + (even ? 1.0f : 1.1f) * siren_phase);
        draw_flare(def.sirens[k], spin.rotate(facing_front), flare_shaders_[even ? flare_siren_red : flare_siren_blue]);
    }
}

void traffic_e::draw_flare(const vec3_t& position, const vec3_t& facing, const c_item_t* shader)
{
    // The camera's view direction in the car's frame; a flare shows as it faces back along it.
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    vec3_t towards_camera(-camera.direction[0], -camera.direction[1], -camera.direction[2]);
    if (towards_camera.length() <= 0.0f)
        return;
    towards_camera = towards_camera * (1.0f / towards_camera.length());
    const float d = towards_camera.dot(facing);
    if (d <= 0.0f)
        return;
    const auto brightness = static_cast<uint32_t>(static_cast<uint8_t>(std::min(d, 1.0f) * 255.0f));
    flare_sprite.colour = 0xFF000000u | brightness << 16 | brightness << 8 | brightness;
    api::gfx_push();
    translate(position);
    gfx_view_t view{};
    api::gfx_view_get(&view);
    api::gfx_view_push(&view);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    api::gfx_sprite(shader_object(shader), origin, flare_size, 1, &flare_sprite, 1.0f, 1.0f, 0, -1.0f);
    api::gfx_view_pop();
    api::gfx_pop();
}
