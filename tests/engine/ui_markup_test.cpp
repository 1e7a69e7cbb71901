#include <string>
#include <vector>

#include "engine/frame.h"
#include "engine/gfx_frame.h"
#include "engine/gfx_view.h"
#include "engine/lcl.h"
#include "engine/log.h"
#include "engine/pml.h"
#include "engine/pml_font.h"
#include "engine/pml_draw.h"
#include "engine_testing/engine_test.h"

namespace {

// A markup fixture with a font of fixed metrics: lines 16 high (12 + 4), characters 8 wide, "W" 12.
class ui_markup_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        write_data_file("fonts/default.font", "ascent 12\ndescent 4\nadvance 8\nchar \"W\" 12\n");
        write_data_file("fonts/big.font", "ascent 20\ndescent 4\nadvance 10\n");
        pml_init();
        pml_set_bounds(100.0f, 300.0f, 500.0f, 400.0f, true);
    }

    // Renders `text` and answers the items.
    std::vector<pml_item_t> render(const char* text)
    {
        pml_reset();
        pml_buffer_t buffer;
        if (!pml_render(text) || !pml_buffer_get(buffer, false))
            return {};
        return buffer.items();
    }
};

// Characters of `items` as a string, images as '#'.
std::string text_of(const std::vector<pml_item_t>& items)
{
    std::string out;
    for (const pml_item_t& item : items)
        out += item.id == pml_item_image ? '#' : static_cast<char>(item.id);
    return out;
}

struct markup_case_t {
    const char* markup;
    const char* text;   // characters laid out
    pml_rect_t bounds;  // box around every item
    unsigned last_color;
};

TEST_F(ui_markup_test, each_tag_and_escape_lays_out_the_expected_items)
{
    const markup_case_t cases[] = {
        {"ab", "ab", {100, 116, 500, 484}, 0xFFFFFFFF},
        {"aW", "aW", {100, 120, 500, 484}, 0xFFFFFFFF},
        {"a<br>b", "ab", {100, 108, 500, 468}, 0xFFFFFFFF},
        {"a\nb", "ab", {100, 108, 500, 468}, 0xFFFFFFFF},
        {"a<ret>b", "ab", {100, 108, 500, 484}, 0xFFFFFFFF},
        {"<offset hshift=10 vshift=20>a", "a", {110, 118, 480, 464}, 0xFFFFFFFF},
        {"<align hstyle=center>ab</align>", "ab", {192, 208, 500, 484}, 0xFFFFFFFF},
        {"<ALIGN hstyle=right vstyle=bottom>ab</align>", "ab", {284, 300, 416, 400}, 0xFFFFFFFF},
        {"<align hstyle=center vstyle=center>a</align>", "a", {196, 204, 458, 442}, 0xFFFFFFFF},
        {"<img src=/s.shd width=20 height=30>a", "#a", {100, 128, 500, 470}, 0xFFFFFFFF},
        {"<img src=/s.shd xscale=stretch yscale=stretch color=30ffffff>", "#", {100, 300, 500, 400}, 0x30FFFFFF},
        {"<COLOR VALUE=FF00FF00><IMG SRC=/s.shd XSCALE=REPEAT LEFT=0.5 TOP=0.5 WIDTH=20 HEIGHT=30>",
         "#",
         {100, 120, 500, 470},
         0xFF00FF00},
        {"<color value=FF00FF00>a</color>b", "ab", {100, 116, 500, 484}, 0xFFFFFFFF},
        {"<color value=ff000000>a", "a", {100, 108, 500, 484}, 0xFF000000},
        {"<font big>a</font>", "a", {100, 110, 500, 476}, 0xFFFFFFFF},
        {"<font name=/fonts/big.font type=2>a", "a", {100, 110, 500, 476}, 0xFFFFFFFF},
        {"\\ra", "a", {100, 108, 500, 484}, 0xFF0000FF},
        {"\\ga", "a", {100, 108, 500, 484}, 0xFF00FF00},
        {"\\ya", "a", {100, 108, 500, 484}, 0xFF00FFFF},
        {"\\ba", "a", {100, 108, 500, 484}, 0xFFFF0000},
        {"\\ka", "a", {100, 108, 500, 484}, 0xFF000000},
        {"\\r\\wa", "a", {100, 108, 500, 484}, 0xFFFFFFFF},
        {"<color value=FF0000FF>\\ga\\cb", "ab", {100, 116, 500, 484}, 0xFF0000FF},
        {"a\\\\b", "a\\b", {100, 124, 500, 484}, 0xFFFFFFFF},
        {"\\qa", "\\qa", {100, 124, 500, 484}, 0xFFFFFFFF},
        {"<VERBATIM><br>\\r</verbatim>", "<br>\\r", {100, 148, 500, 484}, 0xFFFFFFFF},
        {"<verbatim>x", "x", {100, 108, 500, 484}, 0xFFFFFFFF},
    };
    for (const markup_case_t& c : cases) {
        SCOPED_TRACE(c.markup);
        const std::vector<pml_item_t> items = render(c.markup);
        EXPECT_EQ(text_of(items), c.text);
        pml_buffer_t buffer;
        pml_render(c.markup);
        pml_buffer_get(buffer, false);
        pml_reset();
        pml_rect_t box;
        ASSERT_TRUE(buffer.get_bounds(box));
        EXPECT_FLOAT_EQ(box.left, c.bounds.left);
        EXPECT_FLOAT_EQ(box.right, c.bounds.right);
        EXPECT_FLOAT_EQ(box.top, c.bounds.top);
        EXPECT_FLOAT_EQ(box.bottom, c.bounds.bottom);
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items.back().color, c.last_color);
    }
}

TEST_F(ui_markup_test, characters_have_their_code_and_images_id_minus_one)
{
    const std::vector<pml_item_t> items = render("<img src=/a.shd>A");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].id, pml_item_image);
    EXPECT_STREQ(items[0].shader.c_str(), "/a.shd");
    EXPECT_EQ(items[1].id, 'A');
    EXPECT_FLOAT_EQ(items[0].box.right - items[0].box.left, 16.0f);  // an image without size is one line square
}

TEST_F(ui_markup_test, long_text_breaks_at_the_last_word_that_fits)
{
    pml_set_bounds(0.0f, 80.0f, 100.0f, 0.0f, true);  // ten characters a line
    const std::vector<pml_item_t> items = render("hello there world");
    ASSERT_EQ(items.size(), 17u);
    EXPECT_FLOAT_EQ(items[6].box.left, 0.0f);  // "there" starts the second line
    EXPECT_FLOAT_EQ(items[6].box.top, 84.0f);
    EXPECT_FLOAT_EQ(items[12].box.left, 0.0f);  // "world" the third
    EXPECT_FLOAT_EQ(items[12].box.top, 68.0f);
    const std::vector<pml_item_t> word = render("abcdefghijkl");  // one word longer than a line
    EXPECT_FLOAT_EQ(word[10].box.left, 0.0f);
    EXPECT_FLOAT_EQ(word[10].box.top, 84.0f);
}

TEST_F(ui_markup_test, items_below_the_bottom_edge_are_hidden)
{
    pml_set_bounds(0.0f, 80.0f, 100.0f, 80.0f, true);  // one line of 16 fits in 20
    const std::vector<pml_item_t> items = render("abcdefghijklmn");
    ASSERT_EQ(items.size(), 14u);
    EXPECT_FALSE(items[9].is_hidden());
    EXPECT_TRUE(items[10].is_hidden());
}

const char* translate_for_test(const char* key)
{
    if (std::string(key) == "ui_week")
        return "Week";
    if (std::string(key) == "__fnt_big_2")
        return "big";
    return nullptr;
}

TEST_F(ui_markup_test, keys_between_double_at_signs_go_through_the_translation_callback)
{
    lcl_api_request();
    lcl_callback(translate_for_test);
    EXPECT_STREQ(lcl_translate("@@ui_week@@ 3 @@unknown@@"), "Week 3 @@unknown@@");

    pml_localized(true);
    EXPECT_EQ(text_of(render("@@ui_week@@")), "Week");
    EXPECT_EQ(text_of(render("<verbatim>@@ui_week@@</verbatim>")), "@@ui_week@@");
    const std::vector<pml_item_t> big = render("<font @@__fnt_big_2@@>a</font>");
    ASSERT_EQ(big.size(), 1u);
    EXPECT_FLOAT_EQ(big[0].box.right - big[0].box.left, 10.0f);

    pml_localized(false);
    EXPECT_EQ(text_of(render("@@ui_week@@")), "@@ui_week@@");
    lcl_api_release();
    EXPECT_STREQ(lcl_translate("@@ui_week@@"), "@@ui_week@@");  // the last release forgets the callback
}

TEST_F(ui_markup_test, bad_markup_gives_a_message_and_an_empty_render)
{
    const char* bad[] = {"a<b",
                         "<blink>a",
                         "<color value=zz>a",
                         "<color>a",
                         "<img width=3>",
                         "<img src=/a.shd width=x>",
                         "<offset hshift=q>",
                         "<align hstyle=middle>a",
                         "<img src=/a.shd left=1.5>",
                         "<img src=/a.shd xscale=tiled>"};
    for (const char* markup : bad) {
        SCOPED_TRACE(markup);
        log_clear_capture();
        pml_reset();
        EXPECT_FALSE(pml_render(markup));
        pml_buffer_t buffer;
        EXPECT_TRUE(pml_buffer_get(buffer, false));
        EXPECT_EQ(buffer.count(), 0u);
        EXPECT_EQ(engine_log_matching("<pml_buffer_t>").size(), 1u);
    }
    pml_rect_t box;
    EXPECT_FALSE(pml_get_bounds("<nope>", box));
}

TEST_F(ui_markup_test, a_missing_font_keeps_the_current_one_and_is_reported_once)
{
    log_clear_capture();
    EXPECT_EQ(render("<font nothing>a</font><font nothing>b").size(), 2u);
    EXPECT_EQ(engine_log_matching("cannot read font \"/fonts/nothing.font\"").size(), 1u);
}

TEST_F(ui_markup_test, a_font_with_a_bad_metric_is_reported_with_file_and_line_and_not_used)
{
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"ascent 12\ndescent 4.5\n", "/fonts/bad0.font:2: descent \"4.5\" is no whole number"},
        {"ascent 256\n", "/fonts/bad1.font:1: ascent 256 is outside 0 to 255"},
        {"advance 8\nchar \"W\" 1e9\n", "/fonts/bad2.font:2: the character width 1e9 is outside 0 to 1024"},
        {"advance wide\n", "/fonts/bad3.font:1: advance \"wide\" is no number"},
    };
    int index = 0;
    for (const auto& c : cases) {
        const std::string name = "bad" + std::to_string(index++);
        write_data_file("fonts/" + name + ".font", c.text);
        log_clear_capture();
        EXPECT_EQ(pml_font_find(name.c_str()), -1) << c.text;
        EXPECT_TRUE(engine_log_has(c.message)) << c.text;
    }
}

TEST_F(ui_markup_test, a_buffer_at_capacity_refuses_more_items_cleanly)
{
    pml_buffer_t small(3 * pml_item_bytes);
    EXPECT_EQ(small.capacity(), 3u);
    EXPECT_NE(small.insert("/a.shd"), nullptr);
    EXPECT_NE(small.insert(nullptr), nullptr);
    EXPECT_STREQ(small.item(1).shader.c_str(), "/a.shd");  // no shader continues the one before
    EXPECT_NE(small.insert("/b.shd"), nullptr);
    EXPECT_EQ(small.insert("/c.shd"), nullptr);
    EXPECT_EQ(small.count(), 3u);

    pml_reset();
    ASSERT_TRUE(pml_render("abcd"));
    pml_buffer_t two(2 * pml_item_bytes);
    EXPECT_FALSE(pml_buffer_get(two, false));
    EXPECT_EQ(two.count(), 0u);
    pml_buffer_t four(4 * pml_item_bytes);
    EXPECT_TRUE(pml_buffer_get(four, false));
    EXPECT_FALSE(four.append_from(four));  // appending all or nothing
    EXPECT_EQ(four.count(), 4u);
    pml_buffer_t eight(8 * pml_item_bytes);
    ASSERT_TRUE(eight.append_from(four));
    EXPECT_TRUE(eight.append_from(eight));  // a buffer may append itself
    EXPECT_EQ(eight.count(), 8u);
    EXPECT_EQ(eight.item(7).id, 'd');
}

TEST_F(ui_markup_test, buffer_moves_by_offset_and_set_position)
{
    pml_reset();
    pml_render("a");
    pml_buffer_t buffer;
    pml_buffer_get(buffer, false);
    buffer.offset(5.0f, -10.0f);
    EXPECT_FLOAT_EQ(buffer.item(0).box.left, 105.0f);
    EXPECT_FLOAT_EQ(buffer.item(0).box.top, 490.0f);
    EXPECT_FLOAT_EQ(buffer.position_x(), 5.0f);
    buffer.set_position(0, nullptr);  // forget the shift, keep the items
    EXPECT_FLOAT_EQ(buffer.position_x(), 0.0f);
    EXPECT_FLOAT_EQ(buffer.item(0).box.left, 105.0f);
    const float back[2] = {-5.0f, 10.0f};
    buffer.set_position(1, back);
    EXPECT_FLOAT_EQ(buffer.item(0).box.left, 100.0f);
    EXPECT_FLOAT_EQ(buffer.item(0).box.top, 500.0f);
}

TEST_F(ui_markup_test, flush_draws_visible_items_with_the_colour_modulation)
{
    pml_reset();
    pml_render("<color value=FF0000FF>ab");
    pml_buffer_t buffer;
    pml_buffer_get(buffer, false);
    buffer.item(1).flags |= pml_item_hidden;
    pml_draw_clear();
    pml_colormod(0x80FFFFFF);
    pml_buffer_flush(buffer, 1.0f, 2.0f);
    pml_colormod(0xFFFFFFFF);
    ASSERT_EQ(pml_drawn().size(), 1u);
    EXPECT_EQ(pml_drawn()[0].drawn_color, 0x800000FFu);
    EXPECT_FLOAT_EQ(pml_drawn()[0].item.box.left, 101.0f);
    EXPECT_FLOAT_EQ(pml_drawn()[0].item.box.top, 502.0f);
}

TEST_F(ui_markup_test, only_the_frame_being_drawn_and_the_last_one_shown_are_kept)
{
    pml_reset();
    pml_render("ab");
    pml_buffer_t buffer;
    pml_buffer_get(buffer, false);
    for (int frame = 0; frame < 50; ++frame) {
        engine_run_frame(1.0 / 60.0);
        pml_buffer_flush(buffer, 0.0f, 0.0f);
        gfx_swapbuffers();
    }
    // The next frame starts: frame 49 was the last shown, frame 50 is being drawn.
    engine_run_frame(1.0 / 60.0);
    pml_buffer_flush(buffer, 0.0f, 0.0f);
    ASSERT_EQ(pml_drawn().size(), 4u);
    EXPECT_EQ(pml_drawn().front().frame, 49);
    EXPECT_EQ(pml_drawn().back().frame, 50);
}

}  // namespace

namespace {

TEST_F(ui_markup_test, bounds_in_device_pixels_are_converted_to_reference_units)
{
    gfx_params_t params{};
    gfx_get_params(&params);
    ASSERT_GT(params.width, 0);
    pml_set_bounds(0.0f, static_cast<float>(params.width), static_cast<float>(params.height), 0.0f, false);
    const pml_rect_t bounds = pml_get_render_bounds();
    EXPECT_FLOAT_EQ(bounds.right, 1024.0f);
    EXPECT_FLOAT_EQ(bounds.top, 768.0f);
}

}  // namespace
