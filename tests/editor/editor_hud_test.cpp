#include "editor/ui_handler_editor_hud.h"

#include "engine/ui_window.h"
#include "common/c_item_ops.h"
#include "../ui/ui_fixture.h"

namespace {

// The HUD's readout, quick-help line and pointer area in a window of the HUD's handler.
class editor_hud_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        write_data_file("ui/hud.esc", "entity ui.handler.editor.hud { }\n"
                                      "entity ui.window {\n    rect = 0 1024 768 0;\n"
                                      "    entity ui.comp.text { id = 6666; rect = 0 1024 768 0; }\n"
                                      "    entity ui.comp.common.text { id = 100; rect = 0 300 30 0; }\n"
                                      "    entity ui.comp.common.text { id = 130; rect = 300 1024 30 0; }\n"
                                      "}\n");
        window_ = ui_winsert("editorui_hud", "hud", 4, "/ui/hud.esc", true);
        ASSERT_NE(window_, nullptr);
        hud_ = static_cast<ui_handler_editor_hud_t*>(c_item_lock(ui_driver_window(window_)->handler_item));
        ASSERT_NE(hud_, nullptr);
        frame();
    }
    void TearDown() override
    {
        c_item_release(ui_driver_window(window_)->handler_item);
        ui_test_t::TearDown();
    }

    c_item_t* window_ = nullptr;
    ui_handler_editor_hud_t* hud_ = nullptr;
};

TEST_F(editor_hud_test, quick_help_shows_without_quotes_and_the_readout_by_mode)
{
    hud_->set_quick_help("it's \"the\" `road`");
    EXPECT_EQ(ui_driver_get(ui_driver_find(window_, 130), "value"), "its the road");
    hud_->show_height(vec3_t(12.7f, 345.9f, -6.2f), true);
    EXPECT_EQ(ui_driver_get(ui_driver_find(window_, 100), "value"), "Height : [ 345 ] ");
    hud_->show_height(vec3_t(12.7f, 345.9f, -6.2f), false);
    EXPECT_EQ(ui_driver_get(ui_driver_find(window_, 100), "value"), "[ 12, -6 ] ");
}

TEST_F(editor_hud_test, the_pointer_area_captures_the_pointer_once_per_press_and_release)
{
    ui_window_t* const window = ui_driver_window(window_);
    ui_view_t* const area = ui_driver_find(window_, 6666);
    ui_driver_move(600.0f, 500.0f);
    ui_driver_press();
    EXPECT_EQ(window->capture_view, area);
    EXPECT_TRUE(hud_->captured);
    ui_driver_press();
    EXPECT_EQ(window->capture_view, area);
    ui_driver_release();
    EXPECT_EQ(window->capture_view, nullptr);
    EXPECT_FALSE(hud_->captured);
}

}  // namespace
