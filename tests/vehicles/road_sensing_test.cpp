#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "../road/flat_road.h"
#include "game/economy_ctrl.h"
#include "road/game_ctrl.h"
#include "road/road_geo.h"
#include "vehicle_fixture.h"
#include "vehicles/links/vehicle_links.h"
#include "world/environment.h"

namespace {

// The game controller's road look-ups: the ground's items left of x 2000 are edge 5 (class 1), the
// rest edge 9 (class -1) ; the environment and the economy record what they are told.
class road_parts_e : public entity_t, public vehicle_roads_t, public vehicle_weather_t, public vehicle_economy_t {
public:
    int32_t edge_of_contact(const cd_geo_t*, uint32_t) const override { return edge_under; }
    int32_t edge_surface_class(int32_t edge) const override { return edge == 5 ? 1 : (edge == 9 ? -1 : 2); }
    void set_weather_state(int32_t surface) override { weather.push_back(surface); }
    void set_hud_damage(float) override {}
    void set_player_job(int32_t, const vec3_t*) override {}
    void deliver_player_job(int32_t, float) override {}
    void dock_slot_release(int32_t, int32_t) override {}
    void set_current_road(int32_t edge) override { roads.push_back(edge); }
    int32_t dock_at(const vec3_t&) const override { return -1; }
    void set_current_dock(int32_t) override {}
    void add_prestige(float, bool) override {}

    int32_t edge_under = vehicle_roads_t::no_edge;
    std::vector<int32_t> weather;
    std::vector<int32_t> roads;
};

using road_sensing_test = vehicle_test_t;

TEST_F(road_sensing_test, a_new_edge_under_the_wheels_sets_grip_and_weather_once)
{
    road_parts_e parts;
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->controller_link = truck->environment_link = truck->economy_link = parts.handle();
    truck->engine_state = car_truck_e::engine_off;

    parts.edge_under = 5;
    run(3);
    EXPECT_FLOAT_EQ(truck->grip, 0.6f) << "class 1 grips less";
    EXPECT_EQ(parts.weather, std::vector<int32_t>{1}) << "the same edge again changes nothing";
    EXPECT_EQ(parts.roads, std::vector<int32_t>{5});
    EXPECT_EQ(truck->road_edge, 5);

    parts.edge_under = 9;
    run(3);
    EXPECT_FLOAT_EQ(truck->grip, 0.6f) << "a fork, cross or prefab edge keeps grip and weather";
    EXPECT_EQ(parts.weather, std::vector<int32_t>{1});
    EXPECT_EQ(parts.roads, (std::vector<int32_t>{5, 9}));

    parts.edge_under = 12;
    run(1);
    EXPECT_FLOAT_EQ(truck->grip, 1.0f);
    EXPECT_EQ(parts.weather, (std::vector<int32_t>{1, 2}));

    parts.edge_under = vehicle_roads_t::no_edge + 3;
    run(2);
    EXPECT_EQ(truck->road_edge, -1);
    EXPECT_EQ(parts.roads, (std::vector<int32_t>{5, 9, 12, -1})) << "no edge is told as -1, once";
}

TEST_F(road_sensing_test, without_a_controller_the_wheels_still_carry_the_truck)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->engine_state = car_truck_e::engine_off;
    run(10);
    EXPECT_EQ(truck->wheels_in_contact, 4);
    EXPECT_EQ(truck->road_edge, -1);
    EXPECT_FLOAT_EQ(truck->grip, 1.0f);
}

}  // namespace

namespace {

// Two straight roads end to end under a truck: a slippery one (road type 4) from z 190000 to 100000,
// then an ordinary one (road type 1) on to z 10000, 30 cm above the ground, with the game controller
// keeping their collision; the truck's environment and economy are the game's own.
class road_crossing_test : public vehicle_test_t {
protected:
    static constexpr float road_x = 2000.0f;
    static constexpr float road_y = 30.0f;

    void SetUp() override
    {
        vehicle_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        // Made after the engine's reset, so that their handles are valid.
        ctrl_ = std::make_unique<game_ctrl_e>();
        environment_ = std::make_unique<environment_e>();
        economy_ = std::make_unique<economy_ctrl_e>();
        ctrl_->seg_server = new seg_server_t;
        ASSERT_EQ(ctrl_->base_ctrl_e::init(-10), 0);
        ASSERT_EQ(ctrl_->base_ctrl_e::init(0), 0);
        ASSERT_TRUE(flat_road::add_def(*ctrl_->seg_server, car_phys_e::ground_kind_road));
        slippery_ = flat_road::edge(*ctrl_, {road_x, road_y, 190000.0f}, {road_x, road_y, 100000.0f}, 1, 1);
        ordinary_ = flat_road::edge(*ctrl_, {road_x, road_y, 100000.0f}, {road_x, road_y, 10000.0f}, 1, 1);
        ctrl_->edges[slippery_].road_type = 4;
        ctrl_->edges[ordinary_].road_type = 1;
        ctrl_->build_item_tree();
        ctrl_->road_collision().insert(&world_->physics(), ctrl_->handle().word());
    }
    void TearDown() override
    {
        if (ctrl_)
            ctrl_->road_collision().remove();
        vehicle_test_t::TearDown();
        if (ctrl_) {
            ctrl_->destroy(0);
            ctrl_->destroy(10);
        }
        ctrl_.reset();
        economy_.reset();
        environment_.reset();
    }

    std::unique_ptr<game_ctrl_e> ctrl_;
    std::unique_ptr<environment_e> environment_;
    std::unique_ptr<economy_ctrl_e> economy_;
    int32_t slippery_ = -1;
    int32_t ordinary_ = -1;
};

TEST_F(road_crossing_test, crossing_onto_the_next_road_the_grip_weather_and_current_road_follow_the_road_underneath)
{
    test_truck_e* truck = truck_at({road_x, road_y + 300.0f, 103000.0f});
    truck->controller_link = ctrl_->handle();
    truck->environment_link = environment_->handle();
    truck->economy_link = economy_->handle();
    truck->automatic = 1;

    run(5);
    EXPECT_EQ(truck->road_edge, slippery_);
    EXPECT_FLOAT_EQ(truck->grip, 0.6f) << "road type 4 is slippery";
    EXPECT_EQ(environment_->weather().state, 1);
    EXPECT_EQ(economy_->current_road, slippery_);

    // Straight on over the joint, the last wheel ray deciding which road the truck is on.
    for (int frame = 0; frame < 1500 && truck->get_position().z > 99000.0f; ++frame) {
        truck->controls.throttle = forward_speed(*truck) < 600.0f ? 1.0f : 0.0f;
        run(1);
    }
    ASSERT_LE(truck->get_position().z, 99000.0f) << "the truck never reached the next road";
    EXPECT_EQ(truck->road_edge, ordinary_);
    EXPECT_FLOAT_EQ(truck->grip, 1.0f);
    EXPECT_EQ(environment_->weather().state, 0);
    EXPECT_EQ(economy_->current_road, ordinary_);
}

}  // namespace
