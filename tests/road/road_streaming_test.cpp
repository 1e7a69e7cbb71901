#include <algorithm>

#include "engine/gfx_record.h"
#include "common/world_view.h"
#include "road_geometry_fixture.h"

namespace {

using road_streaming_test = road_geometry_test_t;

// Slots that hold an edge.
int32_t held_slots(base_ctrl_e& ctrl)
{
    int32_t held = 0;
    for (int32_t slot = 0; slot < ctrl.segment_slot_count; ++slot)
        held += ctrl.segment_slot(slot)->edge_index >= 0 ? 1 : 0;
    return held;
}

TEST_F(road_streaming_test, edges_in_reach_take_free_slots_and_never_steal_a_shown_one)
{
    // Five short roads side by side, all in reach of the camera; four slots.
    for (int32_t i = 0; i < 5; ++i)
        road_edge({i * 100000.0f, 0, 0}, {i * 100000.0f, 0, -2000}, 0, 0);
    ctrl.build_item_tree();
    ASSERT_NE(ctrl.item_tree(), nullptr);
    const cd_bounds_t everything = box_at({200000, 0, -1000}, 300000);
    // Every road counts as in view, wherever the default camera looks.
    gfx_record_set_all_visible(true);
    ctrl.draw_roads(everything);
    EXPECT_EQ(ctrl.built.size(), 4u);
    EXPECT_EQ(held_slots(ctrl), 4);
    EXPECT_EQ(gfx_record_current().protos.size(), 4u);
    // The next frame still finds every slot shown: the fifth road keeps waiting.
    ctrl.draw_roads(everything);
    EXPECT_EQ(ctrl.built.size(), 4u);
    int32_t unbuilt = 0;
    for (int32_t i = 0; i < 5; ++i)
        unbuilt += ctrl.edges[i].segment_slot == -1 ? 1 : 0;
    EXPECT_EQ(unbuilt, 1);
}

TEST_F(road_streaming_test, an_edge_that_comes_back_is_shown_again_without_a_rebuild)
{
    const int32_t near = road_edge({0, 0, 0}, {0, 0, -2000}, 0, 0);
    const int32_t far = road_edge({500000, 0, 0}, {500000, 0, -2000}, 0, 0);
    ctrl.build_item_tree();
    ctrl.draw_roads(box_at({0, 0, -1000}, 5000));
    ASSERT_EQ(ctrl.built, std::vector<int32_t>{near});
    const int32_t slot = ctrl.edges[near].segment_slot;
    ASSERT_GE(slot, 0);
    // A mirror looking elsewhere hides nothing the main view shows.
    set_drawing_secondary_view(true);
    ctrl.draw_roads(box_at({500000, 0, -1000}, 5000));
    set_drawing_secondary_view(false);
    EXPECT_TRUE(ctrl.segment_slot(slot)->visible);
    // The camera goes to the other road: the first one's slot is hidden but kept.
    ctrl.draw_roads(box_at({500000, 0, -1000}, 5000));
    EXPECT_EQ(ctrl.built, (std::vector<int32_t>{near, far}));
    EXPECT_FALSE(ctrl.segment_slot(slot)->visible);
    EXPECT_EQ(ctrl.segment_slot(slot)->edge_index, near);
    EXPECT_TRUE(ctrl.freed.empty());
    // And back: shown again, nothing built.
    ctrl.draw_roads(box_at({0, 0, -1000}, 5000));
    EXPECT_EQ(ctrl.built.size(), 2u);
    EXPECT_TRUE(ctrl.segment_slot(slot)->visible);
    // Replacing the map releases every slot.
    ctrl.release_segments();
    EXPECT_EQ(ctrl.freed.size(), 2u);
    EXPECT_EQ(ctrl.item_tree(), nullptr);
}

TEST_F(road_streaming_test, hidden_slots_are_reused_least_recently_used_first)
{
    for (int32_t i = 0; i < 6; ++i)
        road_edge({i * 100000.0f, 0, 0}, {i * 100000.0f, 0, -2000}, 0, 0);
    ctrl.build_item_tree();
    for (int32_t i = 0; i < 6; ++i)
        ctrl.draw_roads(box_at({i * 100000.0f, 0, -1000}, 5000));
    // Four slots: the last four roads hold them; the first two were given up, oldest first.
    EXPECT_EQ(ctrl.edges[0].segment_slot, -1);
    EXPECT_EQ(ctrl.edges[1].segment_slot, -1);
    for (int32_t i = 2; i < 6; ++i)
        EXPECT_GE(ctrl.edges[i].segment_slot, 0);
    EXPECT_EQ(ctrl.freed, (std::vector<int32_t>{0, 1}));
}

}  // namespace

namespace {

TEST_F(road_streaming_test, a_cut_plane_hides_the_roads_on_its_cut_side_only)
{
    const int32_t west = road_edge({-5000, 0, 0}, {-5000, 0, -2000}, 0, 0);
    const int32_t east = road_edge({5000, 0, 0}, {5000, 0, -2000}, 0, 0);
    ctrl.build_item_tree();
    const cd_bounds_t box = box_at({0, 0, -1000}, 20000);
    ctrl.draw_roads(box);
    ASSERT_TRUE(ctrl.segment_slot(ctrl.edges[west].segment_slot)->visible);
    // A cut plane whose first line tells x >= 0 from x < 0, whose other two lines hold everywhere, and
    // which keeps side 1 (x >= 0): the western road is cut.
    const int32_t index = ctrl.add_miscitem();
    map_miscitem_t& plane = ctrl.miscitems[index];
    plane.type = 6;
    const float lines[9] = {1, 0, 0, 0, 0, 1, 0, 0, 1};
    std::copy(lines, lines + 9, &plane.tangents[0].x);
    plane.params[0] = 1;
    ctrl.active_list(base_ctrl_cut_planes).append(index);
    ctrl.draw_roads(box);
    EXPECT_FALSE(ctrl.segment_slot(ctrl.edges[west].segment_slot)->visible);
    EXPECT_TRUE(ctrl.segment_slot(ctrl.edges[east].segment_slot)->visible);
    // A plane whose side word is negative cuts nothing: the road comes back without a rebuild.
    ctrl.miscitems[index].params[0] = -1;
    ctrl.draw_roads(box);
    EXPECT_TRUE(ctrl.segment_slot(ctrl.edges[west].segment_slot)->visible);
    EXPECT_EQ(ctrl.built.size(), 2u);
}

// Free items and misc items of a map streamed with its roads.
class road_items_test : public road_geometry_test_t {
protected:
    // A free item standing at `at` with a box of 100 about it.
    int32_t free_item(const vec3_t& at)
    {
        const int32_t index = ctrl.add_freeitem();
        map_freeitem_t& item = ctrl.freeitems[index];
        item = map_freeitem_t{};
        item.model = item.look = -1;
        item.position = at;
        item.bounds = box_at(at, 100);
        return index;
    }

    // A misc item of `type` at `at` with a box of 100 about it.
    int32_t misc_item(const int32_t type, const vec3_t& at)
    {
        const int32_t index = ctrl.add_miscitem();
        map_miscitem_t& item = ctrl.miscitems[index];
        item = map_miscitem_t{};
        item.type = type;
        item.points[0] = at;
        item.params[0] = 1;
        item.bounds = box_at(at, 100);
        return index;
    }
};

TEST_F(road_items_test, free_items_are_shown_in_range_and_leave_the_shown_list_out_of_it)
{
    const int32_t item = free_item({1000, 0, 0});
    ctrl.build_item_tree();
    const cd_bounds_t near = box_at({0, 0, 0}, 5000);
    const cd_bounds_t far = box_at({100000, 0, 0}, 5000);
    ctrl.draw_roads(near);
    EXPECT_EQ(ctrl.freeitems[item].shown & 0xFFu, 1u);
    EXPECT_EQ(ctrl.seg_server->shown_freeitems, std::vector<int32_t>{item});
    ctrl.draw_roads(near);
    EXPECT_EQ(ctrl.seg_server->shown_freeitems.size(), 1u);
    // A mirror looking elsewhere leaves it shown; the main view moving away takes it off (it has no sound).
    set_drawing_secondary_view(true);
    ctrl.draw_roads(far);
    set_drawing_secondary_view(false);
    EXPECT_EQ(ctrl.freeitems[item].shown & 0xFFu, 1u);
    ctrl.draw_roads(far);
    EXPECT_EQ(ctrl.freeitems[item].shown & 0xFFu, 0u);
    EXPECT_TRUE(ctrl.seg_server->shown_freeitems.empty());
}

TEST_F(road_items_test, misc_items_are_switched_on_once_in_range_and_off_when_they_leave)
{
    const int32_t station = misc_item(map_misc_gas_station, {1000, 0, 0});
    const int32_t plane = misc_item(map_misc_cut_plane, {2000, 0, 0});
    ctrl.build_item_tree();
    const cd_bounds_t near = box_at({0, 0, 0}, 5000);
    const cd_bounds_t far = box_at({100000, 0, 0}, 5000);
    // Listed at load already: the streaming does not list it again.
    ctrl.active_list(base_ctrl_stations).append(station);
    ctrl.miscitems[station].active = 1;
    ctrl.draw_roads(near);
    ctrl.draw_roads(near);
    EXPECT_EQ(ctrl.active_list(base_ctrl_stations).count(), 1u);
    // A cut plane that comes into range cuts nothing until its side is chosen.
    EXPECT_EQ(ctrl.active_list(base_ctrl_cut_planes).count(), 1u);
    EXPECT_EQ(ctrl.miscitems[plane].params[0], -1);
    ctrl.draw_roads(far);
    EXPECT_TRUE(ctrl.active_list(base_ctrl_stations).is_empty());
    EXPECT_TRUE(ctrl.active_list(base_ctrl_cut_planes).is_empty());
    EXPECT_EQ(ctrl.miscitems[station].active, 0u);
    ctrl.draw_roads(near);
    EXPECT_EQ(ctrl.active_list(base_ctrl_stations).count(), 1u);
}

}  // namespace
