#include "ui/components/ui_comp_truckbutton.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/psm_record.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "ui_fixture.h"

namespace {

// A model of one part with the given bones.
std::string model(const std::vector<std::pair<std::string, float>>& bones, const std::string& part = "body")
{
    std::string text = "psm 1\nbone root { }\n";
    for (const auto& [name, x] : bones)
        text += "bone " + name + " { parent root matrix 1 0 0 " + std::to_string(x) + " 0 1 0 0 0 0 1 0 0 0 0 1 }\n";
    return text + "part " + part + " { positions { 0 0 0 1 0 0 0 1 0 } indices { 0 1 2 } }\n";
}

class ui_truckbutton_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ =
            make_window("    entity ui.comp.truckbutton { id = 7; rect = 100 300 400 300; button_type = normal; }\n");
        ASSERT_NE(window_, nullptr);
        frame();
        button_ = dynamic_cast<ui_comp_truckbutton_t*>(ui_driver_find(window_, 7));
        ASSERT_NE(button_, nullptr);
    }

    void accessory(const std::string& make, const std::string& name, const std::string& keys)
    {
        write_data_file("makes/truck/" + make + "/acc/" + name + "/!desc.def", "accessory {\n" + keys + "}\n");
    }

    c_item_t* window_ = nullptr;
    ui_comp_truckbutton_t* button_ = nullptr;
    char names_[64][32] = {};
};

TEST_F(ui_truckbutton_test, a_make_of_parts_shows_its_wheels_from_the_base_bones_but_never_the_interior)
{
    write_data_file("makes/truck/rig/acc/base/base.psm",
                    model({{"wheel0", 1}, {"wheel1", 2}, {"wheel2", 3}, {"wheel3", 4}, {"wheel4", 5}}));
    accessory("rig", "base", "type = base\nmodel = base.psm\n");
    write_data_file("makes/truck/rig/acc/inside/m.psm", model({}));
    accessory("rig", "interior", "type = cabin\nmodel = ../inside/m.psm\n");
    std::snprintf(names_[0], 32, "base");
    std::snprintf(names_[1], 32, "interior");
    button_->build_model("rig", names_);
    EXPECT_FALSE(button_->single_model);
    EXPECT_NE(button_->parts[0], nullptr);
    EXPECT_EQ(button_->parts[1], nullptr) << "the interior is never shown";
    EXPECT_EQ(button_->front_count, 2);
    EXPECT_EQ(button_->rear_count, 3) << "the base has no bone wheel5";
}

TEST_F(ui_truckbutton_test, a_make_with_a_single_model_shows_it_whatever_the_accessories)
{
    write_data_file("makes/truck/far/acc/lod/lod.psm", model({}, "cabin"));
    accessory("far", "lod", "model = lod.psm\n");
    accessory("far", "base", "type = base\nmodel = base.psm\n");
    std::snprintf(names_[0], 32, "base");
    button_->build_model("far", names_);
    EXPECT_TRUE(button_->single_model);
    EXPECT_NE(button_->parts[0], nullptr);
    EXPECT_EQ(button_->front_count + button_->rear_count, 0);
}

TEST_F(ui_truckbutton_test, pressing_moves_the_camera_closer_until_the_button_is_released)
{
    button_->set_color(0x102030);
    EXPECT_EQ(button_->paint, 0xFF102030u);
    button_->pressed = true;
    ui_press_param_t press{1};
    button_->action(button_, ui_action_pressed, &press);
    EXPECT_FLOAT_EQ(button_->camera_offset[0], -110.0f);
    button_->pressed = false;
    button_->draw();
    EXPECT_FLOAT_EQ(button_->camera_offset[0], -115.0f);
}

}  // namespace

TEST_F(ui_truckbutton_test, the_live_buttons_light_their_models_with_one_light_that_the_last_gives_back)
{
    write_data_file("makes/truck/rig/acc/cab/cab.psm", model({}, "cabin"));
    accessory("rig", "cab", "type = cabin\nmodel = cab.psm\n");
    std::snprintf(names_[0], 32, "cab");
    button_->build_model("rig", names_);
    frame();
    const void* light = nullptr;
    for (const psm_draw_record_t& record : psm_draw_records())
        if (record.model == button_->parts[0])
            light = record.lights;
    ASSERT_NE(light, nullptr) << "the button's model is drawn lit";
    EXPECT_EQ(light, ui_comp_truckbutton_t::shared_light_list(nullptr, nullptr));

    c_item_t* second = make_window("    entity ui.comp.truckbutton { id = 8; rect = 400 600 400 300; }\n");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(ui_comp_truckbutton_t::live_buttons(), 2);
    ui_wremove(second);
    EXPECT_EQ(ui_comp_truckbutton_t::shared_light_list(nullptr, nullptr), light) << "one button still lives";
    ui_wremove(window_);
    window_ = nullptr;
    EXPECT_EQ(ui_comp_truckbutton_t::live_buttons(), 0);
    EXPECT_EQ(ui_comp_truckbutton_t::shared_light_list(nullptr, nullptr), nullptr) << "the last gave it back";
    c_item_t* third = make_window("    entity ui.comp.truckbutton { id = 9; rect = 400 600 400 300; }\n");
    ASSERT_NE(third, nullptr);
    EXPECT_NE(ui_comp_truckbutton_t::shared_light_list(nullptr, nullptr), nullptr) << "a new button lights again";
}
