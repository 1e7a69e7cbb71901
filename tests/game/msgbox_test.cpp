#include "game/msgbox.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/command_line.h"
#include "engine/ui.h"
#include "engine_testing/ui_driver.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "common/type_create.h"
#include "../frame/frame_fixture.h"
#include "game/ui_handler_msgbox.h"

namespace {

// A text of the box: its "value" and, for component 200, its "look".
class box_text_t : public ui_view_t {
public:
    static const evalue_def_t evd_look;
    static const evalue_def_t evd_value;
    const evalue_def_t* get_evalue_root() const override { return &evd_value; }
    dstring_t value;
    dstring_t look;
};
const evalue_def_t box_text_t::evd_look =
    evalue_member("look", evalue_dstring, sizeof(dstring_t), evalue_bind<&box_text_t::look>, &ui_view_t::evd_id);
const evalue_def_t box_text_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&box_text_t::value>, &box_text_t::evd_look);

entity_t* box_text_create(void* memory) { return memory ? new (memory) box_text_t : new box_text_t; }
void box_text_destroy(entity_t* object, const bool in_place)
{
    if (in_place)
        static_cast<box_text_t*>(object)->~box_text_t();
    else
        delete static_cast<box_text_t*>(object);
}

constexpr const char* box_script = R"(
entity ui.handler.msgbox { }
entity ui.window {
    rect = 312 712 484 284;
    entity ui.comp.test.box_text { id = 100; rect = 320 700 480 450; }
    entity ui.comp.test.box_text { id = 110; rect = 320 700 440 350; }
    entity ui.comp.test.box_text { id = 200; rect = 312 712 484 284; }
    entity ui.comp.test.box_text { id = 10; rect = 320 400 330 300; }
    entity ui.comp.test.box_text { id = 20; rect = 470 550 330 300; }
    entity ui.comp.test.box_text { id = 30; rect = 620 700 330 300; }
}
)";

class msgbox_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        static const entity_reg_t text_type{"ui.comp.test.box_text", 0, {0, 0, 0}, sizeof(box_text_t), box_text_create,
                                            box_text_destroy};
        static const entity_reg_t handler_type =
            registered_type<ui_handler_msgbox_t>("ui.handler.msgbox", 0, destroy_registered);
        for (const entity_reg_t* type : {&text_type, &handler_type}) {
            if (!entity_find_type(type->type_name)) {
                ASSERT_TRUE(entity_register(type));
            }
        }
        const char* window = "entity ui.window { rect = 0 1024 768 0; }\n";
        for (const char* script : {"ui/mmain.esc", "ui/pointers/main.esc"})
            write_data_file(script, window);
        write_data_file("ui/msgbox.esc", box_script);
    }

    void start()
    {
        cdl_set({"kavrenta", "-homeless"});
        ASSERT_NE(game_process_t::create_and_start(), nullptr);
    }

    static c_item_t* box() { return get_game_bridge()->find_window("dialog", "msgbox"); }
    static std::string get(int id, const char* property) { return ui_driver_get(ui_driver_find(box(), id), property); }
    static bool shown(int id) { return ui_driver_find(box(), id)->visible; }
};

TEST_F(msgbox_test, open_builds_the_box_once_through_the_bridge_fills_it_and_shows_it_modally)
{
    start();
    const int windows = get_game_bridge()->window_count();
    msgbox_open("@@ui_warning@@", "@@ui_really_quit@@", 4 | 8, 0);
    ASSERT_NE(box(), nullptr);
    EXPECT_EQ(get_game_bridge()->window_count(), windows + 1);
    EXPECT_EQ(ui_driver_window(box())->show_param, 0x20000000u);
    EXPECT_TRUE(ui_driver_window(box())->visible);
    EXPECT_EQ(get(100, "value"), "@@ui_warning@@");
    EXPECT_EQ(get(110, "value"), "@@ui_really_quit@@");
    EXPECT_EQ(get(200, "look"), "6");
    EXPECT_EQ(get(10, "value"), "@@ui_yes@@");
    EXPECT_EQ(get(30, "value"), "@@ui_no@@");
    EXPECT_TRUE(shown(10) && shown(30));
    EXPECT_FALSE(shown(20));

    // A box of set 2 after one of set 4: only Close, in the first look; the same window is reused.
    c_item_t* first = box();
    msgbox_open("@@ui_warning@@", "@@ui_not_enough_money@@", 2, 0);
    EXPECT_EQ(box(), first);
    EXPECT_EQ(get_game_bridge()->window_count(), windows + 1);
    EXPECT_EQ(get(200, "look"), "5");
    EXPECT_EQ(get(20, "value"), "@@ui_close@@");
    EXPECT_TRUE(shown(20));
    EXPECT_FALSE(shown(10) || shown(30));
    msgbox_open("@@ui_warning@@", "@@ui_sure@@", 1, 0);
    EXPECT_EQ(get(10, "value"), "@@ui_ok@@");
    EXPECT_EQ(get(30, "value"), "@@ui_cancel@@");
    EXPECT_TRUE(shown(10) && shown(30));
    EXPECT_FALSE(shown(20));
}

TEST_F(msgbox_test, get_answers_the_handlers_state_word_and_builds_the_box_when_absent)
{
    start();
    EXPECT_EQ(msgbox_get(), 0u);
    ASSERT_NE(box(), nullptr) << "reading the state builds the box too";
    auto* handler = static_cast<ui_handler_msgbox_t*>(ui_driver_window(box())->handler_item->object);
    handler->msgbox_state = ui_handler_msgbox_t::state_first;
    EXPECT_EQ(msgbox_get(), 2u);
}

TEST_F(msgbox_test, without_a_world_or_a_box_handler_nothing_is_shown_and_the_state_is_zero)
{
    msgbox_open("@@ui_warning@@", "@@ui_text@@", 2, 0);
    EXPECT_EQ(msgbox_get(), 0u);
    EXPECT_EQ(engine_log_matching("[msgbox] no world to open the message box in").size(), 2u);

    write_data_file("ui/msgbox.esc", "entity ui.window { rect = 0 1024 768 0; }\n");
    start();
    msgbox_open("@@ui_warning@@", "@@ui_text@@", 2, 0);
    EXPECT_FALSE(ui_driver_window(box())->visible && ui_driver_window(box())->show_param == 0x20000000u);
    EXPECT_EQ(msgbox_get(), 0u);
    EXPECT_FALSE(engine_log_matching("[msgbox] /ui/msgbox.esc has no message box handler").empty());
}

}  // namespace
