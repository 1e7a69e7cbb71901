#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/ui_action.h"
#include "common/view_params.h"
#include "options_fixture.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/options/ui_handler_dialog_gfxtest.h"
#include "ui/screens/options/ui_handler_menu_options1.h"

namespace {

class graphics_page_test : public options_test_t {
protected:
    void SetUp() override
    {
        options_test_t::SetUp();
        open_options();
        graphics_ = page<ui_handler_menu_options1_t>("menu", "options1");
        ASSERT_NE(graphics_, nullptr);
    }

    void press(int id)
    {
        auto* button = dynamic_cast<ui_comp_button_t*>(find("menu", "options1", id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }

    // Sets the mode variables and shows them on the page.
    void show_mode(const char* mode, const char* fullscreen = "0")
    {
        set_cvar("r_mode", mode);
        set_cvar("r_fullscreen", fullscreen);
        graphics_->read_cvars();
    }

    static ui_comp_list_t* list(int id) { return list_of("menu", "options1", id); }
    static c_item_t* test_dialog() { return window("dialog", "gfx_test"); }
    static std::string countdown()
    {
        return ui_driver_get(ui_driver_find(test_dialog(), ui_handler_dialog_gfxtest_t::countdown_id), "value");
    }
    static std::string screen()
    {
        const gfx_mode_t* mode = gfx_record_mode();
        return mode
                   ? std::to_string(mode->width) + "x" + std::to_string(mode->height) + "x" + std::to_string(mode->bits)
                   : "none";
    }

    ui_handler_menu_options1_t* graphics_ = nullptr;
};

TEST_F(graphics_page_test, the_lists_offer_the_modes_of_the_depth_and_refresh_shown)
{
    show_mode("800x600x32x75");
    EXPECT_EQ(rows(list(30)), (std::vector<std::string>{"800 x 600", "1024 x 768"})) << "32-bit modes at 75 Hz";
    EXPECT_EQ(selected(list(30)), "800 x 600");
    EXPECT_EQ(rows(list(32)), (std::vector<std::string>{"0 Hz", "75 Hz"}));
    EXPECT_EQ(selected(list(32)), "75 Hz");
    EXPECT_TRUE(pressed("menu", "options1", 41));
    EXPECT_TRUE(pressed("menu", "options1", 51));

    show_mode("640x480x16x0", "1");
    EXPECT_EQ(rows(list(30)), (std::vector<std::string>{"640 x 480", "800 x 600", "1024 x 768"}))
        << "every 16-bit size once, whatever its rates";
    EXPECT_EQ(selected(list(32)), "0 Hz");
    EXPECT_TRUE(pressed("menu", "options1", 40));
    EXPECT_TRUE(pressed("menu", "options1", 50));

    // A value that is not four fields leaves the mode shown as it was.
    show_mode("1024x768");
    EXPECT_EQ(graphics_->current.width, 640);
    EXPECT_EQ(selected(list(30)), "640 x 480");
    set_cvar("r_mode", "640x480x16x0");
}

TEST_F(graphics_page_test, the_lists_follow_the_device_picked)
{
    show_mode("800x600x32x0");
    ASSERT_EQ(rows(list(10)), (std::vector<std::string>{"headless recording device", "headless software device"}));
    pick(list(10), 1);
    EXPECT_EQ(graphics_->current.device, 1);
    press(40);
    EXPECT_EQ(rows(list(30)), (std::vector<std::string>{"640 x 480", "800 x 600"}))
        << "the software device's own modes";
    pick(list(10), 0);
    EXPECT_EQ(rows(list(30)), (std::vector<std::string>{"640 x 480", "800 x 600", "1024 x 768"}));
}

TEST_F(graphics_page_test, apply_switches_only_a_changed_mode_and_the_test_dialog_keeps_or_reverts_it)
{
    show_mode("640x480x16x0");
    press(1000);
    EXPECT_EQ(test_dialog(), nullptr) << "nothing changed: no switch, no dialog";

    pick(list(30), 1);  // 800 x 600
    press(1000);
    EXPECT_EQ(cvar("r_mode"), "800x600x16x0");
    EXPECT_EQ(screen(), "800x600x16");
    ASSERT_NE(test_dialog(), nullptr);
    EXPECT_TRUE(shown(test_dialog()));
    frames(1, 0.0);
    EXPECT_EQ(countdown(), "@@ui_reverting_in@@ : 20 @@ui_sec@@");
    frames(1, 0.6);
    EXPECT_EQ(countdown(), "@@ui_reverting_in@@ : 19 @@ui_sec@@");
    frames(1, 18.9);
    EXPECT_EQ(countdown(), "@@ui_reverting_in@@ : 0 @@ui_sec@@") << "0.5 s left rounds to even";
    auto* keep = dynamic_cast<ui_comp_button_t*>(ui_driver_find(test_dialog(), 20));
    ASSERT_NE(keep, nullptr);
    keep->click();
    EXPECT_FALSE(shown(test_dialog()));
    frames(3, 10.0);
    EXPECT_EQ(screen(), "800x600x16") << "a kept mode stays; the hidden dialog counts no more";
    EXPECT_EQ(graphics_->previous.width, 800);

    pick(list(30), 2);  // 1024 x 768
    press(1000);
    EXPECT_EQ(screen(), "1024x768x16");
    frames(1, 25.0);  // one frame longer than the countdown
    EXPECT_FALSE(shown(test_dialog()));
    EXPECT_EQ(screen(), "800x600x16") << "the countdown ran out: the previous mode is back";
    EXPECT_EQ(cvar("r_mode"), "800x600x16x0");
    EXPECT_EQ(selected(list(30)), "800 x 600");
    gfx_mode_t other{};
    other.width = 1024;
    other.height = 768;
    other.bits = 16;
    set_gfx_mode(gfx_device_get(0), &other);
    frames(3, 25.0);
    EXPECT_EQ(screen(), "1024x768x16") << "reverted once only";

    pick(list(30), 0);
    press(1000);
    ASSERT_TRUE(ui_driver_stroke(1));  // Esc reverts
    EXPECT_EQ(screen(), "800x600x16");
    set_cvar("r_mode", "640x480x16x0");
}

TEST_F(graphics_page_test, device_settings_presets_and_the_game_settings)
{
    gfx_device_t* device = gfx_device_get(0);
    device->filter_setting_3.set_value("0");
    graphics_->read_cvars();
    EXPECT_EQ(rows(list(100)).size(), 3u);
    EXPECT_EQ(selected(list(100)), "@@ui_custom_filter@@");
    graphics_->read_cvars();
    EXPECT_EQ(rows(list(100)).size(), 3u) << "one custom row only";
    pick(list(100), 0);
    EXPECT_EQ(rows(list(100)), (std::vector<std::string>{"@@ui_bilinear_filter@@", "@@ui_trilinear_filter@@"}));
    EXPECT_EQ(device->filter_setting_1.value(), 0.0);
    EXPECT_EQ(device->filter_setting_3.value(), 1.0);

    // The scale slider runs from the setting's maximum at its low end to its minimum at its high end.
    const auto* scale = dynamic_cast<const ui_slider_base_t*>(find("menu", "options1", 70));
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(scale->minimum, 100);
    EXPECT_EQ(scale->maximum, 0);
    slide("menu", "options1", 70, 100);
    EXPECT_EQ(device->scale_setting.value(), 1.0);

    press(160);  // medium: the level halfway along its slider (0 to 16)
    EXPECT_EQ(device->level_setting.value(), 8.0);
    EXPECT_EQ(cvar("g_view_dist"), "0.5");
    EXPECT_EQ(cvar("g_traffic_density"), "0.75");
    EXPECT_EQ(cvar("g_details"), "1");
    EXPECT_TRUE(pressed("menu", "options1", 131));
    EXPECT_EQ(slider_value("menu", "options1", 120), 50);

    slide("menu", "options1", 120, 100);
    EXPECT_EQ(cvar("g_view_dist"), "1");
    gfx_view_t view;
    ASSERT_TRUE(get_view_params(&view));
    EXPECT_EQ(view.far_plane, 50000.0f);

    press(1100);
    EXPECT_EQ(cvar("g_view_dist"), "1.0");
    EXPECT_EQ(cvar("g_details"), "1");
    EXPECT_EQ(device->level_setting.value(), 0.0);
    EXPECT_EQ(get_game_bridge()->window_count() > 0, true);
    EXPECT_EQ(window("dialog", "msgbox"), nullptr) << "a detail change in the menus asks for no restart";
}

}  // namespace
