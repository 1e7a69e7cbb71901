#include <algorithm>
#include <cmath>

#include "common/engine_api.h"
#include "common/game_settings.h"
#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"
#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"

namespace {

// Where a car enters its spawn edge, in centimetres from the edge's start.
constexpr float spawn_offset = 600.0f;
// Squared spawn distances from the viewer: not beyond 480 m, not within 200 m (about 46 m during the
// start burst, so the first cars appear around the player).
constexpr float spawn_far = 2.304e9f;
constexpr float spawn_near = 4e8f;
constexpr float spawn_near_burst = 2.16e7f;
// Spacing term of a single-lane direction, and the scale of the spacing.
constexpr float single_lane_spacing = 25.0f;
constexpr float spacing_scale = 2.5e7f;
// Spacing term the spawn passes for a road of several lanes: at full density about 158 m between
// cars of one lane (250 m on a single lane).
constexpr float multi_lane_spacing = 10.0f;
// Models of a lower speed class keep to the last lane.
constexpr uint8_t slow_speed_class = 20;
// Mass of a car's body.
constexpr float car_mass = 700.0f;
// The AI truck's box: its height, how far up it stands and how far back, in shares of its body offset.
constexpr float ai_truck_box_height = 190.0f;
constexpr float ai_truck_box_lift = 100.0f;
constexpr float ai_truck_box_back = 1.25f;

int32_t random_below(size_t count)
{
    return std::min(static_cast<int32_t>(api::sys_rand() * static_cast<float>(count)), static_cast<int32_t>(count) - 1);
}

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.x * d.x + d.y * d.y + d.z * d.z;
}

}  // namespace

bool traffic_e::spawn_car()
{
    if (free_slots.empty())
        return true;
    if (roads.empty() || cars.empty())
        return false;
    const int32_t road_slot = random_below(roads.size());
    const traffic_road_t& road = roads[static_cast<size_t>(road_slot)];
    if (road.first_edge() == -1 || road.pending_removal)
        return false;
    const int32_t edge = road.edges[static_cast<size_t>(random_below(road.edges.size()))];
    uint8_t model = 0;
    if (!choose_car_model(edge, model))
        return false;
    const held_part_t<game_ctrl_e> controller(controller_link);
    game_ctrl_e* const ctrl = controller.get();
    if (!ctrl || !ctrl->edges.valid(edge))
        return false;
    const int32_t lane_count = ctrl->road_def_word(edge, true);
    if (lane_count <= 0)
        return false;
    const bool slow = catalogue_.find(model) && catalogue_.find(model)->speed < slow_speed_class;
    const int32_t lane =
        slow ? lane_count : static_cast<int32_t>(std::floor(api::sys_rand() * static_cast<float>(lane_count) + 1.0f));
    const int32_t car = free_slots.back();
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    c = traffic_car_t{};
    c.model = model;
    const float length = ctrl->edges[edge].length;
    const float fraction = length > spawn_offset ? spawn_offset / length : 0.0f;
    if (!ctrl->enter_edge(c.route, edge, true, 0.0f, static_cast<float>(lane), fraction, 0.0f))
        return false;
    const float spacing = lane_count == 1 ? single_lane_spacing : multi_lane_spacing;
    if (!spawn_point_ok(c.route.position, lane, 1, spacing))
        return false;
    free_slots.pop_back();
    spawned.push_back(car);
    c.road_slot = road_slot;
    c.state = 1;
    c.decision_stamp = clock;
    c.entry_edge = edge;
    if (!place_car(car, lane, 1)) {
        release_car(car, false);
        return false;
    }
    c.route.speed = static_cast<float>(c.cruise_speed);
    return true;
}

bool traffic_e::spawn_point_ok(const vec3_t& position, const int32_t lane, const int32_t direction,
                               const float spacing) const
{
    const float density = game_traffic_density();
    if (density < 0.01f)
        return false;
    const float d2 = square_distance(position, viewer_position);
    if (d2 >= spawn_far || d2 < (start_burst ? spawn_near_burst : spawn_near))
        return false;
    const float limit = ((1.0f - density) * 200.0f + spacing) * spacing_scale;
    for (const int32_t other : spawned) {
        const traffic_car_t& o = cars[static_cast<size_t>(other)];
        if (std::lround(o.route.lane) == lane && o.direction == direction &&
            square_distance(o.route.position, position) <= limit)
            return false;
    }
    return true;
}

void traffic_e::load_car_model(const int32_t car)
{
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (c.has(traffic_car_t::status_body))
        return;
    // The AI truck's box comes from its own model's bounds, not from the catalogue (whose entry its
    // model number may not even name).
    const bool truck = car == 0;
    const ai_car_def_t* const def = catalogue_.find(c.model);
    if (!truck && !def)
        return;
    const float height = truck ? 0.0f : def->half_height;
    const vec3_t extents =
        truck ? vec3_t{std::max(std::fabs(ai_truck.bounds_max.x - ai_truck.bounds_min.x), 10.0f), ai_truck_box_height,
                       std::max(std::fabs(ai_truck.bounds_max.z - ai_truck.bounds_min.z) * 0.7f, 10.0f)}
              : vec3_t{std::max(def->width, 10.0f), std::max(height * 2.0f, 10.0f), std::max(def->length, 10.0f)};
    const vec3_t box_offset =
        truck ? c.route.rotation.rotate({0.0f, ai_truck_box_lift, ai_truck_box_back * ai_truck.body_offset})
              : vec3_t{0.0f, height + 20.0f, 0.0f};
    car_bodies_.make(car, extents, car_mass, c.route.position + box_offset, c.route.rotation, handle().word(), this,
                     physics());
    c.status |= traffic_car_t::status_body;
}

void traffic_e::unload_car_model(const int32_t car)
{
    if (car < 0 || car >= car_capacity)
        return;
    if (car < static_cast<int32_t>(cars.size()))
        cars[static_cast<size_t>(car)].status &= static_cast<uint8_t>(~traffic_car_t::status_body);
    car_bodies_.remove(car, physics());
}

bool traffic_e::choose_car_model(const int32_t edge, uint8_t& model) const
{
    const held_part_t<game_ctrl_e> controller(controller_link);
    const bool city = controller.get() && controller.get()->is_city_road(edge);
    return catalogue_.choose(city, dark, model);
}
