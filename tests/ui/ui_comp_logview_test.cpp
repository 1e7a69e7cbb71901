#include "ui/components/ui_comp_logview.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/log.h"
#include "ui_fixture.h"

namespace {

// A log view three lines high (a line takes 20 with the built-in font metrics 12 + 4, plus 4).
class ui_comp_logview_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        write_data_file("fonts/default.font", "ascent 12\ndescent 4\nadvance 8\n");
    }

    ui_comp_logview_t* make_log(int offset)
    {
        window_ = make_window(
            "    entity ui.comp.logview { id = 7; rect = 0 1024 400 340; offset = " + std::to_string(offset) + "; }\n");
        auto* const view = dynamic_cast<ui_comp_logview_t*>(ui_driver_find(window_, 7));
        EXPECT_NE(view, nullptr);
        return view;
    }

    // The layer's text with the blanks taken out.
    std::string shown() const
    {
        std::string text = ui_driver_layer_text(window_, 0);
        std::erase(text, ' ');
        return text;
    }

    static std::string history(int index) { return message_history(index); }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_comp_logview_test, an_offset_past_the_history_is_clamped_to_the_oldest_message_after_a_more_line)
{
    ui_comp_logview_t* const view = make_log(0);
    for (const char* text : {"alpha", "beta", "gamma"})
        message("%s", text);
    const int count = message_history_count();
    view->history_offset = count + 2;
    frame();
    EXPECT_EQ(view->history_offset, count - 1);
    std::string expected = "****more****" + history(count - 1);
    std::erase(expected, ' ');
    EXPECT_EQ(shown(), expected);
    const ui_layer_entry_t* const entry = ui_driver_window(window_)->layer_entry(0, false);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->buffer.items().front().color, 0xFF0000FFu) << "the more line is red";
}

TEST_F(ui_comp_logview_test, lines_run_from_the_offset_down_to_the_bottom_of_the_view)
{
    ui_comp_logview_t* const view = make_log(-4);
    for (const char* text : {"one", "two", "three", "four", "five"})
        message("%s", text);
    frame();
    EXPECT_EQ(view->history_offset, 0);
    EXPECT_EQ(shown(), "fivefourthree");

    view->history_offset = 1;
    frame(0.06);
    EXPECT_EQ(shown(), "****more****fourthree") << "the more line takes the first of the three lines";
}

TEST_F(ui_comp_logview_test, the_lines_are_laid_out_again_at_most_every_twentieth_of_a_second)
{
    ui_comp_logview_t* const view = make_log(0);
    message("first");
    frame();
    EXPECT_EQ(shown().rfind("first", 0), 0u);
    message("second");
    frame(0.02);
    frame(0.02);
    EXPECT_EQ(shown().rfind("first", 0), 0u) << "0.04 s after the last layout";
    frame(0.02);
    EXPECT_EQ(shown().rfind("secondfirst", 0), 0u);
    ASSERT_TRUE(ui_driver_set(view, "visible", "false"));
    frame();
    EXPECT_EQ(shown(), "");
    EXPECT_FALSE(view->built);
}

TEST_F(ui_comp_logview_test, messages_show_as_written_without_reading_markup_in_them)
{
    make_log(0);
    message("<blink> \\r red");
    frame();
    frame(0.06);
    EXPECT_EQ(shown().rfind("<blink>\\rred", 0), 0u) << shown();
    EXPECT_TRUE(engine_log_matching("unknown tag").empty());
}

}  // namespace
