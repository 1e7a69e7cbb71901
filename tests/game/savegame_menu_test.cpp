#include <gtest/gtest.h>

#include <string>

#include "engine/def_obj.h"
#include "engine/ui_event.h"
#include "common/game_context.h"
#include "common/world_pause.h"
#include "game/msgbox.h"
#include "game/ui_handler_menu_load.h"
#include "game/ui_handler_menu_save.h"
#include "game/ui_handler_msgbox.h"
#include "game/economy_ctrl.h"
#include "game_flow_fixture.h"
#include "save_file_bytes.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_editline.h"

namespace {

// A game world (mode 2) whose home holds saves; its save menu can ask but not write (the test world
// has none of the sections a save is made of).
class savegame_menu_test : public game_flow_test_t {
protected:
    void SetUp() override
    {
        game_flow_test_t::SetUp();
        start({"-map", "xyz"});
        ASSERT_NE(get_game_bridge(), nullptr);
        ASSERT_EQ(get_game_bridge()->mode(), game_mode_game);
        api::vfs_mkdir("/saves", 0x1ff);
        // Monday 00:00 of week 3; Tuesday 13:05 of week 1; one without a trailer.
        ASSERT_TRUE(write_home("/saves/monday.sav", whole_save(2, 0.0f)));
        ASSERT_TRUE(write_home("/saves/tuesday.sav", save_bytes(14, 0, 86400.0f + 13 * 3600 + 5 * 60)));
        ASSERT_TRUE(write_home("/saves/notrailer.sav", "\x0e\0\0\0"));
        ASSERT_TRUE(write_home("/saves/old.sav", save_bytes(11, 0, 0.0f)));
        ASSERT_TRUE(write_home("/saves/twice.sav.sav", save_bytes(14, 0, 0.0f)));
        ASSERT_TRUE(write_home("/saves/after.savx", save_bytes(14, 0, 0.0f)));
        api::vfs_mkdir("/saves/folder.sav", 0x1ff);
    }

    // A whole save of an empty career, week `week` at `clock`, which the load menu's check accepts.
    static std::string whole_save(const int32_t week, const float clock)
    {
        economy_ctrl_e economy;
        for (company_t& company : economy.companies)
            company.headquarters = company.target_city = -1;
        save_layout_t layout;
        return whole_save_bytes(economy, week, clock, layout);
    }

    // Opens a menu window of the game world and lets it fade in.
    c_item_t* open(const char* name, unsigned number, const char* script)
    {
        c_item_t* item = menu_window("menu", name, number, script);
        ui_wshow(item, 0);
        settle();
        return item;
    }

    static ui_comp_list_t* saves(c_item_t* item) { return dynamic_cast<ui_comp_list_t*>(ui_driver_find(item, 30)); }

    static int index_of(ui_comp_list_t* list, const char* name)
    {
        ui_list_item_t key;
        key.mask = ui_list_text;
        key.text = name;
        return list->find_item(key, 0, false);
    }

    static bool exists(const char* path)
    {
        vfs_stat_t stat{};
        return api::vfs_stat(path, &stat) == 0;
    }

    static std::string box_text() { return ui_driver_get(ui_driver_find(window("dialog", "msgbox"), 110), "value"); }
    static bool box_open() { return (msgbox_get() & ui_handler_msgbox_t::state_open) != 0; }
};

TEST_F(savegame_menu_test, the_list_shows_each_save_once_with_its_game_time_or_file_time)
{
    c_item_t* load = open("load", 1, "/ui/mload.esc");
    ui_comp_list_t* list = saves(load);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->count(), 4) << "no twice.sav.sav, after.savx or folder.sav";
    const int monday = index_of(list, "monday");
    ASSERT_GE(monday, 0);
    EXPECT_STREQ(list->item_pml_at(monday), "monday<ALIGN hstyle=right>@@ui_mon@@   00 : 00 @@ui_week@@ 3  ");
    EXPECT_STREQ(list->item_pml_at(index_of(list, "tuesday")),
                 "tuesday<ALIGN hstyle=right>@@ui_tue@@   13 : 05 @@ui_week@@ 1  ");
    const std::string plain = list->item_pml_at(index_of(list, "notrailer"));
    EXPECT_EQ(plain.rfind("notrailer<ALIGN hstyle=right>", 0), 0u);
    EXPECT_EQ(plain.find("@@ui_week@@"), std::string::npos) << "a save without a trailer shows its file time";
    for (int i = 1; i < list->count(); ++i)
        EXPECT_GE(list->item_data_at(i - 1), list->item_data_at(i)) << "newest first";
}

TEST_F(savegame_menu_test, loading_refuses_a_version_not_read_and_names_a_good_save_in_the_context)
{
    c_item_t* load = open("load", 1, "/ui/mload.esc");
    auto* handler = dynamic_cast<ui_handler_menu_load_t*>(window_handler(load));
    ASSERT_NE(handler, nullptr);
    def_obj_t* context = game_context_get();
    ASSERT_NE(context, nullptr);
    context->set_value("load_game_name", "");
    handler->menu_load_game("old");
    EXPECT_TRUE(box_open());
    EXPECT_EQ(box_text(), "@@ui_wrong_save_version@@");
    EXPECT_STREQ(context->get_value("load_game_name"), "");
    ASSERT_TRUE(click(window("dialog", "msgbox"), 20));
    ASSERT_TRUE(saves(load)->select_item(index_of(saves(load), "monday"), true));
    ASSERT_TRUE(click(load, 10));
    EXPECT_STREQ(context->get_value("load_game_name"), "/saves/monday.sav");
}

TEST_F(savegame_menu_test, a_damaged_save_is_refused_in_the_load_menu_before_a_world_is_built)
{
    const std::string whole = whole_save(2, 0.0f);
    ASSERT_TRUE(write_home("/saves/cut.sav", whole.substr(0, whole.size() / 2) + whole.substr(whole.size() - 24)));
    c_item_t* load = open("load", 1, "/ui/mload.esc");
    auto* handler = dynamic_cast<ui_handler_menu_load_t*>(window_handler(load));
    ASSERT_NE(handler, nullptr);
    def_obj_t* context = game_context_get();
    ASSERT_NE(context, nullptr);
    context->set_value("load_game_name", "");
    const game_bridge_t* const before = get_game_bridge();
    handler->menu_load_game("cut");
    EXPECT_TRUE(box_open());
    EXPECT_EQ(box_text(), "@@ui_save_damaged@@");
    EXPECT_STREQ(context->get_value("load_game_name"), "");
    EXPECT_EQ(get_game_bridge(), before) << "no world was built for the save";
    EXPECT_TRUE(engine_log_has("savegame /saves/cut.sav is corrupted !"));
}

TEST_F(savegame_menu_test, deleting_asks_first_and_refreshes_the_list_at_once)
{
    c_item_t* load = open("load", 1, "/ui/mload.esc");
    ui_comp_list_t* list = saves(load);
    ASSERT_TRUE(list->select_item(index_of(list, "tuesday"), true));
    ASSERT_TRUE(click(load, 20));
    EXPECT_EQ(box_text(), "@@ui_delete@@ tuesday.sav ?");
    ASSERT_TRUE(click(window("dialog", "msgbox"), 30));  // no
    frames(1);
    EXPECT_TRUE(exists("/saves/tuesday.sav")) << "a no leaves the file";
    ASSERT_TRUE(list->select_item(index_of(list, "tuesday"), true));
    ASSERT_TRUE(click(load, 20));
    ASSERT_TRUE(click(window("dialog", "msgbox"), 10));  // yes
    frames(1);
    EXPECT_FALSE(exists("/saves/tuesday.sav"));
    EXPECT_EQ(index_of(list, "tuesday"), -1);
    EXPECT_EQ(list->count(), 3);
    EXPECT_TRUE(shown(load)) << "the menu stays";
}

TEST_F(savegame_menu_test, saving_over_an_existing_name_asks_and_a_save_that_fails_is_reported_and_keeps_the_menu)
{
    c_item_t* save = open("save", 1, "/ui/msave.esc");
    auto* line = dynamic_cast<ui_editline_t*>(ui_driver_find(save, 40));
    ASSERT_NE(line, nullptr);
    ui_comp_list_t* list = saves(save);
    ASSERT_TRUE(list->select_item(index_of(list, "monday"), true));
    EXPECT_STREQ(line->text(), "monday") << "choosing a save names it";
    ASSERT_TRUE(click(save, 10));
    EXPECT_EQ(box_text(), "@@ui_overwrite@@");
    const long long size_before = [] {
        vfs_stat_t stat{};
        api::vfs_stat("/saves/monday.sav", &stat);
        return stat.size;
    }();
    ASSERT_TRUE(click(window("dialog", "msgbox"), 30));  // no
    frames(1);
    EXPECT_FALSE(box_open());
    ASSERT_TRUE(click(save, 10));
    ASSERT_TRUE(click(window("dialog", "msgbox"), 10));  // yes: the write fails in this world
    frames(1);
    EXPECT_TRUE(box_open());
    EXPECT_EQ(box_text(), "@@ui_save_failed@@");
    settle();
    EXPECT_TRUE(shown(save)) << "the menu stays after a failed save";
    vfs_stat_t stat{};
    ASSERT_EQ(api::vfs_stat("/saves/monday.sav", &stat), 0);
    EXPECT_EQ(stat.size, size_before) << "the old save is left as it was";

    ASSERT_TRUE(click(window("dialog", "msgbox"), 20));
    line->set_text("no/slash", false);
    ASSERT_TRUE(click(save, 10));
    EXPECT_EQ(box_text(), "@@ui_wrong_character@@");
}

TEST_F(savegame_menu_test, the_message_box_answers_by_button_enter_and_escape)
{
    c_item_t* box = nullptr;
    const auto key = [&](uint16_t scan) {
        ui_driver_stroke(scan);
        frames(1);
    };
    msgbox_open("t", "yes or no", ui_handler_msgbox_t::set_yes_no, 0);
    box = window("dialog", "msgbox");
    key(ui_key_escape);
    EXPECT_TRUE(box_open()) << "Escape does nothing on a question";
    key(ui_key_enter);
    EXPECT_EQ(msgbox_get(), ui_handler_msgbox_t::state_first) << "Enter answers yes";
    EXPECT_FALSE(shown(box));

    msgbox_open("t", "close", ui_handler_msgbox_t::set_close, 0);
    key(ui_key_escape);
    EXPECT_EQ(msgbox_get(), 0u) << "Escape on a Close box closes with no answer";
    msgbox_open("t", "close", ui_handler_msgbox_t::set_close, 0);
    key(ui_key_enter);
    EXPECT_EQ(msgbox_get(), ui_handler_msgbox_t::state_middle);

    msgbox_open("t", "ok", ui_handler_msgbox_t::set_ok_cancel, 0);
    EXPECT_FALSE(ui_driver_find(box, 20)->visible) << "Close is hidden again";
    ASSERT_TRUE(click(box, 30));
    EXPECT_EQ(msgbox_get(), ui_handler_msgbox_t::state_third);
}

TEST_F(savegame_menu_test, the_bug_report_leaves_a_game_the_player_paused_paused)
{
    write_data_file("ui/system/bugreport.esc", "entity ui.handler.system.bugreport { }\n"
                                               "entity ui.window { rect = 0 1024 768 0; }\n");
    current_world_allow_pause(true);
    c_item_t* report = ui_winsert("system_04", "bugreport", 1, "/ui/system/bugreport.esc", false);
    ASSERT_NE(report, nullptr);
    ui_wshow(report, 0);
    EXPECT_TRUE(current_world_paused()) << "the report pauses a running game";
    ui_whide(report);
    EXPECT_FALSE(current_world_paused()) << "and resumes it";
    current_world_pause(true, false);
    ui_wshow(report, 0);
    ui_whide(report);
    EXPECT_TRUE(current_world_paused()) << "a game the player paused stays paused";
    ui_wremove(report);
}

}  // namespace
