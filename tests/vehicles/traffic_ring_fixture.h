#pragma once
#include <array>
#include <memory>

#include "../road/road_fixture.h"
#include "common/game_bridge.h"
#include "road/game_ctrl.h"
#include "road/seg_server.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/links/traffic_player.h"

// The player's truck as the traffic reads it: standing at `viewer`.
class ring_player_e : public entity_t, public traffic_player_t {
public:
    float traffic_speed_mph() const override { return 0.0f; }
    float traffic_speed() const override { return 0.0f; }
    vec3_t traffic_viewer_position() const override { return viewer; }
    void show_ticket(int32_t offence, int32_t) override { tickets.push_back(offence); }

    vec3_t viewer{};
    std::vector<int32_t> tickets;
};

// A ring of four straight two-lane roads around a square of 600 m, the player in its middle, a game
// controller on it and a traffic with one car model whose roads the controller has built.
class traffic_ring_test_t : public road_test_t {
protected:
    static constexpr float side = 60000.0f;

    void SetUp() override
    {
        road_test_t::SetUp();
        // Made after the engine's reset, so that their handles are valid.
        ctrl = std::make_unique<game_ctrl_e>();
        traffic = std::make_unique<traffic_e>();
        player = std::make_unique<ring_player_e>();
        bridge = std::make_unique<game_bridge_t>(nullptr, game_mode_game);
        bridge->register_base_ctrl(ctrl->handle());
        bridge->register_traffic(traffic->handle());
        bridge->set_avatar(player->handle());
        player->viewer = {side * 0.5f, 0.0f, side * 0.5f};
        ctrl->bridge = bridge.get();
        ctrl->seg_server = new seg_server_t;
        ctrl->seg_server->road_defs.emplace_back().lanes = {{2, 2}, 200, 350};
        const std::array<vec3_t, 4> corners{vec3_t{0, 0, 0}, vec3_t{side, 0, 0}, vec3_t{side, 0, side},
                                            vec3_t{0, 0, side}};
        for (const vec3_t& corner : corners)
            node(corner);
        for (int32_t i = 0; i < 4; ++i)
            edge(i, (i + 1) % 4);

        traffic->bridge = bridge.get();
        traffic->set_player_points(player->viewer, player->viewer, player->viewer);
        traffic->load_resources();
        ai_car_def_t car;
        car.length = 400.0f;
        car.width = 180.0f;
        car.half_height = 70.0f;
        car.speed = 40;
        car.day_probability = car.night_probability = car.city_probability = car.country_probability = 1.0f;
        for (int i = 0; i < 2; ++i)
            traffic->catalogue().add(car);
        for (int32_t i = 0; i < 4; ++i)
            traffic->register_road(ctrl->edges[i].traffic_road, i, 0, -1);
    }
    void TearDown() override
    {
        traffic->destroy(0);
        ctrl->destroy(0);
        bridge.reset();
        traffic.reset();
        ctrl.reset();
        player.reset();
        road_test_t::TearDown();
    }

    void node(const vec3_t& position)
    {
        map_node_t& record = ctrl->nodes[ctrl->add_node(position)];
        record.direction = {1, 0, 0};
        record.links[0] = record.links[1] = -1;
        record.link_kinds[0] = record.link_kinds[1] = map_edge_road;
    }
    void edge(int32_t from, int32_t to)
    {
        const int32_t index = ctrl->add_edge();
        map_edge_t& record = ctrl->edges[index];
        record.kind = map_edge_road;
        record.semaphore = record.sign = record.stamp = -1;
        record.traffic_road = 40 + index;
        record.nodes[0] = from;
        record.nodes[1] = to;
        record.nodes[2] = record.nodes[3] = -1;
        for (const int32_t end : {from, to}) {
            map_node_t& node = ctrl->nodes[end];
            const int link = node.links[0] == -1 ? 0 : 1;
            node.links[link] = index;
            node.link_kinds[link] = map_edge_road;
        }
        record.length = (ctrl->nodes[to].position - ctrl->nodes[from].position).length();
    }

    std::unique_ptr<game_bridge_t> bridge;
    std::unique_ptr<game_ctrl_e> ctrl;
    std::unique_ptr<traffic_e> traffic;
    std::unique_ptr<ring_player_e> player;
};
