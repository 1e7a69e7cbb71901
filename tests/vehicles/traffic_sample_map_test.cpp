#include <gtest/gtest.h>

#include <cmath>

#include <cstring>
#include <string>

#include "../frame/sample_game_fixture.h"
#include "common/bridge_parts.h"
#include "common/game_bridge.h"
#include "engine/command_line.h"
#include "engine/process.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/traffic/traffic.h"

namespace {

// FNV-1a over the bytes of `value`.
template <typename value_t> void mix(uint64_t& hash, const value_t& value)
{
    unsigned char bytes[sizeof(value_t)];
    std::memcpy(bytes, &value, sizeof bytes);
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 1099511628211ull;
}

// The game on the sample data, started as "kavrenta -map mainland" starts it.
class traffic_sample_map_test : public sample_game_test_t {};

TEST_F(traffic_sample_map_test, ten_minutes_of_full_traffic_end_on_a_fixed_hash_of_every_cars_state)
{
    engine_seed_random(2026);
    cdl_set({"kavrenta", "-map", "mainland"});
    game_process_t* const game = game_process_t::create_and_start();
    ASSERT_NE(game->world(), nullptr);
    const held_part_t<traffic_e> held(get_game_bridge()->traffic());
    traffic_e* const traffic = held.get();
    ASSERT_NE(traffic, nullptr);
    ASSERT_EQ(traffic->cars.size(), static_cast<size_t>(traffic_e::car_capacity));

    // 10 minutes of 0.02 s frames; the economy's drivers pass by with their trucks.
    size_t most_cars = 0;
    int truck_frames = 0;
    for (int frame = 0; frame < 30000; ++frame) {
        process_run_frame(0.02);
        most_cars = std::max(most_cars, traffic->spawned.size());
        truck_frames += traffic->ai_truck.present ? 1 : 0;
    }
    EXPECT_GE(most_cars, 2u);
    EXPECT_GT(truck_frames, 0) << "a driver's truck drove in the traffic";
    // Every car, the driver's truck with them, keeps to the road's surface: 450 cm each side of its
    // middle, lane 1 175 cm right of it.
    for (const int32_t car : traffic->spawned)
        EXPECT_LT(std::fabs(traffic->cars[static_cast<size_t>(car)].route.lateral), 450.0f) << "car " << car;

    uint64_t hash = 1469598103934665603ull;
    for (int32_t car = 0; car < traffic_e::car_capacity; ++car) {
        const traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
        mix(hash, c.route.position);
        mix(hash, c.route.rotation);
        mix(hash, c.route.speed);
        mix(hash, c.route.edge);
        mix(hash, c.route.lane);
        mix(hash, c.road_slot);
        mix(hash, c.state);
        mix(hash, c.status);
        mix(hash, c.leader);
        mix(hash, c.follower);
        mix(hash, c.model);
    }
    for (const int32_t car : traffic->spawned)
        mix(hash, car);
    mix(hash, traffic->ai_truck.present);
    mix(hash, traffic->ai_truck.driver);
    if (auto* const trailer = dynamic_cast<car_trailor_e*>(traffic->ai_truck.trailer.resolve()))
        mix(hash, trailer->get_position());
    EXPECT_EQ(hash, 0xf6c4ef8efb7ec6c6ull) << std::hex << hash << std::dec << ", " << traffic->spawned.size()
                                           << " cars, truck " << truck_frames << " frames";
}

}  // namespace
