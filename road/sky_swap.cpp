#include "road/sky_swap.h"

#include <cmath>

#include "engine/check.h"
#include "road/game_ctrl.h"

namespace {

// Squared distance within which the truck enters a sky-swap zone at one of its ends (30 m).
constexpr float sky_zone_reach_sq = 9000000.0f;
constexpr float sky_zone_reach = 3000.0f;

// Squared distance on the ground from (x, z) to `point`.
float distance_sq(const float x, const float z, const float* point)
{
    return (x - point[0]) * (x - point[0]) + (z - point[1]) * (z - point[1]);
}

}  // namespace

void sky_swap_t::update(const vec3_t& position, ctrl_environment_t& environment)
{
    const float x = position.x;
    const float z = position.z;
    const int32_t skies = environment.sky_count();
    sky_swap_state_t& zone = state_;
    if (zone.item == -1) {
        enter(x, z, environment);
        return;
    }
    const float t1 = (x - zone.near_point[0]) * zone.direction[0] + (z - zone.near_point[1]) * zone.direction[1];
    const float t2 = (zone.far_point[0] - x) * zone.direction[0] + (zone.far_point[1] - z) * zone.direction[1];
    if ((t1 < 0.0f && std::sqrt(distance_sq(x, z, zone.near_point)) > sky_zone_reach) ||
        (t2 < 0.0f && std::sqrt(distance_sq(x, z, zone.far_point)) > sky_zone_reach)) {
        zone.item = -1;
        return;
    }
    if (t1 <= 0.0f || t2 <= 0.0f || !(zone.length > 0.0f))
        return;
    const float f = 1.0f - std::fabs(t1 / zone.length) / zone.length;
    float blend;
    const int32_t wanted = f <= 0.5f ? zone.far_sky : zone.near_sky;
    if (wanted < 0 || wanted >= skies)
        return;
    if (zone.current_sky != wanted) {
        environment.set_sky(wanted);
        zone.current_sky = wanted;
    }
    blend = f <= 0.5f ? 1.0f - 2.0f * f : 2.0f * f - 1.0f;
    environment.set_sky_blend(blend);
}

void sky_swap_t::enter(const float x, const float z, ctrl_environment_t& environment)
{
    const int32_t skies = environment.sky_count();
    sky_swap_state_t& zone = state_;
    for (const int32_t index : ctrl_.active_list(base_ctrl_sky_swaps)) {
        if (!ctrl_.miscitems.valid(index))
            continue;
        const map_miscitem_t& item = ctrl_.miscitems[index];
        const float first[2] = {item.points[0].x, item.points[0].z};
        const float second[2] = {item.points[1].x, item.points[1].z};
        int near_end = -1;
        if (distance_sq(x, z, first) < sky_zone_reach_sq)
            near_end = 0;
        else if (distance_sq(x, z, second) < sky_zone_reach_sq)
            near_end = 1;
        if (near_end == -1)
            continue;
        const int32_t near_sky = item.params[near_end];
        const int32_t far_sky = item.params[1 - near_end];
        // A zone naming a sky the environment does not have is left alone.
        if (near_sky < 0 || near_sky >= skies || far_sky < 0 || far_sky >= skies)
            continue;
        zone.item = index;
        const float* const near_point = near_end == 0 ? first : second;
        const float* const far_point = near_end == 0 ? second : first;
        zone.near_point[0] = near_point[0];
        zone.near_point[1] = near_point[1];
        zone.far_point[0] = far_point[0];
        zone.far_point[1] = far_point[1];
        zone.near_sky = near_sky;
        zone.far_sky = far_sky;
        zone.direction[0] = far_point[0] - near_point[0];
        zone.direction[1] = far_point[1] - near_point[1];
        zone.length = std::sqrt(zone.direction[0] * zone.direction[0] + zone.direction[1] * zone.direction[1]);
        zone.current_sky = environment.sky_index();
        break;
    }
}
