#include <gtest/gtest.h>

#include "engine/bind.h"
#include "engine/cache.h"
#include "engine/command_line.h"
#include "engine/ui.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "frame_fixture.h"

namespace {

class game_windows_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        const char* window = "entity ui.window { rect = 0 1024 768 0; }\n";
        for (const char* script : {"ui/mmain.esc", "ui/mgame.esc", "ui/system/console.esc", "ui/pointers/main.esc",
                                   "ui/msgbox.esc", "ui/hud.esc"})
            write_data_file(script, window);
    }

    game_process_t* start(const std::vector<std::string>& arguments = {})
    {
        std::vector<std::string> line{"kavrenta"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        cdl_set(line);
        return game_process_t::create_and_start();
    }

    static bool visible(c_item_t* item)
    {
        const auto* window = item && item->object ? static_cast<const ui_window_t*>(item->object) : nullptr;
        return window && window->is_visible();
    }
};

TEST_F(game_windows_test, no_console_window_or_key_without_g_console)
{
    game_process_t* game = start();
    EXPECT_EQ(game->console_window(), nullptr);
    EXPECT_EQ(bind_get("`"), nullptr);
    EXPECT_NE(ui_pget(0), nullptr);  // the pointer is there either way
}

TEST_F(game_windows_test, console_window_is_hidden_when_a_game_starts)
{
    api::cmd_execute("set g_console 1");
    game_process_t* game = start();
    ASSERT_NE(game->console_window(), nullptr);
    EXPECT_TRUE(visible(game->console_window()));
    ASSERT_NE(bind_get("`"), nullptr);
    api::cmd_execute("menu");
    EXPECT_TRUE(visible(game->console_window()));
    api::cmd_execute("map xyz");
    EXPECT_FALSE(visible(game->console_window()));
}

TEST_F(game_windows_test, menu_world_keeps_its_main_window_in_the_bridge)
{
    start();
    game_bridge_t* bridge = get_game_bridge();
    ASSERT_NE(bridge, nullptr);
    c_item_t* menu = bridge->find_window("MENU", "Main");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(visible(menu));
    EXPECT_EQ(bridge->find_window(nullptr, "main"), menu);
    EXPECT_EQ(bridge->find_window("menu", "game"), nullptr);
    api::cmd_execute("map xyz");  // dropping the world removes its windows
    EXPECT_EQ(ui_wget("menu", "main"), nullptr);
}

TEST_F(game_windows_test, hide_and_show_restore_exactly_the_visible_windows)
{
    start();
    game_bridge_t* bridge = get_game_bridge();
    c_item_t* box = bridge->insert_window("system", "msgbox", 0, "/ui/msgbox.esc");
    c_item_t* hud = bridge->insert_window("game", "hud", 0, "/ui/hud.esc");
    EXPECT_EQ(bridge->insert_window("system", "msgbox", 0, "/ui/msgbox.esc"), box);  // found, not inserted again
    EXPECT_EQ(bridge->find_window(nullptr, "msgbox"), box);
    ui_whide(hud);
    bridge->hide_windows();
    EXPECT_EQ(bridge->hidden_count(), 2);  // the main menu and the message box
    EXPECT_FALSE(visible(box));
    bridge->show_windows();
    EXPECT_TRUE(visible(box));
    EXPECT_FALSE(visible(hud));
    bridge->show_windows();
    EXPECT_FALSE(visible(hud));

    EXPECT_TRUE(bridge->remove_window(hud));
    EXPECT_FALSE(bridge->remove_window(hud));
    EXPECT_TRUE(engine_log_has("<game_bridge_t> removing window not inserted using bridge"));
}

TEST_F(game_windows_test, game_menu_over_a_paused_game_closes_back_into_the_pause)
{
    game_process_t* game = start();
    api::cmd_execute("map xyz");
    world_process_t* world = game->world();
    world->set_pausable(true);
    api::cmd_execute("pause");
    ASSERT_TRUE(world->paused());

    api::cmd_execute("game_menu");
    c_item_t* menu = get_game_bridge()->find_window("menu", "game");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(visible(menu));
    EXPECT_FALSE(world->draw_enabled());
    api::cmd_execute("game_menu");
    EXPECT_FALSE(visible(menu));
    EXPECT_TRUE(world->paused());
    EXPECT_TRUE(world->draw_enabled());

    api::cmd_execute("pause");
    api::cmd_execute("game_menu");
    EXPECT_TRUE(world->paused());
    api::cmd_execute("game_menu");
    EXPECT_FALSE(world->paused());
}

TEST_F(game_windows_test, game_menu_without_a_world_does_nothing)
{
    game_process_t* game = start({"-map", "nowhere"});
    ASSERT_EQ(game->world(), nullptr);
    api::cmd_execute("game_menu");
    EXPECT_EQ(ui_wget("menu", "game"), nullptr);
}

}  // namespace
