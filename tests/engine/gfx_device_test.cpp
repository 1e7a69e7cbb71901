#include <cstring>

#include "engine/gfx.h"
#include "engine/gfx_record.h"
#include "engine_testing/engine_test.h"

namespace {

class gfx_device_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        gfx_init_devices();
        device_ = gfx_device_get(0);
        ASSERT_NE(device_, nullptr);
    }

    static gfx_mode_t mode(int width, int height, int bits, int refresh)
    {
        gfx_mode_t m{};
        m.width = width;
        m.height = height;
        m.bits = bits;
        m.refresh = refresh;
        return m;
    }

    gfx_device_t* device_ = nullptr;
};

TEST_F(gfx_device_test, the_headless_device_lists_its_modes_in_order)
{
    ASSERT_EQ(gfx_device_count(), 2);
    EXPECT_STREQ(device_->name(), "gl");
    EXPECT_STREQ(gfx_device_get(1)->name(), "soft");
    EXPECT_EQ(gfx_device_get(2), nullptr);
    EXPECT_EQ(gfx_mode_count(gfx_device_get(1)), 2) << "each device offers its own modes";
    gfx_mode_t wide{};
    wide.width = 1024;
    wide.height = 768;
    wide.bits = 16;
    EXPECT_FALSE(gfx_mode_init(gfx_device_get(1), &wide));
    EXPECT_TRUE(gfx_mode_init(device_, &wide));
    // The one driver is a separate adapter with the same modes.
    ASSERT_EQ(gfx_driver_count(), 1);
    EXPECT_STREQ(gfx_driver_get(0)->name(), "gl");
    EXPECT_NE(gfx_driver_get(0), device_);
    EXPECT_EQ(gfx_driver_get(1), nullptr);
    EXPECT_EQ(gfx_mode_count(gfx_driver_get(0)), gfx_mode_count(device_));
    ASSERT_GT(gfx_mode_count(device_), 0);
    gfx_mode_t first{};
    ASSERT_TRUE(gfx_mode_get(device_, 0, &first));
    EXPECT_EQ(first.width, 640);
    EXPECT_EQ(first.height, 480);
    EXPECT_EQ(first.bits, 16);
    EXPECT_FALSE(gfx_mode_get(device_, gfx_mode_count(device_), &first));
    EXPECT_EQ(gfx_mode_count(nullptr), 0);
}

TEST_F(gfx_device_test, a_mode_is_set_only_when_the_device_accepts_it)
{
    EXPECT_FALSE(gfx_is_active());
    const gfx_mode_t odd = mode(700, 500, 16, 60);
    EXPECT_FALSE(gfx_mode_init(device_, &odd));
    EXPECT_TRUE(engine_log_has("gfx_mode_init: gl does not offer 700x500/16bpp"));
    EXPECT_EQ(gfx_record_mode(), nullptr);

    // A scripted refusal, as a device that cannot do the refresh rate; the retry succeeds.
    gfx_record_fail_mode_inits(1);
    const gfx_mode_t wanted = mode(800, 600, 32, 85);
    EXPECT_FALSE(gfx_mode_init(device_, &wanted));
    EXPECT_TRUE(engine_log_has("gfx_mode_init: gl refused 800x600/32bpp at 85 Hz"));
    EXPECT_TRUE(gfx_mode_init(device_, &wanted));
    ASSERT_NE(gfx_record_mode(), nullptr);
    EXPECT_EQ(gfx_record_mode()->refresh, 85);
    EXPECT_TRUE(gfx_is_active());

    gfx_params_t params{};
    gfx_get_params(&params);
    EXPECT_EQ(params.width, 800);
    EXPECT_EQ(params.height, 600);

    gfx_mode_shutdown(device_);
    EXPECT_EQ(gfx_record_mode(), nullptr);
    EXPECT_FALSE(gfx_is_active());
    EXPECT_FALSE(gfx_mode_init(nullptr, &wanted));
}

TEST_F(gfx_device_test, losing_focus_deactivates_and_tells_the_callback)
{
    const gfx_mode_t wanted = mode(640, 480, 16, 0);
    ASSERT_TRUE(gfx_mode_init(device_, &wanted));
    static int last_heard = -1;
    gfx_activate_callback([](int active, void*) { last_heard = active; }, nullptr);
    gfx_record_set_focus(false);
    EXPECT_FALSE(gfx_is_active());
    EXPECT_EQ(last_heard, 0);
    gfx_record_set_focus(true);
    EXPECT_TRUE(gfx_is_active());
    EXPECT_EQ(last_heard, 1);
}

TEST_F(gfx_device_test, settings_cross_as_text_clamped_and_ignore_writes_while_unavailable)
{
    gfx_device_setting* level = device_->find_setting("level");
    ASSERT_EQ(level, &device_->level_setting);
    char text[128];
    level->set_value("4");
    level->get_value(text, sizeof text, 0);
    EXPECT_STREQ(text, "4");
    level->set_value("99");
    level->get_value(text, sizeof text, 0);
    level->get_max(text + 64, 64);
    EXPECT_STREQ(text, text + 64);
    level->set_value("fast");
    EXPECT_TRUE(engine_log_has("gfx setting level: \"fast\" is not a number"));
    level->set_value("3.7");
    EXPECT_EQ(level->value(), 3.0);
    level->set_value("nan");
    EXPECT_TRUE(engine_log_has("gfx setting level: \"nan\" is not a number"));
    EXPECT_EQ(level->value(), 3.0);
    level->set_value("1e30");  // clamped before it becomes whole, so it never overflows
    EXPECT_EQ(level->value(), 16.0);

    level->unavailable = 1;
    level->set_value("2");
    EXPECT_EQ(level->value(), 16.0);
    level->reset();
    level->get_default(text, sizeof text);
    EXPECT_STREQ(text, "0");

    EXPECT_EQ(device_->find_setting("nothing"), nullptr);
    EXPECT_EQ(device_->setting(device_->setting_count()), nullptr);
    gfx_hw_flush();
    EXPECT_EQ(gfx_record_hw_flushes(), 1);
}

}  // namespace
