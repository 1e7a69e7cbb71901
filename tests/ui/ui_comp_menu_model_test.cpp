#include "ui/components/ui_comp_menu_model.h"

#include <gtest/gtest.h>

#include "ui_fixture.h"

namespace {

class ui_menu_model_test : public ui_test_t {};

TEST_F(ui_menu_model_test, the_camera_travels_at_most_150_units_a_frame_and_wraps_to_the_first_point)
{
    ui_comp_menu_model_t scene;
    scene.set_camera_path({{0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 0, 100}});
    scene.travel(1000.0f);  // a long frame
    EXPECT_EQ(scene.segment, 1u);
    EXPECT_FLOAT_EQ(scene.camera_position[0], 100.0f);
    EXPECT_FLOAT_EQ(scene.camera_position[2], 50.0f);
    scene.travel(150.0f);
    scene.travel(100.0f);
    EXPECT_EQ(scene.segment, 0u) << "past the last point the path starts again";
    EXPECT_FLOAT_EQ(scene.camera_position[0], 0.0f);
}

TEST_F(ui_menu_model_test, a_path_without_points_or_length_keeps_the_camera_still)
{
    ui_comp_menu_model_t scene;
    scene.set_camera_path({});
    scene.travel(50.0f);
    EXPECT_FLOAT_EQ(scene.camera_position[0], 0.0f);
    scene.set_camera_path({{5, 0, 0}, {5, 0, 0}, {5, 0, 0}});
    scene.travel(50.0f);
    EXPECT_FLOAT_EQ(scene.camera_position[0], 5.0f);
    scene.set_camera_path({{0, 0, 0}, {0, 0, 0}, {40, 0, 0}});
    scene.travel(60.0f);  // a zero-length segment is passed over
    EXPECT_EQ(scene.segment, 2u);
    EXPECT_FLOAT_EQ(scene.camera_position[0], 20.0f);
}

}  // namespace
