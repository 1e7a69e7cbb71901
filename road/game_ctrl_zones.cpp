#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/cache.h"
#include "engine/def_pool.h"
#include "engine/geometry.h"
#include "engine/text.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "road/game_ctrl.h"

// The map items the game controller makes and serves beyond the editor's: stations and dealers from
// the service points of prefabs, dry boxes from their no-weather boxes, the traffic roads of the built
// edges, and the hooks through which the road hazards and the sky-swap zones reach the map.

namespace {

// Misc item types by the kind of a prefab's station slot (index = kind, 0 none).
constexpr int32_t station_types[8] = {0,
                                      map_misc_gas_station,
                                      map_misc_service,
                                      map_misc_truck_stop,
                                      map_misc_dealer,
                                      map_misc_gas_station,
                                      map_misc_service,
                                      map_misc_scales};

}  // namespace

void game_ctrl_e::on_segment_built(const int32_t edge) { register_traffic_roads(edge, true); }

void game_ctrl_e::on_segment_freed(const int32_t edge) { register_traffic_roads(edge, false); }

void game_ctrl_e::register_traffic_roads(const int32_t edge, const bool built)
{
    if (!edges.valid(edge))
        return;
    const held_part_t<ctrl_traffic_t> traffic(traffic_);
    if (!traffic.get())
        return;
    map_edge_t& record = edges[edge];
    if (record.kind == map_edge_road || record.kind == map_edge_city_road) {
        if (built)
            traffic.get()->register_road(record.traffic_road, edge, 0, -1);
        else
            traffic.get()->unregister_road(record.traffic_road, edge);
        return;
    }
    if (!map_edge_kind_is_prefab(record.kind))
        return;
    const prefab_t* const prefab = get_prefab_def(record, nullptr);
    const auto curves = prefab ? static_cast<int32_t>(prefab->curves.size()) : 0;
    for (int32_t group = 0; group <= (curves - 1) / 8; ++group) {
        const int32_t id = (edge + 6000) * 50 + group;
        if (built)
            traffic.get()->register_road(id, edge, 1, 8 * group);
        else
            traffic.get()->unregister_road(id, -1);
    }
}

void game_ctrl_e::on_edge_built(const int32_t edge)
{
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    if (economy.get() && edges.valid(edge))
        economy.get()->dock_activate(edge, edges[edge].sides[0].vegetation);
}

void game_ctrl_e::on_edge_freed(const int32_t edge)
{
    if (!bridge)
        return;
    const held_part_t<ctrl_economy_t> economy(bridge->economy());
    if (economy.get() && edges.valid(edge))
        economy.get()->dock_deactivate(edge, edges[edge].sides[0].vegetation);
}

void game_ctrl_e::add_service_points()
{
    const int32_t edge_count = edges.count;
    for (int32_t index = 0; index < edge_count; ++index) {
        map_edge_t& edge = edges[index];
        if (edge.kind != map_edge_fork && edge.kind != map_edge_prefab)
            continue;
        const prefab_t* const prefab = get_prefab_def(edge, nullptr);
        if (!prefab)
            continue;
        for (const prefab_station_slot_t& slot : prefab->stations) {
            if (slot.kind <= 0 || slot.kind > 7)
                continue;
            for (const vec3_t* point : {&slot.point_a, &slot.point_b}) {
                if (point == &slot.point_b && slot.kind < 5)
                    break;
                const int32_t added = add_miscitem();
                if (added < 0)
                    return;
                map_miscitem_t& item = miscitems[added];
                item.type = station_types[slot.kind];
                item.points[0] = prefab_place(edges[index], *prefab, *point);
                if (item.type == map_misc_dealer)
                    item.params[1] = index;
                item.bounds.set_empty();
                item.bounds.add_point(item.points[0].x, item.points[0].y, item.points[0].z);
                item.bounds.widen(item.type == map_misc_dealer ? 1000.0f : 300.0f);
                item.selected_point = -1;
            }
        }
    }
}

bool game_ctrl_e::nearest_dry_box(const vec3_t& point, dry_box_t& out)
{
    // Boxes this far away or further are never chosen.
    float best = 1e13f;
    bool found = false;
    for (const int32_t index : active_list(base_ctrl_no_weather)) {
        if (!miscitems.valid(index))
            continue;
        const map_miscitem_t& item = miscitems[index];
        const vec3_t position = (item.points[1] + item.points[2]) * 0.5f;
        const float distance_sq = (position - point).length_sq();
        if (!(distance_sq < best))
            continue;
        best = distance_sq;
        out = {position, item.points[1], item.points[2]};
        found = true;
    }
    return found;
}

bool game_ctrl_e::add_noweather_box(const vec3_t& a, const vec3_t& b)
{
    const int32_t added = add_miscitem();
    if (added < 0)
        return false;
    map_miscitem_t& item = miscitems[added];
    item.type = map_misc_no_weather;
    item.bounds.set_empty();
    item.bounds.add_point(a.x, a.y, a.z);
    item.bounds.add_point(b.x, b.y, b.z);
    item.points[3] = (a + b) * 0.5f;
    item.points[1] = vec3_t(std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z));
    item.points[2] = vec3_t(std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z));
    item.selected_point = -1;
    return true;
}

void game_ctrl_e::add_noweather_items()
{
    // Free items whose model keeps a box dry: the box turned and moved with the item.
    const int32_t free_count = freeitems.count;
    for (int32_t index = 0; seg_server && index < free_count; ++index) {
        const map_freeitem_t& free = freeitems[index];
        if (free.model < 0 || static_cast<size_t>(free.model) >= seg_server->freeitem_models.size())
            continue;
        const vec3_t(&box)[2] = seg_server->freeitem_models[static_cast<size_t>(free.model)].noweather;
        if (!(box[0].length_sq() > 1.0f))
            continue;
        const vec3_t position = free.position;
        const vec3_t rotation = free.rotation;
        if (!add_noweather_box(point_rotate(box[0], rotation) + position, point_rotate(box[1], rotation) + position))
            return;
    }
    const int32_t edge_count = edges.count;
    for (int32_t index = 0; index < edge_count; ++index) {
        if (!map_edge_kind_is_prefab(edges[index].kind))
            continue;
        const prefab_t* const prefab = get_prefab_def(edges[index], nullptr);
        if (!prefab)
            continue;
        for (const auto& box : prefab->noweather) {
            if (!(box[0].length_sq() > 1.0f))
                continue;
            const map_edge_t& edge = edges[index];
            const vec3_t origin = nodes.valid(edge.nodes[0]) ? nodes[edge.nodes[0]].position : vec3_t{};
            if (!add_noweather_box(prefab_turn(box[0], edge.flags & 3u) + origin,
                                   prefab_turn(box[1], edge.flags & 3u) + origin))
                return;
        }
    }
}

const prefab_t* game_ctrl_e::get_prefab_def(map_edge_t& edge, bool* out_variant)
{
    if (edge.kind == map_edge_prefab && edges.count > 0 && &edge >= edges.begin() && &edge < edges.end()) {
        const auto index = static_cast<int32_t>(&edge - edges.begin());
        if (const hazard_entry_t* const entry = hazards_.apply(edge, index)) {
            const prefab_t* const prefab = base_ctrl_e::get_prefab_def(edge, nullptr);
            if (out_variant)
                *out_variant = entry->chosen != 0;
            return prefab;
        }
    }
    return base_ctrl_e::get_prefab_def(edge, out_variant);
}

void game_ctrl_e::update_sky_swap()
{
    const held_part_t<ctrl_truck_t> truck(bridge ? bridge->avatar() : entity_handle_t{});
    const held_part_t<ctrl_environment_t> environment(bridge ? bridge->environment() : entity_handle_t{});
    if (truck.get() && environment.get())
        sky_swap_.update(truck.get()->truck_position(), *environment.get());
}
