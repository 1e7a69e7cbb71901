#pragma once
#include <filesystem>
#include <memory>
#include <vector>

#include "common/game_bridge.h"
#include "map_sample.h"
#include "road/game_ctrl.h"
#include "road/map_file.h"
#include "road_fixture.h"

// Stands in for the economy, the player's truck and the environment of a game world, recording what
// the game controller asks of them.
class fake_world_parts_e : public entity_t,
                           public ctrl_economy_t,
                           public ctrl_truck_t,
                           public ctrl_environment_t,
                           public ctrl_traffic_t {
public:
    void weekly_report() override { ++weekly_reports; }
    int32_t dealer_count() const override { return dealers; }
    int32_t headquarters_city() const override { return hq_city; }
    const char* city_name(int32_t) const override { return "alpha"; }
    const char* city_display_name(int32_t) const override { return "Alpha"; }
    void city_headquarters(int32_t city, int32_t& out_level, int32_t& out_colour) const override
    {
        out_level = city == hq_city ? hq_level : -1;
        out_colour = hq_colour;
    }
    int32_t money() const override { return cash; }
    void add_money(int32_t dollars, int32_t) override { cash += dollars; }
    int32_t current_truck_value() const override { return truck_value; }
    void driver_route_ahead(int32_t driver, route_t& route) override
    {
        for (int i = 0; i < route_entries; ++i)
            route.entries[i] = {
                driver, i < static_cast<int>(route_edges.size()) ? route_edges[static_cast<size_t>(i)] : -1, -1, -1};
    }
    void driver_route_node6(route_t& route) override { route.entries[route_entries - 1].edge = -1; }
    bool job_overweight(int32_t) const override { return overweight; }
    int32_t job_pay(int32_t) override { return pay; }
    void mark_dealer_known(int32_t dealer) override { known_dealers.push_back(dealer); }
    void report_offence(int32_t code, int32_t fine) override { offences.push_back({code, fine}); }
    int32_t trailer_job() const override { return job; }
    void dock_activate(int32_t edge, int32_t trader) override { docks.push_back({edge, trader}); }
    void dock_deactivate(int32_t edge, int32_t) override
    {
        std::erase_if(docks, [edge](auto d) { return d.first == edge; });
    }

    void register_road(int32_t id, int32_t, int32_t, int32_t) override { roads.push_back(id); }
    void unregister_road(int32_t, int32_t) override {}
    bool lane_unlink(route_cursor_t&) override
    {
        ++unlink_asks;
        return !refuse_unlink;
    }
    void lane_link(route_cursor_t&, int32_t road, int32_t lane, int32_t) override { links.push_back({road, lane}); }

    vec3_t truck_position() const override { return position; }
    float truck_speed() const override { return speed; }
    float truck_speed_mph() const override { return speed_mph; }
    void get_fuel(float& out_capacity, float& out_percent) const override
    {
        out_capacity = capacity;
        out_percent = fuel;
    }
    void set_fuel(float percent) override { fuel = percent; }
    float damage() const override { return truck_damage; }
    void repair(float amount) override { repairs.push_back(amount); }
    void show_hud(bool shown) override { hud = shown; }

    int32_t sky_count() const override { return skies; }
    void set_sky(int32_t index) override { sky = index; }
    int32_t sky_index() const override { return sky; }
    void set_sky_blend(float value) override { blend = value; }

    int weekly_reports = 0;
    int32_t dealers = 0;
    int32_t hq_city = -1;
    int32_t hq_level = 0;
    int32_t hq_colour = 0;
    int32_t cash = 100000;
    int32_t truck_value = 80000;
    vec3_t position{};
    float speed = 0.0f;
    float speed_mph = 0.0f;
    float capacity = 400.0f;
    float fuel = 50.0f;
    float truck_damage = 0.0f;
    std::vector<float> repairs;
    bool hud = true;
    int32_t skies = 4;
    int32_t sky = 0;
    std::vector<int32_t> route_edges;
    std::vector<int32_t> roads;
    bool overweight = false;
    int32_t pay = 9000;
    int32_t job = -1;
    std::vector<int32_t> known_dealers;
    std::vector<std::pair<int32_t, int32_t>> offences;
    std::vector<std::pair<int32_t, int32_t>> docks;
    float blend = -1.0f;
    int unlink_asks = 0;
    bool refuse_unlink = false;
    std::vector<std::pair<int32_t, int32_t>> links;
};

// A bound engine with a game world's bridge holding the fake parts, and a game controller on it.
class game_ctrl_test_t : public road_test_t {
protected:
    void SetUp() override
    {
        road_test_t::SetUp();
        parts = std::make_unique<fake_world_parts_e>();
        bridge = std::make_unique<game_bridge_t>(nullptr, game_mode_game);
        bridge->register_economy(parts->handle());
        bridge->register_environment(parts->handle());
        bridge->register_traffic(parts->handle());
        bridge->set_avatar(parts->handle());
        std::filesystem::create_directories(home_ / "maps");
    }
    void TearDown() override
    {
        bridge.reset();
        parts.reset();
        road_test_t::TearDown();
    }

    // The bridge names the small sample map, saved as "/maps/sample.mbd", as the world's map.
    void use_sample_map()
    {
        road_network_t sample;
        make_sample_network(sample);
        ASSERT_GT(map_file_save(sample, "/maps/sample.mbd"), 0);
        bridge->set_map_path("sample");
    }

    // Runs the init phases of `ctrl` on the bridge; answers the result of the last phase run.
    int init_ctrl(game_ctrl_e& ctrl)
    {
        ctrl.bridge = bridge.get();
        for (const int phase : {-10, 0, 10}) {
            const int result = ctrl.init(phase);
            if (result != 0)
                return result;
        }
        return 0;
    }

    std::unique_ptr<fake_world_parts_e> parts;
    std::unique_ptr<game_bridge_t> bridge;
};
