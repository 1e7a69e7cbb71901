#include <cstring>

#include "common/bridge_parts.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"
#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"

bool traffic_e::enabled()
{
    const char* const value = cvar_string_value(api::cvar_get("g_traffic"));
    return !value || std::strcmp(value, "0") != 0;
}

void traffic_e::register_road(const int32_t id, const int32_t edge, const int32_t prefab_group,
                              const int32_t first_curve)
{
    if (!enabled() || id < 0)
        return;
    for (traffic_road_t& road : roads) {
        if (road.id != id)
            continue;
        road.pending_removal = 0;
        if (!road.has_edge(edge))
            road.edges.push_back(edge);
        road.prefab_group = static_cast<uint8_t>(prefab_group);
        road.first_curve = first_curve;
        ++road.uses;
        return;
    }
    traffic_road_t road;
    road.id = id;
    road.uses = 1;
    road.edges.push_back(edge);
    road.prefab_group = static_cast<uint8_t>(prefab_group);
    road.first_curve = first_curve;
    road.clear_lanes();
    roads.push_back(std::move(road));
    const held_part_t<game_ctrl_e> controller(controller_link);
    if (controller.get())
        controller.get()->lights().attach(edge);
}

void traffic_e::unregister_road(const int32_t id, const int32_t edge)
{
    if (!enabled() || id < 0)
        return;
    for (traffic_road_t& road : roads) {
        if (road.id != id)
            continue;
        if (edge != -1)
            std::erase(road.edges, edge);
        if (--road.uses <= 0) {
            road.uses = 0;
            road.pending_removal = 1;
        }
        return;
    }
}

void traffic_e::purge_road_step()
{
    const auto count = static_cast<int32_t>(roads.size());
    int32_t index = road_cursor;
    while (index < count && !roads[static_cast<size_t>(index)].pending_removal)
        ++index;
    if (index >= count) {
        road_cursor = 0;
        return;
    }
    road_cursor = index + 1 < count ? index + 1 : 0;
    const traffic_road_t& road = roads[static_cast<size_t>(index)];
    if (road.has_cars())
        return;
    // Cars on later roads keep pointing at their road when the records behind move up.
    for (traffic_car_t& car : cars)
        if (car.road_slot > index)
            --car.road_slot;
    if (road.first_edge() >= 0) {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            controller.get()->lights().detach(road.first_edge());
    }
    roads.erase(roads.begin() + index);
    if (road_cursor > index)
        --road_cursor;
}
