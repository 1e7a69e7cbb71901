#include <cstring>

#include "common/game_settings.h"
#include "engine/log.h"
#include "traffic_ring_fixture.h"

namespace {

// FNV-1a over the bytes of `value`.
template <typename value_t> void mix(uint64_t& hash, const value_t& value)
{
    unsigned char bytes[sizeof(value_t)];
    std::memcpy(bytes, &value, sizeof bytes);
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
}

// Every spawned car's slot, place, speed, road and lane.
uint64_t traffic_hash(const traffic_e& traffic)
{
    uint64_t hash = 1469598103934665603ull;
    for (const int32_t car : traffic.spawned) {
        const traffic_car_t& c = traffic.cars[static_cast<size_t>(car)];
        mix(hash, car);
        mix(hash, c.route.position);
        mix(hash, c.route.speed);
        mix(hash, c.route.edge);
        mix(hash, c.road_slot);
        mix(hash, c.route.lane);
        mix(hash, c.leader);
        mix(hash, c.follower);
    }
    return hash;
}

// Runs the traffic for `seconds` of 0.02 s steps.
void run(traffic_e& traffic, float seconds)
{
    const int steps = static_cast<int>(seconds / 0.02f);
    for (int i = 0; i < steps; ++i)
        traffic.step(i * 0.02, 0.02f);
}

using traffic_ring_test = traffic_ring_test_t;

TEST_F(traffic_ring_test, spawned_cars_stand_in_their_lane_lists_at_spawn_distance_and_drive_along_the_ring)
{
    engine_seed_random(7);
    run(*traffic, 1.0f);
    ASSERT_FALSE(traffic->spawned.empty());
    for (const int32_t car : traffic->spawned) {
        const traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
        const vec3_t d = c.route.position - player->viewer;
        const float d2 = d.x * d.x + d.y * d.y + d.z * d.z;
        EXPECT_GE(d2, 2.16e7f) << "car " << car;
        EXPECT_LT(d2, 2.304e9f) << "car " << car;
        ASSERT_GE(c.road_slot, 0);
        const traffic_road_t& road = traffic->roads[static_cast<size_t>(c.road_slot)];
        int32_t walker = road.first_car[c.direction][static_cast<int>(c.route.lane)];
        while (walker != -1 && walker != car)
            walker = traffic->cars[static_cast<size_t>(walker)].follower;
        EXPECT_EQ(walker, car) << "car " << car << " is in its lane list";
        EXPECT_GT(c.route.speed, 0.0f);
    }
    EXPECT_NE(std::ranges::count(traffic->spawned, 0), 1) << "slot 0 is never spawned";
}

TEST_F(traffic_ring_test, no_car_spawns_below_a_traffic_density_of_a_hundredth)
{
    set_game_traffic_density(0.005f);
    run(*traffic, 2.0f);
    set_game_traffic_density(1.0f);
    EXPECT_TRUE(traffic->spawned.empty());
}

TEST_F(traffic_ring_test, a_seeded_run_ends_on_a_fixed_hash_of_every_cars_state)
{
    engine_seed_random(2026);
    run(*traffic, 600.0f);
    EXPECT_GT(traffic->spawned.size(), 10u);
    EXPECT_EQ(traffic_hash(*traffic), 11357165793755531653ull) << traffic->spawned.size() << " cars";
}

}  // namespace

namespace {

// A red light on the first road of the ring, with cars linked the way the navigation links them.
class traffic_light_test : public traffic_ring_test_t {
protected:
    void SetUp() override
    {
        traffic_ring_test_t::SetUp();
        ctrl->semaphore_count = 1;
        ctrl->semaphores = static_cast<map_semaphore_t*>(api::mem_sys_alloc(sizeof(map_semaphore_t)));
        ctrl->semaphores[0] = {map_semaphore_free, map_light_closed, 0, stop_point};
    }

    // A car of model 1 on edge 0, `before` centimetres before the stop point, in state `state`.
    int32_t car_before_light(float before, uint8_t state)
    {
        const int32_t car = traffic->free_slots.back();
        traffic->free_slots.pop_back();
        traffic->spawned.push_back(car);
        traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
        c.model = 1;
        c.route.edge = 0;
        c.route.position = stop_point - vec3_t{before, 0.0f, 0.0f};
        c.route.tangent = {1.0f, 0.0f, 0.0f};
        traffic->lane_link(c.route, ctrl->edges[0].traffic_road, 1, 1);
        c.state = state;
        c.next_semaphore = 0;
        c.route.speed = 800.0f;
        return car;
    }
    const traffic_car_t& car(int32_t index) const { return traffic->cars[static_cast<size_t>(index)]; }

    const vec3_t stop_point{30000.0f, 0.0f, 0.0f};
};

TEST_F(traffic_light_test, the_first_car_slows_with_the_distance_to_a_red_light_and_the_next_queues_behind_it)
{
    traffic->time_step = 0.02f;
    const int32_t first = car_before_light(300.0f, 3);
    const int32_t second = car_before_light(3200.0f, 2);
    ASSERT_EQ(car(second).leader, first);

    traffic->car_step(first);
    EXPECT_NEAR(car(first).target_speed, 300.0f * 300.0f * 5e-6f * 1000.0f, 1e-2f);
    EXPECT_TRUE(car(first).has(traffic_car_t::status_queued));
    traffic->car_step(second);
    EXPECT_TRUE(car(second).has(traffic_car_t::status_queued));
    EXPECT_EQ(car(second).target_speed, 750.0f);

    traffic->cars[static_cast<size_t>(first)].route.position = stop_point - vec3_t{100.0f, 0.0f, 0.0f};
    traffic->car_step(first);
    EXPECT_EQ(car(first).target_speed, 0.0f) << "inside 173 cm the car stands";

    ctrl->semaphores[0].light = map_light_open;
    traffic->car_step(first);
    EXPECT_EQ(car(first).held_semaphore, 0) << "a green light: the crossing is reserved";
    EXPECT_EQ(ctrl->semaphores[0].reservation, first);
}

TEST_F(traffic_light_test, a_crossing_held_by_a_far_car_lets_the_next_creep_at_the_holders_pace_or_500)
{
    traffic->time_step = 0.02f;
    const int32_t holder = car_before_light(-4000.0f, 1);
    traffic->cars[static_cast<size_t>(holder)].target_speed = 300.0f;
    ctrl->semaphores[0].reservation = holder;
    ctrl->semaphores[0].light = map_light_open;
    traffic->lane_unlink(traffic->cars[static_cast<size_t>(holder)].route);
    const int32_t waiting = car_before_light(1000.0f, 3);
    traffic->car_step(waiting);
    EXPECT_EQ(car(waiting).target_speed, 500.0f);
    traffic->cars[static_cast<size_t>(holder)].target_speed = 900.0f;
    traffic->car_step(waiting);
    EXPECT_EQ(car(waiting).target_speed, 900.0f);
}

}  // namespace

namespace {

// Gives the ring's two cars (without models) the happy hours `first` and `second`.
void set_happy_hours(traffic_e& traffic, const uint8_t first, const uint8_t second)
{
    std::vector<ai_car_def_t> cars = traffic.catalogue().entries();
    traffic.catalogue().free();
    cars[0].happy_hour = first;
    cars[1].happy_hour = second;
    for (const ai_car_def_t& car : cars)
        traffic.catalogue().add(car);
}

TEST_F(traffic_ring_test, the_happy_hour_car_follows_the_game_clock_and_midnight_keeps_the_hour_before)
{
    set_happy_hours(*traffic, 0, 5);
    ctrl->game_clock = 5.5f * 3600.0f;
    run(*traffic, 0.04f);
    EXPECT_EQ(traffic->catalogue().happy_hour_car(), 1);
    // Within the hour the choice is not made again: car 0 preferred at 5 now is not taken.
    set_happy_hours(*traffic, 5, 0);
    run(*traffic, 0.04f);
    EXPECT_EQ(traffic->catalogue().happy_hour_car(), traffic_catalogue_t::no_happy_hour_car);
    ctrl->game_clock = 6.0f * 3600.0f;
    run(*traffic, 0.04f);
    EXPECT_EQ(traffic->catalogue().happy_hour_car(), traffic_catalogue_t::no_happy_hour_car);
    set_happy_hours(*traffic, 0, 23);
    ctrl->game_clock = 23.5f * 3600.0f;
    run(*traffic, 0.04f);
    EXPECT_EQ(traffic->catalogue().happy_hour_car(), 1);
    ctrl->game_clock = 24.5f * 3600.0f;
    run(*traffic, 0.04f);
    EXPECT_EQ(traffic->catalogue().current_hour(), 0);
    EXPECT_EQ(traffic->catalogue().happy_hour_car(), 1) << "hour 0 changes nothing";
}

}  // namespace

namespace {

TEST_F(traffic_light_test, a_car_placed_next_to_the_cars_of_the_roads_around_it_or_the_traffic_reset_when_none_connect)
{
    const int32_t ahead = car_before_light(-2000.0f, 1);
    traffic->cars[static_cast<size_t>(ahead)].route.edge = 1;  // already round the corner
    const int32_t placed = car_before_light(500.0f, 1);
    traffic->unlink_car(placed);
    traffic->cars[static_cast<size_t>(placed)].route.flags = route_forward;
    ASSERT_TRUE(traffic->insert_into_lane(placed, 0, 1, 1));
    EXPECT_EQ(car(placed).leader, ahead) << "the car on the next edge ahead leads";

    traffic->unlink_car(placed);
    traffic->cars[static_cast<size_t>(ahead)].route.edge = 2;
    ctrl->edges[2].kind = map_edge_cross;  // both ways round the ring end before edge 2
    EXPECT_FALSE(traffic->insert_into_lane(placed, 0, 1, 1));
    EXPECT_TRUE(engine_log_has("Unconsistent map - edge disconnection detected!! - traffic will not work!"));
    EXPECT_TRUE(traffic->spawned.empty()) << "the traffic was reset";
}

}  // namespace

namespace {

TEST_F(traffic_light_test, a_lane_change_needs_edge_ahead_and_a_free_lane)
{
    const int32_t changer = car_before_light(20000.0f, 1);
    traffic->unlink_car(changer);
    traffic_car_t& c = traffic->cars[static_cast<size_t>(changer)];
    c.route.flags = route_forward;
    c.route.inv_length = 1.0f / ctrl->edges[0].length;
    ASSERT_TRUE(traffic->insert_into_lane(changer, 0, 2, 1));
    c.route.speed = 1500.0f;

    c.route.distance = 58000.0f;  // 3000 of reach would run past the edge's end
    traffic->change_lane_down(changer);
    EXPECT_EQ(c.route.lane, 2.0f);

    c.route.distance = 10000.0f;
    const int32_t beside = car_before_light(20000.0f - 9000.0f, 1);  // 90 m ahead in lane 1
    traffic->cars[static_cast<size_t>(beside)].route.distance = 19000.0f;
    traffic->change_lane_down(changer);
    EXPECT_EQ(c.route.lane, 2.0f) << "a car within 120 m in the target lane";

    traffic->cars[static_cast<size_t>(beside)].route.position.x += 6000.0f;  // now 150 m ahead
    traffic->cars[static_cast<size_t>(beside)].route.distance += 6000.0f;
    traffic->change_lane_down(changer);
    EXPECT_EQ(c.route.lane, 1.0f);
    const traffic_road_t& road = traffic->roads[static_cast<size_t>(c.road_slot)];
    EXPECT_EQ(road.first_car[1][2], -1);
    EXPECT_EQ(road.last_car[1][1], changer);
    EXPECT_EQ(c.leader, beside);
}

}  // namespace
