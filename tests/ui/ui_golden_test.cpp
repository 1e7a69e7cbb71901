#include <cmath>
#include <fstream>
#include <iterator>
#include <string>

#include "engine/cvar.h"
#include "engine/gfx.h"
#include "engine/gfx_record.h"
#include "engine/log.h"
#include "engine/matrix.h"
#include "engine_testing/golden_image.h"
#include "ui/components/ui_comp_progress.h"
#include "ui_fixture.h"

namespace {

golden_picture_t captured;

void keep_capture(uint16_t width, uint16_t height, const uint8_t* pixels)
{
    captured.width = width;
    captured.height = height;
    captured.rgb.assign(pixels, pixels + static_cast<size_t>(width) * height * 3);
}

// The colour of a pixel of the capture, as 0xRRGGBB.
uint32_t pixel(int x, int y)
{
    const uint8_t* p = &captured.rgb[(static_cast<size_t>(y) * static_cast<size_t>(captured.width) + x) * 3];
    return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}

std::string golden(const char* name) { return std::string(KAVRENTA_SOURCE_DIR) + "/tests/golden/" + name; }

// Windows of the sample game's data painted on a 640 x 480 screen and compared with their pictures.
class ui_golden_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        if (!gfx_record_can_paint())
            GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
        captured = golden_picture_t{};
        for (const char* file :
             {"fonts/default.font", "fonts/default.png", "ui/pics/console.shd", "ui/pics/console.png",
              "ui/pics/panel.shd", "ui/pics/panel.png", "ui/pics/button.shd", "ui/pics/button.png"})
            ASSERT_NO_FATAL_FAILURE(copy_data(file));
        gfx_init_devices();
        gfx_mode_t mode{};
        mode.width = 640;
        mode.height = 480;
        mode.bits = 32;
        ASSERT_TRUE(gfx_mode_init(gfx_device_get(0), &mode));
    }

    void copy_data(const std::string& relative)
    {
        std::ifstream in(std::string(KAVRENTA_SOURCE_DIR) + "/data/" + relative, std::ios::binary);
        ASSERT_TRUE(in) << relative;
        write_data_file(relative, std::string(std::istreambuf_iterator<char>(in), {}));
    }

    // One frame as the game draws it, cleared to `colour`, captured.
    static void capture_frame(uint32_t colour)
    {
        gfx_screen_capture(keep_capture);
        gfx_begin_frame();
        gfx_clear1(0xffffffff, colour);
        ui_process();
        gfx_end_frame();
        gfx_try_capture();
        gfx_swapbuffers();
    }
};

TEST_F(ui_golden_test, golden_console_window_with_text)
{
    cvar_t minicon{"g_minicon", "0", cvar_t::type_integer, nullptr, 1u};
    ASSERT_TRUE(cvar_register_variable(&minicon, 0));
    ASSERT_NO_FATAL_FAILURE(copy_data("ui/system/console.esc"));
    write_data_file("ui/system/minicon.esc", "entity ui.window { rect = 0 1024 768 688; }\n");
    message("Kavrenta console");
    message("\\yyellow warning text");
    message("the quick brown fox jumps over the lazy dog 0123456789");
    c_item_t* console = ui_winsert("system_02", "console", 9, "/ui/system/console.esc", false);
    ASSERT_NE(console, nullptr);
    ui_wshow(console, 0);
    frame();
    capture_frame(0xff000000);
    ASSERT_EQ(captured.width, 640);
    EXPECT_EQ(pixel(320, 400), 0x000000u);   // the lower half shows the clear colour
    const uint32_t panel = pixel(320, 120);  // the console's panel: dark blue
    EXPECT_GT(panel & 0xff, panel >> 16) << std::hex << panel;
    EXPECT_TRUE(golden_image_matches(captured, golden("console_window.png")));
}

TEST_F(ui_golden_test, golden_menu_window)
{
    write_data_file("ui/menu.esc", R"(
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.text { rect = 312 712 640 128; text = "<img src=/ui/pics/panel.shd xscale=stretch yscale=stretch>"; }
    entity ui.comp.text { rect = 312 712 610 560; text = "<align hstyle=center><color value=ff40c0ff>MAIN MENU</color></align>"; }
    entity ui.comp.text { rect = 362 662 520 470; text = "<img src=/ui/pics/button.shd xscale=stretch yscale=stretch><ret><align hstyle=center vstyle=center>New game</align>"; }
    entity ui.comp.text { rect = 362 662 440 390; text = "<img src=/ui/pics/button.shd xscale=stretch yscale=stretch><ret><align hstyle=center vstyle=center>Options</align>"; }
    entity ui.comp.text { rect = 362 662 360 310; text = "<img src=/ui/pics/button.shd xscale=stretch yscale=stretch><ret><align hstyle=center vstyle=center><color value=ff8080ff>Quit</color></align>"; }
    entity ui.comp.progress { id = 110; rect = 362 662 230 200; }
}
)");
    c_item_t* menu = ui_winsert("menu", "main", 0, "/ui/menu.esc", true);
    ASSERT_NE(menu, nullptr);
    auto* bar = dynamic_cast<ui_comp_progress_t*>(ui_driver_find(menu, 110));
    ASSERT_NE(bar, nullptr);
    bar->set_progress(0.6f);
    frame();
    capture_frame(0xff203040);
    ASSERT_EQ(captured.width, 640);
    EXPECT_EQ(pixel(10, 10), 0x203040u);     // outside the panel: the clear colour
    const uint32_t border = pixel(320, 81);  // the panel's golden top border
    EXPECT_GT(border >> 16, border & 0xff) << std::hex << border;
    EXPECT_TRUE(golden_image_matches(captured, golden("menu_window.png")));
}

TEST_F(ui_golden_test, a_window_drawn_in_3d_lands_on_its_world_quad)
{
    write_data_file("ui/sign.esc", R"(
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.text { rect = 0 1024 768 0; text = "<img src=/ui/pics/button.shd xscale=stretch yscale=stretch>"; }
}
)");
    c_item_t* sign = ui_winsert("world", "sign", 0, "/ui/sign.esc", true);
    ASSERT_NE(sign, nullptr);
    ui_wadvance3d(sign);
    gfx_screen_capture(keep_capture);
    gfx_begin_frame();
    gfx_camera_identity();
    gfx_clear1(0xffffffff, 0xff000000);
    // A quad 4 m by 3 m, 5 m ahead, over the middle of the screen.
    ui_wdraw3d(sign, {-200.0f, -150.0f, -500.0f}, {400.0f, 0.0f, 0.0f}, {0.0f, 300.0f, 0.0f}, false, 0xFFFFFFFF);
    ui_process();
    gfx_end_frame();
    gfx_try_capture();
    gfx_swapbuffers();
    ASSERT_EQ(captured.width, 640);
    EXPECT_EQ(pixel(5, 5), 0x000000u);        // around the quad: the clear colour
    const uint32_t middle = pixel(320, 240);  // the button picture's green
    EXPECT_GT((middle >> 8) & 0xff, (middle >> 16) + 30) << std::hex << middle;
}

// A window drawn facing the camera stands upright before it with its origin at the middle of its
// bottom edge: a camera turned to look along -x sees a quad whose axes run along x and y centred on
// the screen, not edge on.
TEST_F(ui_golden_test, a_window_drawn_facing_the_camera_stands_before_it_centred_on_its_origin)
{
    if (!gfx_record_can_paint())
        GTEST_SKIP() << "no off-screen OpenGL through EGL on this machine: the picture cannot be compared";
    write_data_file("ui/label.esc", R"(
entity ui.window {
    rect = 0 1024 768 0;
    entity ui.comp.text { rect = 0 1024 768 0; text = "<img src=/ui/pics/button.shd xscale=stretch yscale=stretch>"; }
}
)");
    c_item_t* label = ui_winsert("world", "label", 0, "/ui/label.esc", true);
    ASSERT_NE(label, nullptr);
    ui_wadvance3d(label);
    mat4_t frame;
    mat4_t inverse;
    matrix_set_rotate(frame, vec3_t{0.0f, 90.0f, 0.0f});
    ASSERT_TRUE(matrix_inverse(inverse, frame));
    const vec3_t forward(-frame.m[0][2], -frame.m[1][2], -frame.m[2][2]);
    ASSERT_GT(std::fabs(forward.x), 0.99f) << "the camera looks along x";
    gfx_screen_capture(keep_capture);
    gfx_begin_frame();
    gfx_camera_load(&inverse.m[0][0], &frame.m[0][0]);
    gfx_clear1(0xffffffff, 0xff000000);
    // 4 m by 3 m, 5 m ahead, its bottom edge 1.5 m below the eye.
    ui_wdraw3d(label, forward * 500.0f + vec3_t(0.0f, -150.0f, 0.0f), {400.0f, 0.0f, 0.0f}, {0.0f, 300.0f, 0.0f}, true,
               0xFFFFFFFF);
    ui_process();
    gfx_end_frame();
    gfx_try_capture();
    gfx_swapbuffers();
    ASSERT_EQ(captured.width, 640);
    // 2 m either side of the middle at 5 m lands some 137 pixels either side of the screen's middle.
    for (const int x : {200, 320, 440}) {
        const uint32_t seen = pixel(x, 240);
        EXPECT_GT((seen >> 8) & 0xff, (seen >> 16) + 30) << x << ": " << std::hex << seen;
    }
    EXPECT_EQ(pixel(150, 240), 0x000000u);
    EXPECT_EQ(pixel(490, 240), 0x000000u);
}

}  // namespace
