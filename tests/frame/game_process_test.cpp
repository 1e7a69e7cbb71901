#include <gtest/gtest.h>

#include "common/game_settings.h"
#include "engine/command_line.h"
#include "engine/process.h"
#include "engine/vfs.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "engine/def_obj.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "frame_fixture.h"

namespace {

class game_process_test : public world_test_t {
protected:
    game_process_t* start(const std::vector<std::string>& arguments = {})
    {
        std::vector<std::string> line{"kavrenta"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        cdl_set(line);
        return game_process_t::create_and_start();
    }
};

TEST_F(game_process_test, no_option_builds_the_menu_world)
{
    game_process_t* game = start();
    ASSERT_NE(game->world(), nullptr);
    EXPECT_EQ(get_game_bridge()->mode(), game_mode_menu);
    EXPECT_STREQ(game->world()->name(), "menu");
}

TEST_F(game_process_test, map_alone_does_nothing)
{
    game_process_t* game = start();
    world_process_t* menu = game->world();
    api::cmd_execute("map");
    EXPECT_EQ(game->world(), menu);
}

TEST_F(game_process_test, missing_map_on_the_command_line_builds_no_world)
{
    game_process_t* game = start({"-map", "nowhere"});
    EXPECT_EQ(game->world(), nullptr);
    // Checked before the world takes the map's name: the line carries the client's own name.
    EXPECT_TRUE(engine_log_has("[client/cl] map name : nowhere is not valid!"));
    // The start-up base's lines carry its own name, not the game's.
    EXPECT_FALSE(engine_log_matching("[common_proc] gfx device modecount: ").empty());
    EXPECT_TRUE(engine_log_matching("[game] gfx device").empty());
    EXPECT_EQ(get_game_bridge(), nullptr);
}

TEST_F(game_process_test, map_and_edit_on_the_command_line_runs_only_the_map)
{
    game_process_t* game = start({"-edit", "-map", "xyz"});
    ASSERT_NE(game->world(), nullptr);
    EXPECT_EQ(get_game_bridge()->mode(), game_mode_game);
    EXPECT_FALSE(get_game_bridge()->avatar().is_null());
}

TEST_F(game_process_test, edit_option_builds_the_editor_world)
{
    game_process_t* game = start({"-edit"});
    ASSERT_NE(game->world(), nullptr);
    EXPECT_EQ(get_game_bridge()->mode(), game_mode_editor);
}

TEST_F(game_process_test, map_with_a_further_word_spawns_no_truck)
{
    start();
    api::cmd_execute("map xyz extra");
    ASSERT_NE(get_game_bridge(), nullptr);
    EXPECT_TRUE(get_game_bridge()->avatar().is_null());
}

TEST_F(game_process_test, exit_from_a_preview_returns_to_the_editor_on_the_same_map)
{
    game_process_t* game = start();
    api::cmd_execute("preview xyz");
    ASSERT_EQ(get_game_bridge()->mode(), game_mode_preview);
    api::cmd_execute("exit");
    ASSERT_NE(game->world(), nullptr);
    EXPECT_EQ(get_game_bridge()->mode(), game_mode_editor);
    EXPECT_STREQ(get_game_bridge()->get_map_name(), "/maps/xyz.mbd");
    api::cmd_execute("exit");
    EXPECT_EQ(get_game_bridge()->mode(), game_mode_menu);
}

TEST_F(game_process_test, a_save_that_cannot_be_read_into_the_built_world_leads_back_to_the_menu)
{
    game_process_t* game = start();
    def_obj_t* context = game_context_get();
    ASSERT_NE(context, nullptr);
    write_data_file("saves/changed.sav", std::string("\x0e\0\0\0", 4) + "since checked");
    context->set_value("load_game_name", "/saves/changed.sav");
    api::cmd_execute("map xyz");
    ASSERT_NE(game->world(), nullptr);
    EXPECT_EQ(get_game_bridge()->mode(), game_mode_menu) << "no half-made career is left to play";
    EXPECT_STREQ(context->get_value("load_game_name"), "");
    EXPECT_TRUE(engine_log_has("[game_process] /saves/changed.sav could not be loaded; back to the menu"));
}

TEST_F(game_process_test, pause_twice_returns_to_running)
{
    game_process_t* game = start();
    api::cmd_execute("map xyz");
    game->world()->set_pausable(true);
    api::cmd_execute("pause");
    EXPECT_TRUE(game->world()->paused());
    api::cmd_execute("pause");
    EXPECT_FALSE(game->world()->paused());
}

TEST_F(game_process_test, pause_on_a_world_that_is_not_pausable_keeps_it_running)
{
    game_process_t* game = start();
    api::cmd_execute("map xyz");
    api::cmd_execute("pause");
    EXPECT_FALSE(game->world()->paused());
}

TEST_F(game_process_test, detail_and_density_callbacks_run_once_at_registration)
{
    api::cvar_get("g_details");  // not yet registered
    start();
    EXPECT_EQ(game_detail_level(), 1);
    EXPECT_FLOAT_EQ(game_traffic_density(), 1.0f);
    api::cmd_execute("g_details 3");
    EXPECT_EQ(game_detail_level(), 3);
}

TEST_F(game_process_test, p_verbose_belongs_to_the_game_and_keeps_its_value_across_worlds)
{
    start();
    cvar_t* verbose = api::cvar_get("p_verbose");
    ASSERT_NE(verbose, nullptr);
    verbose->set("w");
    api::cmd_execute("map xyz");
    api::cmd_execute("menu");
    EXPECT_EQ(api::cvar_get("p_verbose"), verbose);
    EXPECT_STREQ(api::cvar_get("p_verbose")->value(), "w");
}

TEST_F(game_process_test, quit_ends_every_process_and_writes_the_configuration)
{
    start();
    api::cmd_execute("quit");
    EXPECT_EQ(get_game_bridge(), nullptr);
    vfs_stat_t stat{};
    EXPECT_EQ(api::vfs_stat("/config.cfg", &stat), 0);
}

}  // namespace
