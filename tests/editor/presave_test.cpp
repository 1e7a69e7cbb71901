#include "editor_fixture.h"

namespace {

using presave = editor_test_t;

// A Fork edge over `nodes` (its first node the origin), linked into them as the prefab placement does.
int32_t fork(edit_ctrl_e& ctrl, std::initializer_list<int32_t> nodes)
{
    const int32_t index = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[index];
    edge = edit_default_edge_template(map_edge_fork);
    int slot = 0;
    for (const int32_t n : nodes) {
        edge.nodes[slot++] = n;
        map_node_t& node = ctrl.nodes[n];
        const int side = node.links[1] == -1 ? 1 : 0;
        node.links[side] = index;
        node.link_kinds[side] = map_edge_fork;
    }
    return index;
}

TEST_F(presave, a_ring_of_roads_without_junctions_keeps_no_run_and_no_semaphores)
{
    const int32_t a = node(0.0f, 0.0f), b = node(1000.0f, 0.0f), c = node(0.0f, 1000.0f);
    road(a, b);
    road(b, c);
    road(c, a);
    ctrl.prepare_save();
    ctrl.number_edge_data();
    for (const map_edge_t& edge : ctrl.edges)
        EXPECT_EQ(edge.traffic_road, -1);
    EXPECT_EQ(ctrl.semaphore_count, 0);
}

TEST_F(presave, runs_between_junctions_are_numbered_from_100000_in_the_order_met)
{
    // A Fork at n0; a run of two roads n0 - n1 - n2 ending in a ring back to n0 through n3, and a
    // separate road n4 - n5 that no junction reaches.
    const int32_t n0 = node(0.0f, 0.0f), n1 = node(1000.0f, 0.0f), n2 = node(2000.0f, 0.0f);
    const int32_t n4 = node(0.0f, 5000.0f), n5 = node(1000.0f, 5000.0f);
    const int32_t r0 = road(n0, n1);
    const int32_t r1 = road(n1, n2);
    const int32_t lone = road(n4, n5);
    const int32_t n6 = node(-1000.0f, 0.0f);
    const int32_t f = fork(ctrl, {n6});
    const int32_t r2 = road(n6, n0);
    ctrl.prepare_save();
    EXPECT_EQ(ctrl.edges[f].traffic_road, -1);
    EXPECT_EQ(ctrl.edges[r2].traffic_road, 100000);
    EXPECT_EQ(ctrl.edges[r0].traffic_road, 100000);
    EXPECT_EQ(ctrl.edges[r1].traffic_road, 100000);
    EXPECT_EQ(ctrl.edges[lone].traffic_road, -1);
}

TEST_F(presave, spreading_a_road_name_ends_on_a_ring_and_stops_at_a_cross)
{
    int32_t n[4];
    for (int i = 0; i < 4; ++i)
        n[i] = node(1000.0f * static_cast<float>(i % 2), 1000.0f * static_cast<float>(i / 2));
    road(n[0], n[1]);
    road(n[1], n[3]);
    road(n[3], n[2]);
    road(n[2], n[0]);
    for (int i = 0; i < 4; ++i)
        ctrl.nodes[n[i]].road_name = -1;
    ctrl.nodes[n[1]].road_name = 7;
    ctrl.spread_node_value(n[1]);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ctrl.nodes[n[i]].road_name, 7) << i;
}

TEST_F(presave, a_no_weather_area_spans_2000_in_height_and_a_free_item_loses_collision_it_cannot_have)
{
    map_miscitem_t& area = ctrl.miscitems[ctrl.add_miscitem()];
    area.type = map_misc_no_weather;
    area.points[0] = vec3_t(100.0f, 50.0f, 200.0f);
    area.model_words[0] = 300;
    area.model_words[1] = 400;
    map_freeitem_t& item = ctrl.freeitems[ctrl.add_freeitem()];
    item.model = 0;
    item.flags = 3u;
    ctrl.prepare_misc_items();
    ctrl.clean_free_item_flags();
    const map_miscitem_t& done = ctrl.miscitems[0];
    EXPECT_EQ(done.points[1], vec3_t(-200.0f, -650.0f, -200.0f));
    EXPECT_EQ(done.points[2], vec3_t(400.0f, 1350.0f, 600.0f));
    EXPECT_EQ(done.points[3], vec3_t(100.0f, 350.0f, 200.0f));
    EXPECT_EQ(ctrl.freeitems[0].flags, 2u);
}

}  // namespace
