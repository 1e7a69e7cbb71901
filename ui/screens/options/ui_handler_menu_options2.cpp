#include "ui/screens/options/ui_handler_menu_options2.h"

#include <cstring>
#include <string>

#include "engine/bind.h"
#include "engine/input.h"
#include "engine/text.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/input_actions.h"
#include "game/menu_shared.h"
#include "ui/components/ui_comp_list.h"
#include "ui/screens/options/options_controls.h"
#include "ui/screens/options/ui_handler_options_informer.h"
#include "vehicles/player/car_player.h"

namespace {

// Key code of Esc.
constexpr int escape_key = 1;
// The capture prompt's window, and how it is shown (modal).
constexpr const char* prompt_group = "options_dlg";
constexpr const char* prompt_name = "informer";
constexpr const char* prompt_script = "/ui/options/minformer.esc";
constexpr unsigned modal_show = 0x20000000;
// Longest action row, and the longest joystick name shown whole.
constexpr size_t row_size = 265;
constexpr int joystick_name_size = 265;
constexpr size_t joystick_name_shown = 25;
constexpr int axis_name_size = 128;
// The axis variables by slot: steering, throttle, brake.
constexpr const char* axis_variables[] = {"g_joy_axis_steer", "g_joy_axis_throttle", "g_joy_axis_brake"};

// The radio pairs of the page: variable, the "on" button (value 1) and the "off" button (value 0).
struct switch_pair_t {
    const char* name;
    int on_id;
    int off_id;
};
constexpr switch_pair_t auto_switches[] = {
    {"g_trans_auto", ui_handler_menu_options2_t::trans_on_id, ui_handler_menu_options2_t::trans_off_id},
    {"g_wipers_auto", ui_handler_menu_options2_t::wipers_on_id, ui_handler_menu_options2_t::wipers_off_id},
    {"g_blinkers_auto", ui_handler_menu_options2_t::blinkers_on_id, ui_handler_menu_options2_t::blinkers_off_id},
};

// The sliders that show a real variable times 100.
struct percent_slider_t {
    int id;
    const char* name;
};
constexpr percent_slider_t percent_sliders[] = {
    {ui_handler_menu_options2_t::gain_slider_id, "g_joy_ff_gain"},
    {ui_handler_menu_options2_t::steer_sens_slider_id, "g_joy_axis_steer_sens"},
    {ui_handler_menu_options2_t::steer_dead_zone_id, "g_joy_axis_steer_dz"},
    {ui_handler_menu_options2_t::throttle_dead_zone_id, "g_joy_axis_throttle_dz"},
    {ui_handler_menu_options2_t::brake_dead_zone_id, "g_joy_axis_brake_dz"},
};

// The joystick's controls, switched with the input device.
constexpr int joystick_controls[] = {
    ui_handler_menu_options2_t::combine_off_id,        ui_handler_menu_options2_t::combine_on_id,
    ui_handler_menu_options2_t::feedback_on_id,        ui_handler_menu_options2_t::feedback_off_id,
    ui_handler_menu_options2_t::gain_slider_id,        ui_handler_menu_options2_t::steer_axis_id,
    ui_handler_menu_options2_t::steer_dead_zone_id,    ui_handler_menu_options2_t::throttle_axis_id,
    ui_handler_menu_options2_t::throttle_dead_zone_id, ui_handler_menu_options2_t::brake_axis_id,
    ui_handler_menu_options2_t::brake_dead_zone_id,
};

// The alias name of an impulse, or null.
const char* impulse_name(const int impulse)
{
    const inp_impulse_t* record = impulse >= 0 ? api::inp_impulse_get(impulse) : nullptr;
    return record ? record->name : nullptr;
}

// The first binding of an action after `previous` (null: the first).
const bind_t* next_binding(const input_action_t& action, const bind_t* previous)
{
    if (action.impulse >= 0) {
        const char* name = impulse_name(action.impulse);
        return name ? api::inp_trigger_impulsealias(name, 0, previous) : nullptr;
    }
    return action.command ? api::inp_trigger_command(action.command, previous) : nullptr;
}

// "@@ui_na@@", or the first binding's key, with " or " and the second's when there is one.
std::string keys_text(const input_action_t& action)
{
    const bind_t* first = next_binding(action, nullptr);
    if (!first)
        return "@@ui_na@@";
    std::string text = first->trigger->name;
    if (const bind_t* second = next_binding(action, first))
        text.append(" or ").append(second->trigger->name);
    return text;
}

// The player's truck of the current world, when there is one.
template <typename call_t> void with_player_truck(call_t call)
{
    game_bridge_t* bridge = get_game_bridge();
    if (!bridge)
        return;
    const held_part_t<car_player_e> truck(bridge->avatar());
    if (truck.get())
        call(*truck.get());
}

}  // namespace

void ui_handler_menu_options2_t::on_wshow()
{
    ui_handler_game_base_t::on_wshow();
    list_bindings(false);
    fill_devices();
    read_cvars();
    joystick_axes();
}

void ui_handler_menu_options2_t::on_whide()
{
    ui_handler_t::on_whide();
    with_player_truck([](car_player_e& truck) { truck.apply_control_settings(); });
}

void ui_handler_menu_options2_t::list_bindings(const bool update_only)
{
    ui_comp_list_t* list = page_list(*this, actions_id);
    if (!list)
        return;
    if (!update_only)
        list->clear();
    for (int r = 0; r < input_action_count && input_action_table[r].label[0]; ++r) {
        const input_action_t& action = input_action_table[r];
        // The label, "|" and the keys, cut to the row's length.
        std::string row(action.label, strnlen(action.label, sizeof action.label));
        row.append("|").append(keys_text(action));
        if (row.size() >= row_size)
            row.resize(row_size - 1);
        if (!update_only) {
            list_append(*list, row.c_str(), nullptr, static_cast<uint32_t>(r));
        } else if (r < list->count()) {
            ui_list_item_t item;
            item.pml = row.c_str();
            item.data = static_cast<uint32_t>(r);
            item.mask = ui_list_pml | ui_list_data;
            list->set_item(r, item);
        }
    }
}

void ui_handler_menu_options2_t::fill_devices()
{
    ui_comp_list_t* list = page_list(*this, device_list_id);
    if (!list)
        return;
    list->clear();
    list_append(*list, "@@ui_keyboard@@", nullptr, static_cast<uint32_t>(keyboard_device));
    list_append(*list, "@@ui_mouse@@", nullptr, static_cast<uint32_t>(mouse_device));
    for (int n = 0; n < api::inp_joy_get_count(); ++n) {
        char name[joystick_name_size];
        if (!api::inp_joy_get_name(inp_code_joystick_first + static_cast<uint32_t>(n), name, sizeof name))
            continue;
        std::string shown = name;
        if (shown.size() > joystick_name_shown)
            shown = shown.substr(0, joystick_name_shown) + " ...";
        list_append(*list, shown.c_str(), nullptr, static_cast<uint32_t>(n));
    }
}

void ui_handler_menu_options2_t::read_cvars()
{
    for (const switch_pair_t& pair : auto_switches) {
        int value = 0;
        if (cvar_read_int(pair.name, value))
            page_press(*this, value != 0 ? pair.on_id : pair.off_id);
    }
    float sensitivity = 0.0f;
    if (cvar_read_float("m_sensitivity", sensitivity))
        page_set_slider(*this, mouse_slider_id, 2, 100, static_cast<int>(sensitivity * 10.0f));
    cvar_read_int("i_joystick1", input_device);
    int mouse = 0;
    if (cvar_read_int("g_mouse_control", mouse) && mouse == 1)
        input_device = mouse_device;
    ui_list_item_t key;
    key.data = static_cast<uint32_t>(input_device);
    key.mask = ui_list_data;
    page_select_row(*this, device_list_id, key);
    enable_joystick_controls(input_device >= 0);
}

void ui_handler_menu_options2_t::show_axis(const int id, const char* name)
{
    int axis = ui_handler_options_informer_t::no_axis;
    if (!cvar_read_int(name, axis))
        return;
    char text[axis_name_size];
    const bool named = axis != ui_handler_options_informer_t::no_axis && input_device != keyboard_device &&
                       api::inp_joy_get_axis_name(inp_code_joystick_first + static_cast<uint32_t>(input_device), axis,
                                                  text, sizeof text);
    page_set_text(*this, id, named ? text : "@@ui_no_axis@@");
}

void ui_handler_menu_options2_t::joystick_axes()
{
    show_axis(steer_axis_id, axis_variables[0]);
    show_axis(throttle_axis_id, axis_variables[1]);
    show_axis(brake_axis_id, axis_variables[2]);
    for (const percent_slider_t& slider : percent_sliders) {
        float value = 0.0f;
        if (cvar_read_float(slider.name, value))
            page_set_slider(*this, slider.id, slider.id == steer_sens_slider_id ? 5 : 0, 100,
                            static_cast<int>(value * 100.0f));
    }
    int combine = 0;
    if (cvar_read_int("g_joy_axis_combine", combine)) {
        if (ui_view_t* brake = page_view(*this, brake_group_id))
            brake->show(combine == 0);
        page_press(*this, combine != 0 ? combine_on_id : combine_off_id);
    }
    int feedback = 0;
    if (cvar_read_int("g_joy_axis_ff", feedback))
        page_press(*this, feedback != 0 ? feedback_on_id : feedback_off_id);
}

void ui_handler_menu_options2_t::enable_joystick_controls(const bool enabled)
{
    for (const int id : joystick_controls)
        page_activate(*this, id, enabled);
    page_activate(*this, steer_sens_slider_id, enabled || input_device == mouse_device);
}

bool ui_handler_menu_options2_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == escape_key) {
        options_back(*this);
        return true;
    }
    if (!view)
        return false;
    if (code == ui_action_pointer_down) {
        for (int slot = 0; slot < 3; ++slot) {
            if (view->id == steer_axis_id + 10 * slot) {
                pending_action = slot;
                open_axis_prompt();
            }
        }
        return false;
    }
    if (code == ui_action_item_selected && param) {
        const auto* row = static_cast<const ui_list_param_t*>(param);
        const int id = picked_control_id(view);
        if (id == actions_id && row->data < static_cast<uint32_t>(input_action_count)) {
            const input_action_t& action = input_action_table[row->data];
            pending_action = action.impulse;
            pending_command = action.command;
            open_key_prompt();
        } else if (id == device_list_id) {
            input_device = static_cast<int32_t>(row->data);
            set_cvar_int("g_mouse_control", 0);
            if (input_device == mouse_device) {
                input_device = keyboard_device;
                set_cvar_int("g_mouse_control", 1);
            }
            set_cvar_int("i_joystick1", input_device);
            read_cvars();
            joystick_axes();
        }
        return false;
    }
    if (code != ui_action_pressed)
        return false;
    const int id = view->id;
    switch (id) {
    case defaults_id:
        reset_defaults();
        return true;
    case back_id:
        options_back(*this);
        return true;
    case mouse_slider_id:
        api::inp_set_mouse_sensitivity(static_cast<float>(page_slider_value(*this, id)) * 0.1f, 1);
        return false;
    case combine_off_id:
    case combine_on_id:
        set_cvar_int("g_joy_axis_combine", id == combine_on_id ? 1 : 0);
        joystick_axes();
        return false;
    case feedback_on_id:
    case feedback_off_id:
        set_cvar_int("g_joy_axis_ff", id == feedback_on_id ? 1 : 0);
        joystick_axes();
        return false;
    default:
        break;
    }
    for (const percent_slider_t& slider : percent_sliders)
        if (id == slider.id)
            set_cvar_float(slider.name, static_cast<float>(page_slider_value(*this, id)) * 0.01f);
    for (const switch_pair_t& pair : auto_switches)
        if (id == pair.on_id || id == pair.off_id)
            set_cvar_int(pair.name, id == pair.on_id ? 1 : 0);
    if (id == wipers_off_id)
        with_player_truck([](car_player_e& truck) { truck.reset_wipers(); });
    return false;
}

void ui_handler_menu_options2_t::open_key_prompt() { open_prompt(false); }
void ui_handler_menu_options2_t::open_axis_prompt() { open_prompt(true); }

void ui_handler_menu_options2_t::open_prompt(const bool axis)
{
    game_bridge_t* bridge = get_game_bridge();
    if (!bridge || prompt_window)
        return;
    c_item_t* window = ui_winsert(prompt_group, prompt_name, 1, prompt_script, false);
    if (!window)
        return;
    bridge->adopt_window(window);
    prompt_window = window;
    if (auto* prompt = dynamic_cast<ui_handler_options_informer_t*>(window_handler(window))) {
        if (axis)
            prompt->prompt_axis();
        else
            prompt->prompt_key();
    }
    ui_wshow(window, modal_show);
    axis_prompt = axis;
}

void ui_handler_menu_options2_t::handler()
{
    // The base's hook shows the help line's pending text (the axis fields and Defaults have one).
    ui_handler_game_base_t::handler();
    const auto* view = prompt_window ? static_cast<const ui_view_t*>(prompt_window->object) : nullptr;
    if (!prompt_window || (view && view->is_visible()))
        return;
    auto* prompt = dynamic_cast<ui_handler_options_informer_t*>(window_handler(prompt_window));
    if (prompt && axis_prompt) {
        const int slot = pending_action >= 0 && pending_action < 3 ? pending_action : 2;
        set_cvar_int(axis_variables[slot], prompt->get_axis(nullptr));
        pending_action = -1;
        joystick_axes();
    } else if (prompt) {
        apply_key(prompt->get_trigger());
        list_bindings(true);
    }
    close_prompt();
}

void ui_handler_menu_options2_t::apply_key(const int32_t code)
{
    const char* name = impulse_name(pending_action);
    if (code < 0) {
        if (pending_action >= 0 && name) {
            api::bind_del_impulsealias(name, 0);
        } else if (pending_action < 0 && pending_command) {
            if (const bind_t* first = api::inp_trigger_command(pending_command, nullptr))
                api::bind_del(first->id);
        }
        return;
    }
    // The key leaves every other action first (only the two bindings each row shows are looked at).
    for (int r = 0; r < input_action_count && input_action_table[r].label[0]; ++r) {
        const input_action_t& other = input_action_table[r];
        if (other.impulse == pending_action)
            continue;
        const bind_t* first = next_binding(other, nullptr);
        const bind_t* second = first ? next_binding(other, first) : nullptr;
        for (const bind_t* binding : {second, first}) {
            if (!binding || api::inp_trigger_ptr2code(binding) != code)
                continue;
            if (other.impulse >= 0)
                api::bind_del_impulsealias_rng(impulse_name(other.impulse), static_cast<uint32_t>(code),
                                               static_cast<uint32_t>(code), 0);
            else
                api::bind_del(binding->id);
        }
    }
    const inp_trigger_t* trigger = api::inp_trigger(static_cast<uint32_t>(code));
    if (!trigger)
        return;
    if (pending_action >= 0 && name) {
        // An impulse action keeps at most two keys: a third takes the second's place.
        const bind_t* first = api::inp_trigger_impulsealias(name, 0, nullptr);
        const bind_t* second = first ? api::inp_trigger_impulsealias(name, 0, first) : nullptr;
        if (second) {
            const auto old = static_cast<uint32_t>(api::inp_trigger_ptr2code(second));
            api::bind_del_impulsealias_rng(name, old, old, 0);
        }
        api::bind_add_imp(trigger->name, name, 0, 1);
    } else if (pending_action < 0 && pending_command) {
        api::bind_add_cmd(trigger->name, pending_command, 0, 1);
    }
}

void ui_handler_menu_options2_t::close_prompt()
{
    if (game_bridge_t* bridge = get_game_bridge())
        bridge->remove_window(prompt_window);
    prompt_window = nullptr;
}

void ui_handler_menu_options2_t::reset_defaults()
{
    apply_default_bindings();
    for (const switch_pair_t& pair : auto_switches)
        if (const char* text = cvar_default_text(pair.name))
            set_cvar_int(pair.name, v_atoi(text));
    if (const char* text = cvar_default_text("m_sensitivity"))
        set_cvar_float("m_sensitivity", v_atof(text));
    list_bindings(true);
    read_cvars();
}
