#include <algorithm>

#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"

namespace {

// A lane change needs this much of its edge ahead (twice the speed, at least 10 m).
constexpr float least_change_speed = 1000.0f;
// Squared distances: the player's front point, and any car of the target lane, block a change.
constexpr float player_room = 1e6f;
constexpr float lane_room = 1.44e8f;
// A faster overtaking pace than the player's truck.
constexpr float overtake_pace = 1.3f;

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

}  // namespace

bool traffic_e::lane_has_room(const int32_t car, const int32_t lane)
{
    const traffic_car_t& c = cars[static_cast<size_t>(car)];
    {
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (!controller.get() || !controller.get()->edges.valid(c.route.edge) ||
            controller.get()->edges[c.route.edge].kind >= map_edge_fork)
            return false;
    }
    if (square_distance(player_points[0], c.route.position) < player_room)
        return false;
    if (c.road_slot < 0 || c.road_slot >= static_cast<int32_t>(roads.size()) || lane < 0 ||
        lane >= traffic_road_t::lanes)
        return false;
    float previous = -1.0f;
    int32_t visits = 0;
    for (int32_t other = roads[static_cast<size_t>(c.road_slot)].first_car[c.direction][lane];
         other != -1 && visits < car_capacity; other = cars[static_cast<size_t>(other)].follower, ++visits) {
        const float d = square_distance(cars[static_cast<size_t>(other)].route.position, c.route.position);
        if (d < lane_room)
            return false;
        if (previous >= 0.0f && d > previous)
            return true;
        previous = d;
    }
    return true;
}

void traffic_e::change_lane(const int32_t car, const int32_t step, const float pace)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    const float speed = std::max(c.route.speed, least_change_speed);
    const float reach = std::max(2.0f * speed, least_change_speed);
    if ((reach + c.route.distance) * c.route.inv_length > 1.0f)
        return;
    const auto lane = static_cast<int32_t>(c.route.lane);
    if (step > 0 || lane > 1) {
        const int32_t target = lane + step;
        if (!lane_has_room(car, target))
            return;
        const held_part_t<game_ctrl_e> controller(controller_link);
        if (c.held_semaphore != -1 && controller.get()) {
            controller.get()->set_semaphore(c.held_semaphore, -10, &last_reservation);
            c.held_semaphore = -1;
        }
        move_to_lane(car, target);
        if (controller.get()) {
            controller.get()->start_curve(c.route, static_cast<float>(target));
            c.next_semaphore = controller.get()->get_prefab_curve(c.route);
        }
    }
    c.route.speed = std::max(c.route.speed, pace);
    c.lane_change_time = static_cast<float>(clock);
}

void traffic_e::change_lane_down(const int32_t car) { change_lane(car, -1, player_speed); }

void traffic_e::change_lane_up(const int32_t car) { change_lane(car, +1, player_speed * overtake_pace); }
