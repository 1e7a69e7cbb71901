#include <array>
#include <cmath>

#include "engine/log.h"
#include "game_ctrl_fixture.h"
#include "road/prefab.h"

namespace {

// A straight road west of a four-armed crossing and another east of it, all along x:
//   A --road 0-- W [cross 1] E --road 2-- B
// The crossing's curve 0 runs from its west arm (slot 2) to its east arm (slot 0) and leaves into
// lane 1; its curve 1 is a "stop" before curve 0. Roads have two lanes each way, 350 wide from 200.
class navigation_test : public game_ctrl_test_t {
protected:
    void SetUp() override
    {
        game_ctrl_test_t::SetUp();
        ctrl.bridge = bridge.get();
        ctrl.seg_server = new seg_server_t;
        ctrl.seg_server->road_defs.emplace_back().lanes = {{2, 2}, 200, 350};
        ctrl.seg_server->city_road_defs.emplace_back().lanes = {{1, 1}, 100, 300};
        prefab_t cross;
        cross.nodes.resize(4);
        const vec3_t arms[4] = {{1000, 0, 0}, {0, 0, -1000}, {-1000, 0, 0}, {0, 0, 1000}};
        for (int i = 0; i < 4; ++i)
            cross.nodes[static_cast<size_t>(i)].position = arms[i];
        cross.nodes[2].slots[1][0] = 0;
        prefab_curve_t through;
        through.segments.push_back({{-1000, 0, 0}, {1, 0, 0}, {1000, 0, 0}, {1, 0, 0}, 2000.0f});
        through.exit_arms[0] = 1;
        through.type = 0;
        cross.curves.push_back(through);
        prefab_curve_t stop = through;
        stop.type = prefab_curve_stop;
        stop.next_count = 1;
        stop.next[0] = 0;
        cross.curves.push_back(stop);
        ctrl.seg_server->prefab_table[seg_crosses].push_back(cross);

        const int32_t a = node({-3000, 0, 0});
        const int32_t w = node({-1000, 0, 0});
        const int32_t e = node({1000, 0, 0});
        const int32_t b = node({3000, 0, 0});
        const int32_t n = node({0, 0, -1000});
        const int32_t s = node({0, 0, 1000});
        edge(map_edge_road, {a, w, -1, -1});
        edge(map_edge_cross, {e, n, w, s});
        edge(map_edge_road, {e, b, -1, -1});
        ctrl.edges[1].semaphore = 0;
        ctrl.semaphore_count = 2 + 16;
        ctrl.semaphores = static_cast<map_semaphore_t*>(api::mem_sys_alloc(sizeof(map_semaphore_t) * 18));
        for (int i = 0; i < 18; ++i)
            ctrl.semaphores[i] = {map_semaphore_unused, map_light_open, 0, {}};
    }
    void TearDown() override
    {
        ctrl.destroy(0);
        game_ctrl_test_t::TearDown();
    }

    int32_t node(const vec3_t& position)
    {
        const int32_t index = ctrl.add_node(position);
        map_node_t& record = ctrl.nodes[index];
        record.direction = {1, 0, 0};
        record.links[0] = record.links[1] = -1;
        record.link_kinds[0] = record.link_kinds[1] = map_edge_road;
        return index;
    }
    int32_t edge(const int32_t kind, const std::array<int32_t, 4> nodes)
    {
        const int32_t index = ctrl.add_edge();
        map_edge_t& record = ctrl.edges[index];
        record.kind = kind;
        record.semaphore = record.sign = record.stamp = -1;
        record.traffic_road = 40 + index;
        for (int slot = 0; slot < 4; ++slot) {
            record.nodes[slot] = nodes[static_cast<size_t>(slot)];
            if (nodes[static_cast<size_t>(slot)] == -1)
                continue;
            map_node_t& end = ctrl.nodes[nodes[static_cast<size_t>(slot)]];
            const int link = end.links[0] == -1 ? 0 : 1;
            end.links[link] = index;
            end.link_kinds[link] = kind;
        }
        record.length = (ctrl.nodes[nodes[1]].position - ctrl.nodes[nodes[0]].position).length();
        return index;
    }

    game_ctrl_e ctrl;
    route_cursor_t cursor;
};

TEST_F(navigation_test, a_cursor_drives_road_cross_road_and_waits_while_the_traffic_refuses)
{
    ASSERT_TRUE(ctrl.enter_edge(cursor, 0, true, 1000.0f, 1.0f, 0.0f, 0.0f));
    EXPECT_FALSE(ctrl.enter_edge(cursor, 1, true, 1000.0f, 1.0f, 0.0f, 0.0f));
    ctrl.next_path_point(cursor, 1.0f);
    EXPECT_EQ(cursor.edge, 0);
    EXPECT_NEAR(cursor.position.x, -2000.0f, 1e-2f);
    EXPECT_NEAR(cursor.position.z, 550.0f, 1e-3f);  // lane 1: 350 + 200 to the right
    ctrl.next_path_point(cursor, 1.0f);
    EXPECT_EQ(cursor.edge, 0);

    // At the crossing the traffic refuses: the cursor stays, its distance does not grow.
    parts->refuse_unlink = true;
    ctrl.next_path_point(cursor, 0.5f);
    ctrl.next_path_point(cursor, 0.5f);
    EXPECT_EQ(cursor.edge, 0);
    EXPECT_EQ(cursor.distance, 2000.0f);
    EXPECT_EQ(parts->unlink_asks, 2);

    parts->refuse_unlink = false;
    ctrl.next_path_point(cursor, 0.5f);
    EXPECT_EQ(cursor.edge, 1);
    EXPECT_EQ(cursor.prefab_curve, 0);
    ASSERT_FALSE(parts->links.empty());
    EXPECT_EQ(parts->links.back(), (std::pair<int32_t, int32_t>{(1 + 6000) * 50, 0}));
    EXPECT_NEAR(cursor.position.x, -1000.0f, 1e-2f);

    ctrl.next_path_point(cursor, 2.0f);
    EXPECT_EQ(cursor.edge, 1);
    EXPECT_NEAR(cursor.position.x, 1000.0f, 1e-2f);
    ctrl.next_path_point(cursor, 0.1f);
    EXPECT_EQ(cursor.edge, 2);
    EXPECT_EQ(cursor.node, 2);
    EXPECT_TRUE(cursor.flags & route_forward);
    EXPECT_EQ(parts->links.back(), (std::pair<int32_t, int32_t>{42, 1}));
    EXPECT_NEAR(cursor.position.z, 550.0f, 1e-3f);
}

TEST_F(navigation_test, the_semaphore_ahead_is_the_crossing_entry_and_a_ring_road_walk_ends)
{
    ASSERT_TRUE(ctrl.enter_edge(cursor, 0, true, 0.0f, 1.0f, 0.0f, 0.0f));
    EXPECT_EQ(ctrl.get_prefab_curve(cursor), 0);
    EXPECT_EQ(ctrl.semaphores[0].reservation, map_semaphore_free);
    EXPECT_EQ(ctrl.semaphores[0].wait, 0);
    EXPECT_NEAR(ctrl.semaphores[0].position.x, -1000.0f, 1e-3f);

    // Three roads in a ring, no junction anywhere: the walk gives up after the map's edges.
    game_ctrl_e ring;
    ring.seg_server = new seg_server_t;
    ring.seg_server->road_defs.emplace_back().lanes = {{1, 1}, 0, 300};
    for (const vec3_t& p : {vec3_t(0, 0, 0), vec3_t(1000, 0, 0), vec3_t(0, 0, 1000)}) {
        map_node_t& record = ring.nodes[ring.add_node(p)];
        record.links[0] = record.links[1] = -1;
        record.link_kinds[0] = record.link_kinds[1] = map_edge_road;
    }
    for (int32_t e = 0; e < 3; ++e) {
        map_edge_t& record = ring.edges[ring.add_edge()];
        record.kind = map_edge_road;
        record.nodes[0] = e;
        record.nodes[1] = (e + 1) % 3;
        record.nodes[2] = record.nodes[3] = -1;
        record.length = 1000.0f;
        ring.nodes[e].links[1] = e;
        ring.nodes[(e + 1) % 3].links[0] = e;
    }
    route_cursor_t round;
    ASSERT_TRUE(ring.enter_edge(round, 0, true, 0.0f, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(ring.get_prefab_curve(round), 0);
    ring.destroy(0);
}

TEST_F(navigation_test, a_stop_curve_gives_its_next_curve_a_wait_of_ten_to_fifteen_seconds)
{
    cursor.edge = 1;
    cursor.prefab_curve = 1;
    EXPECT_EQ(ctrl.get_prefab_curve(cursor), 0);
    EXPECT_GE(ctrl.semaphores[0].wait, 10);
    EXPECT_LE(ctrl.semaphores[0].wait, 15);
    // A plain curve leaving the crossing guards its exit semaphore: curve count + arm 0 x 4 + lane 0.
    ctrl.edges[2].kind = map_edge_road;
    cursor.prefab_curve = 0;
    EXPECT_EQ(ctrl.get_prefab_curve(cursor), 2);
    EXPECT_EQ(ctrl.semaphores[2].wait, 0);
    cursor.prefab_curve = -1;
    EXPECT_EQ(ctrl.get_prefab_curve(cursor), -1);
    EXPECT_FALSE(engine_log_matching("Wrong curve idx -1").empty());
    // A crossing whose semaphore run lies past the array is reported, not set up.
    ctrl.edges[1].semaphore = 30;
    cursor.prefab_curve = 1;
    EXPECT_EQ(ctrl.get_prefab_curve(cursor), -1);
    EXPECT_FALSE(engine_log_matching("Wrong semaphore index").empty());
}

TEST_F(navigation_test, a_city_road_turns_from_its_departure_to_its_chord_and_back)
{
    map_edge_t& city = ctrl.edges[0];
    city.kind = map_edge_city_road;
    ctrl.nodes[0].direction = {0, 0, 1};
    ASSERT_TRUE(ctrl.enter_edge(cursor, 0, true, 0.0f, 0.0f, 0.0f, 0.0f));
    const struct {
        float u;
        vec3_t tangent;
    } cases[] = {{0.0f, {0, 0, 1}}, {0.5f, {1, 0, 0}}, {0.99f, {0.5f, 0, 0.5f}}};
    for (const auto& c : cases) {
        ASSERT_TRUE(ctrl.enter_edge(cursor, 0, true, 0.0f, 0.0f, c.u, 0.0f));
        EXPECT_NEAR(cursor.tangent.x, c.tangent.x, 1e-3f) << c.u;
        EXPECT_NEAR(cursor.tangent.z, c.tangent.z, 1e-3f) << c.u;
    }
}

TEST_F(navigation_test, edge_queries_answer_by_kind_and_refuse_negative_indices)
{
    EXPECT_EQ(ctrl.road_def_word(0, true), 2);
    EXPECT_EQ(ctrl.road_def_word(1, true), -1);
    EXPECT_EQ(ctrl.road_def_word(-1, true), 0);
    cursor.edge = 0;
    EXPECT_EQ(ctrl.edge_spacing(cursor), 10000);
    cursor.edge = 1;
    EXPECT_EQ(ctrl.edge_spacing(cursor), 800);
    vec3_t start(9, 9, 9);
    ctrl.get_edge_start_pos(-1, start);
    EXPECT_EQ(start, vec3_t(9, 9, 9));
    ctrl.get_edge_start_pos(99, start);
    EXPECT_EQ(start, vec3_t{});
    EXPECT_FALSE(ctrl.is_city_road(-1));
    EXPECT_FALSE(ctrl.edge_side_type_3_4(-1));
    EXPECT_FALSE(ctrl.edge_curve_point_road(-1, {}, {}));
    EXPECT_TRUE(ctrl.edge_curve_point_road(1, {}, {}));
    // Heading along the road on its right-hand side, and against it.
    EXPECT_TRUE(ctrl.edge_curve_point_road(0, {-2000, 0, 500}, {1, 0, 0}));
    EXPECT_FALSE(ctrl.edge_curve_point_road(0, {-2000, 0, 500}, {-1, 0, 0}));
    EXPECT_EQ(prefab_turn({1, 0, 2}, 2), vec3_t(-1, 0, -2));
    EXPECT_EQ(ctrl.edge_surface_class(0), 3);
    EXPECT_EQ(ctrl.edge_surface_class(1), -1);
    EXPECT_EQ(ctrl.edge_surface_class(-1), -1);
}

TEST_F(navigation_test, a_route_names_the_lane_that_leads_to_its_exit_arm)
{
    route_t route{};
    parts->route_edges = {0, 1, 2};
    bool forward = false;
    ctrl.place_on_edge(cursor, 0, 1, 500.0f, 0.25f, &forward, 7, &route, 0.0f);
    EXPECT_TRUE(forward);
    EXPECT_EQ(route.entries[1].exit_arm, 0);  // the crossing is left through its east arm
    EXPECT_EQ(route.entries[0].lane, 1);      // which only lane 1 of the west arm leads to
    EXPECT_EQ(cursor.lane, 1.0f);
    EXPECT_EQ(cursor.edge, 0);
    EXPECT_NEAR(cursor.distance, 500.0f, 1e-3f);
}

}  // namespace
