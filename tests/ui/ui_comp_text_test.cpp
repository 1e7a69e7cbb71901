#include "ui/components/ui_comp_text.h"

#include <gtest/gtest.h>

#include "ui/components/ui_comp_tooltip.h"
#include "ui_fixture.h"

namespace {

class ui_comp_text_test : public ui_test_t {
protected:
    // The items of layer `key` of the window.
    static const std::vector<pml_item_t>& layer_items(c_item_t* window, int key)
    {
        static const std::vector<pml_item_t> none;
        const ui_layer_entry_t* entry = ui_driver_window(window)->layer_entry(key, false);
        return entry ? entry->buffer.items() : none;
    }
};

TEST_F(ui_comp_text_test, renders_once_and_again_only_when_its_text_or_rectangle_changes)
{
    c_item_t* const window = make_window("    entity ui.comp.text { id = 5; layer = 2; rect = 100 300 500 400; "
                                         "text = \"Hello\"; }\n");
    auto* const text = dynamic_cast<ui_comp_text_t*>(ui_driver_find(window, 5));
    ASSERT_NE(text, nullptr);
    for (int i = 0; i < 3; ++i)
        frame();
    EXPECT_EQ(text->renders, 1u);
    EXPECT_EQ(ui_driver_layer_text(window, 2), "Hello");

    ASSERT_TRUE(ui_driver_set(text, "text", "Bye"));
    frame();
    frame();
    EXPECT_EQ(text->renders, 2u);
    EXPECT_EQ(ui_driver_layer_text(window, 2), "Bye");

    // A view move (not a plain shift) renders again at the new place.
    text->offset(0.0f, -50.0f, 0);
    frame();
    EXPECT_EQ(text->renders, 3u);
    ASSERT_FALSE(layer_items(window, 2).empty());
    EXPECT_FLOAT_EQ(layer_items(window, 2).front().box.top, 450.0f);
    EXPECT_EQ(window->locks, 0);
}

TEST_F(ui_comp_text_test, a_plain_move_shifts_the_compiled_text_without_rendering)
{
    c_item_t* const window =
        make_window("    entity ui.comp.text { id = 5; rect = 100 300 500 400; text = \"Hi\"; }\n");
    auto* const text = dynamic_cast<ui_comp_text_t*>(ui_driver_find(window, 5));
    ASSERT_NE(text, nullptr);
    frame();
    ASSERT_FALSE(layer_items(window, 0).empty());
    const float left = layer_items(window, 0).front().box.left;

    text->offset(30.0f, -10.0f, ui_offset_shift);
    frame();
    EXPECT_EQ(text->renders, 1u);
    EXPECT_FLOAT_EQ(text->rect.left, 130.0f);
    EXPECT_FLOAT_EQ(text->rect.top, 490.0f);
    ASSERT_FALSE(layer_items(window, 0).empty());
    EXPECT_FLOAT_EQ(layer_items(window, 0).front().box.left, left + 30.0f) << "the layer was compiled again";
    EXPECT_FLOAT_EQ(text->markup.position_x(), 30.0f);
}

TEST_F(ui_comp_text_test, hiding_takes_the_text_out_of_its_layer_and_showing_puts_it_back)
{
    c_item_t* const window = make_window("    entity ui.comp.group { id = 1;\n"
                                         "        entity ui.comp.text { id = 5; rect = 0 200 500 400; text = \"A\"; }\n"
                                         "        entity ui.comp.text { id = 6; rect = 0 200 300 200; text = \"B\"; }\n"
                                         "    }\n");
    ui_view_t* const group = ui_driver_find(window, 1);
    auto* const text = dynamic_cast<ui_comp_text_t*>(ui_driver_find(window, 5));
    ASSERT_NE(text, nullptr);
    frame();
    EXPECT_EQ(ui_driver_layer_text(window, 0), "AB");
    ASSERT_TRUE(ui_driver_set(text, "visible", "false"));
    frame();
    EXPECT_FALSE(text->shown);
    EXPECT_EQ(ui_driver_layer_text(window, 0), "B");
    // A hidden group hides the texts in it.
    ASSERT_TRUE(ui_driver_set(text, "visible", "true"));
    ASSERT_TRUE(ui_driver_set(group, "visible", "false"));
    frame();
    EXPECT_EQ(ui_driver_layer_text(window, 0), "");
    ASSERT_TRUE(ui_driver_set(group, "visible", "true"));
    frame();
    EXPECT_EQ(ui_driver_layer_text(window, 0), "AB");
}

TEST_F(ui_comp_text_test, a_tooltip_past_the_screen_edge_is_shifted_back_by_the_overhang_in_whole_pixels)
{
    // The device is 640 x 480: one device pixel is 1.6 reference units each way.
    struct case_t {
        pml_rect_t rect;
        float expected_dx;
        float expected_dy;
    };
    const case_t cases[] = {
        {{1013.0f, 1113.0f, 500.0f, 400.0f}, -12.8f, 0.0f},  // "Tip" ends at 1037: 13 over, 8 pixels back
        {{1013.0f, 1113.0f, 0.0f, -100.0f}, -12.8f, 16.0f},  // also below the bottom (the line is 16 high)
        {{-5.0f, 95.0f, 780.0f, 700.0f}, 4.8f, -11.2f},      // left and above the top
        {{100.0f, 200.0f, 500.0f, 400.0f}, 0.0f, 0.0f},      // on screen: left alone
    };
    for (const case_t& c : cases) {
        c_item_t* const window = make_window("    entity ui.comp.tooltip { id = 7; text = \"Tip\"; }\n");
        auto* const tip = dynamic_cast<ui_comp_tooltip_t*>(ui_driver_find(window, 7));
        ASSERT_NE(tip, nullptr);
        tip->rect = c.rect;
        frame();
        const std::vector<pml_item_t>& items = layer_items(window, 0);
        ASSERT_EQ(items.size(), 3u);
        EXPECT_NEAR(items.front().box.left, c.rect.left + c.expected_dx, 1e-3) << c.rect.left;
        EXPECT_NEAR(items.front().box.top, c.rect.top + c.expected_dy, 1e-3) << c.rect.top;
        // Compiling the layer again applies no further shift.
        ui_driver_window(window)->invalidate_layers();
        frame();
        EXPECT_NEAR(layer_items(window, 0).front().box.left, c.rect.left + c.expected_dx, 1e-3);
        // A text rendered again starts from no shift.
        ASSERT_TRUE(ui_driver_set(tip, "text", "Tip"));
        frame();
        EXPECT_NEAR(layer_items(window, 0).front().box.left, c.rect.left + c.expected_dx, 1e-3);
        ui_wremove(window);
    }
}

}  // namespace
