#include "road/road_network.h"
#include "road/sign_destination.h"
#include "road_fixture.h"

namespace {

// A road of two edges from node 0 over node 1 to node 2, which is arm 1 of a crossing over the nodes
// 3, 2, 4 and 5 (arm slots 0 to 3); every node named by ten times its index.
class sign_destination_test : public road_test_t {
protected:
    void SetUp() override
    {
        road_test_t::SetUp();
        for (int i = 0; i < 6; ++i) {
            const int32_t node = network.add_node({1000.0f * static_cast<float>(i), 0.0f, 0.0f});
            network.nodes[node].links[0] = network.nodes[node].links[1] = -1;
            network.nodes[node].link_kinds[0] = network.nodes[node].link_kinds[1] = map_edge_road;
            network.nodes[node].road_name = 10 * i;
        }
        road(0, 1);
        road(1, 2);
        const int32_t cross = network.add_edge();
        network.edges[cross].kind = map_edge_cross;
        const int32_t arms[4] = {3, 2, 4, 5};
        for (int slot = 0; slot < 4; ++slot)
            network.edges[cross].nodes[slot] = arms[slot];
        network.nodes[2].links[1] = cross;
        network.nodes[2].link_kinds[1] = map_edge_cross;
    }
    // A road edge from `from` to `to`, linked as the next edge of `from`.
    int32_t road(const int32_t from, const int32_t to)
    {
        const int32_t edge = network.add_edge();
        network.edges[edge].kind = map_edge_road;
        network.edges[edge].nodes[0] = from;
        network.edges[edge].nodes[1] = to;
        network.edges[edge].nodes[2] = network.edges[edge].nodes[3] = -1;
        network.nodes[from].links[1] = edge;
        network.nodes[to].links[0] = edge;
        return edge;
    }
    road_network_t network;
};

TEST_F(sign_destination_test, the_board_names_the_arm_across_the_next_junction)
{
    // Arriving at slot 1, the arm across is slot 3 (node 5); without it, the one beside (slot 0).
    EXPECT_EQ(sign_destination(network, 0, false), 50);
    network.edges[2].nodes[3] = -1;
    EXPECT_EQ(sign_destination(network, 0, false), 30);
    network.edges[2].nodes[0] = -1;
    EXPECT_EQ(sign_destination(network, 0, false), -1);
}

TEST_F(sign_destination_test, roads_that_end_or_run_in_a_ring_have_no_destination)
{
    // Backwards from edge 1 the road ends at node 0.
    EXPECT_EQ(sign_destination(network, 1, true), -1);
    EXPECT_EQ(sign_destination(network, 7, false), -1);
    // Node 2 leads back to node 0: a ring without a junction.
    network.nodes[2].links[1] = 0;
    network.nodes[2].link_kinds[1] = map_edge_road;
    EXPECT_EQ(sign_destination(network, 0, false), -1);
}

}  // namespace
