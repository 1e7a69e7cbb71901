#include "game/ui_handler_console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/command.h"
#include "engine/cvar.h"
#include "engine/log.h"
#include "engine/ui_window.h"
#include "../ui/ui_fixture.h"
#include "ui/components/ui_comp_logview.h"
#include "ui/components/ui_editline.h"

namespace {

// Commands the console ran.
std::vector<std::string> executed;

void record_command() { executed.push_back(std::string(cmd_argv(0)) + " " + (cmd_argc() > 1 ? cmd_argv(1) : "")); }

constexpr uint16_t key_page_up = 0xC9;
constexpr uint16_t key_page_down = 0xD1;

class console_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        ASSERT_TRUE(cvar_register_variable(&minicon_variable_, 0));
        executed.clear();
        cmd_register_command("echo_test", record_command);
        write_data_file("ui/system/console.esc", R"(
entity ui.handler.system.console { }
entity ui.window {
    rect = 0 1024 768 384;
    entity ui.comp.logview { id = 2; rect = 8 1016 760 416; }
    entity ui.comp.historyline { id = 1; rect = 8 824 408 388; }
    entity ui.comp.text { id = 99; rect = 832 1016 408 388; }
}
)");
        write_data_file("ui/system/minicon.esc", "entity ui.window { rect = 0 1024 768 688; }\n");
        for (int i = 0; i < 40; ++i)
            message("line %d", i);
    }

    // Builds the console (hidden, as the game does at start) with "g_minicon" set to `minicon`.
    void open_console(const char* minicon)
    {
        minicon_variable_.set(minicon);
        console_ = ui_winsert("system_02", "console", 9, "/ui/system/console.esc", false);
        ASSERT_NE(console_, nullptr);
    }

    ui_handler_console_t* handler() const
    {
        return static_cast<ui_handler_console_t*>(ui_driver_window(console_)->handler_item->object);
    }
    ui_comp_logview_t* log() const { return static_cast<ui_comp_logview_t*>(ui_driver_find(console_, 2)); }
    static bool minicon_visible()
    {
        c_item_t* minicon = ui_wget("system_03", "minicon");
        return minicon && ui_driver_window(minicon)->visible;
    }

    cvar_t minicon_variable_{"g_minicon", "0", cvar_t::type_integer, nullptr, 1u};
    c_item_t* console_ = nullptr;
};

TEST_F(console_test, creation_shows_the_version_and_prepares_the_mini_console)
{
    open_console("1");
    EXPECT_EQ(ui_driver_get(ui_driver_find(console_, 99), "text"), "<align hstyle=right>ver. 1.10</align>");
    ASSERT_NE(ui_wget("system_03", "minicon"), nullptr);
    EXPECT_TRUE(minicon_visible());
}

TEST_F(console_test, the_mini_console_takes_the_consoles_place_only_when_wanted)
{
    const struct {
        const char* minicon;
        bool shown_while_closed;
    } cases[] = {{"0", false}, {"1", true}};
    for (const auto& c : cases) {
        open_console(c.minicon);
        ui_wshow(console_, 0);
        EXPECT_FALSE(minicon_visible()) << c.minicon;
        ui_whide(console_);
        EXPECT_EQ(minicon_visible(), c.shown_while_closed) << c.minicon;
        ui_wremove(console_);
        if (c_item_t* minicon = ui_wget("system_03", "minicon"))
            ui_wremove(minicon);
        ui_process();
    }
}

TEST_F(console_test, a_typed_line_runs_as_a_command_and_showing_starts_at_the_newest_message)
{
    open_console("0");
    log()->history_offset = 7;
    ui_wshow(console_, 0);
    EXPECT_EQ(log()->history_offset, 0);
    EXPECT_EQ(ui_driver_window(console_)->focus_view, ui_driver_find(console_, 1));
    ui_driver_type("echo_test hello");
    ui_driver_stroke(ui_key_enter);
    EXPECT_EQ(executed, (std::vector<std::string>{"echo_test hello"}));
    EXPECT_STREQ(static_cast<ui_editline_t*>(ui_driver_find(console_, 1))->text(), "");
}

TEST_F(console_test, holding_a_scroll_key_scrolls_twenty_times_a_second_until_released)
{
    open_console("0");
    ui_wshow(console_, 0);
    const struct {
        uint16_t key;
        uint8_t modifiers;
        int step;
    } cases[] = {
        {key_page_up, 0, 2},    {key_page_up, 0x01, 5},    {key_page_up, 0x10, message_history_count()},
        {key_page_down, 0, -2}, {key_page_down, 0x02, -5}, {key_page_down, 0x20, -message_history_count()},
    };
    for (const auto& c : cases) {
        log()->history_offset = 0;
        ui_driver_key(c.key, true, c.modifiers);
        EXPECT_EQ(handler()->scroll_step, c.step) << c.key << " " << int(c.modifiers);
        handler()->handler();  // the first step comes at once
        EXPECT_EQ(log()->history_offset, c.step);
        for (int frame = 0; frame < 2; ++frame) {  // 0.04 s more: not yet the next step
            engine_run_frames(1, 0.02);
            handler()->handler();
        }
        EXPECT_EQ(log()->history_offset, c.step);
        engine_run_frames(1, 0.02);
        handler()->handler();
        EXPECT_EQ(log()->history_offset, 2 * c.step);
        ui_driver_key(c.key, false, c.modifiers);
        EXPECT_EQ(handler()->scrolling, 0);
        engine_run_frames(1, 0.1);
        handler()->handler();
        EXPECT_EQ(log()->history_offset, 2 * c.step) << "released: no more steps";
    }
}

}  // namespace
