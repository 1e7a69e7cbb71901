// The decals of the traffic's near cars: a shadow under each and, at night, the pool of its headlights
// on the road ahead.
#include <algorithm>

#include "common/decal_request.h"
#include "common/game_settings.h"
#include "common/world_services.h"
#include "common/world_view.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/body/vehicle_decals.h"

namespace {

// Decal blocks of the headlights of a car and of a two-wheeler.
constexpr const char* car_lights_script = "/scripts/decals/lights_ai.esc";
constexpr const char* bike_lights_script = "/scripts/decals/lights_bike.esc";
// The headlight pool lies this far ahead of the car's front; the AI truck's farther.
constexpr float light_pool_ahead = 500.0f;
constexpr float truck_pool_extra = 200.0f;
// The first size of a two-wheeler's light pool (the decal block scales the others).
constexpr float bike_pool_size = 400.0f;
// Squared viewer distances at which a car's decals begin to fade (60 m) and are gone (100 m).
constexpr float fade_start = 3.6e7f;
constexpr float fade_end = 1e8f;
// Draw level from which a car is near enough for decals.
constexpr int32_t decal_draw_level = 2;

}  // namespace

void traffic_e::pre_draw()
{
    if (drawing_secondary_view() || game_detail_level() < 1 || cars.empty())
        return;
    draw_shadows();
    draw_light_decals();
}

uint32_t traffic_e::decal_colour(const float viewer_distance)
{
    const float alpha = viewer_distance <= fade_start
                            ? 1.0f
                            : std::clamp(1.0f - (viewer_distance - fade_start) / (fade_end - fade_start), 0.0f, 1.0f);
    const auto byte = static_cast<uint32_t>(alpha * 255.0f);
    return byte | byte << 8 | byte << 16 | byte << 24;
}

void traffic_e::place_car_decal(const char* script, const vec3_t& centre, const vec3_t& heading, const float length,
                                const float width, const uint32_t colour)
{
    auto* const world = dynamic_cast<world_services_t*>(process());
    if (!world)
        return;
    decal_request_t request{};
    request.sizes[0] = length;
    request.sizes[1] = width;
    request.words[0].real = 1.0f;
    request.words[1].real = cartes_2_ypr(heading).y;
    request.words[2].real = 180.0f;
    request.words[3].integer = 0;
    request.words[4].integer = -1;
    request.colour = colour;
    const vec3_t reach(0.0f, vehicle_decal_reach, 0.0f);
    world->place_decal(true, centre + reach, centre - reach, script, request);
}

void traffic_e::draw_shadows()
{
    for (const int32_t car : spawned) {
        const traffic_car_t& c = cars[static_cast<size_t>(car)];
        const ai_car_def_t* const def = catalogue_.find(c.model);
        if ((c.route_flags & traffic_car_t::route_off_lanes) || c.draw_level < decal_draw_level || !def)
            continue;
        place_car_decal(vehicle_shadow_script, car_point(car), car_rotation(car).rotate({0.0f, 0.0f, -1.0f}),
                        def->length, def->width, decal_colour(c.viewer_distance));
    }
}

void traffic_e::draw_light_decals()
{
    if (!dark)
        return;
    for (const int32_t car : spawned) {
        const traffic_car_t& c = cars[static_cast<size_t>(car)];
        if (!(c.lights & 1) || c.draw_level < decal_draw_level || !catalogue_.find(c.model))
            continue;
        const ai_car_def_t& def = *catalogue_.find(c.model);
        if (def.two_wheeler > 1)
            continue;
        const vec3_t heading = car_rotation(car).rotate({0.0f, 0.0f, -1.0f});
        const float ahead = 0.5f * def.length + light_pool_ahead + (car == 0 ? truck_pool_extra : 0.0f);
        const vec3_t centre = car_point(car) + heading * ahead;
        if (def.two_wheeler == 1)
            place_car_decal(bike_lights_script, centre, heading, bike_pool_size, 1.0f, decal_colour(c.viewer_distance));
        else
            place_car_decal(car_lights_script, centre, heading, 1.0f, 1.0f, decal_colour(c.viewer_distance));
    }
}
