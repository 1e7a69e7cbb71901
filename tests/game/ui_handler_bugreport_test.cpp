#include "game/ui_handler_bugreport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <cstdio>
#include <sstream>
#include <string>

#include "engine/bind.h"
#include "engine/vfs.h"
#include "engine/ui_window.h"
#include "engine_testing/test_entity_type.h"
#include "../ui/ui_fixture.h"
#include "ui/components/ui_editline.h"

namespace {

// The position line of the dialog: a component with a "value".
class value_text_t : public ui_view_t {
public:
    static const evalue_def_t evd_value;
    const evalue_def_t* get_evalue_root() const override { return &evd_value; }
    dstring_t value;
};
const evalue_def_t value_text_t::evd_value =
    evalue_member("value", evalue_dstring, sizeof(dstring_t), evalue_bind<&value_text_t::value>, &ui_view_t::evd_id);

// Whether `line` is the report of `text` at the test's position: " TEXT ; [dd/mm/yyyy  hh:mm] ;12;-4;0\r\n".
bool is_report(const std::string& line, const std::string& text)
{
    const std::string head = " " + text + " ; [";
    const std::string tail = "] ;12;-4;0\r\n";
    constexpr size_t date_length = 17;
    if (line.size() != head.size() + date_length + tail.size() || line.compare(0, head.size(), head) != 0 ||
        line.compare(head.size() + date_length, tail.size(), tail) != 0)
        return false;
    const std::string date = line.substr(head.size(), date_length);
    int day = 0, month = 0, year = 0, hour = 0, minute = 0;
    return sscanf(date.c_str(), "%2d/%2d/%4d  %2d:%2d", &day, &month, &year, &hour, &minute) == 5 && date[2] == '/' &&
           date[10] == ' ' && date[11] == ' ';
}

class bugreport_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        static const entity_reg_t value_type = test_entity_type<value_text_t>("ui.comp.test.value_text");
        if (!entity_find_type(value_type.type_name))
            entity_register(&value_type);
        write_data_file("ui/system/bugreport.esc", R"(
entity ui.handler.system.bugreport { }
entity ui.window {
    rect = 312 712 484 284;
    entity ui.comp.test.value_text { id = 100; rect = 320 700 480 450; }
    entity ui.comp.historyline { id = 110; rect = 320 700 440 410; }
    entity ui.comp.button { id = 120; rect = 320 400 330 300; n_pml = "Cancel"; }
    entity ui.comp.button { id = 130; rect = 620 700 330 300; n_pml = "Send"; }
}
)");
        window_ = ui_winsert("system_04", "bugreport", 1, "/ui/system/bugreport.esc", false);
        ASSERT_NE(window_, nullptr);
        handler_ = static_cast<ui_handler_bugreport_t*>(ui_driver_window(window_)->handler_item->object);
        // As the game controller reports it, through the interface of common/.
        position_report_t* report = handler_;
        report->set_report_position(12.5f, -3.5f, 0.49f);
        bind_add_cmd("esc", "game_menu", 1, 0);
    }

    // Writes go to the home, as in the game.
    void mount_home() { ASSERT_EQ(vfs_set_fallback_device(home_.c_str()), 0); }

    void open()
    {
        ui_wshow(window_, 0x20000000);
        ui_process();
    }
    bool shown() const { return ui_driver_window(window_)->visible; }
    std::string bugs() const
    {
        std::ifstream file(home_ / "bugs.txt", std::ios::binary);
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    c_item_t* window_ = nullptr;
    ui_handler_bugreport_t* handler_ = nullptr;
};

TEST_F(bugreport_test, opening_shows_the_rounded_position_and_takes_the_game_keys_away)
{
    auto* description = static_cast<ui_editline_t*>(ui_driver_find(window_, 110));
    description->set_text("left over", false);
    open();
    // Halves go to the even neighbour.
    EXPECT_EQ(ui_driver_get(ui_driver_find(window_, 100), "value"), "Position : < 12 -4 0 >");
    EXPECT_STREQ(description->text(), "");
    EXPECT_EQ(ui_driver_window(window_)->focus_view, description);
    EXPECT_EQ(inp_trigger_command("game_menu", nullptr), nullptr);
    EXPECT_EQ(ui_pointer_shown(), 0);
}

TEST_F(bugreport_test, each_report_appends_one_line_and_closing_gives_the_keys_back)
{
    mount_home();
    for (const char* text : {"wheel; sinks", "second"}) {
        open();
        ui_driver_type(text);
        ui_driver_stroke(ui_key_enter);
        EXPECT_FALSE(shown());
    }
    const std::string written = bugs();
    const size_t second = written.find("\r\n") + 2;
    EXPECT_TRUE(is_report(written.substr(0, second), "wheel; sinks")) << written;
    EXPECT_TRUE(is_report(written.substr(second), "second")) << written;
    EXPECT_NE(inp_trigger_command("game_menu", nullptr), nullptr);
    EXPECT_EQ(ui_pointer_shown(), -1);
}

TEST_F(bugreport_test, cancel_and_escape_close_without_writing)
{
    mount_home();
    open();
    ui_driver_type("never sent");
    ui_driver_click(ui_driver_find(window_, 120));
    EXPECT_FALSE(shown());
    open();
    ui_driver_stroke(ui_key_escape);
    EXPECT_FALSE(shown());
    EXPECT_EQ(bugs(), "");
}

TEST_F(bugreport_test, a_file_that_cannot_be_opened_is_reported_and_the_dialog_still_closes)
{
    mount_home();
    std::filesystem::create_directories(home_ / "bugs.txt");  // a folder stands where the file goes
    open();
    ui_driver_click(ui_driver_find(window_, 130));
    EXPECT_FALSE(shown());
    EXPECT_TRUE(engine_log_has("BUGREPORT: cannot open 'bugs.txt' file"));
}

}  // namespace
