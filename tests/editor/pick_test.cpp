#include <memory>

#include "editor/editor_camera_top.h"
#include "editor_fixture.h"

namespace {

// The controller with its top camera current, 2500 above the origin, and a road from (0, 0, 0) to
// (5, 0, 0) held in render slot 0, as the streaming would hold it near the camera.
class pick_test : public editor_test_t {
protected:
    void SetUp() override
    {
        editor_test_t::SetUp();
        // Made after the engine's reset, so that its handle lives.
        camera = std::make_unique<editor_camera_top_e>();
        camera->init(0);
        ctrl.register_camera(*camera);
        ctrl.set_view_mode(edit_view_top);
        ASSERT_EQ(ctrl.current_camera(), camera.get());
        a = node(0.0f, 0.0f);
        b = node(5.0f, 0.0f);
        edge = road(a, b);
        ctrl.segment_slot(0)->edge_index = edge;
    }
    void TearDown() override
    {
        ctrl.segment_slot(0)->edge_index = -1;
        editor_test_t::TearDown();
    }

    std::unique_ptr<editor_camera_top_e> camera;
    int32_t a = -1, b = -1, edge = -1;
};

TEST_F(pick_test, the_top_camera_stands_at_its_zooms_height_and_never_below_ground)
{
    EXPECT_FLOAT_EQ(camera->position.y, 2500.0f);
    EXPECT_FLOAT_EQ(editor_camera_top_e::height_of_zoom(1.0f), 250000.0f);
    EXPECT_FLOAT_EQ(editor_camera_top_e::height_of_zoom(0.0f), editor_top_min_height);
    // The ground under the screen's centre is the camera's own x and z, on the grid of 10.
    camera->set_position(vec3_t(1234.0f, 0.0f, -567.0f));
    vec3_t ground;
    camera->ground_point(0.0f, 0.0f, ground, false);
    EXPECT_FLOAT_EQ(ground.x, 1230.0f);
    EXPECT_FLOAT_EQ(ground.z, -570.0f);
    camera->ground_point(0.0f, 0.0f, ground, true);
    EXPECT_FLOAT_EQ(ground.x, 1234.0f);
    // Up on the screen is towards -z: the camera looks down with its top to the north.
    camera->ground_point(0.0f, 0.5f, ground, true);
    EXPECT_LT(ground.z, -567.0f);
}

TEST_F(pick_test, of_two_nodes_under_the_pointer_the_earlier_node_slot_wins_and_snaps_the_ground)
{
    ASSERT_TRUE(ctrl.pick(0.0f, 0.0f, -1));
    EXPECT_EQ(ctrl.pointer.picked_type, edit_pick_node);
    EXPECT_EQ(ctrl.pointer.picked_item, a);
    EXPECT_EQ(ctrl.pointer.ground, ctrl.nodes[a].position);
    // Far from both: nothing picked.
    EXPECT_FALSE(ctrl.pick(0.5f, 0.5f, -1));
    EXPECT_EQ(ctrl.pointer.picked_type, edit_pick_none);
    EXPECT_EQ(ctrl.pointer.picked_item, -1);
}

TEST_F(pick_test, a_node_behind_the_camera_is_never_picked)
{
    ctrl.nodes[a].position.y = 5000.0f;
    ctrl.nodes[b].position.y = 5000.0f;
    EXPECT_FALSE(ctrl.pick(0.0f, 0.0f, -1));
}

TEST_F(pick_test, a_held_node_snaps_onto_another_and_stays_picked)
{
    ASSERT_TRUE(ctrl.pick(0.0f, 0.0f, -1));
    ctrl.pointer.held = a;
    ASSERT_TRUE(ctrl.pick(0.0f, 0.0f, a));
    EXPECT_EQ(ctrl.pointer.ground, ctrl.nodes[b].position);
    EXPECT_EQ(ctrl.pointer.picked_item, a);
}

TEST_F(pick_test, with_the_free_camera_nothing_is_picked)
{
    ctrl.pointer.picked_type = edit_pick_node;
    ctrl.pointer.picked_item = a;
    ctrl.view_mode = edit_view_free;
    vec3_t point;
    ctrl.on_pointer_move(0.0f, 0.0f, point);
    EXPECT_EQ(ctrl.pointer.picked_type, edit_pick_none);
}

TEST_F(pick_test, three_presses_of_a_road_make_two_edges_and_of_a_city_road_one)
{
    ctrl.set_mode(edit_mode_new_item);
    const auto press_at = [&](float x, float z) {
        ctrl.pointer.ground = vec3_t(x, 0.0f, z);
        ctrl.on_button_down(1, 0);
    };
    ctrl.set_sub_mode(edit_sub_road);
    press_at(0.0f, 3000.0f);
    press_at(1000.0f, 3000.0f);
    press_at(2000.0f, 3000.0f);
    EXPECT_EQ(ctrl.edges.count, 3);
    EXPECT_EQ(ctrl.pointer.create_state, 1);
    ctrl.set_sub_mode(edit_sub_city_road);
    press_at(0.0f, 6000.0f);
    press_at(1000.0f, 6000.0f);
    press_at(2000.0f, 6000.0f);
    EXPECT_EQ(ctrl.edges.count, 4);
    EXPECT_EQ(ctrl.pointer.create_state, 1);
    EXPECT_TRUE(ctrl.modified);
    // Starting a road at a node with edges on both sides creates nothing.
    ctrl.set_sub_mode(edit_sub_road);
    press_at(1000.0f, 3000.0f);
    EXPECT_EQ(ctrl.pointer.create_state, 0);
    EXPECT_TRUE(engine_log_has("Edge cannot begin at this node."));
}

}  // namespace
