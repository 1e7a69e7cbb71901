#include <filesystem>

#include "engine/log.h"
#include "engine/win32_record.h"
#include "editor_fixture.h"

namespace {

// A model whose only part is a bar 1000 long along x.
constexpr const char* bar_model = R"(psm 1
part bar { positions { 0 0 0 1000 0 0 1000 10 0 } indices { 0 1 2 } }
)";

// What the stand-in dialog answers: the result, and the type, flags and definition it writes into
// the record when it confirms.
struct dialog_answer_t {
    int32_t result = 1;
    int32_t misc_type = 0;
    uint32_t misc_flags = 0;
    int32_t free_model = 0;
};
dialog_answer_t answer;

int32_t answer_dialog(edit_ctrl_e&, void* record, const int32_t type, uint32_t)
{
    if (answer.result < 1)
        return answer.result;
    if (type == edit_dialog_misc_item) {
        static_cast<map_miscitem_t*>(record)->type = answer.misc_type;
        static_cast<map_miscitem_t*>(record)->flags = answer.misc_flags;
    } else if (type == edit_dialog_free_item) {
        static_cast<map_freeitem_t*>(record)->model = answer.free_model;
    }
    return answer.result;
}

// The controller with the stand-in dialog and a free-item model that is a bar along x.
class item_placement : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        answer = dialog_answer_t{};
        shown_dialogs = edit_ctrl_e::prop_dialog_runner;
        edit_ctrl_e::prop_dialog_runner = answer_dialog;
        write_data_file("models/bar.psm", bar_model);
        ctrl.seg_server->freeitem_models.resize(1);
        ctrl.seg_server->freeitem_models[0].model = api::psm_alloc("/models/bar.psm", 0, 0, 0);
        ASSERT_NE(ctrl.seg_server->freeitem_models[0].model, nullptr);
    }
    // The runner of the real dialogs, put back after each test.
    prop_dialog_runner_t shown_dialogs = nullptr;
    void TearDown() override
    {
        api::psm_free(ctrl.seg_server->freeitem_models[0].model);
        ctrl.seg_server->freeitem_models.clear();
        edit_ctrl_e::prop_dialog_runner = shown_dialogs;
        editor_test_t::TearDown();
    }

    int32_t misc_item(const int32_t type, const uint32_t flags, const vec3_t& at)
    {
        answer.misc_type = type;
        answer.misc_flags = flags;
        ctrl.create_misc_item(at);
        return ctrl.miscitems.count - 1;
    }
};

TEST_F(item_placement, a_free_item_stands_at_the_remembered_height_and_the_dialog_decides_what_is_made)
{
    ctrl.item_height = 250;
    ctrl.free_item_defaults.look = 3;
    vec3_t at(100.0f, 7.0f, 200.0f);

    answer.result = 0;
    ctrl.create_free_item(at);
    EXPECT_EQ(ctrl.freeitems.count, 0);

    answer.result = 1;
    ctrl.create_free_item(at);
    ASSERT_EQ(ctrl.freeitems.count, 1);
    EXPECT_EQ(ctrl.freeitems[0].position, vec3_t(100.0f, 250.0f, 200.0f));
    EXPECT_EQ(ctrl.freeitems[0].look, 3);
    EXPECT_EQ(at.y, 250.0f);

    // "Use as defaults" makes the item and keeps its choice for the next one.
    answer.result = 2;
    answer.free_model = 0;
    ctrl.free_item_defaults.model = 5;
    ctrl.create_free_item(at);
    EXPECT_EQ(ctrl.freeitems.count, 2);
    EXPECT_EQ(ctrl.free_item_defaults.model, 0);
}

TEST_F(item_placement, turning_a_free_item_measures_its_volume_from_the_turned_model)
{
    vec3_t at(0.0f, 0.0f, 0.0f);
    ctrl.create_free_item(at);
    ASSERT_EQ(ctrl.freeitems.count, 1);
    const cd_bounds_t& box = ctrl.freeitems[0].bounds;
    EXPECT_NEAR(box.maximum[0] - box.minimum[0], 1000.0f, 0.5f);
    EXPECT_NEAR(box.maximum[2] - box.minimum[2], 0.0f, 0.5f);
    ctrl.turn_free_item(0, 0.0f, 90.0f, 0.0f);
    EXPECT_NEAR(box.maximum[0] - box.minimum[0], 0.0f, 0.5f);
    EXPECT_NEAR(box.maximum[2] - box.minimum[2], 1000.0f, 0.5f);

    EXPECT_FLOAT_EQ(ctrl.raise_free_item(0, 30.0f), 30.0f);
    EXPECT_EQ(ctrl.item_height, 30);
    EXPECT_NEAR(box.minimum[1], 30.0f, 0.01f);
}

TEST_F(item_placement, removing_a_free_item_lowers_the_numbers_of_the_shown_items_above_it)
{
    for (int i = 0; i < 3; ++i) {
        vec3_t at(1000.0f * static_cast<float>(i), 0.0f, 0.0f);
        ctrl.create_free_item(at);
    }
    ctrl.seg_server->show_free_item(ctrl.freeitems, 0);
    ctrl.seg_server->show_free_item(ctrl.freeitems, 2);
    ctrl.remove_free_item(1);
    EXPECT_EQ(ctrl.freeitems.count, 2);
    EXPECT_EQ(ctrl.freeitems[1].position.x, 2000.0f);
    EXPECT_EQ(ctrl.seg_server->shown_freeitems, (std::vector<int32_t>{0, 1}));
    ctrl.remove_free_item(0);
    EXPECT_EQ(ctrl.seg_server->shown_freeitems, (std::vector<int32_t>{0}));
}

TEST_F(item_placement, misc_items_start_with_their_kinds_points_and_derived_data)
{
    EXPECT_EQ(misc_item(map_misc_none, 0, vec3_t(0.0f, 0.0f, 0.0f)), -1);

    const int32_t mover = misc_item(map_misc_mover, 3, vec3_t(0.0f, 5.0f, 0.0f));
    ASSERT_EQ(mover, 0);
    const map_miscitem_t& m = ctrl.miscitems[mover];
    EXPECT_EQ(m.points[3], vec3_t(3000.0f, 5.0f, 0.0f));
    EXPECT_EQ(m.params[0], 1000);
    EXPECT_EQ(m.params[1], 1000);
    EXPECT_EQ(m.params[2], 1000);
    EXPECT_EQ(m.params[3], 100);
    EXPECT_EQ(m.tangents[3].z, 0.0f);
    EXPECT_EQ(m.selected_point, -1);
    EXPECT_FLOAT_EQ(m.bounds.minimum[0], -300.0f);
    EXPECT_FLOAT_EQ(m.bounds.maximum[0], 3300.0f);

    const int32_t area = misc_item(map_misc_no_weather, 0, vec3_t(0.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(ctrl.miscitems[area].bounds.minimum[2], -1000.0f);
    EXPECT_FLOAT_EQ(ctrl.miscitems[area].bounds.maximum[0], 1000.0f);
}

TEST_F(item_placement, moving_a_cut_planes_point_recomputes_its_lines_and_coincident_points_leave_them_zero)
{
    const int32_t plane = misc_item(map_misc_cut_plane, 0, vec3_t(0.0f, 0.0f, 0.0f));
    ctrl.move_misc_item_point(plane, 1, vec3_t(0.0f, 0.0f, 500.0f), false);
    const map_miscitem_t& item = ctrl.miscitems[plane];
    // Along +z: the plane's normal (along × up) is -x, the start line faces +z and the end line -z
    // through 500.
    EXPECT_EQ(item.tangents[0], vec3_t(-1.0f, 0.0f, 0.0f));
    EXPECT_EQ(item.tangents[1], vec3_t(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(item.tangents[2], vec3_t(0.0f, -1.0f, 500.0f));
    ctrl.move_misc_item_point(plane, 1, vec3_t(0.0f, 0.0f, 0.0f), false);
    EXPECT_EQ(item.tangents[0], vec3_t(0.0f, 0.0f, 0.0f));
    EXPECT_EQ(item.tangents[1], vec3_t(0.0f, 0.0f, 0.0f));
    // A point the plane does not have moves nothing.
    ctrl.move_misc_item_point(plane, 3, vec3_t(9.0f, 9.0f, 9.0f), false);
    EXPECT_EQ(item.points[3], vec3_t(0.0f, 0.0f, 0.0f));
}

TEST_F(item_placement, only_movers_and_headquarters_are_raised)
{
    struct {
        int32_t type;
        int32_t point;
        float expected;
    } const cases[] = {
        {map_misc_sky_swap, 0, 0.0f},
        {map_misc_mover, 1, 40.0f},
        {map_misc_headquarters, 0, 40.0f},
    };
    for (const auto& c : cases) {
        const int32_t item = misc_item(c.type, 1, vec3_t(0.0f, 0.0f, 0.0f));
        EXPECT_FLOAT_EQ(ctrl.raise_misc_item(item, c.point, 40.0f), c.expected) << c.type;
        EXPECT_FLOAT_EQ(ctrl.miscitems[item].points[c.point].y, c.expected) << c.type;
    }
    EXPECT_EQ(ctrl.item_height, 40);
    // The height keys raise the remembered misc point too.
    ctrl.height_target = edit_height_target_t{1, edit_pick_misc_point, 1};
    ctrl.step_height(10);
    EXPECT_FLOAT_EQ(ctrl.miscitems[1].points[1].y, 50.0f);
}

TEST_F(item_placement, removing_a_misc_item_lets_go_of_the_current_item_and_the_shown_lists)
{
    const int32_t first = misc_item(map_misc_sky_swap, 0, vec3_t(0.0f, 0.0f, 0.0f));
    const int32_t headquarters = misc_item(map_misc_headquarters, 0, vec3_t(500.0f, 0.0f, 0.0f));
    ctrl.active_list(base_ctrl_sky_swaps).append(first);
    ctrl.miscitems[first].active = 1;
    ctrl.show_target(ctrl.miscitems[headquarters]);
    ASSERT_EQ(ctrl.current_item, headquarters);

    ctrl.remove_misc_item(first);
    EXPECT_EQ(ctrl.miscitems.count, 1);
    EXPECT_EQ(ctrl.miscitems[0].type, map_misc_headquarters);
    EXPECT_EQ(ctrl.active_list(base_ctrl_sky_swaps).count(), 0u);
    EXPECT_EQ(ctrl.current_item, 0);
    ctrl.remove_misc_item(0);
    EXPECT_EQ(ctrl.current_item, -1);
    EXPECT_EQ(ctrl.miscitems.count, 0);
}

TEST_F(item_placement, definition_cycling_wraps_and_does_nothing_without_definitions)
{
    ctrl.set_mode(edit_mode_new_item);
    ctrl.set_sub_mode(edit_sub_fork);
    map_edge_t& fork = *ctrl.get_default_edge(nullptr);
    fork.definition = 0;
    ctrl.cycle_look_up();
    EXPECT_EQ(fork.definition, 0);
    ctrl.seg_server->prefab_table[seg_forks].resize(3);
    ctrl.cycle_look_up();
    EXPECT_EQ(fork.definition, 2);
    ctrl.cycle_look_down();
    EXPECT_EQ(fork.definition, 0);
    // Outside "New Item" mode the keys leave the default alone.
    ctrl.set_mode(edit_mode_move);
    ctrl.cycle_look_down();
    EXPECT_EQ(fork.definition, 0);
    ctrl.seg_server->prefab_table[seg_forks].clear();
}

TEST_F(item_placement, an_import_copies_a_map_beside_the_current_one_and_a_bad_one_is_not_called_imported)
{
    // A stored prefab map: one Road between two nodes, a sign on it, a City Road with a city block.
    const int32_t a = node(0.0f, 0.0f);
    const int32_t b = node(1000.0f, 0.0f);
    const int32_t edge = road(a, b);
    ctrl.edges[edge].sign = ctrl.add_sign();
    ctrl.signs[ctrl.edges[edge].sign].edge = edge;
    ctrl.edges[edge].stamp = ctrl.add_stamp_group();
    std::filesystem::create_directories(home_ / "prefabs");
    ASSERT_GT(ctrl.save_map("/prefabs/bend.mbd"), 0);

    win32_queue_file_dialog_answer("bend");
    ctrl.import_map(vec3_t(5000.0f, 0.0f, 0.0f));
    win32_queue_file_dialog_answer("bend");
    ctrl.import_map(vec3_t(0.0f, 0.0f, 9000.0f));
    ASSERT_EQ(ctrl.edges.count, 3);
    for (const int32_t copy : {1, 2}) {
        const map_edge_t& e = ctrl.edges[copy];
        EXPECT_EQ(e.nodes[0], 2 * copy) << copy;
        EXPECT_EQ(e.nodes[1], 2 * copy + 1) << copy;
        EXPECT_EQ(ctrl.nodes[e.nodes[0]].links[1], copy) << copy;
        EXPECT_EQ(e.sign, copy) << copy;
        EXPECT_EQ(ctrl.signs[e.sign].edge, copy) << copy;
        EXPECT_EQ(e.stamp, 4 * copy) << copy;
    }
    EXPECT_EQ(ctrl.nodes[3].position, vec3_t(6000.0f, 0.0f, 0.0f));
    EXPECT_EQ(ctrl.nodes[4].position, vec3_t(0.0f, 0.0f, 9000.0f));
    EXPECT_TRUE(engine_log_has("map bend.mbd was imported with <5000 0 0> offset"));

    win32_queue_file_dialog_answer("nowhere");
    ctrl.import_map(vec3_t(1.0f, 0.0f, 0.0f));
    EXPECT_EQ(ctrl.edges.count, 3);
    EXPECT_FALSE(engine_log_has("map nowhere.mbd was imported"));
    EXPECT_TRUE(engine_log_has("map nowhere.mbd was not imported"));
}

TEST_F(item_placement, saving_in_a_fresh_home_makes_its_maps_folder)
{
    road(node(0.0f, 0.0f), node(1000.0f, 0.0f));
    ASSERT_FALSE(std::filesystem::exists(home_ / "maps"));
    EXPECT_TRUE(ctrl.save("fresh.mbd", false));
    EXPECT_TRUE(std::filesystem::exists(home_ / "maps" / "fresh.mbd"));
}

}  // namespace
