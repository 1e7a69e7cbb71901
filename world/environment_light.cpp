#include <cmath>
#include <cstdio>

#include "engine/cache.h"
#include "engine/def_pool.h"
#include "engine/entity_proc.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "world/environment.h"
#include "world/environment_colour.h"
#include "world/environment_links.h"

namespace {

// Seconds of one day.
constexpr float day_seconds = 86400.0f;
// The background's tint of the sky colour.
constexpr float background_tint[3] = {0.19140625f, 0.3359375f, 0.36328125f};

// `from` + (`to` - `from`) x f, optionally scaled by 1/255 first.
vec3_t blend(const vec3_t& from, const vec3_t& to, float f, float scale)
{
    const vec3_t a = from * scale;
    const vec3_t b = to * scale;
    return a + (b - a) * f;
}

// A colour component 0..1 as a byte, rounded to nearest.
uint32_t to_byte(float value) { return static_cast<uint32_t>(std::lround(value * 255.0f)); }

// Each of the three colour bytes of `colour` scaled by the same byte of `scale` (as a 0..1 fraction).
uint32_t rgb_scale(uint32_t colour, uint32_t scale)
{
    uint32_t out = colour & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (colour >> shift) & 0xFFu;
        const uint32_t b = (scale >> shift) & 0xFFu;
        out |= ((a * b + 127u) / 255u) << shift;
    }
    return out;
}

}  // namespace

bool environment_e::load_sun_data()
{
    c_item_t* item = api::mm_precache(def_name);
    const auto* pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    if (!pool) {
        api::error("failed to read sun data.");
        if (item)
            api::ci_dec_refs(item);
        return false;
    }
    if (const def_obj_t* data = pool->find("sun_data")) {
        for (int hour = 0; hour < 24; ++hour) {
            char key[16];
            std::snprintf(key, sizeof key, "dir%d", hour);
            data->get_point(key, keys_[hour].dir);
            std::snprintf(key, sizeof key, "amb%d", hour);
            data->get_point(key, keys_[hour].amb);
            std::snprintf(key, sizeof key, "diff%d", hour);
            data->get_point(key, keys_[hour].diff);
            std::snprintf(key, sizeof key, "spec%d", hour);
            data->get_point(key, keys_[hour].spec);
        }
    }
    api::ci_dec_refs(item);
    return true;
}

void environment_e::update_light(float seconds)
{
    // The clock counts the week; a negative or non-finite time must still name an hour of the day.
    float s = std::isfinite(seconds) ? std::fmod(seconds, day_seconds) : 0.0f;
    if (s < 0.0f)
        s += day_seconds;
    const float m = s / 60.0f;
    const int hour = static_cast<int>(m / 60.0f) % 24;
    const int next = (hour + 1) % 24;
    const float f = std::fmod(m, 60.0f) / 60.0f;
    const float by_255 = 0.003921569f;

    const vec3_t d = blend(keys_[hour].dir, keys_[next].dir, f, 1.0f);
    const vec3_t a = blend(keys_[hour].amb, keys_[next].amb, f, by_255);
    vec3_t diffuse = blend(keys_[hour].diff, keys_[next].diff, f, by_255);
    const vec3_t spec = blend(keys_[hour].spec, keys_[next].spec, f, by_255);

    flash_ = false;
    if (weather_.rain_on && weather_.cloudiness > 0.8f && api::sys_rand() > 0.995f) {
        thunder_pending_ = true;
        lightning_time_ = process() ? process()->process_time() : 0.0;
        diffuse = vec3_t(5.0f, 5.0f, 5.0f);
        flash_ = true;
    }

    r_light_t light;
    light.direction[0] = d.x;
    light.direction[1] = d.y;
    light.direction[2] = d.z;
    light.direction[3] = 0.0f;
    const float* components[3] = {&a.x, &diffuse.x, &spec.x};
    float* targets[3] = {light.ambient, light.diffuse, light.specular};
    for (int k = 0; k < 3; ++k) {
        for (int c = 0; c < 3; ++c)
            targets[k][c] = components[k][c];
        targets[k][3] = 1.0f;
    }
    for (int c = 0; c < 3; ++c) {
        light.diffuse[c] -= weather_.cloudiness * 0.45f;
        if (light.diffuse[c] < 0.0f)
            light.diffuse[c] = 0.0f;
    }
    light_ = light;
    if (world_light_)
        *world_light_ = light;

    float sky[3];
    const float ambient[3] = {a.x, a.y, a.z};
    for (int c = 0; c < 3; ++c) {
        sky[c] = ambient[c] + light.diffuse[c] * std::fabs(d.y);
        if (sky[c] > 1.0f)
            sky[c] = 1.0f;
    }
    // Packed in the renderer's order (0xAARRGGBB), as the sky's vertices, the sun and the clear take it.
    const uint32_t packed = 0xFF000000u | to_byte(sky[0]) << 16 | to_byte(sky[1]) << 8 | to_byte(sky[2]);
    sky_colour_ = packed;
    current_sky_colour = packed;

    const vec3_t lit_diffuse(light.diffuse[0], light.diffuse[1], light.diffuse[2]);
    set_environment_light(d, lit_diffuse, a);
    if (const game_bridge_t* bridge = get_game_bridge()) {
        const held_part_t<environment_ctrl_t> ctrl(bridge->base_ctrl());
        if (ctrl.get())
            ctrl.get()->set_road_lighting(d, lit_diffuse, a);
    }
    dome_.colour(packed, weather_.low_cloud_alpha(), weather_.high_cloud_alpha());

    if (game_bridge_t* bridge = get_game_bridge()) {
        uint32_t clear = 0xFF000000u;
        for (int c = 0; c < 3; ++c) {
            uint32_t k = static_cast<uint32_t>(std::lround(sky[c] * background_tint[0 + c] * 255.0f));
            if (k >= 255u)
                k = 255u;
            clear |= k << (16 - 8 * c);
        }
        bridge->clear_colour = clear;
    }

    // A key direction straight along z gives the sun no place.
    const float length = std::sqrt(d.x * d.x + d.y * d.y);
    sun_placed_ = length > 0.0f;
    if (sun_placed_) {
        sun_position_ = vec3_t(d.x / length * 100.0f, d.y / length * 100.0f, 200.0f);
        sun_sprite_.position[0] = sun_position_.x;
        sun_sprite_.position[1] = sun_position_.y;
        sun_sprite_.position[2] = sun_position_.z;
    }

    if (hour >= 6 && hour <= 20) {
        uint32_t colour = packed;
        if (hour == 20) {
            const uint32_t k = static_cast<uint32_t>(std::lround((1.0f - f) * 255.0f));
            colour = rgb_scale(packed, 0xFF000000u | k * 0x10101u);
            sun_size_ = 1.0f + 2.0f * f;
        } else if (hour == 6) {
            const uint32_t k = static_cast<uint32_t>(std::lround(f * 255.0f));
            colour = rgb_scale(packed, 0xFF000000u | k * 0x10101u);
        }
        sun_sprite_.colour = colour;
    } else {
        sun_sprite_.colour = 0;
        sun_size_ = 1.0f;
    }

    if (!flash_)
        dark_ = ((packed >> 8) & 0xFFu) < 0xC0u || (packed & 0xFFu) < 0xC0u;
}
