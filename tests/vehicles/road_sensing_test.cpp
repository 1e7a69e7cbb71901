#include <gtest/gtest.h>

#include <vector>

#include "vehicle_fixture.h"
#include "vehicles/links/vehicle_links.h"

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
