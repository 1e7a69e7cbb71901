#include <cmath>

#include "common/bridge_parts.h"
#include "common/game_bridge.h"
#include "physics/bv_tree.h"
#include "road/base_ctrl.h"
#include "road/prefab.h"
#include "road/road_item_id.h"
#include "road/seg_server.h"
#include "ui/components/area_map_economy.h"
#include "ui/components/ui_comp_area_map.h"

namespace {

// Edge kinds the map never draws, and the flag of an edge kept off the map.
constexpr int32_t hidden_kind_a = 5;
constexpr int32_t hidden_kind_b = 6;
constexpr uint32_t edge_off_map = 0x100000u;
// Half the width of a drawn road, in the close city view and over the country.
constexpr float city_half_width = 2000.0f;
constexpr float country_half_width = 10000.0f;
// Road colours (0xAARRGGBB as the vertex colours take them): unnamed, named, interstate; the city
// view draws every road in the named colour, its own shader giving the look.
constexpr uint32_t unnamed_road_colour = 0x2fffffffu;
constexpr uint32_t named_road_colour = 0xffcfcfcfu;
constexpr uint32_t interstate_colour = 0xff2198f9u;
// Bit of a node's flags that shows its road name on the map.
constexpr uint32_t node_shows_name = 2u;
// How far the second gas station or service station of a prefab is moved along x.
constexpr float second_station_shift = 20000.0f;
// A trader marker is kept at least this far to the side of its fork.
constexpr float trader_near = 7000.0f;
constexpr float trader_side = 8000.0f;

const vec3_t up_vector(0.0f, 1.0f, 0.0f);

// The sideways vector of a road running along `direction` on the ground, `half` long.
vec3_t side_of(vec3_t direction, const float half)
{
    direction.y = 0.0f;
    const float length = std::sqrt(direction.length_sq());
    if (length <= 0.0f)
        return {};
    return up_vector.cross(direction) * (half / length);
}

// The road name of `index`, or null.
const char* road_name(const base_ctrl_e& ctrl, const int32_t index)
{
    if (!ctrl.seg_server || index < 0 || static_cast<size_t>(index) >= ctrl.seg_server->place_names.size())
        return nullptr;
    return ctrl.seg_server->place_names[static_cast<size_t>(index)].name;
}

bool is_interstate(const char* name) { return name && name[0] == 'I'; }

// The leaves of the tree under `node` whose bounds overlap `region` on every axis.
void collect_leaves(const cd_bvnode_t* node, const cd_bounds_t& region, std::vector<const cd_bvnode_t*>& out)
{
    if (!node || !node->bounds.overlaps_by_axis(region))
        return;
    if (node->leaf()) {
        out.push_back(node);
        return;
    }
    collect_leaves(node->first, region, out);
    collect_leaves(node->second, region, out);
}

bool holds(const city_area_t& city, const vec3_t& point)
{
    return city.x_min <= point.x && point.x <= city.x_max && city.z_min <= point.z && point.z <= city.z_max;
}

}  // namespace

void ui_comp_area_map_t::build(const cd_bounds_t& region)
{
    const game_bridge_t* const bridge = get_game_bridge();
    const held_part_t<base_ctrl_e> ctrl(bridge ? bridge->base_ctrl() : entity_handle_t{});
    const held_part_t<area_map_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    dirty = 1;
    markers_.clear();
    chunks_.clear();
    if (!ctrl.get())
        return;
    std::vector<const cd_bvnode_t*> leaves;
    collect_leaves(ctrl.get()->item_tree(), region, leaves);
    for (const cd_bvnode_t* leaf : leaves) {
        const uint32_t* const ids = leaf->ids();
        for (uint16_t i = 0; i < leaf->count(); ++i)
            if (road_item_kind(ids[i]) == road_item_edge)
                add_road(*ctrl.get(), road_item_index(ids[i]), economy.get());
    }
}

void ui_comp_area_map_t::build_from(base_ctrl_e& ctrl, const area_map_economy_t* economy)
{
    dirty = 1;
    markers_.clear();
    chunks_.clear();
    for (int32_t edge = 0; edge < ctrl.edges.count; ++edge)
        add_road(ctrl, edge, economy);
}

void ui_comp_area_map_t::add_road(base_ctrl_e& ctrl, const int32_t edge_index, const area_map_economy_t* economy)
{
    if (!ctrl.edges.valid(edge_index))
        return;
    map_edge_t& edge = ctrl.edges[edge_index];
    if (edge.kind == hidden_kind_a || edge.kind == hidden_kind_b || (edge.flags & edge_off_map))
        return;
    int32_t node_count = 2;
    if (edge.nodes[2] != -1)
        node_count = edge.nodes[3] != -1 ? 4 : 3;
    // An edge naming a node the map does not hold is left off rather than drawn from garbage.
    for (int32_t n = 0; n < node_count; ++n)
        if (!ctrl.nodes.valid(edge.nodes[n]))
            return;
    auto node_at = [&](const int32_t slot) -> const map_node_t& { return ctrl.nodes[edge.nodes[slot % node_count]]; };
    const map_node_t& first = node_at(0);

    bool hazard = false;
    const prefab_t* const prefab = ctrl.get_prefab_def(edge, &hazard);
    if (hazard)
        markers_.push_back({first.position, area_marker_hazard, -1});

    const float half = city_mode ? city_half_width : country_half_width;
    const int32_t turn = static_cast<int32_t>(edge.flags & 3u);
    // A Fork's loading dock belongs to the trader of its first side.
    const int32_t trader = edge.sides[0].vegetation;
    vec3_t start = first.position;
    vec3_t end = node_at(1).position;
    bool collapsed = false;
    if (city_mode) {
        if (edge.kind == map_edge_fork && trader != -1) {
            const vec3_t middle = (first.position + node_at(1).position) * 0.5f;
            const vec3_t base = turn != 0 ? node_at(1).position : first.position;
            vec3_t offset = (middle - base).cross(up_vector);
            if (offset.x > 0.0f && offset.x < trader_near)
                offset.x = trader_side;
            else if (offset.x < 0.0f && offset.x > -trader_near)
                offset.x = -trader_side;
            markers_.push_back({middle + offset, area_marker_trader, trader});
        }
    } else {
        if (prefab)
            add_service_markers(*prefab, edge, first.position, economy);
        // Outside the city view a city is one point where its roads meet.
        for (int32_t c = 0; ctrl.seg_server && c < ctrl.seg_server->city_count; ++c) {
            const city_area_t& city = ctrl.seg_server->cities[c];
            const bool holds_start = holds(city, start);
            const bool holds_end = holds(city, end);
            if (!holds_start && !holds_end)
                continue;
            if (holds_start && holds_end)
                return;
            const vec3_t middle((city.x_min + city.x_max) * 0.5f, holds_start ? start.y : end.y,
                                (city.z_min + city.z_max) * 0.5f);
            (holds_start ? start : end) = middle;
            collapsed = true;
            break;
        }
    }
    if (!collapsed && (first.flags & node_shows_name) && first.road_name != -1)
        markers_.push_back({first.position, area_marker_road_sign, first.road_name});

    uint32_t colour = named_road_colour;
    if (!city_mode) {
        const char* const name = road_name(ctrl, first.road_name);
        colour = first.road_name == -1 ? unnamed_road_colour
                 : is_interstate(name) ? interstate_colour
                                       : named_road_colour;
    }

    if (node_count == 2) {
        const vec3_t along = end - start;
        // A node the editor gave no direction (and a collapsed end) takes the road's own direction.
        const bool own_start = !collapsed && first.direction.length_sq() > 0.0f;
        const bool own_end = !collapsed && node_at(1).direction.length_sq() > 0.0f;
        add_quad(start, end, side_of(own_start ? first.direction : along, half),
                 side_of(own_end ? node_at(1).direction : along, half), colour);
        return;
    }
    const vec3_t a = node_at(turn).position;
    const vec3_t b = node_at(turn + 1).position;
    const vec3_t side = side_of(b - a, half);
    add_quad(a, b, side, side, colour);
    if (node_count == 4) {
        const vec3_t c = node_at(turn + 2).position;
        const vec3_t d = node_at(turn + 3).position;
        const vec3_t other = side_of(d - c, half);
        add_quad(c, d, other, other, colour);
        return;
    }
    // A fork's branch leaves the + side of its main road at the point nearest to the third node.
    const vec3_t branch_end = node_at(turn + 2).position;
    const vec3_t edge_start = a + side;
    const vec3_t edge_line = b - a;
    const float line_sq = edge_line.length_sq();
    const float t = line_sq > 0.0f ? (branch_end - edge_start).dot(edge_line) / line_sq : 0.0f;
    const vec3_t branch_start = edge_start + edge_line * t;
    const vec3_t branch_side = side_of(branch_end - branch_start, half);
    add_quad(branch_start, branch_end, branch_side, branch_side, colour);
}

void ui_comp_area_map_t::add_service_markers(const prefab_t& prefab, const map_edge_t& edge, const vec3_t& first,
                                             const area_map_economy_t* economy)
{
    for (const prefab_station_slot_t& slot : prefab.stations) {
        switch (slot.kind) {
        case 1:
            markers_.push_back({first, area_marker_gas, -1});
            break;
        case 2:
        case 3:
            markers_.push_back({first, area_marker_service, -1});
            break;
        case 4: {
            // The dealer numbering writes the dealer into the edge's second side.
            const int32_t dealer = edge.sides[1].railing;
            if (economy && economy->dealer_open(dealer))
                markers_.push_back({first, area_marker_dealer, dealer});
            break;
        }
        case 5:
            markers_.push_back({first - vec3_t(second_station_shift, 0.0f, 0.0f), area_marker_gas, -1});
            break;
        case 6:
            markers_.push_back({first + vec3_t(second_station_shift, 0.0f, 0.0f), area_marker_service, -1});
            break;
        case 7:
            markers_.push_back({first, area_marker_weigh, -1});
            break;
        default:
            break;
        }
    }
}

void ui_comp_area_map_t::add_quad(const vec3_t& start, const vec3_t& end, const vec3_t& start_side,
                                  const vec3_t& end_side, const uint32_t colour)
{
    if (chunks_.empty() || chunks_.back().vertex_count() + 4 > area_map_chunk_capacity ||
        chunks_.back().index_count() + 6 > area_map_chunk_capacity)
        chunks_.emplace_back();
    area_map_chunk_t& chunk = chunks_.back();
    const auto first = static_cast<uint16_t>(chunk.vertex_count());
    for (const vec3_t& corner : {start + start_side, start - start_side, end + end_side, end - end_side})
        chunk.positions.insert(chunk.positions.end(), {corner.x, corner.y, corner.z});
    chunk.texcoords.insert(chunk.texcoords.end(), {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f, 1.0f, 1.0f});
    chunk.colours.insert(chunk.colours.end(), {colour, colour, colour, colour});
    for (const uint16_t index : {0, 1, 2, 2, 1, 3})
        chunk.indices.push_back(static_cast<uint16_t>(first + index));
}
