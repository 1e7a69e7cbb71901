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
    EXPECT_EQ(traffic_hash(*traffic), 12916309149326589865ull) << traffic->spawned.size() << " cars";
}

}  // namespace
