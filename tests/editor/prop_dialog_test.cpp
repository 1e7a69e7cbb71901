#include <cstdio>
#include <string>
#include <string_view>

#include "engine/lcl.h"
#include "engine/win32_record.h"
#include "editor/dialogs/create_prop_dialog.h"
#include "editor/dialogs/prop_dialog.h"
#include "editor/dialogs/stamp_dialogs.h"
#include "editor_fixture.h"
#include "road/seg_server.h"

namespace {

class prop_dialogs : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        a = node(0.0f, 0.0f);
        b = node(2000.0f, 0.0f);
        c = node(4000.0f, 0.0f);
        e = road(a, b);
        road(b, c);
    }
    // Opens the edge dialog of `e` with `act` as the user; its result.
    int edge_dialog(std::function<void(HWND)> act)
    {
        win32_queue_dialog_user(std::move(act));
        return create_prop_dialog(&ctrl.edges[e], ctrl, prop_type_edge, 0);
    }

    int32_t a, b, c, e;
};

TEST_F(prop_dialogs, ok_applies_before_the_end_cancel_never_and_use_as_defaults_answers_2)
{
    const int32_t quads = ctrl.edges[e].sides[0].strip_width;
    EXPECT_EQ(edge_dialog([](HWND d) {
                  win32_dialog_type(d, 1000, "12");
                  win32_dialog_press(d, 2);
              }),
              0);
    EXPECT_EQ(ctrl.edges[e].sides[0].strip_width, quads);
    EXPECT_EQ(edge_dialog([](HWND d) {
                  win32_dialog_type(d, 1000, "12");
                  win32_dialog_press(d, 1);
              }),
              1);
    EXPECT_EQ(ctrl.edges[e].sides[0].strip_width, 12);
    EXPECT_EQ(edge_dialog([](HWND d) {
                  win32_dialog_type(d, 1002, "40");
                  win32_dialog_press(d, 890);
              }),
              2);
    EXPECT_EQ(ctrl.edges[e].sides[1].strip_width, 31) << "quad counts are clamped to 31";
    ASSERT_EQ(win32_dialogs().size(), 3u);
    EXPECT_EQ(win32_dialogs()[0].template_id, 100);
    EXPECT_EQ(win32_dialogs()[0].caption, "Road Edge Properties");
}

TEST_F(prop_dialogs, a_bad_number_is_refused_with_a_message_and_the_old_value_kept)
{
    struct bad_t {
        int id;
        const char* typed;
        const char* message;
    };
    const bad_t cases[] = {
        {1000, "-3", "Left quad count must be 0 or more, not -3; it stays 8."},
        {1002, "many", "Right quad count must be a whole number, not \"many\"; it stays 8."},
        {1001, "fast", "Left profile coefficient must be a number, not \"fast\"; it stays 5."},
        {1003, "", "Right profile coefficient must be a number, not \"\"; it stays 5."},
        {1001, "1e99", "Left profile coefficient must be a number, not \"1e99\"; it stays 5."},
    };
    for (const bad_t& bad : cases) {
        SCOPED_TRACE(bad.typed);
        const map_edge_t before = ctrl.edges[e];
        win32_queue_message_box_answer(IDOK);
        std::string shown;
        // The refused OK leaves the dialog open, showing the old value, until the user cancels.
        EXPECT_EQ(edge_dialog([&](HWND d) {
                      win32_dialog_type(d, 1000 == bad.id ? 1002 : 1000, "3");
                      win32_dialog_type(d, bad.id, bad.typed);
                      win32_dialog_press(d, 1);
                      shown = dialog_control(d, bad.id).text;
                      win32_dialog_press(d, 2);
                  }),
                  0);
        ASSERT_FALSE(win32_message_boxes().empty());
        EXPECT_EQ(win32_message_boxes().back().text, bad.message);
        EXPECT_EQ(shown, bad.id == 1000 || bad.id == 1002 ? "8" : "5");
        EXPECT_EQ(std::memcmp(&before, &ctrl.edges[e], sizeof before), 0) << "nothing written";
    }
}

TEST_F(prop_dialogs, terrain_only_disables_the_road_controls_and_the_centre_shader_follows_the_road_model)
{
    seg_server_t& server = *ctrl.seg_server;
    server.road_defs.resize(2);
    server.road_defs[0].part_count = 1;
    server.road_defs[1].part_count = 2;
    std::snprintf(server.road_defs[1].name, sizeof server.road_defs[1].name, "highway");
    ctrl.edges[e].definition = 1;
    ctrl.edges[e].centre_word = 5;  // no terrain shader is loaded: no row shows it
    ctrl.edges[e].flags |= map_edge_terrain_only;
    EXPECT_EQ(edge_dialog([](HWND d) {
                  for (const int id : {1000, 1001, 1020, 1021, 1022, 1023, 1024, 1026, 1027, 1028, 1030, 1090, 1091,
                                       1092, 1096, 1097, 1098, 1050})
                      EXPECT_FALSE(dialog_control(d, id).enabled) << id;
                  for (const int id : {1002, 1003, 1025, 1029, 1031, 1093, 1094, 1095, 1099, 1100, 1101})
                      EXPECT_TRUE(dialog_control(d, id).enabled) << id;
                  EXPECT_TRUE(dialog_control(d, 1032).enabled) << "a two-part road offers its centre shader";
                  EXPECT_EQ(dialog_control(d, 1020).rows[1].first, "highway");
                  win32_dialog_press(d, 1130);
                  EXPECT_TRUE(dialog_control(d, 1000).enabled);
                  win32_dialog_pick(d, 1020, 0);
                  EXPECT_FALSE(dialog_control(d, 1032).enabled) << "a one-part road has no centre";
                  win32_dialog_press(d, 1);
              }),
              1);
    EXPECT_EQ(ctrl.edges[e].definition, 0);
    EXPECT_EQ(ctrl.edges[e].centre_word, 5) << "left unchanged";
    EXPECT_EQ(ctrl.edges[e].flags & map_edge_terrain_only, 0u);
}

TEST_F(prop_dialogs, radio_rows_write_their_two_bits_and_read_both_bits_as_the_middle)
{
    ctrl.edges[e].flags = (3u << 4) | (1u << 13) | 0x3u;
    EXPECT_EQ(edge_dialog([](HWND d) {
                  EXPECT_TRUE(dialog_control(d, 1091).checked) << "both bits read as 50%";
                  EXPECT_TRUE(dialog_control(d, 1096).checked) << "bit 13 is 4";
                  EXPECT_TRUE(dialog_control(d, 1095).checked) << "no bits are 100%";
                  win32_dialog_press(d, 1090);
                  win32_dialog_press(d, 1100);
                  EXPECT_FALSE(dialog_control(d, 1091).checked);
                  win32_dialog_press(d, 1);
              }),
              1);
    EXPECT_EQ(ctrl.edges[e].flags, (2u << 4) | (2u << 12) | (1u << 16) | 0x3u) << "other bits kept";
}

TEST_F(prop_dialogs, edit_stamps_without_stamps_tells_so_and_opens_nothing)
{
    edge_dialog([](HWND d) {
        win32_dialog_press(d, 1051);
        win32_dialog_press(d, 2);
    });
    ASSERT_EQ(win32_message_boxes().size(), 1u);
    EXPECT_EQ(win32_message_boxes()[0].caption, "Road edge");
    EXPECT_EQ(win32_message_boxes()[0].text, "No stamps used on this edge.");
    EXPECT_EQ(win32_dialogs().size(), 1u);
}

// A dialog whose first button opens another of its kind, recording the level it ran at.
class nesting_dialog_t : public prop_dialog_t {
public:
    nesting_dialog_t(edit_ctrl_e& ctrl, std::vector<int>& results) : prop_dialog_t(nullptr, ctrl), results_(results) {}
    int template_id() const override { return 102; }
    void on_edit_button(uint32_t) override {}
    void on_check(uint32_t) override
    {
        nesting_dialog_t inner(ctrl_, results_);
        results_.push_back(inner.run_modal());
    }

private:
    std::vector<int>& results_;
};

TEST_F(prop_dialogs, a_nested_dialog_runs_at_level_1_and_a_third_level_is_refused)
{
    std::vector<int> results;
    HWND outer = nullptr;
    win32_queue_dialog_user([&](HWND d) {
        outer = d;
        EXPECT_EQ(prop_dialog_running(0)->level(), 0);
        win32_dialog_press(d, 1130);
        EXPECT_EQ(prop_dialog_running(1), nullptr) << "the level-1 slot is empty again";
        EXPECT_EQ(win32_active_window(), d) << "the outer dialog is active again";
        win32_dialog_press(d, 2);
    });
    win32_queue_dialog_user([&](HWND d) {
        EXPECT_EQ(prop_dialog_running(1)->level(), 1);
        win32_dialog_press(d, 1130);  // a third level
        win32_dialog_press(d, 2);
    });
    nesting_dialog_t dialog(ctrl, results);
    EXPECT_EQ(dialog.run_modal(), 0);
    EXPECT_EQ(results, (std::vector<int>{-1, 0}));
    ASSERT_EQ(win32_dialogs().size(), 2u);
    EXPECT_EQ(win32_dialogs()[1].depth, 1);
    EXPECT_EQ(prop_dialog_running(0), nullptr);
}

TEST_F(prop_dialogs, an_unknown_type_shows_nothing_and_gives_the_pointer_back)
{
    const int shown = win32_cursor_display_count();
    EXPECT_EQ(create_prop_dialog(&ctrl.edges[e], ctrl, 99, 0), -1);
    ctrl.edges[e].kind = 7;
    EXPECT_EQ(create_prop_dialog(&ctrl.edges[e], ctrl, prop_type_edge, 0), -1);
    EXPECT_TRUE(win32_dialogs().empty());
    EXPECT_EQ(win32_cursor_display_count(), shown);
}

TEST_F(prop_dialogs, the_node_dialog_writes_position_and_flags_and_offers_names_only_at_a_cross)
{
    ctrl.seg_server->sign_texts.resize(2);
    std::snprintf(ctrl.seg_server->sign_texts[1].text, 16, "Halvik");
    ctrl.nodes[b].flags |= 0x80000000u;
    const uint32_t kept = ctrl.nodes[b].flags;
    win32_queue_dialog_user([](HWND d) {
        EXPECT_EQ(dialog_control(d, 900).text, "Node index : 1");
        EXPECT_EQ(dialog_control(d, 1000).text, "2000");
        EXPECT_EQ(dialog_control(d, 1006).text, "Road");
        EXPECT_EQ(dialog_control(d, 1007).text, "1");
        EXPECT_EQ(dialog_control(d, 1009).text, "0");
        for (const int id : {1020, 1021, 1022, 1023})
            EXPECT_FALSE(dialog_control(d, id).enabled) << "between two Roads";
        EXPECT_FALSE(win32_dialog_type(d, 1007, "5")) << "read-only";
        win32_dialog_type(d, 1001, "250.5");
        win32_dialog_press(d, 1130);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&ctrl.nodes[b], ctrl, prop_type_node, 0), 1);
    EXPECT_FLOAT_EQ(ctrl.nodes[b].position.y, 250.5f);
    EXPECT_EQ(ctrl.nodes[b].flags, kept | 2u);

    ctrl.nodes[b].link_kinds[0] = map_edge_cross;
    win32_queue_dialog_user([](HWND d) {
        EXPECT_TRUE(dialog_control(d, 1022).enabled);
        EXPECT_EQ(dialog_control(d, 1022).rows[1].first, "Halvik");
        win32_dialog_pick(d, 1022, 1);
        win32_dialog_pick(d, 1021, 3);
        win32_dialog_type(d, 1002, "north");
        win32_dialog_press(d, 1);
        win32_dialog_press(d, 2);
    });
    EXPECT_EQ(create_prop_dialog(&ctrl.nodes[b], ctrl, prop_type_node, 0), 0);
    EXPECT_EQ(ctrl.nodes[b].flags, kept | 2u) << "the refused OK wrote nothing";
    EXPECT_EQ(win32_message_boxes().back().text, "Position z must be a number, not \"north\"; it stays 0.");
    win32_queue_dialog_user([](HWND d) {
        win32_dialog_pick(d, 1022, 1);
        win32_dialog_pick(d, 1021, 3);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&ctrl.nodes[b], ctrl, prop_type_node, 0), 1);
    EXPECT_EQ(ctrl.nodes[b].flags, kept | 2u | (3u << 4) | (2u << 8));
}

TEST_F(prop_dialogs, an_applied_edge_dialog_marks_the_map_modified_and_the_rebuild_keeps_it_so)
{
    ctrl.modified = false;
    win32_queue_dialog_user([](HWND d) { win32_dialog_press(d, 2); });
    ctrl.edge_properties(e);
    EXPECT_FALSE(ctrl.modified);
    ctrl.modified = true;
    win32_queue_dialog_user([](HWND d) {
        win32_dialog_type(d, 1000, "4");
        win32_dialog_press(d, 890);
    });
    ctrl.edge_properties(e);
    EXPECT_TRUE(ctrl.modified);
    EXPECT_EQ(ctrl.edges[e].sides[0].strip_width, 4);
    const map_edge_t* fallback = ctrl.get_default_edge(&ctrl.edges[e]);
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->sides[0].strip_width, 4) << "Use as defaults copies the edge";
    EXPECT_EQ(fallback->nodes[0], -1);
    EXPECT_EQ(fallback->stamp, -1);
}

}  // namespace

namespace {

// A prefab edge record outside the map, of `kind`, on definition 0.
map_edge_t prefab_record(int32_t kind)
{
    map_edge_t edge{};
    edge.kind = kind;
    edge.flags = 0x100u | 1u;
    for (int32_t& node : edge.nodes)
        node = -1;
    return edge;
}

TEST_F(prop_dialogs, prefab_kinds_open_their_dialogs_and_defaults_open_the_origin_dialog)
{
    seg_server_t& server = *ctrl.seg_server;
    server.prefab_table[seg_prefabs].resize(2);
    server.prefab_table[seg_prefabs][1].nodes.resize(3);
    map_edge_t edge = prefab_record(map_edge_prefab);
    win32_queue_dialog_user([](HWND d) { win32_dialog_press(d, 2); });
    EXPECT_EQ(create_prop_dialog(&edge, ctrl, prop_type_edge, 0), 0);
    win32_queue_dialog_user([](HWND d) {
        EXPECT_TRUE(dialog_control(d, 1022).rows.empty()) << "prefab 0 has no nodes";
        win32_dialog_pick(d, 1020, 1);
        EXPECT_EQ(dialog_control(d, 1022).rows.size(), 3u) << "the origins of the chosen prefab";
        EXPECT_EQ(dialog_control(d, 1022).selected, 0);
        win32_dialog_pick(d, 1022, 2);
        win32_dialog_pick(d, 1023, 3);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&edge, ctrl, prop_type_default_edge, 0), 1);
    ASSERT_EQ(win32_dialogs().size(), 2u);
    EXPECT_EQ(win32_dialogs()[0].template_id, 101);
    EXPECT_EQ(win32_dialogs()[1].template_id, 103);
    EXPECT_EQ(edge.definition, 1);
    EXPECT_EQ(edge.centre_word, 2);
    EXPECT_EQ(edge.flags, 0x100u | 3u) << "orientation 270 in bits 0-1, other bits kept";
}

TEST_F(prop_dialogs, a_cross_offers_lights_only_for_its_prefab_nodes_and_a_fork_its_shipper)
{
    seg_server_t& server = *ctrl.seg_server;
    server.prefab_table[seg_crosses].resize(1);
    server.prefab_table[seg_crosses][0].nodes.resize(2);
    server.tr_lights.resize(2);
    map_edge_t cross = prefab_record(map_edge_cross);
    win32_queue_dialog_user([](HWND d) {
        EXPECT_TRUE(dialog_control(d, 1023).enabled);
        EXPECT_FALSE(dialog_control(d, 1024).enabled) << "node 2";
        EXPECT_FALSE(dialog_control(d, 1025).enabled) << "node 3";
        win32_dialog_pick(d, 1023, 1);
        win32_dialog_press(d, 1130);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&cross, ctrl, prop_type_edge, 0), 1);
    EXPECT_EQ(cross.sides[0].railing_shader, 1) << "node 1's lights";
    EXPECT_EQ(cross.sides[0].strip_width, 1) << "traffic lights used";

    map_edge_t fork = prefab_record(map_edge_fork);
    fork.sides[0].vegetation = 7;  // no such trader: the list shows none and OK keeps it
    win32_queue_dialog_user([](HWND d) {
        EXPECT_EQ(dialog_control(d, 1022).selected, -1);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&fork, ctrl, prop_type_edge, 0), 1);
    EXPECT_EQ(fork.sides[0].vegetation, 7);
    win32_queue_dialog_user([](HWND d) {
        EXPECT_EQ(dialog_control(d, 1022).rows.back().first, "---");
        win32_dialog_pick(d, 1022, 0);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&fork, ctrl, prop_type_edge, 0), 1);
    EXPECT_EQ(fork.sides[0].vegetation, -1);
}

const char* translate_shipper(const char* key)
{
    return std::string_view(key) == "trader_greywell_timber" ? "Greywell Timber" : nullptr;
}

TEST_F(prop_dialogs, a_fork_lists_its_shippers_by_their_translated_names_never_by_file)
{
    seg_trader_t shippers[2] = {};
    std::snprintf(shippers[0].name, sizeof shippers[0].name, "greywell_timber.def");
    std::snprintf(shippers[0].display_name, sizeof shippers[0].display_name, "@@trader_greywell_timber@@");
    std::snprintf(shippers[1].name, sizeof shippers[1].name, "tarsk_quarry.def");
    seg_server_t& server = *ctrl.seg_server;
    server.traders = shippers;
    server.trader_count = 2;
    lcl_callback(translate_shipper);
    map_edge_t fork = prefab_record(map_edge_fork);
    fork.sides[0].vegetation = 1;
    win32_queue_dialog_user([](HWND d) {
        const win32_control_t shippers = dialog_control(d, 1022);
        ASSERT_EQ(shippers.rows.size(), 3u);
        EXPECT_EQ(shippers.rows[0].first, "Greywell Timber");
        EXPECT_EQ(shippers.rows[1].first, "tarsk_quarry") << "a file without a name shows without its extension";
        EXPECT_EQ(shippers.selected, 1);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&fork, ctrl, prop_type_edge, 0), 1);
    lcl_callback(nullptr);
    server.traders = nullptr;
    server.trader_count = 0;
}

TEST_F(prop_dialogs, find_edge_takes_a_typed_index_and_refuses_text)
{
    int32_t index = 0;
    win32_queue_dialog_user([](HWND d) {
        win32_dialog_type(d, 1000, "first");
        win32_dialog_press(d, 1);
        win32_dialog_type(d, 1000, "1");
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&index, ctrl, prop_type_find_edge, 0), 1);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(win32_message_boxes().back().text, "Edge index must be a whole number, not \"first\"; it stays 0.");
}

}  // namespace

namespace {

TEST_F(prop_dialogs, used_stamps_change_at_once_and_clear_all_keeps_their_places)
{
    ctrl.seg_server->brushes.resize(2);
    const int32_t group = ctrl.add_stamp_group();
    ASSERT_GE(group, 0);
    for (int32_t s = 0; s < map_stamp_group_size; ++s)
        ctrl.stamps[group + s] = {s == 0 ? 0 : -1, -1, 5 + s, -2};
    ctrl.edges[e].stamp = group;
    // Opened from the road dialog's "Edit Stamps": nested, and its changes stay though the road
    // dialog is cancelled.
    win32_queue_dialog_user([](HWND d) {
        win32_dialog_press(d, 1051);
        win32_dialog_press(d, 2);
    });
    win32_queue_dialog_user([&](HWND d) {
        EXPECT_EQ(dialog_control(d, 1070).selected, 0);
        EXPECT_EQ(dialog_control(d, 1000).text, "5");
        EXPECT_TRUE(dialog_control(d, 1020).enabled);
        win32_dialog_pick(d, 1020, 1);
        EXPECT_EQ(ctrl.stamps[group].brush, 1) << "stored at once";
        win32_dialog_pick(d, 1070, 1);
        EXPECT_FALSE(dialog_control(d, 1020).enabled) << "an unused slot gets no template here";
        EXPECT_EQ(dialog_control(d, 1000).text, "");
        win32_dialog_press(d, 1050);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&ctrl.edges[e], ctrl, prop_type_edge, 0), 0);
    ASSERT_EQ(win32_dialogs().size(), 2u);
    EXPECT_EQ(win32_dialogs()[1].template_id, 109);
    EXPECT_EQ(win32_dialogs()[1].result, 1);
    for (int32_t s = 0; s < map_stamp_group_size; ++s) {
        EXPECT_EQ(ctrl.stamps[group + s].brush, -1);
        EXPECT_EQ(ctrl.stamps[group + s].shader, -1);
        EXPECT_EQ(ctrl.stamps[group + s].row, 5 + s);
    }
}

TEST_F(prop_dialogs, select_stamp_stores_each_choice_as_it_is_made)
{
    ctrl.seg_server->brushes.resize(3);
    stamp_choice_t choice{2, 0};
    win32_queue_dialog_user([&](HWND d) {
        EXPECT_EQ(dialog_control(d, 1070).selected, 2);
        win32_dialog_pick(d, 1070, 0);
        EXPECT_EQ(choice.definition, 0);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&choice, ctrl, prop_type_select_stamp, 0), 1);
    EXPECT_EQ(choice.shader, 0) << "no terrain shader is loaded: nothing chosen, nothing changed";
}

TEST_F(prop_dialogs, the_free_item_dialog_writes_its_fields_and_refuses_a_bad_angle)
{
    map_freeitem_t item{};
    item.position = vec3_t(100.4f, 0.0f, -20.6f);
    item.rotation = vec3_t(0.0f, 90.0f, 0.0f);
    item.flags = 0x10u;
    win32_queue_dialog_user([](HWND d) {
        EXPECT_EQ(dialog_control(d, 1000).text, "100");
        EXPECT_EQ(dialog_control(d, 1002).text, "-21");
        EXPECT_EQ(dialog_control(d, 1004).text, "90");
        win32_dialog_type(d, 1004, "quarter");
        win32_dialog_press(d, 890);
        EXPECT_EQ(dialog_control(d, 1004).text, "90");
        win32_dialog_type(d, 1004, "45.5");
        win32_dialog_press(d, 1130);
        win32_dialog_press(d, 890);
    });
    EXPECT_EQ(create_prop_dialog(&item, ctrl, prop_type_free_item, 0), 2);
    EXPECT_FLOAT_EQ(item.rotation.y, 45.5f);
    EXPECT_FLOAT_EQ(item.position.x, 100.0f) << "the shown whole number is read back";
    EXPECT_EQ(item.flags, 0x11u);
    EXPECT_EQ(win32_message_boxes().back().text, "Rotation y must be a number, not \"quarter\"; it stays 90.");
}

}  // namespace

namespace {

TEST_F(prop_dialogs, a_new_misc_item_becomes_a_mover_and_a_mover_refuses_a_speed_that_does_not_fit)
{
    map_miscitem_t item{};
    item.selected_point = -1;
    win32_queue_dialog_user([](HWND d) {
        EXPECT_FALSE(dialog_control(d, 890).enabled);
        EXPECT_FALSE(dialog_control(d, 1090).visible);
        win32_dialog_pick(d, 1020, 7);  // "Mover"
        EXPECT_TRUE(dialog_control(d, 1090).checked);
        win32_dialog_press(d, 1091);  // "3" points
        win32_dialog_press(d, 1132);  // "Use curve"
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&item, ctrl, prop_type_misc_item, 0), 1);
    EXPECT_EQ(item.type, map_misc_mover);
    EXPECT_EQ(item.flags, 2u | map_misc_curve);

    item.params[3] = 40 | (3 << 16);
    win32_queue_dialog_user([](HWND d) {
        EXPECT_FALSE(dialog_control(d, 1020).enabled) << "the type cannot change";
        EXPECT_EQ(dialog_control(d, 1000).text, "40");
        EXPECT_EQ(dialog_control(d, 1001).text, "3");
        win32_dialog_type(d, 1000, "70000");
        win32_dialog_press(d, 1);
        win32_dialog_type(d, 1000, "90");
        win32_dialog_press(d, 1133);
        win32_dialog_press(d, 1);
    });
    EXPECT_EQ(create_prop_dialog(&item, ctrl, prop_type_misc_item, 0), 1);
    EXPECT_EQ(win32_message_boxes().back().text, "Speed must be 0 to 65535, not 70000; it stays 40.");
    EXPECT_EQ(item.params[3], 90 | (3 << 16));
    EXPECT_EQ(item.flags, 2u | map_misc_curve | map_misc_night);
}

}  // namespace
