#include "ui/components/ui_comp_color_pick.h"

#include <gtest/gtest.h>

#include "ui_drawn.h"
#include "ui_fixture.h"

namespace {

// A picker 200 wide and 120 high: the field is its left 64 units, the strip its right 32.
class ui_color_pick_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window("    entity ui.comp.color.pick { id = 5; rect = 100 300 400 280; }\n");
        ASSERT_NE(window_, nullptr);
        frame();
        picker_ = dynamic_cast<ui_comp_color_pick_t*>(ui_driver_find(window_, 5));
        ASSERT_NE(picker_, nullptr);
    }

    c_item_t* window_ = nullptr;
    ui_comp_color_pick_t* picker_ = nullptr;
};

TEST_F(ui_color_pick_test, colours_go_in_and_out_as_engine_words)
{
    picker_->set_color(0xFF0000FF);
    EXPECT_FLOAT_EQ(picker_->hue, 6.0f);
    EXPECT_FLOAT_EQ(picker_->saturation, 1.0f);
    EXPECT_FLOAT_EQ(picker_->value, 1.0f);
    EXPECT_EQ(picker_->get_color(), 0xFF0000FFu);
    picker_->set_color(0x00808080);
    EXPECT_FLOAT_EQ(picker_->saturation, 0.0f);
    EXPECT_FLOAT_EQ(picker_->hue, 0.0f);
    EXPECT_EQ(picker_->get_color(), 0xFF808080u) << "a grey comes back with full alpha";
    picker_->set_color(0xFF00FF00);
    EXPECT_EQ(picker_->get_color(), 0xFF00FF00u);
    EXPECT_EQ(picker_->picked, 0u) << "setting is not picking";
}

TEST_F(ui_color_pick_test, the_strip_and_the_field_are_drawn_in_the_colours_the_picker_gives)
{
    picker_->set_color(0xFF0000FF);  // red, full saturation and value
    const size_t mark = ui_drawn_mark();
    frame();
    const std::vector<gfx_recorded_data_t> drawn = ui_drawn_with("/shaders/2d/uidefault.shd", mark);
    ASSERT_GE(drawn.size(), 2u);
    // The renderer reads vertex colours with red in the high byte.
    EXPECT_EQ(drawn[0].geometry.colours[0], 0xFFFF0000u) << "the strip's first row is hue 0, red";
    const gfx_recorded_data_t& field = drawn[1];
    const uint32_t corner = field.geometry.colours.back();  // the most saturated and brightest
    EXPECT_GT(corner >> 16 & 0xFF, 0xF0u) << std::hex << corner;
    EXPECT_LT(corner & 0xFF, 0x10u) << std::hex << corner << ": the field's corner is the picked red";
}

TEST_F(ui_color_pick_test, dragging_with_the_first_button_alone_picks_from_the_field_and_the_strip)
{
    ui_driver_move(132, 340);  // the middle of the field
    ui_driver_press();
    EXPECT_NEAR(picker_->saturation, 0.5f, 0.01f);
    EXPECT_NEAR(picker_->value, 0.5f, 0.01f);
    EXPECT_EQ(picker_->picked, 1u);
    ui_driver_move(290, 300);  // onto the strip while held
    EXPECT_NEAR(picker_->hue, 1.0f, 0.01f);
    ui_driver_press(ui_button_second);
    ui_driver_move(290, 380);
    EXPECT_NEAR(picker_->hue, 1.0f, 0.01f) << "with two buttons held, moves pick nothing";
    ui_driver_release(ui_button_second);
    ui_driver_release();
    EXPECT_EQ(ui_driver_window(window_)->capture_view, nullptr) << "the last button lets the pointer go";
}

}  // namespace
