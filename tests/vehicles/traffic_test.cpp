#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "../frame/frame_fixture.h"
#include "common/game_bridge.h"
#include "engine/log.h"
#include "vehicles/traffic/traffic.h"

namespace {

// A traffic with its slots and free stack made, no map and no controller: cars are linked into lanes
// the way the navigation links them.
class traffic_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        // Made after the engine's reset, so that its handle is valid.
        traffic = std::make_unique<traffic_e>();
        traffic->load_resources();
        // One police car (model 0) of 4 m by 1.8 m.
        ai_car_def_t car;
        car.length = 400.0f;
        car.width = 180.0f;
        car.half_height = 70.0f;
        car.speed = 40;
        traffic->catalogue().add(car);
    }

    // Takes the next free slot, puts it at `position` and links it into `lane` of road `road`.
    int32_t spawn_at(int32_t road, int32_t lane, const vec3_t& position)
    {
        const int32_t car = traffic->free_slots.back();
        traffic->free_slots.pop_back();
        traffic->spawned.push_back(car);
        traffic->cars[static_cast<size_t>(car)].route.position = position;
        traffic->lane_link(traffic->cars[static_cast<size_t>(car)].route, road, lane, 1);
        return car;
    }

    const traffic_road_t& road(int32_t id) const { return *std::ranges::find(traffic->roads, id, &traffic_road_t::id); }

    void TearDown() override
    {
        traffic.reset();
        frame_test_t::TearDown();
    }

    std::unique_ptr<traffic_e> traffic;
};

TEST_F(traffic_test, a_car_entering_a_curve_takes_its_flags_and_blinks_by_them)
{
    traffic->register_road(3, 30, 0, -1);
    const int32_t car = spawn_at(3, 0, {});
    traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
    const struct {
        uint32_t curve_flags;
        uint8_t left, right;
    } cases[] = {{16, 1, 0}, {8 | 16, 0, 1}, {64 | 2, 0, 0}, {0, 0, 0}};
    for (const auto& test : cases) {
        traffic->unlink_car(car);
        c.route.prefab_curve_flags = test.curve_flags;
        traffic->lane_link(c.route, 3, 0, 1);
        EXPECT_EQ(c.route_flags, test.curve_flags);
        EXPECT_EQ(c.left_blinker, test.left) << test.curve_flags;
        EXPECT_EQ(c.right_blinker, test.right) << test.curve_flags;
    }
}

TEST_F(traffic_test, a_road_registered_twice_with_one_edge_is_held_twice_and_pending_after_both_are_let_go)
{
    traffic->register_road(7, 70, 0, -1);
    traffic->register_road(7, 70, 0, -1);
    traffic->register_road(7, 71, 0, -1);
    ASSERT_EQ(traffic->roads.size(), 1u);
    EXPECT_EQ(road(7).edges, (std::vector<int32_t>{70, 71}));
    EXPECT_EQ(road(7).uses, 3);

    traffic->unregister_road(7, 71);
    EXPECT_EQ(road(7).edges, (std::vector<int32_t>{70}));
    traffic->unregister_road(7, 70);
    EXPECT_FALSE(road(7).pending_removal) << "edge 70 was registered twice";
    traffic->unregister_road(7, 70);
    EXPECT_TRUE(road(7).pending_removal);
    traffic->unregister_road(99, 1);  // not registered: nothing
    traffic->register_road(-1, 1, 0, -1);
    EXPECT_EQ(traffic->roads.size(), 1u);

    traffic->register_road(7, 72, 1, 16);
    EXPECT_FALSE(road(7).pending_removal) << "registered again before the road step took it";
    EXPECT_EQ(road(7).first_curve, 16);
}

TEST_F(traffic_test, more_roads_and_edges_than_the_fixed_arrays_held_are_all_kept)
{
    for (int32_t id = 0; id < 300; ++id)
        traffic->register_road(id, id, 0, -1);
    for (int32_t edge = 1000; edge < 1040; ++edge)
        traffic->register_road(5, edge, 0, -1);
    EXPECT_EQ(traffic->roads.size(), 300u);
    EXPECT_EQ(road(299).id, 299);
    EXPECT_EQ(road(5).edges.size(), 41u);
}

TEST_F(traffic_test, a_pending_road_with_a_car_survives_the_road_step_and_later_cars_keep_their_road)
{
    traffic->register_road(1, 10, 0, -1);
    traffic->register_road(2, 20, 0, -1);
    traffic->register_road(3, 30, 0, -1);
    const int32_t on_first = spawn_at(1, 2, {0, 0, 0});
    const int32_t on_third = spawn_at(3, 1, {5000, 0, 0});
    traffic->unregister_road(1, 10);

    traffic->purge_road_step();
    traffic->purge_road_step();
    ASSERT_EQ(traffic->roads.size(), 3u) << "a car is still linked";

    ASSERT_TRUE(traffic->lane_unlink(traffic->cars[static_cast<size_t>(on_first)].route));
    traffic->purge_road_step();
    traffic->purge_road_step();
    ASSERT_EQ(traffic->roads.size(), 2u);
    const traffic_car_t& car = traffic->cars[static_cast<size_t>(on_third)];
    EXPECT_EQ(traffic->roads[static_cast<size_t>(car.road_slot)].id, 3);
    EXPECT_EQ(traffic->roads[static_cast<size_t>(car.road_slot)].first_car[1][1], on_third);
}

TEST_F(traffic_test, lane_lists_link_at_the_rear_and_let_only_the_front_car_go)
{
    traffic->register_road(4, 40, 0, -1);
    const int32_t front = spawn_at(4, 1, {0, 0, 0});
    const int32_t rear = spawn_at(4, 1, {0, 0, 1000});
    EXPECT_EQ(road(4).first_car[1][1], front);
    EXPECT_EQ(road(4).last_car[1][1], rear);
    EXPECT_EQ(traffic->cars[static_cast<size_t>(rear)].leader, front);
    EXPECT_EQ(road(4).car_count, 2);

    EXPECT_FALSE(traffic->lane_unlink(traffic->cars[static_cast<size_t>(rear)].route)) << "the car behind waits";
    EXPECT_TRUE(traffic->lane_unlink(traffic->cars[static_cast<size_t>(front)].route));
    EXPECT_EQ(road(4).first_car[1][1], rear);
    EXPECT_EQ(traffic->cars[static_cast<size_t>(rear)].leader, -1);
    EXPECT_EQ(road(4).car_count, 1);
}

TEST_F(traffic_test, a_car_linked_to_an_unknown_road_or_lane_is_released)
{
    traffic->register_road(4, 40, 0, -1);
    for (const auto& [road_id, lane] : {std::pair{9, 1}, std::pair{4, 8}, std::pair{4, -1}}) {
        const size_t free_before = traffic->free_slots.size();
        const int32_t car = spawn_at(road_id, lane, {0, 0, 0});
        EXPECT_EQ(traffic->free_slots.size(), free_before) << "road " << road_id << " lane " << lane;
        EXPECT_EQ(traffic->free_slots.back(), car);
        EXPECT_TRUE(traffic->spawned.empty());
    }
}

TEST_F(traffic_test, slot_0_is_never_handed_out_and_a_reset_gives_back_all_127_slots)
{
    ASSERT_EQ(traffic->free_slots.size(), 127u);
    EXPECT_EQ(std::ranges::count(traffic->free_slots, 0), 0);
    for (const traffic_car_t& car : traffic->cars)  // slot 127 included
        EXPECT_TRUE(car.leader == -1 && car.follower == -1 && car.road_slot == -1);
    traffic->register_road(4, 40, 0, -1);
    for (int i = 0; i < 127; ++i)
        spawn_at(4, i % 8, {static_cast<float>(i) * 1000.0f, 0, 0});
    EXPECT_TRUE(traffic->free_slots.empty());
    EXPECT_TRUE(traffic->spawn_car()) << "no free slot reports success so the spawn timer restarts";

    traffic->reset();
    EXPECT_EQ(traffic->free_slots.size(), 127u);
    EXPECT_EQ(std::ranges::count(traffic->free_slots, 0), 0);
    EXPECT_TRUE(traffic->spawned.empty());
    EXPECT_FALSE(road(4).has_cars());
    EXPECT_TRUE(traffic->start_burst);

    traffic->release_car(0, true);
    EXPECT_EQ(std::ranges::count(traffic->free_slots, 0), 0) << "slot 0 is not on the spawned list";
}

TEST_F(traffic_test, a_car_within_2_m_of_another_is_removed_with_a_message)
{
    engine_seed_random(3);
    traffic->register_road(4, 40, 0, -1);
    spawn_at(4, 1, {0, 0, 0});
    spawn_at(4, 2, {100, 0, 0});
    for (int frame = 0; frame < 50 && traffic->spawned.size() == 2; ++frame)
        traffic->step(frame * 0.02, 0.02f);
    EXPECT_EQ(traffic->spawned.size(), 1u);
    EXPECT_TRUE(engine_log_has("Removing car"));
    EXPECT_EQ(road(4).car_count, 1);
}

TEST_F(traffic_test, far_cars_are_removed_and_near_cars_get_a_body)
{
    traffic->register_road(4, 40, 0, -1);
    const int32_t near = spawn_at(4, 1, {0, 0, 1000});
    const int32_t far = spawn_at(4, 2, {60000, 0, 0});
    traffic->step(0.0, 0.02f);
    EXPECT_TRUE(traffic->cars[static_cast<size_t>(near)].has(traffic_car_t::status_body));
    EXPECT_EQ(std::ranges::count(traffic->spawned, far), 0) << "beyond 500 m";
    EXPECT_EQ(std::ranges::count(traffic->free_slots, far), 1);
}

// Frames at which a spawn was tried (the spawn timer restarted), with no free slot so every try
// succeeds at once.
std::vector<int> spawn_frames(traffic_e& traffic, bool dark, int frames, float dt)
{
    traffic.free_slots.clear();
    std::vector<int> tried;
    for (int frame = 0; frame < frames; ++frame) {
        traffic.dark = dark;
        traffic.step(frame * dt, dt);
        if (traffic.spawn_timer == dt)
            tried.push_back(frame);
    }
    return tried;
}

TEST_F(traffic_test, spawns_are_tried_every_frame_in_the_start_burst_then_by_day_and_night_intervals)
{
    const float dt = 0.1f;
    const std::vector<int> burst = spawn_frames(*traffic, false, 51, dt);
    EXPECT_GE(burst.size(), 50u) << "every frame of the first 5 s";
    EXPECT_EQ(burst[49], 49);
    EXPECT_FALSE(traffic->start_burst);

    const std::vector<int> day = spawn_frames(*traffic, false, 60, dt);
    EXPECT_NEAR(static_cast<double>(day.size()), 60.0 / 3.0, 1.0) << "a try each time 0.2 s are exceeded";

    const std::vector<int> night = spawn_frames(*traffic, true, 200, dt);
    ASSERT_GE(night.size(), 2u);
    EXPECT_NEAR((night[1] - night[0]) * dt, 6.1, 0.11) << "6 s at night";

    traffic->reset();
    EXPECT_EQ(spawn_frames(*traffic, true, 10, dt).size(), 10u) << "the burst again after a reset";
}

TEST_F(traffic_test, a_police_car_near_the_viewer_settles_a_pending_offence)
{
    traffic->register_road(4, 40, 0, -1);
    const int32_t police = spawn_at(4, 1, {0, 0, 1000});
    traffic->cars[static_cast<size_t>(police)].model = 0;
    traffic->report_offence(150, 0);
    traffic->step(0.0, 0.02f);
    EXPECT_EQ(traffic->offences().pending(), -1);
    EXPECT_EQ(traffic->cars[static_cast<size_t>(police)].siren_bits & 1, 1);
}

TEST_F(traffic_test, the_info_command_prints_the_real_counts)
{
    traffic->register_road(4, 40, 0, -1);
    traffic->register_road(5, 50, 0, -1);
    spawn_at(4, 1, {0, 0, 0});
    traffic->print_info();
    EXPECT_TRUE(engine_log_has("We have 2 registered roads and 1 of 128 spawned cars"));
}

}  // namespace

namespace {

TEST_F(traffic_test, a_follower_closer_than_19_m_to_its_leader_stops_at_once)
{
    traffic->register_road(4, 40, 0, -1);
    const int32_t leader = spawn_at(4, 1, {0, 0, 0});
    const int32_t follower = spawn_at(4, 1, {0, 0, -1500});
    traffic->time_step = 0.02f;
    traffic->cars[static_cast<size_t>(leader)].route.speed = 1000.0f;
    traffic_car_t& c = traffic->cars[static_cast<size_t>(follower)];
    c.state = 2;
    c.route.speed = 2500.0f;
    traffic->car_step(follower);
    EXPECT_EQ(c.route.speed, 0.0f);

    c.route.position = {0, 0, -2500};
    c.route.speed = 1000.0f;
    traffic->car_step(follower);
    EXPECT_EQ(c.target_speed, 900.0f) << "farther back it follows at 0.9 of the leader's speed";
}

TEST_F(traffic_test, a_blocked_car_stands_near_its_obstacle_and_crawls_behind_the_player_farther_away)
{
    traffic->register_road(4, 40, 0, -1);
    const int32_t car = spawn_at(4, 1, {0, 0, 0});
    traffic_car_t& c = traffic->cars[static_cast<size_t>(car)];
    c.route.tangent = {0, 0, 1};
    c.state = 1;
    c.route.speed = 1500.0f;
    traffic->time_step = 0.02f;
    traffic->player_speed = 600.0f;
    traffic->set_player_points({0, 0, 600}, {0, 0, 600}, {0, 0, 600});
    traffic->car_step(car);
    EXPECT_EQ(c.state, 4);
    EXPECT_EQ(c.route.speed, 0.0f) << "6 m ahead";

    c.route.speed = 1500.0f;
    traffic->set_player_points({0, 0, 900}, {0, 0, 900}, {0, 0, 900});
    traffic->car_step(car);
    EXPECT_EQ(c.target_speed, 500.0f) << "9 m ahead: 100 below the player's speed";

    traffic->set_player_points({0, 0, 5000}, {0, 0, 5000}, {0, 0, 5000});
    traffic->car_step(car);
    EXPECT_EQ(c.state, 6) << "the way is clear: a short delay before driving on";
}

}  // namespace

namespace {

TEST_F(traffic_test, a_lane_list_that_loops_back_resets_the_traffic_instead_of_walking_forever)
{
    traffic->register_road(4, 40, 0, -1);
    const int32_t a = spawn_at(4, 1, {0, 0, 0});
    const int32_t b = spawn_at(4, 1, {0, 0, -5000});
    traffic->cars[static_cast<size_t>(b)].follower = a;  // a damaged list: b leads back to a
    traffic->step(0.0, 0.02f);                           // the car pass ends its walk

    const int32_t c = traffic->free_slots.back();
    traffic->free_slots.pop_back();
    traffic->spawned.push_back(c);
    traffic->cars[static_cast<size_t>(c)].route.edge = 99;
    EXPECT_FALSE(traffic->insert_into_lane(c, 0, 1, 1));
    EXPECT_TRUE(engine_log_has("Unconsistent map - cycle detected!!"));
    EXPECT_TRUE(traffic->spawned.empty()) << "the traffic was reset";
    EXPECT_EQ(traffic->free_slots.size(), 127u);
}

}  // namespace
