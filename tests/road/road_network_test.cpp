#include "road/road_network.h"

#include <cmath>

#include "road_fixture.h"

namespace {

using road_network_test = road_test_t;

TEST_F(road_network_test, a_node_closer_than_the_merge_distance_is_the_existing_one)
{
    road_network_t network;
    ASSERT_EQ(network.add_node({100.0f, 0.0f, 0.0f}), 0);
    // The largest offset whose square is still below 0.1 merges; the next float does not.
    float at = std::sqrt(0.1f);
    while (at * at < 0.1f)
        at = std::nextafter(at, 1.0f);
    const float below = std::nextafter(at, 0.0f);
    ASSERT_LT(below * below, 0.1f);
    EXPECT_EQ(network.add_node({100.0f, below, 0.0f}), 0);
    EXPECT_EQ(network.nodes.count, 1);
    EXPECT_EQ(network.add_node({100.0f, at, 0.0f}), 1);

    const map_node_t& added = network.nodes[1];
    EXPECT_EQ(added.links[0], -1);
    EXPECT_EQ(added.links[1], -1);
    EXPECT_EQ(added.link_kinds[0], map_edge_road);
    EXPECT_EQ(added.road_name, -1);
    EXPECT_EQ(added.direction, vec3_t{});

    EXPECT_EQ(network.add_aux_node({5.0f, 5.0f, 5.0f}), 0);
    EXPECT_EQ(network.add_aux_node({5.0f, 5.0f, 5.1f}), 0);
    EXPECT_EQ(network.aux_nodes[0].links[1], -1);
}

TEST_F(road_network_test, the_sixty_fifth_node_doubles_the_array_and_keeps_the_spare_record)
{
    road_network_t network;
    ASSERT_EQ(network.nodes.reserve(64), 64 * 48);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(network.add_node({static_cast<float>(i) * 10.0f, 0.0f, 0.0f}), i);
    EXPECT_EQ(network.nodes.capacity, 64);
    network.nodes.data[-1].flags = 0x1234u;
    ASSERT_EQ(network.add_node({-50.0f, 0.0f, 0.0f}), 64);
    EXPECT_EQ(network.nodes.capacity, 128);
    EXPECT_EQ(network.nodes.data[-1].flags, 0x1234u);
    EXPECT_EQ(network.nodes[63].position.x, 630.0f);
}

TEST_F(road_network_test, adders_grow_by_their_steps_and_stamps_come_in_groups_of_four)
{
    road_network_t network;
    EXPECT_EQ(network.add_edge(), 0);
    EXPECT_EQ(network.edges.capacity, 32);
    EXPECT_EQ(network.add_sign(), 0);
    EXPECT_EQ(network.signs.capacity, 16);
    for (int group = 0; group < 16; ++group)
        ASSERT_EQ(network.add_stamp_group(), group * 4);
    EXPECT_EQ(network.stamps.capacity, 64);
    EXPECT_EQ(network.add_stamp_group(), 64);
    EXPECT_EQ(network.stamps.capacity, 128);
    EXPECT_EQ(network.stamps.count, 68);

    network.clear_records();
    EXPECT_EQ(network.edges.count, 0);
    EXPECT_EQ(network.stamps.count, 0);
    EXPECT_EQ(network.stamps.capacity, 128);
}

}  // namespace
