#include "ui/components/ui_comp_button.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui_fixture.h"

namespace {

// Two groups of buttons: radios 11 and 12 and check 13 under group 1, radio 21 under group 2; a normal
// button 30 and a menu button 40 in the window.
constexpr const char* buttons_body =
    "    entity ui.comp.group { id = 1;\n"
    "        entity ui.comp.button { id = 11; rect = 0 100 700 650; button_type = radio; n_pml = \"a\"; }\n"
    "        entity ui.comp.button { id = 12; rect = 0 100 600 550; button_type = radio; n_pml = \"b\"; }\n"
    "        entity ui.comp.button { id = 13; rect = 0 100 500 450; button_type = check; n_pml = \"c\"; }\n"
    "    }\n"
    "    entity ui.comp.group { id = 2;\n"
    "        entity ui.comp.button { id = 21; rect = 200 300 700 650; button_type = radio; }\n"
    "    }\n"
    "    entity ui.comp.button { id = 30; rect = 400 500 700 650; n_pml = \"n\"; }\n"
    "    entity ui.comp.button { id = 40; rect = 600 700 700 650; button_type = menu; }\n";

class ui_comp_button_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window(buttons_body);
        ASSERT_NE(window_, nullptr);
        frame();
        ui_driver_trace_clear();
    }

    ui_comp_button_t* button(int id) { return dynamic_cast<ui_comp_button_t*>(ui_driver_find(window_, id)); }

    // The code-2 lines of the trace ("handle <id> 2 <pressed byte>").
    static std::vector<std::string> presses()
    {
        std::vector<std::string> lines;
        for (const std::string& line : ui_driver_trace())
            if (line.find(" 2 ") != std::string::npos)
                lines.push_back(line);
        return lines;
    }

    c_item_t* window_ = nullptr;
};

TEST_F(ui_comp_button_test, pressing_a_radio_releases_only_the_other_radios_of_its_parent)
{
    for (const int id : {12, 13, 21})
        button(id)->set_pressed(true);
    EXPECT_FALSE(button(11)->set_pressed(true)) << "answers the previous flag";
    EXPECT_TRUE(button(11)->pressed);
    EXPECT_FALSE(button(12)->pressed);
    EXPECT_TRUE(button(13)->pressed) << "a check button is not a radio";
    EXPECT_TRUE(button(21)->pressed) << "another parent";
    EXPECT_TRUE(button(11)->set_pressed(true));
    EXPECT_TRUE(presses().empty()) << "set_pressed sends nothing";
}

TEST_F(ui_comp_button_test, clicks_send_code_2_with_the_pressed_flag_after_the_click)
{
    ui_driver_click(button(13));
    ui_driver_click(button(13));
    ui_driver_click(button(11));
    ui_driver_click(button(11));
    ui_driver_click(button(30));
    EXPECT_EQ(presses(), (std::vector<std::string>{"handle 13 2 1", "handle 13 2 0", "handle 11 2 1", "handle 11 2 1",
                                                   "handle 30 2 0"}));
    EXPECT_FALSE(button(13)->pressed);
    EXPECT_TRUE(button(11)->pressed);
    EXPECT_FALSE(button(30)->pressed);

    // A menu button answers the press half at once.
    ui_driver_trace_clear();
    ui_driver_move(650.0f, 675.0f);
    ui_driver_press();
    EXPECT_EQ(presses(), (std::vector<std::string>{"handle 40 2 0"}));
    ui_driver_release();
    EXPECT_EQ(presses().size(), 1u);
}

TEST_F(ui_comp_button_test, a_release_without_a_press_on_the_button_sends_nothing)
{
    // Pressed elsewhere, released over the buttons.
    for (const int id : {30, 13}) {
        ui_driver_move(900.0f, 100.0f);
        ui_driver_press();
        const ui_view_t* view = button(id);
        ui_driver_move((view->rect.left + view->rect.right) / 2, (view->rect.top + view->rect.bottom) / 2);
        ui_driver_release();
    }
    // A check button clicked once does not click again on a second release.
    ui_driver_click(button(13));
    ui_driver_release();
    // A normal button pressed and left is released without sending.
    ui_driver_move(450.0f, 675.0f);
    ui_driver_press();
    EXPECT_TRUE(button(30)->pressed);
    ui_driver_move(900.0f, 100.0f);
    EXPECT_FALSE(button(30)->pressed);
    ui_driver_release();
    EXPECT_EQ(presses(), (std::vector<std::string>{"handle 13 2 1"}));
}

TEST_F(ui_comp_button_test, the_shown_markup_follows_activity_press_selection_and_type)
{
    struct case_t {
        int type;
        bool active;
        bool pressed;
        bool selected;
        const char* s2;
        const char* shown;
    };
    const case_t cases[] = {
        {ui_button_check, true, true, true, "", "P"},  // no second selected markup: pressed
        {ui_button_check, true, true, true, "T", "T"},    {ui_button_check, true, true, false, "T", "P"},
        {ui_button_normal, true, true, true, "T", "P"},  // a normal button never shows the second markup
        {ui_button_radio, false, true, true, "T", "D"},  // disabled whatever its state
        {ui_button_normal, false, false, false, "", "D"}, {ui_button_normal, true, false, true, "T", "S"},
        {ui_button_menu, true, false, false, "T", "N"},
    };
    ui_comp_button_t* const b = button(30);
    const struct {
        const char* name;
        const char* value;
    } markups[] = {{"n_pml", "N"}, {"s_pml", "S"}, {"d_pml", "D"}, {"p_pml", "P"}};
    for (const auto& markup : markups)
        ASSERT_TRUE(ui_driver_set(b, markup.name, markup.value));
    for (const case_t& c : cases) {
        b->button_type = c.type;
        b->active = c.active;
        b->pressed = c.pressed;
        b->selected = c.selected;
        ASSERT_TRUE(ui_driver_set(b, "s2_pml", c.s2));
        frame();
        EXPECT_EQ(ui_driver_layer_text(window_, 0), std::string("a") + "b" + "c" + c.shown)
            << "type " << c.type << " active " << c.active << " pressed " << c.pressed << " selected " << c.selected
            << " s2 \"" << c.s2 << "\"";
    }
}

TEST_F(ui_comp_button_test, a_change_of_state_switches_markups_without_rendering_them_again)
{
    ui_comp_button_t* const b = button(30);
    ASSERT_TRUE(ui_driver_set(b, "p_pml", "P"));
    frame();
    EXPECT_EQ(b->shown_state, ui_button_markup_normal);
    // A mark on the compiled markup survives only when it is not rendered again.
    constexpr unsigned marked = 0xFF123456;
    b->markups[ui_button_markup_pressed].item(0).color = marked;
    b->set_pressed(true);
    frame();
    EXPECT_EQ(b->shown_state, ui_button_markup_pressed);
    const ui_layer_entry_t* const entry = ui_driver_window(window_)->layer_entry(0, false);
    ASSERT_NE(entry, nullptr);
    bool found = false;
    for (const pml_item_t& item : entry->buffer.items())
        found = found || (item.id == 'P' && item.color == marked);
    EXPECT_TRUE(found) << "the layer took the kept markup";
    ASSERT_TRUE(ui_driver_set(b, "visible", "false"));
    frame();
    EXPECT_EQ(b->shown_state, ui_button_shown_none);
    EXPECT_EQ(ui_driver_layer_text(window_, 0).find('P'), std::string::npos);
}

}  // namespace
