#include "game/economy/ai_data_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editor/ai_data_writer.h"
#include "engine/mbio.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "road/road_network.h"

namespace {

// Two docks (Forks 0 and 2, traders 0 and 1) joined by one Road edge of 500 m.
class two_docks_t {
public:
    two_docks_t()
    {
        for (float x : {1000.0f, 2000.0f, 1000.0f, 60000.0f, 61000.0f, 61000.0f})
            network.add_node({x, 0.0f, 0.0f});
        add_edge(map_edge_fork, {0, 1, 2}, 1000.0f, 0);
        add_edge(map_edge_road, {1, 3}, 50000.0f, -1);
        add_edge(map_edge_fork, {3, 4, 5}, 1000.0f, 1);
        prefab.nodes = {{0.0f, 0.0f, 0.0f}};
        prefab.spawn_points = {{{0.0f, 0.0f, 500.0f}, {0.0f, 0.0f, 0.0f, 0.0f}},
                               {{100.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f, 1.0f}}};
    }
    void add_edge(int32_t kind, std::initializer_list<int32_t> nodes, float length, int32_t trader)
    {
        const int32_t e = network.add_edge();
        map_edge_t& edge = network.edges[e];
        std::memset(static_cast<void*>(&edge), 0, sizeof edge);
        edge.kind = kind;
        for (int32_t& n : edge.nodes)
            n = -1;
        int slot = 0;
        for (const int32_t n : nodes) {
            edge.nodes[slot++] = n;
            int32_t* links = network.nodes[n].links;
            (links[0] == -1 ? links[0] : links[1]) = e;
        }
        edge.length = length;
        edge.sides[0].vegetation = trader;
    }
    dock_prefab_lookup_t lookup() const
    {
        return [this](const map_edge_t&) { return &prefab; };
    }
    road_network_t network;
    dock_prefab_t prefab;
};

std::vector<uint8_t> bytes_of(std::initializer_list<uint32_t> words16)
{
    std::vector<uint8_t> out;
    for (const uint32_t w : words16) {
        out.push_back(static_cast<uint8_t>(w));
        out.push_back(static_cast<uint8_t>(w >> 8));
    }
    return out;
}

// The writers report through the engine's log.
class ai_data_file : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }
};

}  // namespace

TEST_F(ai_data_file, a_map_without_docks_gives_eight_bytes_of_each_file)
{
    road_network_t network;
    std::vector<uint8_t> aid, rte;
    std::string error;
    const dock_prefab_lookup_t none = [](const map_edge_t&) { return nullptr; };
    ASSERT_TRUE(ai_data_build(network, none, aid, error));
    ASSERT_TRUE(route_table_build(network, none, rte, error));
    EXPECT_EQ(aid, (std::vector<uint8_t>{2, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(rte, bytes_of({1, 0, 0xFFFF, 0xFFFF}));
}

TEST_F(ai_data_file, one_dock_places_its_slot_and_dock_point_and_has_no_route)
{
    two_docks_t map;
    map.network.edges[2].sides[0].vegetation = -1;
    std::vector<uint8_t> aid, rte;
    std::string error;
    ASSERT_TRUE(ai_data_build(map.network, map.lookup(), aid, error));
    ASSERT_EQ(aid.size(), 8u + 312u);
    // The whole image: every byte not named here is 0.
    std::vector<uint8_t> golden(8 + 312, 0);
    const auto put = [&](const size_t at, const uint32_t word) {
        for (int i = 0; i < 4; ++i)
            golden[at + static_cast<size_t>(i)] = static_cast<uint8_t>(word >> (8 * i));
    };
    put(0, 2);                      // version
    put(4, 1);                      // one dock
    put(8 + 4, 1);                  // one slot: the point of zero rotation is the dock point
    put(8 + 40, 0x44898000);        // slot 0 at x 1100 (start node 1000 + 100)
    put(8 + 136 + 12, 0x3F800000);  // slot 0's rotation w 1
    put(8 + 296, 0x447A0000);       // dock point x 1000
    put(8 + 296 + 8, 0x43FA0000);   // dock point z 500
    EXPECT_EQ(aid, golden);
    mbio_t in(aid.data(), aid.size());
    uint32_t version = 0, count = 0;
    int32_t id = -1, slots = -1, trader = -1;
    float x = 0, z = 0, qw = 0;
    in.read_u32(version);
    in.read_u32(count);
    in.read_i32(id);
    in.read_i32(slots);
    EXPECT_EQ(version, 2u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(slots, 1);
    in.seek(8 + 40);
    in.read_f32(x);
    EXPECT_EQ(x, 1100.0f);
    in.seek(8 + 136 + 12);
    in.read_f32(qw);
    EXPECT_EQ(qw, 1.0f);
    in.seek(8 + 296);
    in.read_f32(x);
    in.skip(4);
    in.read_f32(z);
    in.read_i32(trader);
    EXPECT_EQ(x, 1000.0f);
    EXPECT_EQ(z, 500.0f);
    EXPECT_EQ(trader, 0);

    ASSERT_TRUE(route_table_build(map.network, map.lookup(), rte, error));
    EXPECT_EQ(rte, bytes_of({1, 1, 0, 0, 0xFFFF, 0xFFFF}));
    route_table_t table;
    ASSERT_TRUE(table.parse(rte.data(), rte.size(), error));
    route_view_t route;
    EXPECT_FALSE(table.get(0, 0, route));
}

TEST_F(ai_data_file, a_route_over_three_edges_runs_from_the_later_dock_back)
{
    two_docks_t map;
    std::vector<uint8_t> rte;
    std::string error;
    ASSERT_TRUE(route_table_build(map.network, map.lookup(), rte, error));
    EXPECT_EQ(rte, bytes_of({1, 2, 0, 0, 24, 0, 0, 0, 0, 0, 0xFFFF, 0xFFFF, 3, 510, 0, 2, 1, 0, 0, 500, 510, 0xFFFF}));

    route_table_t table;
    ASSERT_TRUE(table.parse(rte.data(), rte.size(), error));
    route_view_t route;
    ASSERT_TRUE(table.get(0, 1, route));
    EXPECT_EQ(route.length, 3);
    EXPECT_EQ(route.distance, 510u);
    EXPECT_EQ(table.node(route, 0), 2);
    EXPECT_EQ(table.node(route, 2), 0);
    EXPECT_EQ(table.node_distance(route, 1), 500);
    EXPECT_FALSE(table.get(1, 2, route));
}

TEST_F(ai_data_file, separate_networks_write_no_route_table)
{
    two_docks_t map;
    map.network.nodes[3].links[1] = -1;
    std::vector<uint8_t> rte;
    std::string error;
    EXPECT_FALSE(route_table_build(map.network, map.lookup(), rte, error));
    EXPECT_EQ(error, "This map has 2 independent components - probably disconected!!");
}

TEST_F(ai_data_file, corrupted_images_are_refused)
{
    two_docks_t map;
    std::vector<uint8_t> aid, rte;
    std::string error;
    ASSERT_TRUE(ai_data_build(map.network, map.lookup(), aid, error));
    ASSERT_TRUE(route_table_build(map.network, map.lookup(), rte, error));
    std::vector<dock_t> docks;
    EXPECT_TRUE(ai_data_parse(aid.data(), aid.size(), 2, docks, error));
    EXPECT_EQ(docks.size(), 2u);

    struct {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t traders;
    } aid_cases[] = {
        {"wrong version",
         [&] {
             auto b = aid;
             b[0] = 3;
             return b;
         }(),
         2},
        {"truncated", std::vector<uint8_t>(aid.begin(), aid.end() - 1), 2},
        {"huge count",
         [&] {
             auto b = aid;
             b[7] = 0x7F;
             return b;
         }(),
         2},
        {"trader outside", aid, 1},
        {"nine slots",
         [&] {
             auto b = aid;
             b[12] = 9;
             return b;
         }(),
         2},
    };
    for (const auto& c : aid_cases) {
        EXPECT_FALSE(ai_data_parse(c.bytes.data(), c.bytes.size(), c.traders, docks, error)) << c.what;
        EXPECT_TRUE(docks.empty()) << c.what;
    }

    route_table_t table;
    struct {
        const char* what;
        std::vector<uint8_t> bytes;
    } rte_cases[] = {
        {"huge dock count",
         [&] {
             auto b = rte;
             b[3] = 0x7F;
             return b;
         }()},
        {"pool past the end",
         [&] {
             auto b = rte;
             b[9] = 0x7F;
             return b;
         }()},
        {"header only", std::vector<uint8_t>(rte.begin(), rte.begin() + 3)},
    };
    for (const auto& c : rte_cases)
        EXPECT_FALSE(table.parse(c.bytes.data(), c.bytes.size(), error)) << c.what;
    // A route whose length runs past the pool is not handed out.
    auto long_route = rte;
    long_route[24] = 0xFF;
    ASSERT_TRUE(table.parse(long_route.data(), long_route.size(), error));
    route_view_t route;
    EXPECT_FALSE(table.get(0, 1, route));
}

TEST_F(ai_data_file, the_nearest_open_edge_is_the_first_of_the_least_distance_below_0xffff)
{
    const std::vector<uint16_t> distance{3, 1, 0xFFFF, 1, 2};
    struct {
        std::vector<int32_t> open;
        int32_t edge;
        size_t pos;
    } cases[] = {
        {{0, 1, 2, 3, 4}, 1, 1},
        {{4, 3, 1}, 3, 1},
        {{2}, -1, 1},
        {{}, -1, 0},
    };
    for (const auto& c : cases) {
        size_t pos = 99;
        EXPECT_EQ(pick_nearest_open_edge(distance, c.open, pos), c.edge);
        EXPECT_EQ(pos, c.pos);
    }
}

TEST_F(ai_data_file, the_paths_beside_a_map_replace_or_add_the_extension)
{
    EXPECT_EQ(map_side_path("/maps/mainland.mbd", "aid"), "/maps/mainland.aid");
    EXPECT_EQ(map_side_path("/maps.v2/mainland", "rte"), "/maps.v2/mainland.rte");
    const std::string deep = "/maps/" + std::string(200, 'a') + ".mbd";
    EXPECT_EQ(map_side_path(deep.c_str(), "aid").size(), deep.size());
}
