#include <string>
#include <vector>

#include "common/engine_api.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

class seg_instances_test : public seg_test_t {
protected:
    void SetUp() override
    {
        seg_test_t::SetUp();
        write_sample_road_segs();
        ASSERT_GT(server.load(), 0);
    }
    // The server gives its shaders back before the engine is reset.
    void TearDown() override
    {
        server.unload();
        seg_test_t::TearDown();
    }
    // A quad of lane arrow whose vertices all lie at x = `x`.
    static std::vector<vec3_t> quad(const float x) { return std::vector<vec3_t>(6, vec3_t(x, 0.0f, 0.0f)); }

    seg_counted_shaders_t shaders;
    seg_server_t server;
};

TEST_F(seg_instances_test, removing_a_lane_arrow_moves_the_last_quad_into_its_place)
{
    EXPECT_EQ(server.remove_lane_arrow(0), -1);
    const int32_t a = server.add_lane_arrow(quad(1.0f).data(), 2, 100);
    const int32_t b = server.add_lane_arrow(quad(2.0f).data(), 2, 200);
    const int32_t c = server.add_lane_arrow(quad(3.0f).data(), 2, 300);
    EXPECT_EQ(a, 2 << 24);
    EXPECT_EQ(c, (2 << 24) + 12);
    // The last quad moves into the first one's place and its owner is told.
    EXPECT_EQ(server.remove_lane_arrow(a), 300);
    const seg_arrow_packet_t& packet = server.arrow_packets[2];
    EXPECT_EQ(packet.quad_count, 2);
    EXPECT_EQ(packet.positions[0].x, 3.0f);
    EXPECT_FLOAT_EQ(packet.texture_coords[11], 1.0f);
    // Removing the last quad moves nothing; handles past the table or of no kind change nothing.
    EXPECT_EQ(server.remove_lane_arrow(b), -1);
    EXPECT_EQ(server.remove_lane_arrow(b), -1);
    EXPECT_EQ(server.remove_lane_arrow(7 << 24), -1);
    EXPECT_EQ(packet.quad_count, 1);
}

TEST_F(seg_instances_test, a_full_lane_arrow_table_refuses_the_next_quad)
{
    for (int32_t i = 0; i < seg_arrow_quad_capacity; ++i)
        ASSERT_GE(server.add_lane_arrow(quad(0.0f).data(), 0, i), 0);
    EXPECT_EQ(server.add_lane_arrow(quad(0.0f).data(), 0, 100), -1);
    EXPECT_EQ(server.add_lane_arrow(quad(0.0f).data(), 4, 0), -1);
    EXPECT_EQ(server.arrow_packets[0].quad_count, seg_arrow_quad_capacity);
    EXPECT_EQ(engine_log_matching("the table's 100 quads are taken").size(), 1u);
}

TEST_F(seg_instances_test, a_three_board_sign_takes_one_left_and_two_right_windows)
{
    server.sign_models.resize(1);
    server.sign_models[0].board_count = 3;
    server.sign_models[0].flag = 1;
    server.sign_boards.resize(1);
    server.sign_boards[0].model = 0;
    auto* const left = reinterpret_cast<c_item_t*>(0x10);
    auto* const right = reinterpret_cast<c_item_t*>(0x20);
    server.board_stacks[0] = {left};
    server.board_stacks[1] = {right};
    board_instance_node_t* const board = server.add_board_instance(0);
    ASSERT_NE(board, nullptr);
    EXPECT_EQ(board->value().boards[0], left);
    EXPECT_EQ(board->value().boards[1], right);
    EXPECT_EQ(board->value().boards[2], nullptr);
    EXPECT_EQ(board->value().flags, board_model_flag);
    EXPECT_EQ(engine_log_matching("Right board stack exhausted.").size(), 1u);
    server.remove_board_instance(board);
    EXPECT_EQ(server.board_stacks[0].size(), 1u);
    EXPECT_EQ(server.board_stacks[1].size(), 1u);
    // The stand-in windows are no engine windows: the server must not give them back.
    server.board_stacks[0].clear();
    server.board_stacks[1].clear();
    EXPECT_EQ(server.add_board_instance(1), nullptr);
    EXPECT_EQ(server.add_lamp({}, {}, false, 0, false), nullptr);
    EXPECT_EQ(server.add_light({}, {}, -1), nullptr);
    EXPECT_EQ(server.add_mover_instance(0, 0), nullptr);
}

TEST_F(seg_instances_test, lamp_masks_light_one_word_of_their_pair)
{
    struct mask_case_t {
        uint8_t mask;
        int32_t words[4];
    };
    const mask_case_t cases[] = {
        {64, {1, 0, 0, 0}}, {128, {2, 0, 0, 0}}, {16, {0, 1, 0, 0}}, {32, {0, 2, 0, 0}},
        {4, {0, 0, 1, 0}},  {8, {0, 0, 2, 0}},   {1, {0, 0, 0, 1}},  {2, {0, 0, 0, 2}},
        {0, {0, 0, 0, 0}},  {3, {0, 0, 0, 0}},   {96, {0, 0, 0, 0}}, {255, {0, 0, 0, 0}},
    };
    for (const mask_case_t& c : cases) {
        server.set_lamp_state(64);
        server.set_lamp_state(c.mask);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(server.lamp_state[i], c.words[i]) << int(c.mask) << " word " << i;
    }
}

TEST_F(seg_instances_test, model_instances_are_lit_from_the_sun_and_relit_when_it_moves)
{
    server.veg_models.resize(1);
    server.set_lighting({0.0f, 1.0f, 0.0f}, {0.5f, 0.25f, 1.0f}, {0.2f, 0.1f, 0.0f});
    model_instance_node_t* const up = server.add_model_instance(0, {}, {0.0f, 1.0f, 0.0f}, 5);
    ASSERT_NE(up, nullptr);
    // Red 0.7, green 0.35, blue 1.0.
    EXPECT_EQ(up->value().colour, 0xFFB359FFu);
    // Facing away from the sun it keeps the ambient colour.
    server.set_lighting({0.0f, -1.0f, 0.0f}, {0.5f, 0.25f, 1.0f}, {0.2f, 0.1f, 0.0f});
    EXPECT_EQ(up->value().colour, 0xFF331A00u);
    EXPECT_EQ(server.add_model_instance(0, {}, {}, 64), nullptr);
    EXPECT_EQ(server.add_model_instance(1, {}, {}, 0), nullptr);
    server.remove_model_instance(up);
    EXPECT_TRUE(server.veg_models[0].instances->is_empty());
}

TEST_F(seg_instances_test, the_target_marker_keeps_to_the_models_and_colours_there_are)
{
    server.show_target({1.0f, 2.0f, 3.0f}, 5, 3, 7);
    EXPECT_TRUE(server.target.shown);
    EXPECT_EQ(server.target.model, 2);
    EXPECT_EQ(server.target.colour, 0xFF6699CCu);
    server.show_target({}, 0, -1, -1);
    EXPECT_EQ(server.target.model, 0);
    EXPECT_EQ(server.target.colour, 0xFFFF9966u);
    server.hide_target();
    EXPECT_FALSE(server.target.shown);
    std::vector<int32_t> list = {1, 4, 2, 7};
    seg_server_t::renumber_after_remove(list, 2);
    EXPECT_EQ(list, (std::vector<int32_t>{1, 3, 2, 6}));
}

}  // namespace

namespace {

// A shown free item with an ambient sound, and one without, both at the origin.
class freeitem_sound_test : public seg_test_t {
protected:
    void SetUp() override
    {
        seg_test_t::SetUp();
        write_data_file("sounds/hum.ogg", std::string(1600, 'x'));
        server.freeitem_models.resize(2);
        server.freeitem_models[0].sound = api::snd_new("/sounds/hum.ogg", 5, 10);
        for (const int32_t model : {0, 1}) {
            map_freeitem_t& item = items[items.append(4)];
            item = map_freeitem_t{};
            item.model = model;
            item.bounds.set_empty();
            item.bounds.add_point(0.0f, 0.0f, 0.0f);
            server.show_free_item(items, model);
        }
    }
    void TearDown() override
    {
        api::snd_delete(server.freeitem_models[0].sound);
        server.freeitem_models[0].sound = nullptr;
        seg_test_t::TearDown();
    }
    // The query box around `x` on the x axis.
    static cd_bounds_t box_at(const float x)
    {
        cd_bounds_t box;
        box.set_empty();
        box.add_point(x, 0.0f, 0.0f);
        box.widen(10.0f);
        return box;
    }

    seg_server_t server;
    map_array_t<map_freeitem_t> items;
};

TEST_F(freeitem_sound_test, an_item_out_of_view_keeps_sounding_within_earshot)
{
    snd_sound_t* const hum = server.freeitem_models[0].sound;
    ASSERT_NE(hum, nullptr);
    EXPECT_TRUE(api::snd_playing(hum));
    EXPECT_EQ(server.shown_freeitems, (std::vector<int32_t>{0, 1}));
    // Out of the query box: the silent item leaves, the sounding one stays listed but not drawn.
    server.update_sounds(items, box_at(5000.0f));
    EXPECT_EQ(server.shown_freeitems, std::vector<int32_t>{0});
    EXPECT_EQ(items[0].shown & 0xFF, 0u);
    EXPECT_TRUE(api::snd_playing(hum));
    // Past 35000 units from the camera it leaves too and falls silent.
    items[0].position = {40000.0f, 0.0f, 0.0f};
    server.update_sounds(items, box_at(5000.0f));
    EXPECT_TRUE(server.shown_freeitems.empty());
    EXPECT_FALSE(api::snd_playing(hum));
    server.show_free_item(items, 0);
    server.hide_free_item(items, 0);
    EXPECT_TRUE(server.shown_freeitems.empty());
    EXPECT_FALSE(api::snd_playing(hum));
}

}  // namespace
