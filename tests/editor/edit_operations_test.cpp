#include <cmath>
#include <vector>

#include "engine/geometry.h"
#include "editor_fixture.h"

namespace {

using edit_operations = editor_test_t;

TEST_F(edit_operations, a_road_links_its_nodes_and_measures_its_curve)
{
    const int32_t a = node(0.0f, 0.0f);
    const int32_t b = node(1000.0f, 0.0f);
    const int32_t e = road(a, b);
    ASSERT_EQ(e, 0);
    EXPECT_EQ(ctrl.nodes[a].links[1], e);
    EXPECT_EQ(ctrl.nodes[b].links[0], e);
    EXPECT_EQ(ctrl.nodes[a].flags & 1u, 1u);
    EXPECT_EQ(ctrl.nodes[b].flags & 1u, 0u);
    EXPECT_EQ(ctrl.edges[e].segment_slot, -1);
    EXPECT_EQ(ctrl.edges[e].sign, -1);
    // One more than the sum of the 300 chords of the curve.
    float chords = 0.0f;
    vec3_t previous = ctrl.nodes[a].position;
    for (int i = 1; i <= 300; ++i) {
        vec3_t p;
        smooth_curve(ctrl.nodes[a].position, ctrl.nodes[a].direction, ctrl.nodes[b].position, ctrl.nodes[a].direction,
                     static_cast<float>(i) * 0.0033333334f, p, nullptr);
        chords += (p - previous).length();
        previous = p;
    }
    EXPECT_FLOAT_EQ(ctrl.edges[e].length, chords + 1.0f);
    // Without built geometry the edge still has bounds around its nodes, so it streams.
    EXPECT_LE(ctrl.edges[e].bounds.minimum[0], 0.0f);
    EXPECT_GE(ctrl.edges[e].bounds.maximum[0], 1000.0f);
    EXPECT_NE(ctrl.item_tree(), nullptr);
}

TEST_F(edit_operations, validity_rules_refuse_with_their_messages)
{
    const int32_t a = node(0.0f, 0.0f), b = node(1000.0f, 0.0f), c = node(2000.0f, 0.0f);
    road(a, b);
    road(b, c);
    // b has edges on both sides; a already begins an edge; c is where a Road ends.
    EXPECT_FALSE(ctrl.can_begin_edge(b));
    EXPECT_FALSE(ctrl.can_begin_edge(a));
    EXPECT_FALSE(ctrl.can_end_edge(c));
    EXPECT_TRUE(ctrl.can_begin_edge(c));
    EXPECT_TRUE(engine_log_has("Edge cannot begin at this node."));
    EXPECT_TRUE(engine_log_has("Edge cannot end at this node."));
    EXPECT_EQ(ctrl.create_edge(a, a), -1);
}

TEST_F(edit_operations, removing_the_only_edge_deletes_both_nodes)
{
    const int32_t e = road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
    ctrl.remove_edge(e);
    EXPECT_EQ(ctrl.edges.count, 0);
    EXPECT_EQ(ctrl.nodes.count, 0);
}

TEST_F(edit_operations, removing_an_edge_renumbers_nodes_edges_signs_stamps_and_the_held_node)
{
    // A chain n0 - n1 - n2 - n3 of three roads; the middle one goes.
    int32_t n[4];
    for (int i = 0; i < 4; ++i)
        n[i] = node(1000.0f * static_cast<float>(i), 0.0f);
    ctrl.defaults.stamps[0] = map_stamp_t{2, 0, 1, 1};
    for (int i = 0; i < 3; ++i)
        road(n[i], n[i + 1]);
    ASSERT_EQ(ctrl.stamps.count, 12);
    const int32_t sign = ctrl.add_sign();
    ctrl.signs[sign].edge = 2;
    ctrl.edges[2].sign = sign;
    // Removing the first road deletes node 0: the held node 3 becomes 2.
    ctrl.mode = edit_mode_new_item;
    ctrl.pointer.held = n[3];
    ctrl.pointer.create_state = 1;
    ctrl.remove_edge(0);
    ASSERT_EQ(ctrl.edges.count, 2);
    ASSERT_EQ(ctrl.nodes.count, 3);
    EXPECT_EQ(ctrl.pointer.held, 2);
    EXPECT_EQ(ctrl.edges[0].nodes[0], 0);
    EXPECT_EQ(ctrl.edges[0].nodes[1], 1);
    EXPECT_EQ(ctrl.edges[1].nodes[0], 1);
    EXPECT_EQ(ctrl.edges[1].nodes[1], 2);
    EXPECT_EQ(ctrl.nodes[0].links[0], -1);
    EXPECT_EQ(ctrl.nodes[0].links[1], 0);
    EXPECT_EQ(ctrl.nodes[1].links[0], 0);
    EXPECT_EQ(ctrl.nodes[1].links[1], 1);
    EXPECT_EQ(ctrl.nodes[2].links[0], 1);
    // The first road's start node kept no "begins here" mark it no longer has.
    EXPECT_EQ(ctrl.signs[0].edge, 1);
    EXPECT_EQ(ctrl.edges[1].sign, 0);
    EXPECT_EQ(ctrl.stamps.count, 8);
    EXPECT_EQ(ctrl.edges[0].stamp, 0);
    EXPECT_EQ(ctrl.edges[1].stamp, 4);
    // Removing the road that carries the sign removes the sign too.
    ctrl.remove_edge(1);
    EXPECT_EQ(ctrl.signs.count, 0);
    EXPECT_EQ(ctrl.pointer.held, -1);
    EXPECT_EQ(ctrl.pointer.create_state, 0);
}

TEST_F(edit_operations, a_dropped_road_end_joins_a_free_node_and_keeps_its_other_end)
{
    const int32_t a = node(0.0f, 0.0f), b = node(1000.0f, 0.0f), c = node(1000.0f, 5.0f), d = node(2000.0f, 0.0f);
    road(a, b);
    road(c, d);
    ctrl.pointer.picked_type = edit_pick_node;
    ctrl.pointer.picked_item = b;
    ctrl.pointer.held = b;
    int32_t moved = -2;
    ASSERT_TRUE(ctrl.join_nodes(b, c, &moved));
    EXPECT_EQ(moved, 0);
    ASSERT_EQ(ctrl.nodes.count, 3);
    // c was node 2 and is node 1 now; the held node follows it.
    EXPECT_EQ(ctrl.pointer.held, 1);
    EXPECT_EQ(ctrl.edges[0].nodes[0], 0);
    EXPECT_EQ(ctrl.edges[0].nodes[1], 1);
    EXPECT_EQ(ctrl.edges[1].nodes[0], 1);
    EXPECT_EQ(ctrl.edges[1].nodes[1], 2);
    EXPECT_EQ(ctrl.nodes[1].links[0], 0);
    EXPECT_EQ(ctrl.nodes[1].links[1], 1);
    // Two nodes that both begin an edge are not joined.
    EXPECT_FALSE(ctrl.join_nodes(0, 1, nullptr));
    (void)d;
}

TEST_F(edit_operations, splitting_a_node_detaches_its_forward_edge_onto_a_new_node)
{
    const int32_t a = node(0.0f, 0.0f), b = node(1000.0f, 0.0f), c = node(2000.0f, 0.0f);
    road(a, b);
    const int32_t second = road(b, c);
    ctrl.pointer.picked_type = edit_pick_node;
    ctrl.pointer.held = b;
    ctrl.split_node();
    ASSERT_EQ(ctrl.nodes.count, 4);
    EXPECT_EQ(ctrl.pointer.held, 3);
    EXPECT_EQ(ctrl.edges[second].nodes[0], 3);
    EXPECT_EQ(ctrl.nodes[b].links[1], -1);
    EXPECT_EQ(ctrl.nodes[b].flags & 1u, 0u);
    EXPECT_EQ(ctrl.nodes[3].links[0], -1);
    EXPECT_EQ(ctrl.nodes[3].links[1], second);
    EXPECT_EQ(ctrl.nodes[3].position, ctrl.nodes[b].position);
}

TEST_F(edit_operations, moving_a_node_keeps_its_height_and_turns_the_roads)
{
    const int32_t a = node(0.0f, 0.0f), b = node(1000.0f, 0.0f);
    road(a, b);
    ctrl.nodes[b].position.y = 50.0f;
    ctrl.move_node(b, vec3_t(0.0f, 900.0f, 1000.0f));
    EXPECT_EQ(ctrl.nodes[b].position, vec3_t(0.0f, 50.0f, 1000.0f));
    EXPECT_NEAR(ctrl.nodes[a].direction.z, 1.0f, 1e-2f);
    EXPECT_FLOAT_EQ(ctrl.raise_node(b, 10.0f), 60.0f);
    EXPECT_EQ(ctrl.node_height, 60);
}

TEST_F(edit_operations, noise_rows_go_on_along_a_chain_of_roads_and_stop_at_the_limit)
{
    // Roads of segment length 1000 leaving a junction at node p.
    ctrl.seg_server->road_defs.resize(1);
    ctrl.seg_server->road_defs[0].parts[0].length = 1000.0f;
    const int32_t p = node(0.0f, 0.0f), b = node(2500.0f, 0.0f), c = node(3500.0f, 0.0f), d = node(5000.0f, 0.0f);
    const int32_t first = road(p, b), second = road(b, c), third = road(c, d);
    ctrl.nodes[p].link_kinds[0] = map_edge_cross;
    for (const int32_t e : {first, second, third})
        ctrl.edges[e].definition = 0;
    ctrl.edges[first].length = 2500.0f;
    ctrl.edges[second].length = 1000.0f;
    ctrl.edges[first].noise_row = 2;

    ctrl.number_noise_from(p);
    EXPECT_EQ(ctrl.edges[second].noise_row, 5);
    EXPECT_EQ(ctrl.edges[third].noise_row, 6);

    // A row of 4096 or more ends the numbering there.
    ctrl.edges[first].noise_row = 4093;
    ctrl.number_noise_from(p);
    EXPECT_EQ(ctrl.edges[second].noise_row, 5);
    ctrl.seg_server->road_defs.clear();
}

// Three roads a, b, c; a has two signs and c one, in the runs [a a c].
class edge_signs : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        a = road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
        b = road(node(0.0f, 5000.0f), node(1000.0f, 5000.0f));
        c = road(node(0.0f, 9000.0f), node(1000.0f, 9000.0f));
        ctrl.add_edge_signs(a);
        ctrl.add_edge_signs(c);
        ctrl.add_edge_signs(a);
    }
    // The owners of the sign records in order.
    std::vector<int32_t> owners() const
    {
        std::vector<int32_t> out;
        for (const map_sign_t& sign : ctrl.signs)
            out.push_back(sign.edge);
        return out;
    }
    // A board the segment server placed for sign `sign`.
    board_instance_t& board(const int32_t sign)
    {
        board_instance_t placed;
        placed.sign = sign;
        return ctrl.seg_server->boards.append(placed)->value();
    }

    int32_t a = -1, b = -1, c = -1;
};

TEST_F(edge_signs, a_new_sign_joins_its_edges_run_and_moves_the_runs_and_placed_boards_behind_it)
{
    EXPECT_EQ(owners(), (std::vector<int32_t>{a, a, c}));
    EXPECT_EQ(ctrl.edges[a].sign, 0);
    EXPECT_EQ(ctrl.edges[c].sign, 2);
    board_instance_t& on_c = board(2);
    EXPECT_EQ(ctrl.add_edge_signs(a), 2);
    EXPECT_EQ(ctrl.edges[c].sign, 3);
    EXPECT_EQ(on_c.sign, 3);
    // The map controller's hook reaches the editor's signs.
    base_ctrl_e& base = ctrl;
    EXPECT_EQ(base.add_edge_signs(b), 4);
    EXPECT_EQ(owners(), (std::vector<int32_t>{a, a, a, c, b}));
    EXPECT_FALSE(engine_log_has("has wrong sign id"));
    ctrl.seg_server->boards.remove_all();
}

TEST_F(edge_signs, removing_signs_lowers_the_numbers_above_and_the_last_one_leaves_no_first_sign)
{
    board_instance_t& on_removed = board(1);
    board_instance_t& on_c = board(2);
    ctrl.remove_signs(a, 1);
    EXPECT_EQ(owners(), (std::vector<int32_t>{a, c}));
    EXPECT_EQ(ctrl.edges[c].sign, 1);
    EXPECT_EQ(on_removed.sign, -1);
    EXPECT_EQ(on_c.sign, 1);
    ctrl.remove_signs(c, 1);
    EXPECT_EQ(ctrl.edges[c].sign, -1);
    EXPECT_EQ(ctrl.edges[a].sign, 0);

    // A whole run: the edge's removal takes its signs, the others move down.
    ctrl.add_edge_signs(c);
    ctrl.add_edge_signs(a);
    EXPECT_EQ(owners(), (std::vector<int32_t>{a, a, c}));
    board_instance_t& on_a = board(0);
    board_instance_t& on_c_again = board(2);
    ctrl.remove_edge_signs(a);
    EXPECT_EQ(owners(), (std::vector<int32_t>{c}));
    EXPECT_EQ(ctrl.edges[a].sign, -1);
    EXPECT_EQ(ctrl.edges[c].sign, 0);
    EXPECT_EQ(on_a.sign, -1);
    EXPECT_EQ(on_c_again.sign, 0);
    EXPECT_FALSE(engine_log_has("has wrong sign id"));
    ctrl.seg_server->boards.remove_all();
}

TEST_F(edit_operations, removing_a_city_block_clears_every_road_naming_it_and_moves_the_numbers_above_down)
{
    const int32_t a = road(node(0.0f, 0.0f), node(1000.0f, 0.0f), map_edge_city_road);
    const int32_t b = road(node(0.0f, 5000.0f), node(1000.0f, 5000.0f), map_edge_city_road);
    const int32_t c = road(node(0.0f, 9000.0f), node(1000.0f, 9000.0f), map_edge_city_road);
    for (int32_t i = 0; i < 3; ++i)
        ctrl.cityblocks[ctrl.add_cityblock()].seed = 10 + i;
    ctrl.edges[a].sides[0].profile = 0;
    ctrl.edges[b].sides[1].profile = 1;
    ctrl.edges[c].sides[0].profile = 1;
    ctrl.edges[c].sides[1].profile = 2;
    segment_t& slot = *ctrl.segment_slot(0);
    slot.city_blocks[0] = 1;
    slot.city_blocks[1] = 2;

    ctrl.remove_city_block(b, 1);
    ASSERT_EQ(ctrl.cityblocks.count, 2);
    EXPECT_EQ(ctrl.cityblocks[1].seed, 12);
    EXPECT_EQ(ctrl.edges[a].sides[0].profile, 0);
    EXPECT_EQ(ctrl.edges[b].sides[1].profile, -1);
    EXPECT_EQ(ctrl.edges[c].sides[0].profile, -1);
    EXPECT_EQ(ctrl.edges[c].sides[1].profile, 1);
    EXPECT_EQ(slot.city_blocks[0], -1);
    EXPECT_EQ(slot.city_blocks[1], 1);
    slot.city_blocks[1] = -1;
    // A side without a block, and a Road, change nothing.
    ctrl.remove_city_block(b, 1);
    ctrl.remove_city_block(a, 1);
    EXPECT_EQ(ctrl.cityblocks.count, 2);
}

}  // namespace
