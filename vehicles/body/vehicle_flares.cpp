#include "vehicles/body/vehicle_flares.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "common/engine_api.h"
#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/gfx_render.h"
#include "engine/gfx_view.h"
#include "vehicles/body/make_files.h"

namespace {

// Size of a light's sprite before its scale.
constexpr float flare_size = 10.0f;

const char* text_of(const def_obj_t& keys, const char* key)
{
    const char* const value = keys.get_value(key);
    return value ? value : "";
}

// Reads the points of a list "x,y,z x,y,z ..." into `out`.
void read_points(const char* text, std::vector<vec3_t>& out)
{
    while (text && *text) {
        vec3_t point;
        int used = 0;
        if (std::sscanf(text, " %f , %f , %f%n", &point.x, &point.y, &point.z, &used) != 3 || used <= 0)
            break;
        out.push_back(point);
        text += used;
    }
}

}  // namespace

uint8_t vehicle_light_bit(const char* subtype)
{
    static constexpr struct {
        const char* name;
        uint8_t bit;
    } kinds[] = {{"normal", 1}, {"brake", 2}, {"reverse", 4}, {"lblinker", 8}, {"rblinker", 16}};
    for (const auto& entry : kinds)
        if (subtype && std::strcmp(subtype, entry.name) == 0)
            return entry.bit;
    return 0;
}

c_item_t* load_vehicle_flare_shader(const char* const* folders, const int count, const char* name)
{
    char path[512];
    if (!name || !name[0] || !make_find_file(path, sizeof path, folders, count, name, false)) {
        api::error("Unable to load flare shader %s", name ? name : "");
        return nullptr;
    }
    return api::mm_precache(path);
}

void read_vehicle_flares(const def_obj_t& keys, c_item_t* shader, std::vector<vehicle_flare_t>& out)
{
    std::vector<vec3_t> offsets, directions;
    read_points(text_of(keys, "flare_offset"), offsets);
    read_points(text_of(keys, "flare_direction"), directions);
    if (offsets.empty() && shader)
        api::ci_dec_refs(shader);
    const uint8_t kind = vehicle_light_bit(text_of(keys, "subtype"));
    const float scale = keys.get_real("flare_scale", 1.0f);
    for (size_t i = 0; i < offsets.size(); ++i) {
        vehicle_flare_t flare;
        flare.kind = kind;
        flare.offset = offsets[i];
        if (i < directions.size() && directions[i].length_sq() > 0.0f)
            flare.direction = directions[i].normalized();
        flare.scale = scale;
        flare.shader = shader;
        if (shader && i > 0)
            api::ci_inc_refs(shader);
        out.push_back(flare);
    }
}

void free_vehicle_flares(std::vector<vehicle_flare_t>& flares)
{
    for (const vehicle_flare_t& flare : flares)
        if (flare.shader)
            api::ci_dec_refs(flare.shader);
    flares.clear();
}

void draw_vehicle_flares(const std::vector<vehicle_flare_t>& flares, const uint8_t bits, const flare_view_t view)
{
    if (flares.empty())
        return;
    gfx_camera_t camera{};
    api::gfx_get_camera(&camera);
    const vec3_t towards{-camera.direction[0], -camera.direction[1], -camera.direction[2]};
    for (const vehicle_flare_t& flare : flares) {
        if (!(flare.kind & bits) || !flare.shader)
            continue;
        const bool directed = view == flare_view_t::facing_camera && flare.direction.length_sq() > 0.0f;
        const float facing = directed ? towards.dot(flare.direction) : 1.0f;
        if (facing <= 0.0f)
            continue;
        const auto grey = static_cast<uint32_t>(std::min(facing, 1.0f) * 255.0f);
        gfx_sprite_t sprite{};
        sprite.colour = 0xFF000000u | grey << 16 | grey << 8 | grey;
        sprite.scale = 1.0f;
        sprite.uv1[0] = sprite.uv1[1] = 1.0f;
        api::gfx_sprite(flare.shader->object, &flare.offset.x, flare_size * flare.scale, 1, &sprite, 1.0f, 1.0f, 0,
                        -1.0f);
    }
}
