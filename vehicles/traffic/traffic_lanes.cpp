#include <algorithm>
#include <cmath>

#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"

namespace {

// Seconds the next lane decision comes sooner when a car enters a road.
constexpr double decision_advance = 3.0;
// Target speed above the cruise speed a car that enters a road aims at.
constexpr float entry_speed_margin = 1000.0f;
// Paint of a car when the world has no car colours: opaque white.
constexpr uint32_t no_colour_table = 0xFFFFFFFFu;
// Cruise speed of the economy driver's truck in slot 0.
constexpr int32_t ai_truck_cruise = 300;
// The model number the truck in slot 0 carries.
constexpr uint8_t ai_truck_model = 3;
// Within this many seconds of a lane change a car keeps pace with the player.
constexpr float lane_change_pace_seconds = 5.0f;

bool valid_list(int32_t direction, int32_t lane)
{
    return direction >= 0 && direction < traffic_road_t::directions && lane >= 0 && lane < traffic_road_t::lanes;
}

}  // namespace

int32_t traffic_e::car_of(const route_cursor_t& cursor) const
{
    for (size_t car = 0; car < cars.size(); ++car)
        if (&cars[car].route == &cursor)
            return static_cast<int32_t>(car);
    return -1;
}

void traffic_e::lane_link(route_cursor_t& cursor, const int32_t road_id, const int32_t lane, const int32_t direction)
{
    const int32_t car = car_of(cursor);
    if (car < 0)
        return;
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    // The cursor has just entered a road or a prefab curve: the car drives by that curve's flags now
    // (blinkers, reserving from afar, joining, a truck dock).
    c.route_flags = cursor.prefab_curve_flags;
    c.decision_stamp -= decision_advance;
    c.status &= static_cast<uint8_t>(~traffic_car_t::status_queued);
    const auto road = std::ranges::find(roads, road_id, &traffic_road_t::id);
    if (road == roads.end()) {
        release_car(car, true);
        return;
    }
    if (!valid_list(direction, lane)) {
        // The lane lists hold eight lanes a direction; a car beyond them cannot be kept in order.
        api::error("<traffic_e> lane %d, direction %d of road %d has no lane list; the car is released", lane,
                   direction, road_id);
        release_car(car, true);
        return;
    }
    int32_t& last = road->last_car[direction][lane];
    c.leader = last;
    c.follower = -1;
    if (last != -1)
        cars[static_cast<size_t>(last)].follower = car;
    else
        road->first_car[direction][lane] = car;
    last = car;
    c.road_slot = static_cast<int32_t>(road - roads.begin());
    c.direction = direction;
    c.route.lane = static_cast<float>(lane);
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        c.next_semaphore = controller.get() ? controller.get()->get_prefab_curve(cursor) : -1;
    }
    ++road->car_count;
    c.right_blinker = (c.route_flags & 8) ? 1 : 0;
    c.left_blinker = !(c.route_flags & 8) && (c.route_flags & 16) ? 1 : 0;
    c.target_speed = static_cast<float>(c.cruise_speed) + entry_speed_margin;
    pick_cruise_speed(car);
}

bool traffic_e::lane_unlink(route_cursor_t& cursor)
{
    const int32_t car = car_of(cursor);
    if (car < 0)
        return true;
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    const auto lane = static_cast<int32_t>(c.route.lane);
    if (c.road_slot < 0 || c.road_slot >= static_cast<int32_t>(roads.size()) || !valid_list(c.direction, lane))
        return false;
    traffic_road_t& road = roads[static_cast<size_t>(c.road_slot)];
    if (road.first_car[c.direction][lane] != car)
        return false;
    road.first_car[c.direction][lane] = c.follower;
    if (c.follower != -1)
        cars[static_cast<size_t>(c.follower)].leader = -1;
    if (road.last_car[c.direction][lane] == car)
        road.last_car[c.direction][lane] = -1;
    if (road.car_count > 0)
        --road.car_count;
    c.leader = c.follower = -1;
    c.road_slot = -1;
    return true;
}

void traffic_e::unlink_car(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    std::erase(knocked, car);
    const auto lane = static_cast<int32_t>(c.route.lane);
    if (c.road_slot >= 0 && c.road_slot < static_cast<int32_t>(roads.size()) && valid_list(c.direction, lane)) {
        traffic_road_t& road = roads[static_cast<size_t>(c.road_slot)];
        if (road.first_car[c.direction][lane] == car)
            road.first_car[c.direction][lane] = c.follower;
        if (road.last_car[c.direction][lane] == car)
            road.last_car[c.direction][lane] = c.leader;
        if (road.car_count > 0)
            --road.car_count;
    }
    if (c.leader != -1)
        cars[static_cast<size_t>(c.leader)].follower = c.follower;
    if (c.follower != -1)
        cars[static_cast<size_t>(c.follower)].leader = c.leader;
    c.leader = c.follower = -1;
    c.road_slot = -1;
}

bool traffic_e::place_car(const int32_t car, const int32_t lane, const int32_t direction)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.road_slot < 0 || c.road_slot >= static_cast<int32_t>(roads.size()) || !valid_list(direction, lane))
        return false;
    // The AI truck follows its driver's route (the controller filled it when it placed the truck); its
    // model number is kept apart from the catalogue's cars, and every catalogue look-up checks it.
    c.route.route = car == 0 ? &ai_truck.route : nullptr;
    if (car == 0)
        c.model = ai_truck_model;
    pick_cruise_speed(car);
    c.held_semaphore = -1;
    unload_car_model(car);
    c.status = 0;
    c.left_blinker = c.right_blinker = 0;
    c.lights = dark ? 1 : 0;
    c.horn_bits = 0;
    // Without a colour table the car is white, not the colour of the car the slot held before.
    c.colour = no_colour_table;
    if (bridge && bridge->colour_count() > 0) {
        const auto top = static_cast<float>(bridge->colour_count() - 1);
        c.colour = bridge->colour(static_cast<uint32_t>(std::lround(api::sys_rand() * top)));
    }
    c.horn_clock = api::sys_rand();
    c.route_flags = 0;
    c.siren_bits = 0;
    c.lane_change_time = static_cast<float>(clock);
    c.motor_channel = -1;

    if (!insert_into_lane(car, c.road_slot, lane, direction))
        return false;
    const held_part_t<game_ctrl_e> controller(controller_link);
    c.next_semaphore = controller.get() ? controller.get()->get_prefab_curve(c.route) : -1;
    return true;
}

bool traffic_e::insert_into_lane(const int32_t car, const int32_t road_slot, const int32_t lane,
                                 const int32_t direction)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (road_slot < 0 || road_slot >= static_cast<int32_t>(roads.size()) || !valid_list(direction, lane))
        return false;
    traffic_road_t& road = roads[static_cast<size_t>(road_slot)];
    int32_t& first = road.first_car[direction][lane];
    int32_t& last = road.last_car[direction][lane];
    // The place among the cars on the same edge: in front of the first one that is not further along,
    // else behind the last of them; with none on its edge, next to the nearest car found on the edges
    // around it (without a controller to ask, at the rear of the list).
    int32_t ahead_of = -1;
    int32_t behind = -1;
    int32_t visits = 0;
    for (int32_t other = first; other != -1; other = cars[static_cast<size_t>(other)].follower) {
        if (++visits > car_capacity) {
            error("Unconsistent map - cycle detected!!");
            reset();
            return false;
        }
        const traffic_car_t& o = cars[static_cast<size_t>(other)];
        if (o.route.edge != c.route.edge)
            continue;
        if (o.route.distance <= c.route.distance) {
            ahead_of = other;
            break;
        }
        behind = other;
    }
    if (ahead_of == -1 && behind == -1 && first != -1) {
        bool after = false;
        const int32_t found = find_place_outwards(car, first, after);
        if (found == disconnected) {
            error("Unconsistent map - edge disconnection detected!! - traffic will not work!");
            reset();
            return false;
        }
        if (found >= 0 && after)
            behind = found;
        else if (found >= 0)
            ahead_of = found;
    }
    if (ahead_of != -1) {
        c.leader = cars[static_cast<size_t>(ahead_of)].leader;
        c.follower = ahead_of;
    } else {
        c.leader = behind != -1 ? behind : last;
        c.follower = c.leader != -1 ? cars[static_cast<size_t>(c.leader)].follower : -1;
    }
    if (c.leader != -1)
        cars[static_cast<size_t>(c.leader)].follower = car;
    else
        first = car;
    if (c.follower != -1)
        cars[static_cast<size_t>(c.follower)].leader = car;
    else
        last = car;
    c.road_slot = road_slot;
    c.direction = direction;
    c.route.lane = static_cast<float>(lane);
    ++road.car_count;
    return true;
}

int32_t traffic_e::find_lane_slot(const int32_t edge_before, const int32_t edge_after, const int32_t start,
                                  bool& out_after) const
{
    int32_t visits = 0;
    for (int32_t other = start; other != -1 && visits < car_capacity; ++visits) {
        const traffic_car_t& o = cars[static_cast<size_t>(other)];
        if (edge_before != -1 && o.route.edge == edge_before) {
            out_after = false;
            return other;
        }
        if (edge_after != -1 && o.route.edge == edge_after) {
            int32_t last_on_edge = other;
            while (cars[static_cast<size_t>(last_on_edge)].follower != -1 && visits++ < car_capacity &&
                   cars[static_cast<size_t>(cars[static_cast<size_t>(last_on_edge)].follower)].route.edge == edge_after)
                last_on_edge = cars[static_cast<size_t>(last_on_edge)].follower;
            out_after = true;
            return last_on_edge;
        }
        other = o.follower;
    }
    return -1;
}

int32_t traffic_e::find_place_outwards(const int32_t car, const int32_t first, bool& out_after)
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    const game_ctrl_e* const ctrl = controller.get();
    const traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (!ctrl || !ctrl->edges.valid(c.route.edge))
        return -1;
    // One step outwards from `edge` through its end `node`: false when no City Road or Road follows.
    const auto step_out = [ctrl](int32_t& edge, int32_t& node) {
        if (!ctrl->nodes.valid(node))
            return false;
        const map_node_t& through = ctrl->nodes[node];
        const int32_t next = through.links[0] == edge ? through.links[1] : through.links[0];
        if (!ctrl->edges.valid(next) || ctrl->edges[next].kind >= map_edge_fork)
            return false;
        const map_edge_t& record = ctrl->edges[next];
        node = record.nodes[0] == node ? record.nodes[1] : record.nodes[0];
        edge = next;
        return true;
    };
    const map_edge_t& own = ctrl->edges[c.route.edge];
    const bool forward = (c.route.flags & route_forward) != 0;
    int32_t ahead_edge = c.route.edge;
    int32_t ahead_node = own.nodes[forward ? 1 : 0];
    int32_t behind_edge = c.route.edge;
    int32_t behind_node = own.nodes[forward ? 0 : 1];
    bool ahead_open = true;
    bool behind_open = true;
    // A ring of roads would lead the search round for ever: no more steps than the map has edges.
    for (int32_t steps = 0; steps < ctrl->edges.count && (ahead_open || behind_open); ++steps) {
        ahead_open = ahead_open && step_out(ahead_edge, ahead_node);
        behind_open = behind_open && step_out(behind_edge, behind_node);
        // The list runs front to back: the new car goes in front of the first car found behind it, or
        // behind the last car of the edge ahead of it.
        const int32_t found =
            find_lane_slot(behind_open ? behind_edge : -1, ahead_open ? ahead_edge : -1, first, out_after);
        if (found != -1)
            return found;
    }
    return disconnected;
}

void traffic_e::move_to_lane(const int32_t car, const int32_t lane)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    const int32_t road_slot = c.road_slot;
    const int32_t direction = c.direction;
    unlink_car(car);
    insert_into_lane(car, road_slot, lane, direction);
}

void traffic_e::pick_cruise_speed(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.has(traffic_car_t::status_knocked)) {
        c.cruise_speed = 0;
        return;
    }
    int32_t limit = 10000;
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (controller.get())
            limit = controller.get()->edge_spacing(c.route);
    }
    const ai_car_def_t* const def = catalogue_.find(c.model);
    const int32_t speed_class = def ? def->speed : 0;
    c.cruise_speed = std::min(limit, static_cast<int32_t>(std::floor(api::sys_rand() * 100.0f)) + 100 * speed_class);
    if (def && def->speed < 20 && c.route.lane <= 1.0f && road_has_lanes(c))
        change_lane_down(car);
    if (c.cruise_speed > 10 && api::sys_rand() > 0.9f)
        c.lane_offset_target = (2.0f * api::sys_rand() - 1.0f) * 70.0f;
    if (car == 0)
        c.cruise_speed = ai_truck_cruise;
    if (static_cast<float>(clock) - c.lane_change_time < lane_change_pace_seconds)
        c.cruise_speed = std::max(c.cruise_speed, static_cast<int32_t>(std::floor(player_speed - 1000.0f + 50.0f)));
    c.reference_speed = static_cast<float>(c.cruise_speed);
}
