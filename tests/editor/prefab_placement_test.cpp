#include "road/prefab.h"
#include "editor_fixture.h"

namespace {

// A controller whose segment server holds one Cross prefab: four arms 1000 from its centre, one curve
// per arm.
class prefab_placement : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        prefab_t cross;
        for (const vec3_t& p : {vec3_t(0.0f, 0.0f, 1000.0f), vec3_t(1000.0f, 0.0f, 0.0f), vec3_t(0.0f, 0.0f, -1000.0f),
                                vec3_t(-1000.0f, 0.0f, 0.0f)}) {
            prefab_node_t node;
            node.position = p;
            cross.nodes.push_back(node);
        }
        cross.curves.resize(4);
        ctrl.seg_server->prefab_table[seg_crosses].push_back(cross);
        ctrl.seg_server->prefab_table[seg_forks].emplace_back();
    }
};

TEST_F(prefab_placement, a_cross_turned_once_places_its_nodes_around_the_origin_node)
{
    ctrl.defaults.edges[edit_default_cross].flags |= 1u;
    ctrl.sub_mode = edit_sub_cross;
    const int32_t origin = node(5000.0f, 5000.0f);
    const int32_t e = ctrl.create_edge(origin, -1);
    ASSERT_EQ(e, 0);
    const map_edge_t& cross = ctrl.edges[e];
    ASSERT_EQ(ctrl.nodes.count, 4);
    EXPECT_EQ(cross.nodes[0], origin);
    const vec3_t expected[4] = {
        {5000.0f, 0.0f, 5000.0f}, {4000.0f, 0.0f, 4000.0f}, {3000.0f, 0.0f, 5000.0f}, {4000.0f, 0.0f, 6000.0f}};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(ctrl.nodes.valid(cross.nodes[i])) << i;
        EXPECT_EQ(ctrl.nodes[cross.nodes[i]].position, expected[i]) << i;
        EXPECT_EQ(ctrl.nodes[cross.nodes[i]].links[1], e) << i;
    }
    EXPECT_EQ(ctrl.nodes[origin].flags & 1u, 1u);
    // The node's direction is the first of the table turned once: (1, 0, 0) becomes (0, 0, -1).
    EXPECT_EQ(ctrl.nodes[origin].direction, vec3_t(0.0f, 0.0f, -1.0f));
}

TEST_F(prefab_placement, junctions_reserve_one_semaphore_per_curve_and_sixteen_more)
{
    ctrl.sub_mode = edit_sub_cross;
    ctrl.create_edge(node(0.0f, 0.0f), -1);
    // A Fork whose prefab has no curve still reserves 16.
    ctrl.sub_mode = edit_sub_fork;
    const int32_t fork = ctrl.create_edge(node(9000.0f, 0.0f), -1);
    ctrl.number_edge_data();
    EXPECT_EQ(ctrl.edges[0].semaphore, 0);
    EXPECT_EQ(ctrl.edges[fork].semaphore, 20);
    EXPECT_EQ(ctrl.semaphore_count, 36);
}

TEST_F(prefab_placement, roads_that_meet_a_crosss_arm_leave_it_along_the_arm)
{
    ctrl.sub_mode = edit_sub_cross;
    const int32_t origin = node(0.0f, 0.0f);
    const int32_t cross = ctrl.create_edge(origin, -1);
    ASSERT_EQ(cross, 0);
    // Arms, as placed: origin (0, 0, 0), east (1000, 0, -1000), north (0, 0, -2000), west (-1000, 0, -1000).
    const int32_t north = ctrl.edges[cross].nodes[2];
    const int32_t east = ctrl.edges[cross].nodes[1];
    // A road arriving at the north arm from further north heads south into the crossing; one leaving
    // the east arm heads east.
    road(node(0.0f, -6000.0f), north);
    EXPECT_EQ(ctrl.nodes[north].direction, vec3_t(0.0f, 0.0f, 1.0f));
    road(east, node(5000.0f, -1000.0f));
    EXPECT_EQ(ctrl.nodes[east].direction, vec3_t(1.0f, 0.0f, 0.0f));
}

}  // namespace
