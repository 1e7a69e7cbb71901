#include <cstdio>

#include "engine/win32_record.h"
#include "editor/dialogs/create_prop_dialog.h"
#include "editor_fixture.h"
#include "road/prefab.h"
#include "road/seg_server.h"

namespace {

// A controller whose server holds a city road 1000 wide (its side lines 500 either side of its
// middle), a Cross of four arms (north, east, south, west, 1000 from its centre), two sign
// definitions (of two and of three boards), two sign texts and two city-block looks.
class signs_city_blocks : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        seg_server_t& server = *ctrl.seg_server;
        server.city_road_defs.resize(1);
        server.city_road_defs[0].parts[0].right_xy[0] = 500.0f;
        server.city_road_defs[0].parts[0].left_xy[0] = -500.0f;
        prefab_t cross;
        for (const vec3_t& p : {vec3_t(0.0f, 0.0f, -1000.0f), vec3_t(1000.0f, 0.0f, 0.0f), vec3_t(0.0f, 0.0f, 1000.0f),
                                vec3_t(-1000.0f, 0.0f, 0.0f)}) {
            prefab_node_t node;
            node.position = p;
            cross.nodes.push_back(node);
        }
        cross.curves.resize(4);
        server.prefab_table[seg_crosses].push_back(cross);
        server.sign_models.resize(2);
        server.sign_models[0].board_count = 2;
        server.sign_models[1].board_count = 3;
        server.sign_boards.resize(2);
        for (int i = 0; i < 2; ++i) {
            std::snprintf(server.sign_boards[i].name, sizeof server.sign_boards[i].name, "sign%d", i);
            server.sign_boards[i].model = i;
        }
        server.sign_texts.resize(2);
        std::snprintf(server.sign_texts[1].text, sizeof server.sign_texts[1].text, "Brenmoor");
        server.cityblock_looks.resize(2);
    }
    int32_t city_road(int32_t a, int32_t b) { return road(a, b, map_edge_city_road); }
    // Runs the dialog of `type` on edge `e` with `act` as the user; its result.
    int dialog(int32_t e, int type, uint32_t extra, std::function<void(HWND)> act)
    {
        win32_queue_dialog_user(std::move(act));
        return create_prop_dialog(&ctrl.edges[e], ctrl, type, extra);
    }
};

TEST_F(signs_city_blocks, a_lone_city_road_gets_the_rectangle_beside_it_as_deep_as_it_is_long)
{
    const int32_t e = city_road(node(0.0f, 0.0f), node(10000.0f, 0.0f));
    ASSERT_EQ(ctrl.nodes[ctrl.edges[e].nodes[0]].direction, vec3_t(1.0f, 0.0f, 0.0f));
    ASSERT_EQ(ctrl.add_city_block(e, 1), 0);
    const map_cityblock_t& block = ctrl.cityblocks[0];
    EXPECT_EQ(ctrl.edges[e].sides[1].profile, 0);
    EXPECT_EQ(block.point_count, 4);
    EXPECT_EQ(block.shader, -1);
    const vec3_t corners[4] = {
        {0.0f, 20.0f, 500.0f}, {10000.0f, 20.0f, 500.0f}, {10000.0f, 20.0f, 10500.0f}, {0.0f, 20.0f, 10500.0f}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(block.points[i], corners[i]) << i;
    // Texture coordinates in thousandths of the ground, less the whole repeats of their mean (5, 6).
    EXPECT_FLOAT_EQ(block.texcoords[2][0], 5.0f);
    EXPECT_FLOAT_EQ(block.texcoords[2][1], 4.5f);
    EXPECT_FLOAT_EQ(block.texcoords[0][1], -5.5f);
    EXPECT_EQ(block.normals[0], vec3_t(0.0f, 1.0f, 0.0f)) << "the ground quad faces up";
    // The other side: the same, mirrored.
    ASSERT_EQ(ctrl.add_city_block(e, 0), 1);
    EXPECT_EQ(ctrl.cityblocks[1].points[0], vec3_t(10000.0f, 20.0f, -500.0f));
    EXPECT_EQ(ctrl.cityblocks[1].points[2], vec3_t(0.0f, 20.0f, -10500.0f));
    EXPECT_EQ(ctrl.add_city_block(e, 0), 1) << "a side that has its block keeps it";
    EXPECT_EQ(ctrl.cityblocks.count, 2);
}

TEST_F(signs_city_blocks, a_block_round_a_crossing_takes_the_next_road_and_its_old_block_keeping_the_numbers_true)
{
    ctrl.sub_mode = edit_sub_cross;
    const int32_t cross = ctrl.create_edge(node(0.0f, 0.0f), -1);
    ASSERT_EQ(cross, 0);
    const int32_t south = ctrl.edges[cross].nodes[2];
    const int32_t east = ctrl.edges[cross].nodes[1];
    // One road comes into the crossing's east arm from the east with a block on the side towards the
    // south arm, where no road is yet; a road far off has a block too.
    const int32_t into_east = city_road(node(12000.0f, 1000.0f), east);
    const int32_t other = city_road(node(50000.0f, 0.0f), node(60000.0f, 0.0f));
    ASSERT_EQ(ctrl.add_city_block(into_east, 0), 0);
    ASSERT_EQ(ctrl.add_city_block(other, 1), 1);
    // Then a road comes into the south arm from the south: the block on its second side lies in the
    // corner between the two roads.
    const int32_t into_south = city_road(node(0.0f, 12000.0f), south);
    ASSERT_EQ(ctrl.cityblocks.count, 2);

    // The walk gives up the second road's block (number 0), which moves the new one from 2 to 1.
    EXPECT_EQ(ctrl.add_city_block(into_south, 1), 1);
    EXPECT_EQ(ctrl.cityblocks.count, 2);
    EXPECT_EQ(ctrl.edges[into_south].sides[1].profile, 1);
    EXPECT_EQ(ctrl.edges[into_east].sides[0].profile, 1) << "the road met runs against the walk";
    EXPECT_EQ(ctrl.edges[other].sides[1].profile, 0) << "the third road's block moved down with its record";
    EXPECT_EQ(ctrl.cityblocks[1].point_count, 4);

    ctrl.remove_city_block(into_south, 1);
    EXPECT_EQ(ctrl.edges[into_east].sides[0].profile, -1) << "a removed block leaves every road that named it";
    EXPECT_EQ(ctrl.cityblocks.count, 1);
}

TEST_F(signs_city_blocks, the_city_road_dialog_adds_a_block_by_its_check_box_and_writes_it_on_ok)
{
    const int32_t e = city_road(node(0.0f, 0.0f), node(10000.0f, 3000.0f));
    EXPECT_EQ(dialog(e, prop_type_edge, 0,
                     [](HWND d) {
                         for (const int id : {1022, 1024, 1000, 1023, 1025, 1001})
                             EXPECT_FALSE(dialog_control(d, id).enabled) << id;
                         EXPECT_TRUE(dialog_control(d, 1050).enabled) << "off both axes: axis align is offered";
                         win32_dialog_press(d, 1130);
                         EXPECT_TRUE(dialog_control(d, 1130).checked);
                         for (const int id : {1022, 1024, 1000})
                             EXPECT_TRUE(dialog_control(d, id).enabled) << id;
                         EXPECT_FALSE(dialog_control(d, 1023).enabled);
                         win32_dialog_pick(d, 1024, 1);
                         win32_dialog_type(d, 1000, "77");
                         win32_dialog_press(d, 1050);
                         win32_dialog_press(d, 1);
                     }),
              1);
    ASSERT_EQ(ctrl.edges[e].sides[0].profile, 0);
    EXPECT_EQ(ctrl.cityblocks[0].definition, 1);
    EXPECT_EQ(ctrl.cityblocks[0].seed, 77);
    EXPECT_EQ(ctrl.nodes[ctrl.edges[e].nodes[1]].position.z, 0.0f) << "the end node lined up along x";
    // The block added stays when the dialog is cancelled; unchecking removes it at once.
    EXPECT_EQ(dialog(e, prop_type_edge, 0,
                     [](HWND d) {
                         EXPECT_EQ(dialog_control(d, 1000).text, "77");
                         win32_dialog_press(d, 1131);
                         win32_dialog_press(d, 1130);
                         win32_dialog_press(d, 2);
                     }),
              0);
    EXPECT_EQ(ctrl.edges[e].sides[0].profile, -1);
    EXPECT_EQ(ctrl.edges[e].sides[1].profile, 0);
    EXPECT_EQ(ctrl.cityblocks.count, 1);
    ASSERT_EQ(win32_dialogs().size(), 2u);
    EXPECT_EQ(win32_dialogs()[0].template_id, 107);
}

TEST_F(signs_city_blocks, the_signs_dialog_adds_edits_and_removes_signs_renumbering_the_list)
{
    const int32_t a = node(0.0f, 0.0f);
    const int32_t b = node(2000.0f, 0.0f);
    const int32_t first = road(a, b);
    const int32_t second = road(b, node(4000.0f, 0.0f));
    ASSERT_EQ(ctrl.add_edge_signs(first), 0);
    ASSERT_EQ(ctrl.add_edge_signs(second), 1);
    EXPECT_EQ(dialog(first, prop_type_signs, 0,
                     [](HWND d) {
                         EXPECT_EQ(dialog_control(d, 1070).rows.size(), 1u);
                         EXPECT_EQ(dialog_control(d, 1070).selected, -1);
                         EXPECT_FALSE(dialog_control(d, 1020).enabled) << "no sign chosen: its controls are disabled";
                         EXPECT_FALSE(dialog_control(d, 1051).enabled);
                         win32_dialog_press(d, 1050);
                         const win32_control_t list = dialog_control(d, 1070);
                         ASSERT_EQ(list.rows.size(), 2u);
                         EXPECT_EQ(list.rows[1].first, "Sign #01");
                         EXPECT_EQ(list.selected, 1) << "the added sign is current";
                         // A three-board definition points its boards left, straight on and right.
                         win32_dialog_pick(d, 1020, 1);
                         EXPECT_TRUE(dialog_control(d, 1096).checked) << "board 1: left";
                         win32_dialog_press(d, 1093);
                         EXPECT_TRUE(dialog_control(d, 1098).checked) << "board 2: straight";
                         win32_dialog_pick(d, 1021, 1);
                         win32_dialog_press(d, 1101);
                         win32_dialog_press(d, 1090);
                         win32_dialog_type(d, 1000, "-350");
                         for (int i = 0; i < 10; ++i)
                             win32_dialog_scroll(d, 1110, TB_PAGEDOWN);
                         win32_dialog_scroll(d, 1110, TB_LINEDOWN);
                         win32_dialog_press(d, 1);
                     }),
              1);
    ASSERT_EQ(ctrl.signs.count, 3);
    EXPECT_EQ(ctrl.edges[first].sign, 0);
    EXPECT_EQ(ctrl.edges[second].sign, 2) << "the run behind the new sign moved up by one";
    const map_sign_t& sign = ctrl.signs[1];
    EXPECT_EQ(sign.edge, first);
    EXPECT_EQ(sign.definition, 1);
    EXPECT_EQ(sign.first_symbols[1], 1);
    EXPECT_EQ(sign.offset, -350);
    EXPECT_FLOAT_EQ(sign.position, 0.999f);
    EXPECT_EQ(sign.board_flags, (1u << 28) | 1u | 3u << 4 | 2u << 8 | 2u << 16);

    // Opened on sign 1 (extra 2): board 1 shows; removing it leaves the first sign only.
    EXPECT_EQ(dialog(first, prop_type_signs, 2,
                     [](HWND d) {
                         EXPECT_EQ(dialog_control(d, 1070).selected, 1);
                         EXPECT_TRUE(dialog_control(d, 1092).checked);
                         EXPECT_EQ(dialog_control(d, 1110).position, 999);
                         EXPECT_TRUE(dialog_control(d, 1090).checked);
                         win32_dialog_press(d, 1051);
                         EXPECT_EQ(dialog_control(d, 1070).rows.size(), 1u);
                         EXPECT_FALSE(dialog_control(d, 1020).enabled) << "no sign is current after a removal";
                         EXPECT_FALSE(win32_dialog_press(d, 1095)) << "arrows do nothing without a sign";
                         win32_dialog_press(d, 1);
                     }),
              1);
    EXPECT_EQ(ctrl.signs.count, 2);
    EXPECT_EQ(ctrl.edges[second].sign, 1);
}

TEST_F(signs_city_blocks, a_crossings_signs_keep_their_prefab_settings_and_only_boards_change)
{
    ctrl.sub_mode = edit_sub_cross;
    const int32_t cross = ctrl.create_edge(node(0.0f, 0.0f), -1);
    const int32_t sign = ctrl.add_edge_signs(cross);
    ASSERT_EQ(sign, 0);
    EXPECT_EQ(dialog(cross, prop_type_signs, 1,
                     [](HWND d) {
                         EXPECT_EQ(dialog_control(d, 900).text, "Edge index : 0");
                         for (const int id : {1050, 1051, 1020, 1110, 1000, 1090, 1091, 1095, 1096, 1097, 1098})
                             EXPECT_FALSE(dialog_control(d, id).enabled) << id;
                         for (const int id : {1092, 1021, 1022, 1099, 1103})
                             EXPECT_TRUE(dialog_control(d, id).enabled) << id;
                         win32_dialog_press(d, 1094);
                         win32_dialog_press(d, 1103);
                         win32_dialog_press(d, 1);
                     }),
              1);
    EXPECT_EQ(ctrl.signs[0].board_flags, 4u << 20) << "board 3 points west";
    EXPECT_EQ(ctrl.signs.count, 1);
}

}  // namespace
