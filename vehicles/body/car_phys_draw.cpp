// Drawing of a truck or trailer: its shadow and headlight pool as decals, the build's models at their
// places, the lights by the vehicle's lights bits, and the wheels sitting on their springs.
#include <algorithm>
#include <climits>
#include <cstring>

#include "common/cvar_value.h"
#include "common/decal_request.h"
#include "common/engine_api.h"
#include "common/game_settings.h"
#include "common/world_services.h"
#include "common/world_view.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/psm.h"
#include "physics/cd_geo_box.h"
#include "vehicles/body/car_phys.h"
#include "vehicles/body/vehicle_decals.h"

namespace {

constexpr const char* lights_script = "scripts/decals/lights.esc";
// The vehicle is drawn when this sphere round its body can be seen.
constexpr float visible_radius = 2000.0f;
// Camera modes in which no decal is placed: the cabin view and the mode in which a trailer hides.
constexpr uint8_t camera_cabin = 4;
constexpr uint8_t camera_hidden = 9;
// The shadow's centre above the body's origin.
constexpr float shadow_raise = 60.0f;
// The headlight pool's sizes, scaled up for a cabin reaching far forward.
constexpr float pool_width = 1000.0f;
constexpr float pool_length = 2000.0f;
constexpr float long_cabin_scale = 2.4f;
// Above this damage the lights are broken.
constexpr float lights_broken_damage = 0.8f;
// Visual wheel offsets: the cap, the rest height and the front height under which the body rises.
constexpr float offset_cap = 85.0f;
constexpr float offset_rest = 50.0f;
constexpr float front_rise_below = 55.0f;
// Fixed turns of the wheels about their axles: front and rear, even and odd index.
constexpr float front_even_phase = 20.0f;
constexpr float front_odd_phase = 110.0f;
constexpr float rear_even_phase = 37.0f;
constexpr float rear_odd_phase = 120.0f;
constexpr uint32_t line_colour = 0xFFFFFF00u;

bool collision_boxes_shown()
{
    const char* value = cvar_string_value(api::cvar_get("g_colbox"));
    return value && std::strcmp(value, "1") == 0;
}

void rotate(const float about_x, const float about_y)
{
    const float angles[3] = {about_x, about_y, 0.0f};
    api::gfx_rotate(angles);
}

}  // namespace

void car_phys_e::pre_draw()
{
    if ((is_trailer && camera_mode == camera_hidden) || drawing_secondary_view() || !body)
        return;
    const vec3_t where = get_position();
    if (!api::gfx_sphere_visible(&where.x, visible_radius))
        return;
    if (camera_mode == camera_hidden || camera_mode == camera_cabin)
        return;
    if (game_detail_level() > 0)
        place_decal(vehicle_shadow_script, where + vec3_t(0.0f, shadow_raise, 0.0f), length_figure, track_figure);
    if (!is_trailer && (lights & 1) && damage <= lights_broken_damage) {
        const float scale = cabin_measures[1] > 1.0f ? long_cabin_scale : 1.0f;
        const float length = pool_length * scale;
        const vec3_t centre = to_world(vec3_t(0.0f, 0.0f, -(cabin_measures[1] + 0.5f * length)));
        place_decal(lights_script, centre, length, pool_width * scale);
    }
}

void car_phys_e::place_decal(const char* script, const vec3_t& centre, const float length, const float width)
{
    auto* const world = dynamic_cast<world_services_t*>(process());
    if (!world)
        return;
    decal_request_t request{};
    request.sizes[0] = length;
    request.sizes[1] = width;
    request.words[0].real = 1.0f;
    request.words[1].real = cartes_2_ypr(vector_to_world(vec3_t(0.0f, 0.0f, -1.0f))).y;
    request.words[2].real = 180.0f;
    request.words[3].integer = 0;
    request.words[4].integer = -1;
    const vec3_t reach(0.0f, vehicle_decal_reach, 0.0f);
    world->place_decal(true, centre + reach, centre - reach, script, request);
}

void car_phys_e::draw()
{
    if (!body)
        return;
    for (float& offset : front_visual)
        offset = std::min(offset, offset_cap);
    for (float& offset : rear_visual)
        offset = std::min(offset, offset_cap);
    const float lowest_front = std::min(front_visual[0], front_visual[1]);
    const float rise = lowest_front < front_rise_below ? front_rise_below - lowest_front : 0.0f;

    const vec3_t where = get_position() + vec3_t(0.0f, rise, 0.0f);
    const quat_t turn = get_orientation();
    const auto colour = static_cast<uint32_t>(std::clamp(paint_alpha, 0.0f, 255.0f)) << 24 |
                        (static_cast<uint32_t>(paint_colour) & 0xFFFFFFu);
    const bool lights_shown = damage < lights_broken_damage && !(is_player && drawing_secondary_view());
    const psm_t* const cabin = cabin_slot >= 0 && cabin_slot < model_count ? models[cabin_slot].model : nullptr;

    api::gfx_push();
    api::gfx_translate(&where.x);
    api::gfx_qrotate(&turn.x);
    for (int i = 0; i < model_count && i < model_slot_count; ++i) {
        car_model_slot_t& slot = models[i];
        if (!slot.model)
            continue;
        if (slot.light_bits && !(lights_shown && (slot.light_bits & lights)))
            continue;
        api::gfx_push();
        api::gfx_translate(&slot.offset.x);
        mat4_t bone = mat4_t::identity();
        const bool follows = cabin && slot.follow_bone >= 0 && api::psm_bone_get_matrix(cabin, slot.follow_bone, &bone);
        if (follows)
            api::gfx_push_mult(&bone.m[0][0]);
        api::psm_draw(slot.model, 1, colour);
        draw_vehicle_flares(slot.flares, lights, flare_view_t::everywhere);
        if (follows)
            api::gfx_pop();
        api::gfx_pop();
    }
    draw_wheels();
    api::gfx_pop();
    if (collision_boxes_shown())
        draw_collision_boxes();
}

void car_phys_e::draw_wheels()
{
    car_drawn_wheel_t drawn[2 + rear_visual_limit];
    const int count = drawn_wheels(drawn, static_cast<int>(std::size(drawn)));
    int front_index = 0;
    int rear_index = 0;
    for (int i = 0; i < count; ++i) {
        const car_drawn_wheel_t& wheel = drawn[i];
        if (!wheel.model)
            continue;
        const int index = wheel.front ? front_index++ : rear_index++;
        const bool even = (index & 1) == 0;
        const float offset = std::min(wheel.offset, offset_cap);
        const vec3_t at = wheel.place - vec3_t(0.0f, offset - offset_rest, 0.0f);
        float axle_turn = 0.0f;
        if (wheel.front)
            axle_turn = even ? spin_angle + front_even_phase : -(spin_angle + front_odd_phase);
        else
            axle_turn = even ? spin_angle + rear_even_phase : -(spin_angle + rear_odd_phase);
        api::gfx_push();
        api::gfx_translate(&at.x);
        if (wheel.front)
            rotate(0.0f, even ? controls.steering : -controls.steering);
        if (even)
            rotate(0.0f, 180.0f);
        rotate(axle_turn, 0.0f);
        api::psm_draw(wheel.model, 1, 0xFFFFFFFFu);
        api::gfx_pop();
    }
}

void car_phys_e::draw_collision_boxes()
{
    for (cd_geo_t* const box : box_parts)
        if (box)
            cd_geo_box_t::debug_draw(box, nullptr, 0, INT_MAX, false);
    for (int i = 0; i < 4; ++i) {
        const vec3_t top = to_world(wheels[i].ray_point + vec3_t(0.0f, 300.0f, 0.0f));
        const vec3_t bottom = to_world(wheels[i].ray_point - vec3_t(0.0f, 100.0f, 0.0f));
        api::gfx_line_plain(line_colour, &top.x, &bottom.x);
    }
    if (!is_trailer)
        return;
    for (int i = 0; i < rear_wheel_count && i < rear_visual_limit; ++i)
        api::message("wheel offset for wheel %d is %f", i, static_cast<double>(rear_visual[i]));
}
