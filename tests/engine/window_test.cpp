#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/window.h"
#include "engine_testing/engine_test.h"

namespace {

using window_test = engine_test_t;

TEST_F(window_test, start_up_window_calls_are_recorded_headless)
{
    int icon = 0;
    EXPECT_EQ(hw_get_context()->window, nullptr);
    ASSERT_TRUE(wnd_init_gui_connection());
    ASSERT_TRUE(wnd_register_window_class(&icon));
    void* window = wnd_create_window("Kavrenta");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(wnd_show_window());
    EXPECT_EQ(hw_get_context()->window, window);
    EXPECT_EQ(wnd_record().title, "Kavrenta");
    EXPECT_EQ(wnd_record().icon, &icon);
    EXPECT_TRUE(wnd_record().shown);

    wnd_destroy_window();
    EXPECT_EQ(hw_get_context()->window, nullptr);
    EXPECT_FALSE(wnd_record().created);
    EXPECT_EQ(wnd_record().calls,
              (std::vector<std::string>{"wnd_init_gui_connection", "wnd_register_window_class", "wnd_create_window",
                                        "wnd_show_window", "wnd_destroy_window"}));
}

TEST_F(window_test, window_calls_out_of_order_fail_cleanly)
{
    EXPECT_FALSE(wnd_register_window_class(nullptr));
    EXPECT_EQ(wnd_create_window("Kavrenta"), nullptr);
    EXPECT_FALSE(wnd_show_window());
    ASSERT_TRUE(wnd_init_gui_connection());
    ASSERT_TRUE(wnd_register_window_class(nullptr));
    ASSERT_NE(wnd_create_window("Kavrenta"), nullptr);
    EXPECT_EQ(wnd_create_window("Second"), nullptr);
    EXPECT_TRUE(engine_log_has("wnd_create_window: the main window exists already"));
}

}  // namespace
