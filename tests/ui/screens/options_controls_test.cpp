#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/bind.h"
#include "engine/input.h"
#include "engine/input_queue.h"
#include "engine/ui_action.h"
#include "common/input_actions.h"
#include "options_fixture.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/options/ui_handler_menu_options2.h"
#include "ui/screens/options/ui_handler_options_informer.h"

namespace {

// Rows of actions used below.
constexpr int forward_row = 0;
constexpr int backward_row = 1;
constexpr int screenshot_row = 23;

class controls_page_test : public options_test_t {
protected:
    void SetUp() override
    {
        options_test_t::SetUp();
        open_options();
        auto* tab = dynamic_cast<ui_comp_button_t*>(find("optionsmenu", "optionsbase", 3001));
        ASSERT_NE(tab, nullptr);
        tab->click();
        settle();
        controls_ = page<ui_handler_menu_options2_t>("menu", "options2");
        ASSERT_NE(controls_, nullptr);
        apply_default_bindings();
        controls_->list_bindings(true);
    }

    static const char* alias(int row) { return api::inp_impulse_get(input_action_table[row].impulse)->name; }

    // The key names bound to an action, in store order.
    static std::vector<std::string> keys(int row)
    {
        std::vector<std::string> names;
        const input_action_t& action = input_action_table[row];
        for (const bind_t* b = nullptr; (b = action.impulse >= 0 ? inp_trigger_impulsealias(alias(row), 0, b)
                                                                 : inp_trigger_command(action.command, b));)
            names.emplace_back(b->trigger->name);
        return names;
    }

    static std::string row_text(int row) { return list_of("menu", "options2", 10)->item_pml_at(row); }

    c_item_t* prompt() const { return window("options_dlg", "informer"); }

    // Opens the key prompt on `row`, answers it with `key` (a scan code) and lets the page apply it.
    void rebind(int row, uint16_t key)
    {
        pick(list_of("menu", "options2", 10), row);
        ASSERT_NE(prompt(), nullptr);
        ASSERT_TRUE(shown(prompt()));
        ASSERT_TRUE(ui_driver_stroke(key));
        frames(1);
    }

    ui_handler_menu_options2_t* controls_ = nullptr;
};

TEST_F(controls_page_test, a_captured_key_leaves_every_other_action_and_an_action_keeps_two_keys)
{
    EXPECT_EQ(row_text(forward_row), "@@o_im_forward@@|up");
    rebind(forward_row, 0xD0);  // the down arrow, the backward action's key
    EXPECT_EQ(prompt(), nullptr) << "the page closes the prompt once it has its answer";
    EXPECT_EQ(controls_->prompt_window, nullptr);
    EXPECT_EQ(keys(forward_row), (std::vector<std::string>{"up", "down"}));
    EXPECT_TRUE(keys(backward_row).empty());
    EXPECT_EQ(row_text(backward_row), "@@o_im_backward@@|@@ui_na@@");
    EXPECT_EQ(row_text(forward_row), "@@o_im_forward@@|up or down");

    rebind(forward_row, 0x17);  // i: a third key takes the second's place
    EXPECT_EQ(keys(forward_row), (std::vector<std::string>{"up", "i"}));

    rebind(screenshot_row, 0x42);  // F8: the command action keeps its keys and gains the new one
    EXPECT_EQ(keys(screenshot_row), (std::vector<std::string>{"F10", "F8"}));
}

TEST_F(controls_page_test, esc_in_the_prompt_deletes_every_key_of_an_impulse_action_but_one_of_the_command_action)
{
    rebind(forward_row, 0x17);
    ASSERT_EQ(keys(forward_row).size(), 2u);
    rebind(forward_row, 1);
    EXPECT_TRUE(keys(forward_row).empty());
    EXPECT_EQ(row_text(forward_row), "@@o_im_forward@@|@@ui_na@@");

    rebind(screenshot_row, 0x42);
    rebind(screenshot_row, 1);
    EXPECT_EQ(keys(screenshot_row), (std::vector<std::string>{"F8"}));
}

TEST_F(controls_page_test, the_prompt_ignores_reserved_keys_and_empty_masks_and_names_the_joystick_when_there_is_one)
{
    set_cvar("i_joystick1", "-1");
    pick(list_of("menu", "options2", 10), forward_row);
    auto* informer = page<ui_handler_options_informer_t>("options_dlg", "informer");
    ASSERT_NE(informer, nullptr);
    EXPECT_EQ(ui_driver_get(find("options_dlg", "informer", 1), "value"),
              "@@mm_presskeymouse@@<br>@@mm_pressesctodelete@@");
    ASSERT_TRUE(ui_driver_stroke(59));  // F1
    ASSERT_TRUE(ui_driver_stroke(69));
    ui_pointer_param_t no_button{};
    EXPECT_FALSE(informer->handle(find("options_dlg", "informer", 1), ui_action_pointer_up, &no_button));
    ui_buttons_param_t no_joy_button{};
    EXPECT_FALSE(informer->handle(find("options_dlg", "informer", 1), ui_action_joy_button, &no_joy_button));
    frames(1);
    EXPECT_TRUE(shown(prompt())) << "still waiting";
    EXPECT_EQ(informer->get_trigger(), -1);

    ui_pointer_param_t right_button{};
    right_button.buttons = 6;
    EXPECT_TRUE(informer->handle(find("options_dlg", "informer", 1), ui_action_pointer_up, &right_button));
    EXPECT_EQ(informer->get_trigger(), 263) << "the lowest button of the mask";
    frames(1);
    EXPECT_EQ(keys(forward_row), (std::vector<std::string>{"up", "mouse2"}));

    set_cvar("i_joystick1", "1");
    pick(list_of("menu", "options2", 10), forward_row);
    EXPECT_EQ(ui_driver_get(find("options_dlg", "informer", 1), "value"),
              "@@mm_presskeymousejoy@@<br>@@mm_pressesctodelete@@");
    ASSERT_TRUE(ui_driver_stroke(1));
    frames(1);
    set_cvar("i_joystick1", "-1");
}

// Axis capture on joystick 0: the prompt opens with the axes at `rest`, then the axis moves to `moved`.
struct axis_case_t {
    float rest;
    float moved;
    int direction;
};

class axis_prompt_test : public controls_page_test, public ::testing::WithParamInterface<axis_case_t> {};

TEST_P(axis_prompt_test, an_axis_moved_far_enough_is_captured_with_its_direction)
{
    const axis_case_t c = GetParam();
    inp_event_t attach;
    attach.kind = inp_event_kind_t::joystick;
    attach.name = "Wheel";
    attach.axis_names = {"X", "Y", "Z"};
    inp_event_t rest;
    rest.kind = inp_event_kind_t::axis;
    rest.axis = 2;
    rest.value = c.rest;
    inp_queue_events({attach, rest});
    frames(1);
    set_cvar("i_joystick1", "0");
    controls_->read_cvars();
    controls_->pending_action = 0;
    controls_->open_axis_prompt();
    auto* informer = page<ui_handler_options_informer_t>("options_dlg", "informer");
    ASSERT_NE(informer, nullptr);
    inp_event_t nudge = rest;
    nudge.value = c.rest + 0.005f;
    inp_queue_events({nudge});
    frames(2);
    EXPECT_EQ(informer->axis, -1) << "a move of 0.01 or less captures nothing";
    EXPECT_EQ(informer->baseline_taken, 0);
    nudge.value = c.rest > 0.5f ? c.rest - 0.02f : c.rest + 0.02f;
    inp_queue_events({nudge});
    frames(1);
    EXPECT_EQ(informer->baseline_taken, 1);
    inp_event_t move = rest;
    move.value = c.moved;
    inp_queue_events({move});
    frames(1);
    int32_t direction = 99;
    EXPECT_EQ(informer->get_axis(&direction), 2);
    EXPECT_EQ(direction, c.direction);
    frames(1);
    EXPECT_EQ(cvar("g_joy_axis_steer"), "2");
    EXPECT_EQ(ui_driver_get(find("menu", "options2", 90), "value"), "Z");

    // Esc in the axis prompt leaves the slot without an axis.
    controls_->pending_action = 0;
    controls_->open_axis_prompt();
    ASSERT_TRUE(ui_driver_stroke(1));
    frames(1);
    EXPECT_EQ(cvar("g_joy_axis_steer"), "16");
    EXPECT_EQ(ui_driver_get(find("menu", "options2", 90), "value"), "@@ui_no_axis@@");
    set_cvar("i_joystick1", "-1");
}

INSTANTIATE_TEST_SUITE_P(directions, axis_prompt_test,
                         ::testing::Values(axis_case_t{1.0f, 0.2f, 0}, axis_case_t{0.0f, -0.6f, -1},
                                           axis_case_t{-0.5f, 0.4f, 1}));

TEST_F(controls_page_test, the_help_line_names_the_control_under_the_pointer)
{
    const ui_view_t* defaults = find("menu", "options2", 1000);
    ASSERT_NE(defaults, nullptr);
    ui_driver_move((defaults->rect.left + defaults->rect.right) / 2, (defaults->rect.top + defaults->rect.bottom) / 2);
    frames(2);
    EXPECT_EQ(ui_driver_get(find("menu", "options2", 999), "value"), "tip1000");
}

TEST_F(controls_page_test, the_input_device_and_the_sliders_write_their_variables)
{
    pick(list_of("menu", "options2", 40), 1);  // the mouse
    EXPECT_EQ(cvar("g_mouse_control"), "1");
    EXPECT_EQ(cvar("i_joystick1"), "-1");
    EXPECT_FALSE(find("menu", "options2", 92)->active);
    EXPECT_TRUE(find("menu", "options2", 80)->active) << "the steering sensitivity serves the mouse too";
    pick(list_of("menu", "options2", 40), 0);
    EXPECT_EQ(cvar("g_mouse_control"), "0");

    set_cvar("m_sensitivity", "1.0");
    controls_->read_cvars();
    EXPECT_EQ(slider_value("menu", "options2", 30), 10);
    slide("menu", "options2", 30, 25);
    EXPECT_EQ(inp_get_mouse_sensitivity(), 2.5f);
    EXPECT_EQ(cvar("m_sensitivity"), "2.5");

    set_cvar("g_joy_axis_steer_dz", "0.25");
    controls_->joystick_axes();
    EXPECT_EQ(slider_value("menu", "options2", 92), 25);
    slide("menu", "options2", 92, 40);
    EXPECT_EQ(cvar("g_joy_axis_steer_dz"), "0.4");

    auto* manual = dynamic_cast<ui_comp_button_t*>(find("menu", "options2", 205));
    ASSERT_NE(manual, nullptr);
    manual->click();
    EXPECT_EQ(cvar("g_trans_auto"), "0");
    auto* defaults = dynamic_cast<ui_comp_button_t*>(find("menu", "options2", 1000));
    defaults->click();
    EXPECT_EQ(cvar("g_trans_auto"), "1");
    EXPECT_EQ(cvar("m_sensitivity"), "1");
    EXPECT_EQ(cvar("g_joy_axis_steer_dz"), "0.4") << "the defaults leave the joystick";
    EXPECT_TRUE(pressed("menu", "options2", 200));
    set_cvar("g_joy_axis_steer_dz", "0.0");
}

}  // namespace
