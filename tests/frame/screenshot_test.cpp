#include "frame/screenshot.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "engine/command.h"
#include "engine/gfx.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/png_decode.h"
#include "common/engine_api.h"

namespace {

class screenshot_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        bind_engine_for_tests();
        gfx_init_devices();
        gfx_mode_t mode{};
        mode.width = 800;
        mode.height = 600;
        mode.bits = 32;
        ASSERT_TRUE(gfx_mode_init(gfx_device_get(0), &mode));
    }

    // Runs the console command and one frame cleared to `colour`, serving the capture.
    static void shoot(const uint32_t colour)
    {
        ASSERT_TRUE(cmd_execute("screenshot"));
        gfx_begin_frame();
        gfx_clear1(0xffffffff, colour);
        gfx_end_frame();
        ASSERT_TRUE(gfx_try_capture());
    }

    std::filesystem::path shot(const char* name) const { return home_ / "screenshots" / name; }
};

TEST_F(screenshot_test, takes_the_next_free_number_and_writes_a_png_of_the_screen)
{
    ASSERT_TRUE(cmd_register_command("screenshot", screenshot));
    std::filesystem::create_directories(home_ / "screenshots");
    std::ofstream(shot("aa_00000.png")) << "older";
    std::ofstream(shot("aa_00001.png")) << "older";

    shoot(0xff336699);
    ASSERT_TRUE(std::filesystem::exists(shot("aa_00002.png")));
    EXPECT_TRUE(engine_log_has("screen shot: /screenshots/aa_00002.png"));
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(png_decode_rgb_file(shot("aa_00002.png"), width, height, rgb));
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(rgb[0], 0x33);
    EXPECT_EQ(rgb[1], 0x66);
    EXPECT_EQ(rgb[2], 0x99);

    std::ifstream older(shot("aa_00001.png"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(older), {}), "older") << "existing shots are kept";
}

TEST_F(screenshot_test, makes_the_folder_when_the_home_has_none)
{
    const uint8_t pixels[2 * 2 * 3] = {};
    ASSERT_TRUE(screenshot_write(2, 2, pixels));
    EXPECT_TRUE(std::filesystem::exists(shot("aa_00000.png")));
}

TEST_F(screenshot_test, a_picture_that_cannot_be_compressed_leaves_no_file)
{
    const uint8_t pixels[3] = {};
    EXPECT_FALSE(screenshot_write(0, 1, pixels));
    EXPECT_TRUE(engine_log_has("screenshot: failed to write /screenshots/aa_00000.png"));
    EXPECT_FALSE(std::filesystem::exists(shot("aa_00000.png")));
}

}  // namespace
