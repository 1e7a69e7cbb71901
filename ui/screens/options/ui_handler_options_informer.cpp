#include "ui/screens/options/ui_handler_options_informer.h"

#include <cmath>
#include <cstring>

#include "engine/input.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/reserved_key.h"
#include "ui/screens/options/options_controls.h"

namespace {

// Key code of Esc.
constexpr int escape_key = 1;
// An axis must move this far from its first reading before the baseline is taken, and this far from
// the baseline to be captured.
constexpr float baseline_move = 0.01f;
constexpr float capture_move = 0.5f;
// A move down from a rest at or below this counts as a move in the negative direction.
constexpr float low_rest = 0.3f;

// Index of the lowest set bit of a non-zero mask.
int lowest_bit(uint32_t mask)
{
    int index = 0;
    while (!(mask & 1u)) {
        mask >>= 1;
        ++index;
    }
    return index;
}

// The trigger code an event stands for, or -1 when it stands for none (an empty button mask, a hat
// without a direction, any other event).
int event_code(const int code, const void* param)
{
    if (!param)
        return -1;
    switch (code) {
    case ui_action_key_up:
        return static_cast<const ui_key_param_t*>(param)->key;
    case ui_action_pointer_up: {
        const uint32_t buttons = static_cast<const ui_pointer_param_t*>(param)->buttons;
        return buttons ? static_cast<int>(inp_code_mouse_first) + lowest_bit(buttons) : -1;
    }
    case ui_action_joy_button: {
        const uint32_t buttons = static_cast<const ui_buttons_param_t*>(param)->buttons;
        return buttons ? static_cast<int>(inp_code_joy_button_first) + lowest_bit(buttons) : -1;
    }
    case ui_action_pov: {
        const auto* pov = static_cast<const ui_pov_param_t*>(param);
        int found = -1;
        for (int flag = 0; flag < 4; ++flag)
            if (pov->flags[flag])
                found = static_cast<int>(inp_code_pov_first) + flag;
        return found;
    }
    default:
        return -1;
    }
}

}  // namespace

void ui_handler_options_informer_t::prompt_key()
{
    mode = 0;
    trigger = -1;
    joystick = -1;
    axis = -1;
    int attached = 0;
    cvar_read_int("i_joystick1", attached);
    page_set_text(*this, prompt_id,
                  attached >= 1 ? "@@mm_presskeymousejoy@@<br>@@mm_pressesctodelete@@"
                                : "@@mm_presskeymouse@@<br>@@mm_pressesctodelete@@");
}

void ui_handler_options_informer_t::prompt_axis()
{
    mode = 1;
    baseline_taken = 0;
    joystick = -1;
    cvar_read_int("i_joystick1", joystick);
    axis = -1;
    direction = 1;
    trigger = -1;
    page_set_text(*this, prompt_id, "@@mm_movejoydesired@@");
    std::memset(baseline, 0, sizeof baseline);
    read_axes(baseline);
}

int32_t ui_handler_options_informer_t::get_axis(int32_t* direction_out) const
{
    if (direction_out)
        *direction_out = direction;
    return axis;
}

bool ui_handler_options_informer_t::read_axes(float* out) const
{
    if (joystick < 0 || joystick >= static_cast<int>(inp_code_joystick_count))
        return false;
    const inp_trigger_t* stick = api::inp_trigger(inp_code_joystick_first + static_cast<uint32_t>(joystick));
    if (!stick)
        return false;
    std::memcpy(out, stick->axis, sizeof stick->axis);
    return true;
}

void ui_handler_options_informer_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    ui_view_t* prompt = page_view(*this, prompt_id);
    if (ui_window_t* own = prompt ? prompt->window() : nullptr)
        own->capture_events(prompt, true, false);
}

void ui_handler_options_informer_t::finish()
{
    ui_view_t* prompt = page_view(*this, prompt_id);
    if (ui_window_t* own = prompt ? prompt->window() : nullptr)
        own->capture_events(prompt, false, true);
    ui_whide(window);
}

bool ui_handler_options_informer_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    const bool escape =
        code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == escape_key;
    if (mode == 1) {
        if (!escape)
            return false;
        axis = no_axis;
        finish();
        return true;
    }
    const int captured = event_code(code, param);
    if (captured < 0)
        return false;
    if (escape) {
        trigger = -1;
        finish();
        return true;
    }
    if (is_reserved_key(captured))
        return true;
    trigger = captured;
    finish();
    return true;
}

void ui_handler_options_informer_t::handler()
{
    if (mode != 1)
        return;
    const auto* own = window ? static_cast<const ui_view_t*>(window->object) : nullptr;
    float current[16];
    if (!own || !own->is_visible() || !read_axes(current))
        return;
    if (!baseline_taken) {
        for (int i = 0; i < 16; ++i) {
            if (std::fabs(current[i] - baseline[i]) > baseline_move) {
                std::memcpy(baseline, current, sizeof baseline);
                baseline_taken = 1;
                return;
            }
        }
        return;
    }
    for (int i = 0; i < 16; ++i) {
        if (std::fabs(current[i] - baseline[i]) <= capture_move)
            continue;
        direction = current[i] >= baseline[i] ? 1 : baseline[i] <= low_rest ? -1 : 0;
        axis = i;
        finish();
        return;
    }
}
