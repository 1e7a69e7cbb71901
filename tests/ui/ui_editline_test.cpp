#include "ui/components/ui_editline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editline_fixture.h"
#include "engine/lcl.h"
#include "engine/mem.h"
#include "engine/pml_draw.h"
#include "engine/win32_record.h"

namespace {

using strings = std::vector<std::string>;

// Scan codes of the keys the tests press.
constexpr uint16_t key_a = 0x1E;
constexpr uint16_t key_c = 0x2E;
constexpr uint16_t key_v = 0x2F;
constexpr uint16_t key_home = 0xC7;
constexpr uint16_t key_left = 0xCB;
constexpr uint16_t key_right = 0xCD;
constexpr uint16_t key_end = 0xCF;
constexpr uint16_t key_insert = 0xD2;
constexpr uint16_t key_delete = 0xD3;

class ui_editline_test : public editline_test_t {};

TEST_F(ui_editline_test, a_full_line_refuses_an_insert_but_overwrites_inside_the_text)
{
    ui_editline_t* const line = make_line("limit = 8;");
    ASSERT_NE(line, nullptr);
    ui_driver_type("abcdefgh");
    EXPECT_STREQ(line->text(), "abcdefgh");
    EXPECT_EQ(line->cursor_position(), 8u);

    editline_probe_t::heard.clear();
    ui_driver_type("x");
    EXPECT_STREQ(line->text(), "abcdefgh");
    EXPECT_EQ(line->cursor_position(), 8u);
    ui_driver_stroke(key_left, 0);
    ui_driver_stroke(key_left, 0);
    ui_driver_type("y");
    EXPECT_STREQ(line->text(), "abcdefgh") << "insert mode: no room";
    EXPECT_TRUE(editline_probe_t::heard.empty());
    EXPECT_EQ(engine_log_matching("the line is full: it holds 8 characters").size(), 1u) << "said once, not per key";

    ui_driver_stroke(key_insert, 0);
    EXPECT_FALSE(line->insert_mode());
    ui_driver_type("XY");
    EXPECT_STREQ(line->text(), "abcdefXY");
    EXPECT_EQ(line->cursor_position(), 8u);
    EXPECT_EQ(editline_probe_t::heard, (strings{"3 abcdefXh", "4 abcdefXh", "3 abcdefXY", "4 abcdefXY"}));
    ui_driver_type("z");
    EXPECT_STREQ(line->text(), "abcdefXY") << "overwrite at the end of a full line: no room either";
    EXPECT_EQ(engine_log_matching("the line is full: it holds 8 characters").size(), 2u)
        << "said again after keys were taken";
}

TEST_F(ui_editline_test, a_limit_as_large_as_the_buffer_still_leaves_room_for_the_terminator)
{
    ui_editline_t* const line = make_line("limit = 32;");
    ASSERT_NE(line, nullptr);
    EXPECT_GT(line->capacity(), 32u);
    const std::string full(32, 'k');
    ui_driver_type((full + "k").c_str());
    EXPECT_EQ(line->text(), full);
}

TEST_F(ui_editline_test, a_refused_proposal_keeps_text_and_cursor_and_sends_no_change)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    ui_driver_type("abc");
    ui_driver_stroke(key_left, 0);
    editline_probe_t::heard.clear();
    editline_probe_t::refuse = true;
    for (const uint16_t key : {uint16_t{ui_key_backspace}, key_delete}) {
        ui_driver_stroke(key, 0);
        EXPECT_STREQ(line->text(), "abc");
        EXPECT_EQ(line->cursor_position(), 2u);
    }
    ui_driver_type("x");
    EXPECT_STREQ(line->text(), "abc");
    EXPECT_EQ(line->cursor_position(), 2u);
    EXPECT_EQ(editline_probe_t::heard, (strings{"3 ac", "3 ab", "3 abxc"}));

    editline_probe_t::refuse = false;
    editline_probe_t::heard.clear();
    ui_driver_stroke(ui_key_backspace, 0);
    EXPECT_STREQ(line->text(), "ac");
    EXPECT_EQ(line->cursor_position(), 1u);
    ui_driver_stroke(key_delete, 0);
    EXPECT_STREQ(line->text(), "a");
    EXPECT_EQ(line->cursor_position(), 1u);
    ui_driver_stroke(key_delete, 0);
    ui_driver_stroke(key_home, 0);
    ui_driver_stroke(ui_key_backspace, 0);
    EXPECT_EQ(editline_probe_t::heard, (strings{"3 ac", "4 ac", "3 a", "4 a"})) << "nothing to delete: no proposal";
}

TEST_F(ui_editline_test, enter_released_accepts_the_line_and_is_consumed)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    ui_driver_type("go");
    editline_probe_t::heard.clear();
    EXPECT_FALSE(ui_driver_key(ui_key_enter, true));
    EXPECT_TRUE(ui_driver_key(ui_key_enter, false));
    EXPECT_EQ(editline_probe_t::heard, strings{"2 go"});
    EXPECT_STREQ(line->text(), "go") << "a plain edit line keeps its text";
}

TEST_F(ui_editline_test, cursor_keys_and_ctrl_word_steps)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    line->set_text("ab cd", false);
    line->set_cursor(0, true);
    struct step_t {
        uint16_t key;
        uint8_t modifiers;
        unsigned cursor;
    };
    const step_t steps[] = {
        {key_left, ui_mod_ctrl, 4},  // from the end (not a letter) back onto the last letter only
        {key_left, ui_mod_ctrl, 2},  // over the rest of the word, to the blank before it
        {key_left, ui_mod_ctrl, 1},  // the blank alone
        {key_left, ui_mod_ctrl, 0},  // stops at 0
        {key_left, ui_mod_ctrl, 0},
        {key_right, ui_mod_ctrl, 2},  // over "ab" to the blank
        {key_right, ui_mod_ctrl, 3},
        {key_right, ui_mod_ctrl, 5},  // stops at the end
        {key_right, 0, 5},
        {key_left, 0, 4},
        {key_home, 0, 0},
        {key_left, 0, 0},
        {key_right, 0, 1},
        {key_end, 0, 5},
    };
    for (const step_t& step : steps) {
        EXPECT_TRUE(ui_driver_stroke(step.key, step.modifiers)) << "every edit key is consumed";
        EXPECT_EQ(line->cursor_position(), step.cursor) << step.key << " " << int(step.modifiers);
    }
}

TEST_F(ui_editline_test, set_text_clear_and_set_cursor_keep_the_cursor_inside_the_text)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    line->set_text("hello", false);
    EXPECT_EQ(line->cursor_position(), 0u);
    line->set_cursor(4, false);
    line->set_text("hey", true);
    EXPECT_EQ(line->cursor_position(), 3u) << "a kept cursor beyond the new end goes to the end";
    line->set_cursor(1, false);
    line->set_text("howdy", true);
    EXPECT_EQ(line->cursor_position(), 1u);
    line->set_cursor(9, false);
    EXPECT_EQ(line->cursor_position(), 5u);
    line->set_cursor(2, true);
    EXPECT_EQ(line->cursor_position(), 3u);
    line->set_cursor(9, true);
    EXPECT_EQ(line->cursor_position(), 0u);
    line->set_text(nullptr, false);
    EXPECT_STREQ(line->text(), "");

    const std::string long_text(100, 'w');
    line->set_text(long_text.c_str(), false);
    EXPECT_EQ(line->text(), long_text) << "without a limit the buffer grows";
    EXPECT_GE(line->capacity(), 101u);
    line->clear();
    EXPECT_STREQ(line->text(), "");
    EXPECT_EQ(line->cursor_position(), 0u);

    line->set_limit(4);
    line->set_text("abcdefg", false);
    EXPECT_STREQ(line->text(), "abcd");
}

TEST_F(ui_editline_test, a_failed_growth_keeps_the_text_and_caps_the_limit)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    line->set_text("kept", false);
    mem_fail_after(1);
    EXPECT_FALSE(line->grow_buffer(100));
    EXPECT_TRUE(engine_log_has("cannot realloc buffer to size 100 (capped to 32)"));
    EXPECT_STREQ(line->text(), "kept");
    EXPECT_EQ(line->limit(), 31u);

    const std::string long_text(40, 'q');
    line->set_limit(0);
    mem_fail_after(1);
    line->set_text(long_text.c_str(), false);
    EXPECT_EQ(line->text(), long_text.substr(0, 31)) << "cut to what the buffer holds";
    EXPECT_EQ(line->limit(), 31u);
    EXPECT_FALSE(line->grow_buffer(0xFFFFFFFFu)) << "no doubling reaches it within 32 bits";
}

TEST_F(ui_editline_test, paste_turns_blanks_and_control_characters_into_spaces_without_proposing)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    ui_driver_type("old");
    editline_probe_t::heard.clear();
    win32_clipboard_put_text("a\tb\r\nc, d!");
    EXPECT_FALSE(ui_driver_stroke(key_v, ui_mod_ctrl)) << "paste does not consume the key";
    EXPECT_STREQ(line->text(), "a b  c, d!");
    EXPECT_EQ(line->cursor_position(), 0u);
    EXPECT_TRUE(editline_probe_t::heard.empty());
    EXPECT_FALSE(win32_clipboard_is_open());

    win32_clipboard_put_text(std::string(3000, 'p'));
    ctrl(key_v);
    EXPECT_EQ(line->length(), 2047u) << "at most 2047 bytes are read";

    line->set_text("unchanged", false);
    win32_fail_open_clipboard(1);
    ctrl(key_v);
    EXPECT_STREQ(line->text(), "unchanged");
}

TEST_F(ui_editline_test, copy_puts_the_whole_text_on_the_clipboard_and_failures_change_nothing)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    ui_driver_type("cargo 12");
    ui_driver_stroke(key_home, 0);
    ctrl(key_c);
    EXPECT_EQ(win32_clipboard_text(), "cargo 12");
    EXPECT_FALSE(win32_clipboard_is_open());
    EXPECT_STREQ(line->text(), "cargo 12") << "Ctrl+C types nothing";

    line->set_text("other", false);
    win32_fail_global_alloc(1);
    ctrl(key_c);
    EXPECT_FALSE(win32_clipboard_is_open());
    win32_fail_open_clipboard(1);
    ctrl(key_c);
    EXPECT_NE(win32_clipboard_text(), "other");
    ui_driver_type("c");
    EXPECT_STREQ(line->text(), "cother") << "C without Ctrl types";
}

TEST_F(ui_editline_test, a_held_key_repeats_after_the_delay_until_it_is_released)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    ui_driver_key(key_a, true, 0, 'a');
    EXPECT_STREQ(line->text(), "a");
    frame(0.7);
    EXPECT_STREQ(line->text(), "a");
    frame(0.1);
    EXPECT_STREQ(line->text(), "aa");
    frame(0.03);
    EXPECT_STREQ(line->text(), "aa");
    frame(0.03);
    EXPECT_STREQ(line->text(), "aaa");
    ui_driver_key(key_a, false, 0, 'a');
    frame(1.0);
    EXPECT_STREQ(line->text(), "aaa");

    // Losing the focus ends the repeat too.
    ui_driver_key(key_a, true, 0, 'a');
    ui_driver_window(window_item_)->focus(nullptr);
    frame(1.0);
    EXPECT_STREQ(line->text(), "aaaa");
}

TEST_F(ui_editline_test, text_too_long_for_the_view_is_cut_and_the_cursor_follows)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    const std::string digits = "0123456789";
    line->set_text((digits + digits + digits).c_str(), false);
    line->set_cursor(0, true);
    frame(0.0);
    EXPECT_EQ(line->text(), (digits + digits + digits).substr(0, 25));
    EXPECT_EQ(line->cursor_position(), 25u);
    EXPECT_EQ(ui_driver_layer_text(window_item_, 0), (digits + digits + digits).substr(0, 25));
    EXPECT_EQ(engine_log_matching("the line is full: 25 of 30 characters fit").size(), 1u);
}

TEST_F(ui_editline_test, the_text_shows_literally_inside_the_style)
{
    ui_editline_t* const line = make_line("style = \"[ %s ]\";");
    ASSERT_NE(line, nullptr);
    for (const char* text : {"<br>\\r@@x@@", "a</verbatim><bad>", "</VERBATIM"}) {
        line->set_text(text, false);
        frame(0.0);
        EXPECT_EQ(ui_driver_layer_text(window_item_, 0), std::string("[ ") + text + " ]");
        EXPECT_STREQ(line->text(), text);
    }
    EXPECT_TRUE(engine_log_matching("pml_buffer_t").empty());
}

const char* translate_say(const char* key) { return std::string(key) == "say" ? "Say:" : nullptr; }

TEST_F(ui_editline_test, with_localisation_on_the_style_is_translated_but_never_the_text)
{
    lcl_api_request();
    lcl_callback(translate_say);
    pml_localized(true);
    ui_editline_t* const line = make_line("style = \"@@say@@ %s\";");
    ASSERT_NE(line, nullptr);
    line->set_text("@@say@@", false);
    frame(0.0);
    EXPECT_EQ(ui_driver_layer_text(window_item_, 0), "Say: @@say@@");
    EXPECT_TRUE(pml_is_localized()) << "localisation is switched on again after rendering";
    lcl_api_release();
}

// The cursor drawn in the last frame: its box, or nothing.
bool drawn_cursor(pml_rect_t& box)
{
    for (const pml_drawn_t& drawn : pml_drawn())
        if (drawn.item.id == '_') {
            box = drawn.item.box;
            return true;
        }
    return false;
}

TEST_F(ui_editline_test, the_cursor_is_drawn_at_its_character_blinking_only_in_insert_mode)
{
    ui_editline_t* const line = make_line("style = \"> %s\";");
    ASSERT_NE(line, nullptr);
    pml_rect_t box;
    pml_draw_clear();
    frame(0.0);
    ASSERT_TRUE(drawn_cursor(box)) << "empty text: where the text begins";
    EXPECT_FLOAT_EQ(box.left, 116.0f);
    EXPECT_FLOAT_EQ(box.right, 124.0f);

    ui_driver_type("abc");
    line->set_cursor(1, false);
    pml_draw_clear();
    frame(0.0);
    ASSERT_TRUE(drawn_cursor(box));
    EXPECT_FLOAT_EQ(box.left, 124.0f);
    EXPECT_FLOAT_EQ(box.bottom, 384.0f);
    line->set_cursor(3, false);
    pml_draw_clear();
    frame(0.0);
    ASSERT_TRUE(drawn_cursor(box)) << "at the end: past the last character";
    EXPECT_FLOAT_EQ(box.left, 140.0f);
    EXPECT_FLOAT_EQ(box.right, 148.0f);

    pml_draw_clear();
    frame(0.4);
    EXPECT_FALSE(drawn_cursor(box)) << "insert mode blinks";
    ui_driver_stroke(key_insert, 0);
    pml_draw_clear();
    frame(0.4);
    EXPECT_TRUE(drawn_cursor(box)) << "overwrite mode shows it steadily";

    ui_driver_window(window_item_)->focus(nullptr);
    pml_draw_clear();
    frame(0.0);
    EXPECT_FALSE(drawn_cursor(box)) << "only the focused line shows a cursor";
}

TEST_F(ui_editline_test, a_selected_preset_is_replaced_by_typing_and_kept_by_moving_the_cursor)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    // Typing replaces the whole preset, which shows whole while selected.
    line->set_text("Player", false);
    line->select_all();
    frame(0.0);
    EXPECT_TRUE(line->all_selected());
    EXPECT_EQ(line->cursor_position(), 6u);
    EXPECT_EQ(ui_driver_layer_text(window_item_, 0), "Player");
    ui_driver_type("Ann");
    EXPECT_STREQ(line->text(), "Ann");
    EXPECT_EQ(line->cursor_position(), 3u);
    EXPECT_FALSE(line->all_selected());
    EXPECT_EQ(editline_probe_t::heard, (strings{"3 A", "4 A", "3 An", "4 An", "3 Ann", "4 Ann"}));

    // Backspace empties a selected text; Delete too.
    for (const uint16_t erase : {uint16_t{ui_key_backspace}, key_delete}) {
        line->set_text("Player", false);
        line->select_all();
        ui_driver_stroke(erase, 0);
        EXPECT_STREQ(line->text(), "") << erase;
    }

    // A cursor key or a click ends the selection: typing then edits as usual.
    line->set_text("Player", false);
    line->select_all();
    ui_driver_stroke(key_left, 0);
    EXPECT_FALSE(line->all_selected());
    ui_driver_type("s");
    EXPECT_STREQ(line->text(), "Playesr");
    line->set_text("Player", false);
    line->select_all();
    frame(0.0);
    ui_driver_move(121.0f, 392.0f);
    ui_driver_press();
    ui_driver_release();
    ui_driver_type("x");
    EXPECT_STREQ(line->text(), "Plxayer");

    // A refused replacement keeps the text and ends the selection; set_text ends it as well.
    line->set_text("Player", false);
    line->select_all();
    editline_probe_t::refuse = true;
    ui_driver_type("z");
    EXPECT_STREQ(line->text(), "Player");
    EXPECT_FALSE(line->all_selected());
    editline_probe_t::refuse = false;
    line->select_all();
    line->set_text("Other", false);
    EXPECT_FALSE(line->all_selected());
    line->clear();
    line->select_all();
    EXPECT_FALSE(line->all_selected()) << "nothing to select";
}

TEST_F(ui_editline_test, a_click_puts_the_cursor_at_the_character_under_the_pointer)
{
    ui_editline_t* const line = make_line("");
    ASSERT_NE(line, nullptr);
    ui_driver_type("abcdef");
    frame(0.0);
    ui_driver_move(121.0f, 392.0f);
    ui_driver_press();
    EXPECT_EQ(line->cursor_position(), 2u);
    ui_driver_release();
    ui_driver_move(299.0f, 392.0f);
    ui_driver_press();
    EXPECT_EQ(line->cursor_position(), 5u) << "beyond the text: the nearest character";
    ui_driver_release();
}

TEST_F(ui_editline_test, keep_input_decides_whether_a_click_elsewhere_takes_the_focus)
{
    for (const bool keep : {true, false}) {
        ui_editline_t* const line = make_line(keep ? "keep_input = true;" : "keep_input = false;");
        ASSERT_NE(line, nullptr);
        ui_driver_move(600.0f, 600.0f);
        ui_driver_press();
        ui_driver_release();
        EXPECT_EQ(ui_driver_window(window_item_)->focus_view == line, keep);
        ui_wremove(window_item_);
    }
}

}  // namespace
