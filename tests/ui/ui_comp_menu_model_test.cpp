#include "ui/components/ui_comp_menu_model.h"

#include <gtest/gtest.h>

#include <string>

#include "ui_fixture.h"

namespace {

class ui_menu_model_test : public ui_test_t {
protected:
    // A make of `kind` with one base part; its base has the bone `bone` at `x` when one is named.
    void write_make(const std::string& kind, const std::string& make, const std::string& bone, float x);
};

void ui_menu_model_test::write_make(const std::string& kind, const std::string& make, const std::string& bone,
                                    const float x)
{
    std::string model = "psm 1\nbone root { }\n";
    if (!bone.empty())
        model += "bone " + bone + " { parent root matrix 1 0 0 " + std::to_string(x) + " 0 1 0 0 0 0 1 0 0 0 0 1 }\n";
    model += "part body { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
    const std::string acc = "makes/" + kind + "/" + make + "/acc/base/";
    write_data_file(acc + "base.psm", model);
    write_data_file(acc + "!desc.def", "accessory {\n type = base\n model = base.psm\n shader0 = a.shd\n}\n");
    write_data_file("makes/" + kind + "/" + make + "/description.def", kind + " {\n access0 = base\n}\n");
}

TEST_F(ui_menu_model_test, the_scene_picks_only_makes_with_a_description_and_couples_the_trailer_by_its_hook)
{
    write_data_file("models/scene.psm", "psm 1\nbone truck0 { matrix 1 0 0 0 0 1 0 0 0 0 1 -300 0 0 0 1 }\n"
                                        "part camera { positions { 0 100 1000 1000 100 0 } }\n");
    write_data_file("defs/menu.def", "menu {\n model = /models/scene.psm\n truck = truck\n trailer = trailer\n}\n");
    write_make("truck", "rig", "", 0.0f);
    write_data_file("makes/truck/shared/chrome.shd", "texture 4 4\n");  // shared files, no make
    write_make("trailer", "box", "hook", 250.0f);
    // The random pick would find the shared folder in some of these readings if it counted.
    for (int reading = 0; reading < 8; ++reading) {
        ui_comp_menu_model_t scene;
        scene.read_menu_def();
        ASSERT_NE(scene.scene, nullptr);
        EXPECT_FLOAT_EQ(scene.truck_place[2], -300.0f);
        EXPECT_EQ(scene.path.size(), 2u);
        EXPECT_NE(scene.vehicles[0].parts[0], nullptr) << "reading " << reading;
        EXPECT_NE(scene.vehicles[1].parts[0], nullptr) << "reading " << reading;
        EXPECT_FLOAT_EQ(scene.placements[0][0], 0.0f);
        EXPECT_FLOAT_EQ(scene.placements[1][0], -250.0f) << "the trailer's hook stands at the truck's origin";
    }
}

TEST_F(ui_menu_model_test, a_menu_scene_holds_the_shared_light_while_it_lives)
{
    EXPECT_EQ(ui_comp_make_t::shared_light_list(nullptr, nullptr), nullptr);
    c_item_t* const window = make_window("    entity ui.comp.menu_model { rect = 0 1024 768 0; }\n");
    ASSERT_NE(window, nullptr);
    frame();
    EXPECT_NE(ui_comp_make_t::shared_light_list(nullptr, nullptr), nullptr) << "the scene and its vehicles are lit";
    ui_wremove(window);
    frame();
    EXPECT_EQ(ui_comp_make_t::shared_light_list(nullptr, nullptr), nullptr);
}

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
