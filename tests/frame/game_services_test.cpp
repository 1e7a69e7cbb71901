#include <gtest/gtest.h>

#include <filesystem>

#include "engine/command_line.h"
#include "frame/game_process.h"
#include "frame/view_params.h"
#include "frame_fixture.h"

namespace {

// The services that reach the running game process.
class game_services_test : public world_test_t
{
  protected:
    game_process_t* start()
    {
        cdl_set({"kavrenta", "-homeless"});
        return game_process_t::create_and_start();
    }
};

TEST_F(game_services_test, view_parameters_are_copied_out_and_in)
{
    gfx_view_t view{};
    EXPECT_FALSE(get_view_params(&view)) << "no game process yet";
    EXPECT_EQ(set_view_params(&view), nullptr);

    game_process_t* game = start();
    ASSERT_TRUE(get_view_params(&view));
    EXPECT_EQ(view.near_plane, game->view().near_plane);
    view.far_plane = 12345.0f;
    view.fov = 55.0f;
    EXPECT_EQ(set_view_params(&view), &view);
    EXPECT_EQ(game->view().far_plane, 12345.0f);
    EXPECT_EQ(game->view().fov, 55.0f);
}

TEST_F(game_services_test, the_screenshot_command_writes_the_next_drawn_frame)
{
    start();
    ASSERT_TRUE(api::cmd_execute("screenshot"));
    engine_run_frames(2, 1.0 / 60.0);
    EXPECT_TRUE(std::filesystem::exists(home_ / "screenshots" / "aa_00000.png"));
    EXPECT_FALSE(engine_log_matching("screen shot: /screenshots/aa_00000.png").empty());
}

}  // namespace
