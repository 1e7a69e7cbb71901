#include <cstdio>
#include <string>

#include "road/base_ctrl.h"
#include "road/sign_board.h"
#include "road_fixture.h"

namespace {

TEST(sign_board_test, place_names_choose_their_colour_and_background_by_their_letters)
{
    struct key_case_t {
        const char* name;
        int32_t index;
        const char* key;
        int32_t background;
    };
    const key_case_t cases[] = {
        {"Halvik", 3, "ff000000|Halvik", 1},
        {"IMotorway", 4, "ffffffff|Motorway", 0},
        {"Acre", 5, "ff000000|  ", -1},
        {"  ", -1, "ff000000|  ", -1},
        {"", 2, "ff000000|", 1},
    };
    for (const key_case_t& c : cases) {
        std::string key;
        EXPECT_EQ(sign_board_key(c.name, c.index, key), c.background) << c.name;
        EXPECT_EQ(key, c.key) << c.name;
    }
    EXPECT_STREQ(sign_compass_label(2), "@@gb_east@@");
    EXPECT_STREQ(sign_compass_label(9), " ");
}

}  // namespace

namespace {

using sign_visual_test = road_test_t;

TEST_F(sign_visual_test, a_sign_board_takes_its_arrows_place_backgrounds_and_record_index)
{
    base_ctrl_e ctrl;
    ASSERT_EQ(ctrl.init(-10), 0);
    ctrl.seg_server = new seg_server_t;
    seg_server_t& server = *ctrl.seg_server;
    server.sign_models.resize(1);
    server.sign_models[0].board_count = 2;
    server.sign_boards.resize(1);
    server.sign_boards[0].model = 0;
    server.place_names.resize(2);
    std::snprintf(server.place_names[1].name, sizeof server.place_names[1].name, "%s", "IRing");
    const int32_t edge = ctrl.add_edge();
    ctrl.edges[edge].nodes[0] = ctrl.edges[edge].nodes[1] = -1;
    map_sign_t& sign = ctrl.signs[ctrl.add_sign()];
    sign.edge = edge;
    // Board 0 turns right (2, stored 1); board 1 goes straight on (3, stored 2).
    sign.board_flags = 2u | 3u << 4;
    board_instance_node_t* const node = ctrl.build_sign_visual({1.0f, 2.0f, 3.0f}, {}, edge, sign, 1);
    ASSERT_NE(node, nullptr);
    const board_instance_t& board = node->value();
    EXPECT_EQ(board.position, vec3_t(1.0f, 2.0f, 3.0f));
    EXPECT_EQ(board.arrows[0], 1);
    EXPECT_EQ(board.arrows[1], 2);
    EXPECT_EQ(board.arrows[2], -1);
    // Board 0 names a white place; board 1 finds no junction and stays blank; board 2 is untouched.
    EXPECT_EQ(board.road_backgrounds[0], 0);
    EXPECT_EQ(board.road_backgrounds[1], -1);
    EXPECT_EQ(board.sign, 0);
    EXPECT_EQ(ctrl.place_name(7), std::string("  "));
    sign.definition = 3;
    EXPECT_EQ(ctrl.build_sign_visual({}, {}, edge, sign, 1), nullptr);
}

}  // namespace
