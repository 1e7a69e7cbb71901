#include "common/world_pause.h"

#include <gtest/gtest.h>

#include "engine/command_line.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "frame_fixture.h"

namespace {

class world_pause_test : public world_test_t {};

TEST_F(world_pause_test, pauses_and_resumes_the_world_of_the_current_bridge)
{
    cdl_set({"kavrenta", "-map", "xyz"});
    game_process_t* game = game_process_t::create_and_start();
    ASSERT_NE(game->world(), nullptr);
    game->world()->set_pausable(true);
    EXPECT_FALSE(current_world_paused());
    current_world_pause(true, false);
    EXPECT_TRUE(game->world()->paused());
    EXPECT_TRUE(current_world_paused());
    current_world_pause(false, false);
    EXPECT_FALSE(current_world_paused());
}

TEST_F(world_pause_test, without_a_world_nothing_is_paused_and_nothing_happens)
{
    ASSERT_EQ(get_game_bridge(), nullptr);
    current_world_pause(true, true);
    EXPECT_FALSE(current_world_paused());
}

}  // namespace
