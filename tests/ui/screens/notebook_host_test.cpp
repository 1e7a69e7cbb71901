#include <gtest/gtest.h>

#include <string>

#include "engine/bind.h"
#include "engine/input.h"
#include "frame/world_process.h"
#include "game/economy/economy_bridge_world.h"
#include "notebook_fixture.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/notebook_trucks.h"

namespace {

class notebook_host_test : public notebook_test_t {
protected:
    // Binds the notebook impulse to N (scan code 0x31), as the default controls do.
    static void bind_notebook_key() { ASSERT_TRUE(api::bind_add_imp("n", api::inp_impulse_get(182)->name, 0, 1)); }
    static bool tab_pressed(c_item_t* notebook, int id)
    {
        auto* tab = dynamic_cast<ui_comp_button_t*>(ui_driver_find(notebook, id));
        return tab && tab->pressed;
    }
};

TEST_F(notebook_host_test, the_first_opening_shows_the_routes_page_and_later_ones_the_page_last_shown)
{
    open_notebook();
    EXPECT_TRUE(shown(page_item("routes")));
    EXPECT_EQ(notebook->current_page, 0);
    EXPECT_TRUE(tab_pressed(notebook_item, 100));
    ASSERT_TRUE(click(notebook_item, 103));
    EXPECT_FALSE(shown(page_item("routes")));
    EXPECT_TRUE(shown(page_item("competition")));
    ASSERT_TRUE(click(notebook_item, 10));  // close
    EXPECT_FALSE(shown(notebook_item));
    EXPECT_FALSE(shown(page_item("competition")));

    open_notebook();
    EXPECT_TRUE(shown(page_item("competition")));
    EXPECT_FALSE(shown(page_item("routes")));

    // A dealer's station opens the trucks page, its tab pressed with it.
    notebook_host(notebook_item)->show_page(1);
    EXPECT_TRUE(shown(page_item("trucks")));
    EXPECT_FALSE(shown(page_item("competition")));
    EXPECT_TRUE(tab_pressed(notebook_item, 101));
    EXPECT_FALSE(tab_pressed(notebook_item, 103));
}

TEST_F(notebook_host_test, the_notebook_key_closes_on_its_second_press_and_escape_on_its_release)
{
    bind_notebook_key();
    ui_driver_key(0x31, true);  // the press that opens it (the game controller reads the impulse)
    open_notebook();
    ASSERT_TRUE(shown(notebook_item));
    ui_driver_key(0x31, false);
    EXPECT_TRUE(shown(notebook_item)) << "releasing the opening press keeps it open";
    ui_driver_key(0x31, true);
    EXPECT_TRUE(shown(notebook_item));
    ui_driver_key(0x31, false);
    EXPECT_FALSE(shown(notebook_item));

    open_notebook();
    ui_driver_key(1, true);
    EXPECT_TRUE(shown(notebook_item));
    ui_driver_key(1, false);
    EXPECT_FALSE(shown(notebook_item));
}

TEST_F(notebook_host_test, the_world_sleeps_while_open_and_comes_back_as_the_player_left_it)
{
    economy->main_hud_open = true;
    ASSERT_FALSE(current_world_paused());
    open_notebook();
    EXPECT_TRUE(current_world_paused());
    EXPECT_EQ(api::bind_get("esc"), nullptr) << "the in-game keys are taken away";
    api::cmd_execute("pause");
    frames(1);
    EXPECT_TRUE(current_world_paused()) << "nobody else may wake the world";
    economy->companies[0].money = 1234;
    ui_whide(notebook_item);
    EXPECT_FALSE(current_world_paused());
    ASSERT_FALSE(economy_world.hud.empty());
    EXPECT_NE(economy_world.hud.back().find("110:"), std::string::npos);
    EXPECT_NE(economy_world.hud.back().find("$1,234"), std::string::npos) << "the HUD shows the money again";
    ASSERT_NE(api::bind_get("esc"), nullptr);
    ASSERT_NE(api::bind_get("pause"), nullptr);

    // A world the player paused himself stays paused when the notebook closes.
    current_world_pause(true, false);
    open_notebook();
    EXPECT_TRUE(current_world_paused());
    ui_whide(notebook_item);
    EXPECT_TRUE(current_world_paused());
    current_world_pause(false, false);
    EXPECT_FALSE(current_world_paused()) << "and the player's own pause can still be lifted";
}

TEST_F(notebook_host_test, opened_before_the_world_may_sleep_it_stops_the_clock_once_it_may_and_closes_clean)
{
    // A game loaded at a dealer: the notebook opens while the loading screen keeps the world awake.
    bind_notebook_key();
    current_world_allow_pause(false);
    open_notebook();
    frames(1);
    EXPECT_FALSE(current_world_paused());
    // The loading screen ends and the world may sleep: the notebook's pause takes hold.
    current_world_allow_pause(true);
    frames(1);
    EXPECT_TRUE(current_world_paused()) << "the clock stops while the notebook is open";
    api::cmd_execute("pause");
    frames(1);
    EXPECT_TRUE(current_world_paused()) << "nobody else may wake the world";
    for (const bool down : {true, false, true, false})
        ui_driver_key(0x31, down);
    ASSERT_FALSE(shown(notebook_item));
    frames(1);
    EXPECT_FALSE(current_world_paused());
    ASSERT_NE(game_process_t::instance()->world(), nullptr);
    EXPECT_TRUE(game_process_t::instance()->world()->draw_enabled()) << "the game is drawn again, not dimmed";
}

TEST_F(notebook_host_test, the_selected_truck_slot_lives_in_the_notebook)
{
    EXPECT_EQ(notebook_get_truck_slot(), -1);
    notebook_set_truck_slot(3);
    EXPECT_EQ(notebook->truck_slot, 3);
    EXPECT_EQ(notebook_get_truck_slot(), 3);
    get_game_bridge()->remove_window(notebook_item);
    EXPECT_EQ(notebook_get_truck_slot(), -1) << "without a notebook";
    notebook_set_truck_slot(5);  // does nothing
}

// The end of a money race as the economy shows it in a game world: an opponent's win opens the notebook
// on the competition page, where the player sees who won; the player's own win shows the game-over
// window instead and leaves the notebook shut.
TEST_F(notebook_host_test, an_opponents_win_opens_the_competition_page_and_the_players_own_the_game_over_window)
{
    write_data_file("ui/gameover.esc", "entity ui.window { rect = 0 1024 768 0; }\n");
    economy_bridge_world_t world(*economy);
    economy->bridge = get_game_bridge();
    economy->set_world(&world);
    economy->goal_kind = goal_money;
    economy->goal_target = 200000;
    economy->companies[2].money = 199999;
    economy->update_clock(0.0f);
    EXPECT_FALSE(shown(notebook_item)) << "one dollar short is no win";

    economy->companies[2].money = 200000;
    economy->update_clock(0.0f);
    EXPECT_EQ(economy->outcome, -1);
    EXPECT_EQ(economy->game_over_reason, 3);
    ASSERT_TRUE(shown(notebook_item));
    EXPECT_EQ(notebook->current_page, 3);
    EXPECT_TRUE(shown(page_item("competition")));
    EXPECT_EQ(window("dialog", "game_over"), nullptr);

    // Once lost, a later win of the player changes nothing.
    economy->companies[0].money = 200000;
    economy->update_clock(0.0f);
    EXPECT_EQ(economy->outcome, -1);
    EXPECT_EQ(window("dialog", "game_over"), nullptr);

    ui_whide(notebook_item);
    economy->outcome = 0;
    economy->game_over_reason = game_over_none;
    economy->update_clock(0.0f);
    EXPECT_EQ(economy->outcome, 1);
    EXPECT_TRUE(shown(window("dialog", "game_over")));
    EXPECT_FALSE(shown(notebook_item));
    economy->set_world(&economy_world);
}

}  // namespace
