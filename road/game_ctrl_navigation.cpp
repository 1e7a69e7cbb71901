#include <cmath>

#include "engine/geometry.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "road/game_ctrl.h"

// The navigation of the traffic's cars: route cursors driven along roads, city roads and the curves
// of prefabs, with the semaphores that guard the way ahead.

namespace {

// The up vector of the navigation's cross products.
const vec3_t nav_up(0.0f, 1.0f, 0.0f);
// One third, as the road curves scale their tangents.
constexpr float third = 0.33333334f;
// Where a City Road's tangent turns from the departure direction to the chord, and back.
constexpr float city_turn_in = 0.02f;
constexpr float city_turn_out = 0.98f;
// Curve states of a cursor.
constexpr int32_t curve_unset = 0;
constexpr int32_t curve_set = 2;

// The lane offset of lane `lane` of a road definition.
float lane_offset(const road_lanes_t& lanes, const float lane)
{
    return static_cast<float>(lanes.lane_width) * lane + static_cast<float>(lanes.first_lane_offset);
}

// The slot (0 to 3) of the node of `edge` that is `node`, or -1.
int32_t node_slot(const map_edge_t& edge, const int32_t node)
{
    for (int32_t slot = 0; slot < 4; ++slot) {
        if (edge.nodes[slot] == node && node != -1)
            return slot;
    }
    return -1;
}

}  // namespace

bool game_ctrl_e::ask_lane_unlink(route_cursor_t& cursor)
{
    const held_part_t<ctrl_traffic_t> traffic(bridge ? bridge->traffic() : entity_handle_t{});
    return !traffic.get() || traffic.get()->lane_unlink(cursor);
}

void game_ctrl_e::tell_lane_link(route_cursor_t& cursor, const int32_t road, const int32_t lane, const int32_t flag)
{
    const held_part_t<ctrl_traffic_t> traffic(bridge ? bridge->traffic() : entity_handle_t{});
    if (traffic.get())
        traffic.get()->lane_link(cursor, road, lane, flag);
}

vec3_t game_ctrl_e::prefab_place(const map_edge_t& edge, const prefab_t& prefab, const vec3_t& point) const
{
    const uint32_t turns = edge.flags & 3u;
    vec3_t origin{};
    if (nodes.valid(edge.nodes[0]))
        origin = nodes[edge.nodes[0]].position;
    if (edge.centre_word >= 0 && static_cast<size_t>(edge.centre_word) < prefab.nodes.size())
        origin -= prefab_turn(prefab.nodes[static_cast<size_t>(edge.centre_word)].position, turns);
    return prefab_turn(point, turns) + origin;
}

void game_ctrl_e::set_cursor_pose(route_cursor_t& cursor, const vec3_t& point, const vec3_t& tangent,
                                  const bool lateral)
{
    cursor.position = point;
    cursor.tangent = tangent;
    cursor.rotation.set_cartes(tangent);
    if (lateral)
        cursor.position += tangent.cross(nav_up) * cursor.lateral;
}

bool game_ctrl_e::enter_edge(route_cursor_t& cursor, const int32_t edge, const bool forward, const float speed,
                             const float lane, const float fraction, const float lateral_base)
{
    const map_edge_t* const record = edges.valid(edge) ? &edges[edge] : nullptr;
    const road_lanes_t* const lanes = get_road_def(record);
    if (!lanes)
        return false;
    cursor.curve_state = curve_unset;
    cursor.node = forward ? record->nodes[0] : record->nodes[1];
    cursor.speed = speed;
    cursor.distance = fraction * record->length;
    cursor.lane = lane;
    cursor.lateral_base = lateral_base;
    cursor.lateral = lane_offset(*lanes, lane) + lateral_base;
    cursor.flags = static_cast<uint8_t>((cursor.flags & ~route_forward) | (forward ? route_forward : 0));
    cursor.edge = edge;
    cursor.transition &= static_cast<uint8_t>(~route_on_transition);
    next_path_point(cursor, 0.0f);
    return true;
}

void game_ctrl_e::place_on_edge(route_cursor_t& cursor, const int32_t edge, const int32_t next_edge, const float speed,
                                const float fraction, bool* out_forward, const int32_t driver, route_t* route,
                                const float lateral_base)
{
    if (!edges.valid(edge))
        return;
    const int32_t start = edges[edge].nodes[0];
    const bool forward =
        !nodes.valid(start) || (nodes[start].links[0] != next_edge && nodes[start].links[1] != next_edge);
    if (out_forward)
        *out_forward = forward;
    cursor.route = route;
    float lane = 1.0f;
    if (route) {
        const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
        if (economy.get())
            economy.get()->driver_route_ahead(driver, *route);
        link_lane_semaphores(*route);
        if (route->entries[0].lane != -1)
            lane = static_cast<float>(route->entries[0].lane);
    }
    enter_edge(cursor, edge, forward, speed, lane, fraction, lateral_base);
}

const road_lanes_t* game_ctrl_e::update_lane_offset(route_cursor_t& cursor) const
{
    const road_lanes_t* const lanes = edges.valid(cursor.edge) ? get_road_def(&edges[cursor.edge]) : nullptr;
    cursor.lateral = lanes ? lane_offset(*lanes, cursor.lane) + cursor.lateral_base : cursor.lateral_base;
    return lanes;
}

int32_t game_ctrl_e::road_def_word(const int32_t edge, const bool first) const
{
    if (edge < 0)
        return 0;
    const road_lanes_t* const lanes = edges.valid(edge) ? get_road_def(&edges[edge]) : nullptr;
    return lanes ? lanes->lanes[first ? 0 : 1] : -1;
}

void game_ctrl_e::next_path_point(route_cursor_t& cursor, const float dt)
{
    float step = dt * cursor.speed;
    // An edge handed over continues with no further step; the bound stops a network of edges of no
    // length from handing the cursor round for ever.
    for (int32_t hand_overs = 0; hand_overs <= edges.count + 1; ++hand_overs) {
        if (!edges.valid(cursor.edge))
            return;
        const int32_t kind = edges[cursor.edge].kind;
        bool handed_over = false;
        if (kind == map_edge_road || kind == map_edge_city_road)
            handed_over = follow_road(cursor, step);
        else if (map_edge_kind_is_prefab(kind))
            handed_over = follow_prefab(cursor, step);
        if (!handed_over)
            return;
        step = 0.0f;
    }
}

void game_ctrl_e::set_up_road_curve(route_cursor_t& cursor)
{
    const map_edge_t& edge = edges[cursor.edge];
    const bool forward = cursor.flags & route_forward;
    const int32_t from = edge.nodes[forward ? 0 : 1];
    const int32_t to = edge.nodes[forward ? 1 : 0];
    const map_node_t& a = nodes[nodes.valid(from) ? from : -1];
    const map_node_t& b = nodes[nodes.valid(to) ? to : -1];
    const float s = edge.length * third;
    const float sign = forward ? 1.0f : -1.0f;
    cursor.curve_p0 = a.position;
    cursor.curve_t0 = a.direction * (s * sign);
    cursor.curve_p1 = b.position;
    cursor.curve_t1 = b.direction * (s * sign);
    cursor.departure = a.direction * sign;
    cursor.inv_length = edge.length > 0.0f ? 1.0f / edge.length : 0.0f;
    cursor.curve_state = curve_set;
}

void game_ctrl_e::road_pose(route_cursor_t& cursor, const float u, const bool city)
{
    vec3_t point;
    vec3_t tangent;
    if (!city) {
        smooth_curve(cursor.curve_p0, cursor.curve_t0, cursor.curve_p1, cursor.curve_t1, u, point, &tangent);
    } else {
        const vec3_t chord_span = cursor.curve_p1 - cursor.curve_p0;
        point = cursor.curve_p0 + chord_span * u;
        vec3_t chord = chord_span;
        if (chord.length_sq() > 0.0f)
            chord.normalize();
        const vec3_t& departure = cursor.departure;
        if (u < city_turn_in)
            tangent = departure + (chord - departure) * (u * 50.0f);
        else if (u < city_turn_out)
            tangent = chord;
        else
            tangent = chord + (departure - chord) * ((u - city_turn_out) * 50.0f);
    }
    set_cursor_pose(cursor, point, tangent, true);
}

bool game_ctrl_e::follow_road(route_cursor_t& cursor, const float step)
{
    const bool city = edges[cursor.edge].kind == map_edge_city_road;
    if (cursor.transition & route_on_transition) {
        cursor.transition_distance += step;
        const float u = cursor.transition_distance * cursor.inv_length;
        if (u <= 1.0f) {
            vec3_t point;
            vec3_t tangent;
            smooth_curve(cursor.curve_p0, cursor.curve_t0, cursor.curve_p1, cursor.curve_t1, u, point, &tangent);
            set_cursor_pose(cursor, point, tangent, false);
            return false;
        }
        cursor.transition &= static_cast<uint8_t>(~route_on_transition);
        cursor.transition_active = 0;
        cursor.curve_state = curve_unset;
    }
    if (cursor.curve_state == curve_unset)
        set_up_road_curve(cursor);
    cursor.distance += step;
    const float u = cursor.distance * cursor.inv_length;
    if (u <= 1.0f) {
        road_pose(cursor, u, city);
        return false;
    }
    // The end of the edge: the node ahead hands the cursor to its other edge.
    const map_edge_t& edge = edges[cursor.edge];
    const int32_t ahead = edge.nodes[(cursor.flags & route_forward) ? 1 : 0];
    if (!nodes.valid(ahead)) {
        cursor.edge = -1;
        return false;
    }
    const map_node_t& node = nodes[ahead];
    const int link = node.links[0] == cursor.edge ? 1 : 0;
    const int32_t next = node.links[link];
    const bool through_junction = node.link_kinds[link] >= map_edge_fork;
    if (through_junction && !ask_lane_unlink(cursor)) {
        cursor.distance -= step;
        road_pose(cursor, cursor.distance * cursor.inv_length, city);
        return false;
    }
    cursor.node = ahead;
    cursor.edge = edges.valid(next) ? next : -1;
    shift_route(cursor);
    if (cursor.edge == -1)
        return false;
    const map_edge_t& entered = edges[cursor.edge];
    cursor.flags =
        static_cast<uint8_t>((cursor.flags & ~route_forward) | (entered.nodes[0] == ahead ? route_forward : 0));
    if (through_junction && map_edge_kind_is_prefab(entered.kind)) {
        choose_prefab_curve(cursor, cursor.edge);
    } else {
        cursor.prefab_curve = -1;
        cursor.prefab_curve_flags = 0;
    }
    cursor.point_index = -1;
    cursor.curve_state = curve_unset;
    cursor.distance = 0.0f;
    return true;
}

void game_ctrl_e::shift_route(route_cursor_t& cursor)
{
    if (!cursor.route)
        return;
    route_entry_t* const entries = cursor.route->entries;
    for (int32_t i = 0; i + 1 < route_entries; ++i)
        entries[i] = entries[i + 1];
    entries[route_entries - 1] = route_entry_t{entries[route_entries - 2].driver, -1, -1, -1};
    const held_part_t<ctrl_economy_t> economy(bridge ? bridge->economy() : entity_handle_t{});
    if (economy.get())
        economy.get()->driver_route_node6(*cursor.route);
    link_lane_semaphores(*cursor.route);
}

bool game_ctrl_e::follow_prefab(route_cursor_t& cursor, const float step)
{
    map_edge_t& edge = edges[cursor.edge];
    const prefab_t* const prefab = get_prefab_def(edge, nullptr);
    if (!prefab || cursor.prefab_curve < 0 || static_cast<size_t>(cursor.prefab_curve) >= prefab->curves.size())
        return false;
    const prefab_curve_t& curve = prefab->curves[static_cast<size_t>(cursor.prefab_curve)];
    const auto segments = static_cast<int32_t>(curve.segments.size());
    if (cursor.curve_state == curve_unset) {
        cursor.point_index += 1;
        if (cursor.point_index < segments) {
            const prefab_curve_segment_t& segment = curve.segments[static_cast<size_t>(cursor.point_index)];
            const float s = segment.length * third;
            const uint32_t turns = edge.flags & 3u;
            cursor.curve_p0 = prefab_place(edge, *prefab, segment.start);
            cursor.curve_p1 = prefab_place(edge, *prefab, segment.end);
            cursor.curve_t0 = prefab_turn(segment.start_direction, turns) * s;
            cursor.curve_t1 = prefab_turn(segment.end_direction, turns) * s;
            cursor.inv_length = segment.length > 0.0f ? 1.0f / segment.length : 0.0f;
            cursor.curve_state = curve_set;
        } else {
            return leave_prefab_curve(cursor, *prefab, curve);
        }
    }
    cursor.distance += step;
    const float u = cursor.distance * cursor.inv_length;
    if (u <= 1.0f) {
        vec3_t point;
        vec3_t tangent;
        smooth_curve(cursor.curve_p0, cursor.curve_t0, cursor.curve_p1, cursor.curve_t1, u, point, &tangent);
        set_cursor_pose(cursor, point, tangent, true);
        return false;
    }
    // The next segment of the curve, or its end.
    cursor.curve_state = curve_unset;
    cursor.distance = 0.0f;
    return true;
}

bool game_ctrl_e::leave_prefab_curve(route_cursor_t& cursor, const prefab_t& prefab, const prefab_curve_t& curve)
{
    if (!ask_lane_unlink(cursor)) {
        cursor.point_index -= 1;
        return false;
    }
    const int32_t edge_index = cursor.edge;
    const map_edge_t& edge = edges[edge_index];
    const int32_t next = curve_continuation(prefab, cursor.prefab_curve);
    cursor.distance = 0.0f;
    if (next >= 0) {
        cursor.prefab_curve = next;
        cursor.prefab_curve_flags = prefab.curves[static_cast<size_t>(next)].flags;
        cursor.point_index = -1;
        tell_lane_link(cursor, (edge_index + 6000) * 50 + next / 8, next % 8, 1);
        return true;
    }
    if (next == -1) {
        cursor.edge = -1;
        return false;
    }
    const int32_t lane = -1 - next;
    const auto arms = static_cast<int32_t>(std::min<size_t>(prefab.nodes.size(), prefab_max_arms));
    int32_t exit_arm = -1;
    for (int32_t arm = 0; arm < prefab_max_arms && exit_arm == -1; ++arm) {
        if (curve.exit_arms[arm])
            exit_arm = arm;
    }
    if (arms <= 0 || exit_arm == -1) {
        cursor.edge = -1;
        return false;
    }
    const int32_t slot = (((arms - edge.centre_word + exit_arm) % arms) + arms) % arms;
    const int32_t node = edge.nodes[slot];
    const int32_t following =
        nodes.valid(node) ? (nodes[node].links[0] == edge_index ? nodes[node].links[1] : nodes[node].links[0]) : -1;
    cursor.node = node;
    cursor.edge = edges.valid(following) ? following : -1;
    shift_route(cursor);
    if (cursor.edge == -1)
        return false;
    const map_edge_t& entered = edges[cursor.edge];
    cursor.lane = static_cast<float>(lane);
    cursor.flags =
        static_cast<uint8_t>((cursor.flags & ~route_forward) | (entered.nodes[0] == node ? route_forward : 0));
    if (map_edge_kind_is_prefab(entered.kind)) {
        choose_prefab_curve(cursor, cursor.edge);
    } else {
        const road_lanes_t* const lanes = get_road_def(&entered);
        cursor.lateral = (lanes ? lane_offset(*lanes, static_cast<float>(lane)) : 0.0f) + cursor.lateral_base;
        cursor.prefab_curve = -1;
        tell_lane_link(cursor, entered.traffic_road, lane, entered.nodes[0] == node ? 1 : 0);
    }
    cursor.curve_state = curve_unset;
    cursor.point_index = -1;
    return true;
}

int32_t game_ctrl_e::curve_continuation(const prefab_t& prefab, const int32_t curve)
{
    if (curve < 0 || static_cast<size_t>(curve) >= prefab.curves.size())
        return -1;
    const prefab_curve_t& record = prefab.curves[static_cast<size_t>(curve)];
    const auto next_ok = [&prefab](const int32_t next) {
        return next >= 0 && static_cast<size_t>(next) < prefab.curves.size();
    };
    switch (record.type) {
    case 0:
    case 1:
    case 2:
    case 3:
        return -2 - record.type;
    case prefab_curve_plain:
    case prefab_curve_stop:
        return next_ok(record.next[0]) ? record.next[0] : -1;
    case prefab_curve_switch: {
        const int32_t count = std::min(record.next_count, prefab_max_next);
        if (count <= 0)
            return -1;
        route_cursor_t none;
        const int32_t chosen = pick_curve(none, prefab, record.next, count);
        return next_ok(chosen) ? chosen : -1;
    }
    default:
        return -1;
    }
}

void game_ctrl_e::choose_prefab_curve(route_cursor_t& cursor, const int32_t edge)
{
    if (!edges.valid(edge))
        return;
    map_edge_t& record = edges[edge];
    const prefab_t* const prefab = get_prefab_def(record, nullptr);
    cursor.lateral = cursor.lateral_base;
    cursor.prefab_curve = -1;
    cursor.prefab_curve_flags = 0;
    if (!prefab)
        return;
    const int32_t arm = node_slot(record, cursor.node);
    const int32_t lane = cursor.lane < 0.0f ? 0 : static_cast<int32_t>(cursor.lane);
    const int32_t* const list = prefab_node_slot(*prefab, arm, lane, record.centre_word);
    int32_t count = 0;
    while (count < prefab_slot_curves && list[count] != -1)
        ++count;
    if (count == 0)
        return;
    const int32_t curve = pick_curve(cursor, *prefab, list, count);
    if (curve < 0 || static_cast<size_t>(curve) >= prefab->curves.size())
        return;
    cursor.prefab_curve = curve;
    cursor.prefab_curve_flags = prefab->curves[static_cast<size_t>(curve)].flags;
    tell_lane_link(cursor, (edge + 6000) * 50 + curve / 8, curve % 8, 1);
}

int32_t game_ctrl_e::pick_curve(const route_cursor_t& cursor, const prefab_t& prefab, const int32_t* candidates,
                                const int32_t count)
{
    const auto curve_of = [&prefab](const int32_t index) -> const prefab_curve_t* {
        return index >= 0 && static_cast<size_t>(index) < prefab.curves.size()
                   ? &prefab.curves[static_cast<size_t>(index)]
                   : nullptr;
    };
    if (cursor.route) {
        const route_entry_t& entry = cursor.route->entries[0];
        if (entry.exit_arm == -1) {
            for (int32_t i = count - 1; i >= 0; --i) {
                const prefab_curve_t* const curve = curve_of(candidates[i]);
                if (curve && (curve->flags & prefab_curve_truck_dock))
                    return candidates[i];
            }
        } else if (entry.exit_arm >= 0 && entry.exit_arm < prefab_max_arms) {
            int32_t matches = 0;
            int32_t first_low_type = -1;
            int32_t last_match = -1;
            for (int32_t i = 0; i < count; ++i) {
                const prefab_curve_t* const curve = curve_of(candidates[i]);
                if (!curve || !curve->exit_arms[entry.exit_arm])
                    continue;
                if (entry.lane >= 0 && entry.lane < 8 && !(curve->lane_masks[entry.exit_arm] & (1u << entry.lane)))
                    continue;
                ++matches;
                last_match = candidates[i];
                if (first_low_type == -1 && curve->type < prefab_curve_plain)
                    first_low_type = candidates[i];
            }
            if (matches == 1)
                return last_match;
            if (matches > 1) {
                for (int32_t i = 0; i < count; ++i) {
                    const prefab_curve_t* const curve = curve_of(candidates[i]);
                    if (curve && (curve->flags & prefab_curve_trucks_only))
                        return candidates[i];
                }
                return first_low_type != -1 ? first_low_type : last_match;
            }
        }
    }
    const auto index = static_cast<int32_t>(std::lround(api::sys_rand() * static_cast<float>(count))) % count;
    return candidates[index];
}

void game_ctrl_e::link_lane_semaphores(route_t& route)
{
    route_entry_t* const entries = route.entries;
    const auto slot_linking = [this](const map_edge_t& edge, const int32_t other) {
        for (int32_t slot = 0; slot < 4; ++slot) {
            const int32_t node = edge.nodes[slot];
            if (other != -1 && nodes.valid(node) && (nodes[node].links[0] == other || nodes[node].links[1] == other))
                return slot;
        }
        return -1;
    };
    for (int32_t i = 0; i + 1 < route_entries && i < 5; ++i) {
        if (!edges.valid(entries[i].edge) || entries[i].exit_arm != -1)
            continue;
        map_edge_t& edge = edges[entries[i].edge];
        const prefab_t* const prefab = map_edge_kind_is_prefab(edge.kind) ? get_prefab_def(edge, nullptr) : nullptr;
        const int32_t slot = prefab ? slot_linking(edge, entries[i + 1].edge) : -1;
        const auto arms = prefab ? static_cast<int32_t>(prefab->nodes.size()) : 0;
        if (slot != -1 && arms > 0)
            entries[i].exit_arm = ((edge.centre_word + slot) % arms + arms) % arms;
    }
    for (int32_t i = 4; i >= 1; --i) {
        if (!edges.valid(entries[i].edge) || entries[i].exit_arm < 0 || entries[i].exit_arm >= prefab_max_arms)
            continue;
        map_edge_t& edge = edges[entries[i].edge];
        const prefab_t* const prefab = map_edge_kind_is_prefab(edge.kind) ? get_prefab_def(edge, nullptr) : nullptr;
        const int32_t entry_arm = prefab ? slot_linking(edge, entries[i - 1].edge) : -1;
        if (entry_arm == -1)
            continue;
        for (int32_t lane = 0; lane < prefab_node_slots; ++lane) {
            const int32_t* const list = prefab_node_slot(*prefab, entry_arm, lane, edge.centre_word);
            bool leads = false;
            for (int32_t c = 0; c < prefab_slot_curves && list[c] != -1 && !leads; ++c) {
                const auto curve = static_cast<size_t>(list[c]);
                leads = curve < prefab->curves.size() && prefab->curves[curve].exit_arms[entries[i].exit_arm];
            }
            if (leads) {
                entries[i - 1].lane = lane;
                break;
            }
        }
    }
}

void game_ctrl_e::start_curve(route_cursor_t& cursor, const float new_lane)
{
    const road_lanes_t* const lanes = edges.valid(cursor.edge) ? get_road_def(&edges[cursor.edge]) : nullptr;
    if (!lanes)
        return;
    if (cursor.curve_state == curve_unset)
        set_up_road_curve(cursor);
    cursor.transition_distance = 0.0f;
    cursor.transition |= route_on_transition;
    cursor.lane = new_lane;
    cursor.transition_active = 1;
    cursor.lateral = lane_offset(*lanes, new_lane) + cursor.lateral_base;
    const float ahead = std::max(2.0f * cursor.speed, 1000.0f);
    cursor.distance += ahead;
    const float u = cursor.distance * cursor.inv_length;
    vec3_t target;
    vec3_t direction;
    if (edges[cursor.edge].kind == map_edge_road) {
        smooth_curve(cursor.curve_p0, cursor.curve_t0, cursor.curve_p1, cursor.curve_t1, u, target, &direction);
    } else {
        target = cursor.curve_p0 + (cursor.curve_p1 - cursor.curve_p0) * u;
        direction = cursor.departure;
    }
    const vec3_t p0 = cursor.position;
    const vec3_t p1 = target + direction.cross(nav_up) * cursor.lateral;
    vec3_t t0 = cursor.tangent;
    vec3_t t1 = direction;
    float length = 0.0f;
    vec3_t previous = p0;
    for (int k = 1; k <= 20; ++k) {
        vec3_t point;
        smooth_curve(p0, t0, p1, t1, static_cast<float>(k) * 0.05f, point, nullptr);
        length += (point - previous).length();
        previous = point;
    }
    cursor.curve_p0 = p0;
    cursor.curve_p1 = p1;
    cursor.inv_length = length > 0.0f ? 1.0f / length : 0.0f;
    cursor.curve_t0 = t0 * (length * third);
    cursor.curve_t1 = t1 * (length * third);
}

int32_t game_ctrl_e::entry_semaphore(map_edge_t& edge, const int32_t arm, const int32_t lane)
{
    const prefab_t* const prefab = get_prefab_def(edge, nullptr);
    if (!prefab || arm < 0)
        return -1;
    const int32_t curve = prefab_node_slot(*prefab, arm, lane, edge.centre_word)[0];
    if (curve < 0 || static_cast<size_t>(curve) >= prefab->curves.size() ||
        prefab->curves[static_cast<size_t>(curve)].segments.empty())
        return -1;
    const int32_t id = edge.semaphore + curve;
    const auto arms = static_cast<int32_t>(prefab->nodes.size());
    const int32_t group = ((arm + edge.centre_word) % arms + arms) % arms;
    return set_up_semaphore(edge, id,
                            prefab_place(edge, *prefab, prefab->curves[static_cast<size_t>(curve)].segments[0].start),
                            false, group, lane, prefab->nodes.size() == 3);
}

int32_t game_ctrl_e::set_up_semaphore(const map_edge_t& edge, const int32_t id, const vec3_t& position, const bool stop,
                                      const int32_t group, const int32_t lane, const bool three_arms)
{
    if (edge.semaphore < 0 || !semaphores || id < 0 || id >= semaphore_count) {
        api::error("Wrong semaphore index");
        return -1;
    }
    map_semaphore_t& record = semaphores[id];
    if (record.reservation != map_semaphore_unused)
        return id;
    record.wait = stop ? static_cast<int32_t>(api::sys_rand() * 5.0f + 10.0f) : 0;
    record.position = position;
    record.reservation = map_semaphore_free;
    if (group >= 0 && edge.kind == map_edge_cross && edge.sides[0].strip_width != 0) {
        uint8_t opens = 0;
        if (group <= 1)
            opens = lane == 0 ? (group == 0 && three_arms ? 0x20 : 0x80) : 0x20;
        else
            opens = lane == 0 ? 0x08 : 0x02;
        record.light = lights_.mask() == opens ? map_light_open : map_light_closed;
    }
    return id;
}

int32_t game_ctrl_e::get_prefab_curve(const route_cursor_t& cursor)
{
    if (!edges.valid(cursor.edge))
        return 0;
    map_edge_t& edge = edges[cursor.edge];
    if (edge.kind == map_edge_road || edge.kind == map_edge_city_road)
        return semaphore_ahead(cursor.edge, edge.nodes[(cursor.flags & route_forward) ? 1 : 0],
                               static_cast<int32_t>(cursor.lane));
    if (!map_edge_kind_is_prefab(edge.kind))
        return 0;
    const prefab_t* const prefab = get_prefab_def(edge, nullptr);
    if (!prefab || cursor.prefab_curve < 0 || static_cast<size_t>(cursor.prefab_curve) >= prefab->curves.size()) {
        api::error("Wrong curve idx %d", cursor.prefab_curve);
        return -1;
    }
    const prefab_curve_t& curve = prefab->curves[static_cast<size_t>(cursor.prefab_curve)];
    const auto curves = static_cast<int32_t>(prefab->curves.size());
    if (curve.next_count != 0) {
        const int32_t next = curve.next[0];
        if (next < 0 || next >= curves || prefab->curves[static_cast<size_t>(next)].segments.empty())
            return -1;
        return set_up_semaphore(
            edge, edge.semaphore + next,
            prefab_place(edge, *prefab, prefab->curves[static_cast<size_t>(next)].segments[0].start),
            curve.type == prefab_curve_stop, -1, 0, false);
    }
    int32_t exit_arm = -1;
    for (int32_t arm = 0; arm < prefab_max_arms && exit_arm == -1; ++arm) {
        if (curve.exit_arms[arm])
            exit_arm = arm;
    }
    const auto arms = static_cast<int32_t>(std::min<size_t>(prefab->nodes.size(), prefab_max_arms));
    if (exit_arm == -1 || arms <= 0 || curve.segments.empty())
        return 0;
    const int32_t slot = (((arms - edge.centre_word + exit_arm) % arms) + arms) % arms;
    const int32_t node = edge.nodes[slot];
    if (nodes.valid(node)) {
        const map_node_t& record = nodes[node];
        const int link = record.links[0] == cursor.edge ? 1 : 0;
        if (edges.valid(record.links[link]) && record.link_kinds[link] >= map_edge_fork) {
            map_edge_t& next = edges[record.links[link]];
            return entry_semaphore(next, node_slot(next, node), static_cast<int32_t>(cursor.lane));
        }
    }
    const int32_t out_lane = curve.type >= 0 && curve.type < 4 ? curve.type : 0;
    return set_up_semaphore(edge, edge.semaphore + curves + exit_arm * 4 + out_lane,
                            prefab_place(edge, *prefab, curve.segments.back().end), false, -1, 0, false);
}

int32_t game_ctrl_e::semaphore_ahead(int32_t edge, int32_t node, const int32_t lane)
{
    // A ring of roads without a junction would be walked for ever; no walk passes more edges than the
    // map holds.
    for (int32_t walked = 0; walked <= edges.count; ++walked) {
        if (!nodes.valid(node))
            return 0;
        const map_node_t& record = nodes[node];
        const int link = record.links[0] == edge ? 1 : 0;
        const int32_t next = record.links[link];
        if (!edges.valid(next))
            return 0;
        map_edge_t& ahead = edges[next];
        if (record.link_kinds[link] >= map_edge_fork || map_edge_kind_is_prefab(ahead.kind))
            return entry_semaphore(ahead, node_slot(ahead, node), lane);
        node = ahead.nodes[0] == node ? ahead.nodes[1] : ahead.nodes[0];
        edge = next;
    }
    return 0;
}

// Edge queries.

int32_t game_ctrl_e::edge_spacing(const route_cursor_t& cursor) const
{
    return edges.valid(cursor.edge) && edges[cursor.edge].kind == map_edge_road ? 10000 : 800;
}

void game_ctrl_e::get_edge_start_pos(const int32_t edge, vec3_t& out) const
{
    if (edge < 0)
        return;
    out = edges.valid(edge) && nodes.valid(edges[edge].nodes[0]) ? nodes[edges[edge].nodes[0]].position : vec3_t{};
}

bool game_ctrl_e::edge_curve(const int32_t edge, vec3_t& p0, vec3_t& t0, vec3_t& p1, vec3_t& t1) const
{
    if (!edges.valid(edge))
        return false;
    const map_edge_t& record = edges[edge];
    if (!nodes.valid(record.nodes[0]) || !nodes.valid(record.nodes[1]))
        return false;
    const float s = record.length * third;
    p0 = nodes[record.nodes[0]].position;
    t0 = nodes[record.nodes[0]].direction * s;
    p1 = nodes[record.nodes[1]].position;
    t1 = nodes[record.nodes[1]].direction * s;
    return true;
}

void game_ctrl_e::edge_curve_point(const int32_t edge, vec3_t& out_position, quat_t& out_rotation) const
{
    vec3_t p0, t0, p1, t1;
    if (edge < 0 || !edge_curve(edge, p0, t0, p1, t1))
        return;
    vec3_t tangent;
    smooth_curve(p0, t0, p1, t1, 0.5f, out_position, &tangent);
    if (const road_lanes_t* const lanes = get_road_def(&edges[edge]))
        out_position +=
            tangent.cross(nav_up) * (static_cast<float>(lanes->lanes[0] + 1) * static_cast<float>(lanes->lane_width) +
                                     static_cast<float>(lanes->first_lane_offset));
    out_rotation.set_cartes(tangent);
}

bool game_ctrl_e::edge_curve_point_road(const int32_t edge, const vec3_t& point, const vec3_t& heading) const
{
    if (edge < 0 || !edges.valid(edge))
        return false;
    const map_edge_t& record = edges[edge];
    if (record.kind != map_edge_road && record.kind != map_edge_city_road)
        return true;
    vec3_t p0, t0, p1, t1;
    if (!edge_curve(edge, p0, t0, p1, t1) || !(record.length > 0.0f))
        return false;
    const float t = (p0 - point).length() / record.length;
    vec3_t q;
    vec3_t tangent;
    smooth_curve(p0, t0, p1, t1, t, q, &tangent);
    const float s = tangent.dot(heading);
    const float c = tangent.z * (point.x - q.x) + tangent.y * (point.y - q.y) - tangent.x * (point.z - q.z);
    return c <= 0.0f ? s > 0.0f : s <= 0.0f;
}

bool game_ctrl_e::is_city_road(const int32_t edge) const
{
    return edges.valid(edge) && edges[edge].kind == map_edge_city_road;
}

bool game_ctrl_e::edge_side_type_3_4(const int32_t edge) const
{
    if (!edges.valid(edge))
        return false;
    for (const map_edge_side_t& side : edges[edge].sides) {
        if (side.railing == 3 || side.railing == 4)
            return true;
    }
    return false;
}

bool game_ctrl_e::edge_side_type_7_9(const int32_t edge) const
{
    if (!edges.valid(edge))
        return false;
    for (const map_edge_side_t& side : edges[edge].sides) {
        if (side.railing >= 7 && side.railing <= 9)
            return true;
    }
    return false;
}

void game_ctrl_e::set_road_lighting(const vec3_t& direction, const vec3_t& diffuse, const vec3_t& ambient)
{
    if (seg_server)
        seg_server->set_lighting(direction, diffuse, ambient);
}
