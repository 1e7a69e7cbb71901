#include <gtest/gtest.h>

#include <cstdint>

#include "engine/input.h"
#include "engine/input_devices.h"
#include "engine_testing/engine_test.h"

namespace {

using input_devices_test = engine_test_t;

TEST_F(input_devices_test, force_feedback_effects_are_recorded)
{
    ASSERT_EQ(inp_joy_attach("Wheel", {"Steering"}), 0);
    const uint8_t bump = inp_force_create(323, 'I');
    const uint8_t rumble = inp_force_create(323, 'A');
    ASSERT_NE(bump, 0);
    ASSERT_NE(rumble, 0);
    EXPECT_NE(bump, rumble);
    const int32_t words[10] = {3000, 3000, 200000, 5000, 0, 70000, 0, 10000, 10000, 0};
    EXPECT_TRUE(inp_force_change(323, rumble, words));
    EXPECT_TRUE(inp_force_play(323, rumble, 1, 0));
    EXPECT_TRUE(inp_force_play(323, rumble, 1, 0));
    EXPECT_TRUE(inp_force_destroy(323, bump));
    EXPECT_FALSE(inp_force_play(323, bump, 1, 0)) << "a destroyed effect no longer plays";
    EXPECT_FALSE(inp_force_change(323, rumble, nullptr));

    const auto& effects = inp_force_effects();
    ASSERT_EQ(effects.size(), 2u);
    EXPECT_EQ(effects[0].kind, 'I');
    EXPECT_TRUE(effects[0].destroyed);
    EXPECT_EQ(effects[1].kind, 'A');
    EXPECT_EQ(effects[1].words[2], 200000);
    EXPECT_EQ(effects[1].words[5], 70000);
    EXPECT_EQ(effects[1].changes, 1);
    EXPECT_EQ(effects[1].plays, 2);
    EXPECT_EQ(effects[1].play_count, 1);
}

TEST_F(input_devices_test, force_feedback_needs_an_attached_joystick)
{
    EXPECT_EQ(inp_force_create(323, 'F'), 0);
    EXPECT_EQ(inp_force_create(0x1E, 'F'), 0);
    EXPECT_FALSE(inp_force_play(323, 1, 1, 0));
    EXPECT_TRUE(inp_force_effects().empty());
}

TEST_F(input_devices_test, joystick_names_are_copied_whole_or_not_at_all)
{
    ASSERT_EQ(inp_joy_attach("Stick", {"X", "", "Throttle"}), 0);
    ASSERT_EQ(inp_joy_attach("Pad", {}), 1);
    EXPECT_EQ(inp_joy_get_count(), 2);
    char buffer[6] = "=====";
    EXPECT_TRUE(inp_joy_get_name(323, buffer, 6));
    EXPECT_STREQ(buffer, "Stick");
    EXPECT_FALSE(inp_joy_get_name(323, buffer, 5)) << "no room for the NUL";
    EXPECT_STREQ(buffer, "Stick");
    EXPECT_FALSE(inp_joy_get_name(325, buffer, 6));
    EXPECT_FALSE(inp_joy_get_axis_name(323, 1, buffer, 6)) << "an axis without a name";
    EXPECT_FALSE(inp_joy_get_axis_name(324, 0, buffer, 6));
    EXPECT_FALSE(inp_joy_get_axis_name(323, -1, buffer, 6));
    EXPECT_EQ(inp_device_get(3)->code, 324u);
    EXPECT_EQ(inp_device_get(4), nullptr);
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(inp_joy_attach("more", {}), i);
    EXPECT_EQ(inp_joy_attach("one too many", {}), -1);
}

TEST_F(input_devices_test, dead_zone_and_axis_values_are_checked)
{
    ASSERT_EQ(inp_joy_attach("Stick", {"X"}), 0);
    EXPECT_FALSE(inp_joy_set_dead_zone(323, 1.5f, 0));
    EXPECT_FALSE(inp_joy_set_dead_zone(323, 0.1f, 16));
    EXPECT_FALSE(inp_joy_set_dead_zone(324, 0.1f, 0));
    EXPECT_FALSE(inp_joy_set_axis(0, 0, 1.01f));
    ASSERT_TRUE(inp_joy_set_axis(0, 0, -0.1f));
    ASSERT_TRUE(inp_joy_set_dead_zone(323, 0.1f, 0));
    EXPECT_EQ(inp_trigger(323)->axis[0], 0.0f) << "the zone's edge reads as 0";
    ASSERT_TRUE(inp_joy_set_axis(0, 0, -0.2f));
    EXPECT_EQ(inp_trigger(323)->axis[0], -0.2f);
}

TEST_F(input_devices_test, mouse_and_mode_settings_are_kept)
{
    inp_set_active(1);
    inp_set_mouse_state(1);
    inp_set_mouse_sensitivity(2.5f, 1);
    inp_set_mouse_sensitivity(-1.0f, 1);
    inp_cursor_info_set(12, 34);
    EXPECT_EQ(inp_active_mode(), 1);
    EXPECT_EQ(inp_get_mouse_state(), 1);
    EXPECT_EQ(inp_get_mouse_sensitivity(), 2.5f);
    inp_cursor_t cursor{};
    ASSERT_TRUE(inp_cursor_info(&cursor));
    EXPECT_EQ(cursor.x, 12);
    EXPECT_EQ(cursor.y, 34);
    EXPECT_FALSE(inp_cursor_info(nullptr));
    EXPECT_TRUE(inp_init_devices());
    EXPECT_STREQ(inp_device_get(0)->name, "keyboard");
}

}  // namespace
