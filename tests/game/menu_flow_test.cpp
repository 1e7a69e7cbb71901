#include <gtest/gtest.h>

#include <string>

#include "engine/bind.h"
#include "engine/ui_event.h"
#include "engine/def_obj.h"
#include "engine/lcl.h"
#include "common/local_def.h"
#include "common/game_context.h"
#include "game/msgbox.h"
#include "game/ui_handler_menu_newgame.h"
#include "game/ui_handler_msgbox.h"
#include "game_flow_fixture.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_editline.h"

namespace {

class menu_flow_test : public game_flow_test_t {
protected:
    void SetUp() override
    {
        game_flow_test_t::SetUp();
        write_data_file("music/Faster than Wind.ogg", std::string(64000, 'm'));
        write_data_file("ui/mcredits.esc",
                        "entity ui.handler.menu.credits { }\nentity ui.window { rect = 0 1024 768 0;\n"
                        "    entity ui.comp.text { id = 10; rect = 100 900 0 -200; text = Thanks; }\n}\n");
        write_data_file("defs/drivers/b.def", "driver { imgs = \"zed.shd|z_small.shd\" }\n");
        write_data_file("defs/drivers/a.def", "driver { imgs = \"amy.shd|a_small.shd\" }\n");
        write_data_file("defs/scenarios/free_mode.def", "scenario { name = \"Free\"; location = ANY; }\n");
        write_data_file("defs/scenarios/coast.def", "scenario { name = \"Coast\"; location = \"north;east\"; }\n");
        for (const char* city : {"north", "east", "west"})
            write_data_file(std::string("defs/cities/") + city + ".def",
                            std::string("city { name = \"") + char(city[0] - 32) + (city + 1) + "\"; }\n");
        write_data_file(
            "ui/mnewgame.esc",
            "entity ui.handler.menu.newgame { }\nentity ui.window { rect = 0 1024 768 0;\n"
            "    entity ui.comp.common.inputline { id = 100; rect = 100 400 740 710; }\n"
            "    entity ui.comp.common.list { id = 110; rect = 100 400 700 600; item_height = 20; }\n"
            "    entity ui.comp.common.list { id = 120; rect = 500 800 700 600; item_height = 20; }\n"
            "    entity ui.comp.common.list { id = 150; rect = 100 400 580 440; item_height = 20; }\n"
            "    entity ui.comp.common.list { id = 300; rect = 500 800 580 440; item_height = 20; }\n"
            "    entity ui.comp.group { rect = 100 700 400 370;\n"
            "        entity ui.comp.common.button { id = 180; rect = 100 200 400 370; button_type = radio; }\n"
            "        entity ui.comp.common.button { id = 190; rect = 300 400 400 370; button_type = radio; }\n"
            "        entity ui.comp.common.button { id = 200; rect = 500 600 400 370; button_type = radio; }\n"
            "    }\n"
            "    entity ui.comp.common.button { id = 160; rect = 100 200 100 60; }\n"
            "    entity ui.comp.common.button { id = 170; rect = 300 400 100 60; }\n"
            "}\n");
    }

    // Opens the new game window from the main menu.
    c_item_t* open_new_game()
    {
        EXPECT_TRUE(click(window("menu", "main"), 10));
        settle();
        return window("menu", "newgame");
    }

    static std::string texts(ui_comp_list_t* list)
    {
        std::string all;
        for (int i = 0; i < list->count(); ++i)
            all += std::string(list->item_pml_at(i)) + ";";
        return all;
    }

    static ui_comp_list_t* list(c_item_t* item, int id)
    {
        return dynamic_cast<ui_comp_list_t*>(ui_driver_find(item, id));
    }
};

TEST_F(menu_flow_test, the_menu_world_shows_the_main_menu_over_the_background_and_opens_the_new_game_window)
{
    start();
    ASSERT_TRUE(shown(window("menu", "main")));
    EXPECT_TRUE(shown(window("menu_bgr", "background")));
    EXPECT_TRUE(menu_music_playing());
    EXPECT_EQ(ui_driver_get(ui_driver_find(window("menu_bgr", "background"), 110), "value"), "1.10");
    c_item_t* new_game = open_new_game();
    ASSERT_NE(new_game, nullptr);
    EXPECT_TRUE(shown(new_game));
    EXPECT_FALSE(shown(window("menu", "main"))) << "the main menu faded out";
    EXPECT_TRUE(shown(window("menu_bgr", "background"))) << "the background stays behind the menus";
    ASSERT_TRUE(click(new_game, 160));
    settle();
    EXPECT_TRUE(shown(window("menu", "main"))) << "back returns to the main menu";
    EXPECT_FALSE(shown(new_game));
}

TEST_F(menu_flow_test, the_new_game_window_offers_the_faces_colours_scenarios_and_the_scenarios_cities)
{
    start();
    c_item_t* new_game = open_new_game();
    ASSERT_NE(new_game, nullptr);
    auto* handler = dynamic_cast<ui_handler_menu_newgame_t*>(window_handler(new_game));
    ASSERT_NE(handler, nullptr);
    // Faces show the portrait, colours a swatch; the items carry the "imgs" and the colour's hex code.
    EXPECT_EQ(texts(list(new_game, 110)),
              "<img src=/ui/faces/amy.shd width=56 height=56>;<img src=/ui/faces/zed.shd width=56 height=56>;");
    EXPECT_STREQ(list(new_game, 110)->item_text_at(0), "amy.shd|a_small.shd");
    EXPECT_EQ(handler->face, "amy.shd|a_small.shd");
    ASSERT_EQ(list(new_game, 150)->count(), 6);
    ui_comp_list_t* colours = list(new_game, 150);
    EXPECT_EQ(colours->item_data_at(colours->selection), static_cast<uint32_t>(handler->colour))
        << "the drawn colour is selected by its index, whatever the sort did";
    for (int i = 0; i < colours->count(); ++i) {
        const std::string pml = colours->item_pml_at(i);
        EXPECT_NE(pml.find(std::string("color=") + colours->item_text_at(i)), std::string::npos) << pml;
        EXPECT_EQ(pml.rfind("<img ", 0), 0u) << pml;
    }
    // The preset name is selected: the first key replaces it.
    auto* name = dynamic_cast<ui_editline_t*>(ui_driver_find(new_game, 100));
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name->text(), "Player");
    EXPECT_TRUE(name->all_selected());
    ui_driver_type("Kit");
    EXPECT_STREQ(name->text(), "Kit") << "the name line has the keys from the start";
    EXPECT_EQ(handler->scenario, "free_mode.def");
    EXPECT_EQ(texts(list(new_game, 120)), "East;North;West;") << "a location of any case offers every city";
    EXPECT_EQ(handler->headquarters, "East");

    ui_comp_list_t* scenarios = list(new_game, 300);
    ui_list_item_t key;
    key.mask = ui_list_text;
    key.text = "coast.def";
    ASSERT_TRUE(scenarios->select_item(scenarios->find_item(key, 0, false), true));
    EXPECT_EQ(handler->scenario, "coast.def");
    EXPECT_EQ(texts(list(new_game, 120)), "East;North;") << "the two cities the location names, sorted";
    ASSERT_TRUE(click(new_game, 200));
    EXPECT_EQ(handler->level, 2);
}

TEST_F(menu_flow_test, the_scenarios_are_listed_in_the_order_of_their_shown_names)
{
    // A name given as a text key sorts by its translation, not by the key.
    write_data_file("scripts/local.def", "translate {\n    sc_zulu = \"Zulu run\"\n    sc_alpha = \"Alpha run\"\n}\n");
    write_data_file("defs/scenarios/z.def", "scenario { name = \"@@sc_alpha@@\"; }\n");
    write_data_file("defs/scenarios/a.def", "scenario { name = \"@@sc_zulu@@\"; }\n");
    // The translation the module hands the engine when it registers.
    lcl_callback(translate);
    start();
    c_item_t* new_game = open_new_game();
    ASSERT_NE(new_game, nullptr);
    EXPECT_EQ(texts(list(new_game, 300)), "@@sc_alpha@@;Coast;Free;@@sc_zulu@@;");
}

TEST_F(menu_flow_test, starting_refuses_a_bad_name_and_otherwise_writes_the_context_and_builds_the_game)
{
    start();
    c_item_t* new_game = open_new_game();
    ASSERT_NE(new_game, nullptr);
    auto* line = dynamic_cast<ui_editline_t*>(ui_driver_find(new_game, 100));
    ASSERT_NE(line, nullptr);
    line->set_text("Bad/Name", false);
    ASSERT_TRUE(click(new_game, 170));
    EXPECT_EQ(msgbox_get() & ui_handler_msgbox_t::state_open, ui_handler_msgbox_t::state_open);
    EXPECT_EQ(ui_driver_get(ui_driver_find(window("dialog", "msgbox"), 110), "value"), "@@ui_wrong_plr_character@@");
    EXPECT_TRUE(shown(new_game)) << "the window stays";

    ASSERT_TRUE(click(window("dialog", "msgbox"), 20));
    line->set_text("Road Runner_2", false);
    def_obj_t* context = game_context_get();
    ASSERT_NE(context, nullptr);
    context->set_value("load_game_name", "/saves/old.sav");
    ASSERT_TRUE(click(new_game, 170));
    EXPECT_STREQ(context->get_value("player_name"), "Road Runner_2");
    EXPECT_STREQ(context->get_value("face_img_name"), "amy.shd");
    EXPECT_STREQ(context->get_value("headq_name"), "East");
    EXPECT_STREQ(context->get_value("load_game_name"), "") << "a new game loads no save";
    EXPECT_STREQ(context->get_value("scenario_def"), "free_mode.def");
    EXPECT_STREQ(context->get_value("level"), "1");
    EXPECT_FALSE(menu_music_playing());
    EXPECT_FALSE(engine_log_matching("mainland").empty()) << "the game world is built";
}

TEST_F(menu_flow_test, the_credits_scroll_up_hide_the_overlay_and_go_back_on_a_key)
{
    start();
    ui_view_t* overlay = ui_driver_find(window("menu_bgr", "background"), 100);
    ASSERT_TRUE(overlay->visible);
    ASSERT_TRUE(click(window("menu", "main"), 40));
    settle();
    c_item_t* credits = window("menu", "credits");
    ASSERT_NE(credits, nullptr);
    EXPECT_FALSE(shown(window("menu", "main")));
    ASSERT_TRUE(shown(credits));
    EXPECT_FALSE(overlay->visible);
    ui_view_t* text = ui_driver_find(credits, 10);
    const float bottom = text->rect.bottom;
    frames(10, 0.1);
    EXPECT_NEAR(text->rect.bottom, bottom + 50.0f, 1.0f) << "50 units a second";
    ui_driver_stroke(ui_key_escape);
    settle();
    EXPECT_TRUE(shown(window("menu", "main")));
    EXPECT_TRUE(overlay->visible) << "the main menu shows the overlay again";
    EXPECT_FLOAT_EQ(text->rect.top, 0.0f) << "the credits start again from below the screen";
}

}  // namespace
