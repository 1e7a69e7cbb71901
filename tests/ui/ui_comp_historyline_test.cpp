#include "ui/components/ui_comp_historyline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editline_fixture.h"

namespace {

using strings = std::vector<std::string>;

class ui_comp_historyline_test : public editline_test_t {
protected:
    ui_comp_historyline_t* make_history() { return make_line<ui_comp_historyline_t>("", "ui.comp.historyline"); }

    // Types `text` and accepts it with Enter.
    static void enter(const char* text)
    {
        ui_driver_type(text);
        ui_driver_stroke(ui_key_enter, 0);
    }
};

TEST_F(ui_comp_historyline_test, accepting_tells_the_handler_the_text_then_stores_it_and_empties_the_line)
{
    ui_comp_historyline_t* const line = make_history();
    ASSERT_NE(line, nullptr);
    enter("map demo");
    EXPECT_STREQ(line->text(), "");
    EXPECT_EQ(line->cursor_position(), 0u);
    editline_probe_t::heard.clear();
    enter("");
    EXPECT_EQ(editline_probe_t::heard, strings{"2 "});
    EXPECT_EQ(line->stored(), 2u) << "an empty line is stored too";

    ui_driver_stroke(ui_key_up, 0);
    EXPECT_STREQ(line->text(), "");
    ui_driver_stroke(ui_key_up, 0);
    EXPECT_STREQ(line->text(), "map demo");
    EXPECT_EQ(line->cursor_position(), 8u) << "a recalled entry puts the cursor at its end";
    ui_driver_stroke(ui_key_down, 0);
    EXPECT_STREQ(line->text(), "");
    ui_driver_stroke(ui_key_down, 0);
    EXPECT_STREQ(line->text(), "map demo") << "newer wraps to the oldest";
}

TEST_F(ui_comp_historyline_test, an_empty_history_offers_nothing_and_leaves_the_text)
{
    ui_comp_historyline_t* const line = make_history();
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->older(), nullptr);
    EXPECT_EQ(line->newer(), nullptr);
    ui_driver_type("typed");
    EXPECT_TRUE(ui_driver_stroke(ui_key_up, 0)) << "Up is consumed even with nothing to recall";
    ui_driver_stroke(ui_key_down, 0);
    EXPECT_STREQ(line->text(), "typed");
}

TEST_F(ui_comp_historyline_test, the_twenty_sixth_entry_overwrites_the_first)
{
    ui_comp_historyline_t history;
    for (int i = 1; i <= 26; ++i)
        history.add(("cmd " + std::to_string(i)).c_str());
    EXPECT_EQ(history.stored(), 25u);
    strings recalled;
    for (int i = 0; i < 26; ++i)
        recalled.push_back(history.older());
    EXPECT_EQ(recalled.front(), "cmd 26");
    EXPECT_EQ(recalled[24], "cmd 2") << "25 entries, the first is gone";
    EXPECT_EQ(recalled[25], "cmd 26") << "older wraps round to the newest";
}

TEST_F(ui_comp_historyline_test, an_entry_keeps_at_most_255_bytes)
{
    ui_comp_historyline_t history;
    const std::string long_text(400, 'h');
    history.add(long_text.c_str());
    history.add(nullptr);
    history.older();
    EXPECT_EQ(std::string(history.older()), long_text.substr(0, 255));
}

}  // namespace
