#include "editor/ui_handler_editor_hud.h"

#include <cstdio>

#include "engine/evalue.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_view.h"
#include "engine/ui_window.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "ui/components/ui_dropbutton_group.h"
#include "editor/edit_ctrl.h"
#include "editor/edit_modes.h"
#include "editor/ui_handler_editor_help.h"

namespace {

// Longest text of the readout and the quick-help line, its end included.
constexpr size_t hud_text_bytes = 256;

edit_ctrl_e* editor_controller()
{
    const game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<edit_ctrl_e*>(bridge->base_ctrl().resolve()) : nullptr;
}

// Runs `use` on component `id` of `window` (searched with the public check) while it is locked.
template <typename use_t> void with_component(c_item_t* window, const int32_t id, const use_t& use)
{
    with_view(window, [&](ui_view_t& own) { with_view(ui_find_component(&own, id, true), use); });
}

// Sets the "value" of a text component.
void set_value(ui_view_t& view, const char* text)
{
    const evalue_def_t* value = evalue_find(view.get_evalue_root(), "value");
    if (value && value->set)
        value->set(&view, value, 0, text);
}

// Fills the list of drop-down `view` from `names` (a table ending with an empty text).
void fill_list(ui_view_t& view, const edit_mode_name_t* names)
{
    auto* drop = dynamic_cast<ui_dropbutton_group_t*>(&view);
    if (!drop || !drop->list)
        return;
    for (const edit_mode_name_t* name = names; name->text[0]; ++name) {
        ui_list_item_t item;
        item.text = name->text;
        item.pml = name->text;
        item.data = static_cast<uint32_t>(name->value);
        item.mask = ui_list_pml | ui_list_text | ui_list_data;
        drop->list->insert_item_after(item, -1);
    }
}

}  // namespace

ui_handler_editor_hud_t* ui_handler_editor_hud_t::of_bridge()
{
    const game_bridge_t* bridge = get_game_bridge();
    return bridge ? dynamic_cast<ui_handler_editor_hud_t*>(bridge->editor_hud().resolve()) : nullptr;
}

void ui_handler_editor_hud_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    if (game_bridge_t* bridge = get_game_bridge())
        bridge->register_editor_hud(entity_t::handle());
    with_component(window, editor_hud_modes, [](ui_view_t& view) { fill_list(view, edit_mode_names); });
    with_component(window, editor_hud_sub_modes, [](ui_view_t& view) { fill_list(view, edit_sub_mode_names); });
}

bool ui_handler_editor_hud_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    edit_ctrl_e* const ctrl = editor_controller();
    const int id = view ? view->id : -1;
    switch (code) {
    case ui_action_pressed:
        if (id == editor_hud_help) {
            editor_show_help();
        } else if (ctrl) {
            switch (id) {
            case editor_hud_new:
                ctrl->new_map();
                break;
            case editor_hud_load:
                ctrl->load(nullptr);
                break;
            case editor_hud_save:
                ctrl->save(nullptr, false);
                break;
            case editor_hud_save_checked:
                ctrl->save(nullptr, true);
                break;
            case editor_hud_preview:
                ctrl->preview();
                break;
            case editor_hud_quit:
                ctrl->quit();
                break;
            default:
                break;
            }
        }
        break;
    case ui_action_pointer_down:
        if (id == editor_hud_pointer_area && param) {
            const auto* pointer = static_cast<const ui_pointer_param_t*>(param);
            ui_window_t* const own = view->window();
            if (!captured && own) {
                own->capture_events(view, true, true);
                captured = true;
            }
            if (ctrl)
                ctrl->on_button_down(pointer->buttons, pointer->modifiers);
        }
        break;
    case ui_action_pointer_up:
        if (id == editor_hud_pointer_area && param) {
            const auto* pointer = static_cast<const ui_pointer_param_t*>(param);
            ui_window_t* const own = view->window();
            if (captured && own) {
                own->capture_events(view, false, true);
                captured = false;
            }
            if (ctrl)
                ctrl->on_button_up(pointer->buttons);
        }
        break;
    case ui_action_pointer_move:
        if (id == editor_hud_pointer_area && param && ctrl) {
            const auto* pointer = static_cast<const ui_pointer_param_t*>(param);
            int w = 1024, h = 768;
            ui_get_reference_mode(&w, &h);
            const float fx = 2.0f * (pointer->x - static_cast<float>(w) * 0.5f) / static_cast<float>(w);
            const float fy = 2.0f * (pointer->y - static_cast<float>(h) * 0.5f) / static_cast<float>(h);
            vec3_t point;
            ctrl->on_pointer_move(fx, fy, point);
            show_height(point, ctrl->mode == edit_mode_height);
        }
        break;
    case ui_action_item_selected:
        if (ctrl && param && (id == editor_hud_modes || id == editor_hud_sub_modes)) {
            const auto value = static_cast<int32_t>(static_cast<const ui_list_param_t*>(param)->data);
            if (id == editor_hud_modes)
                ctrl->set_mode(value);
            else
                ctrl->set_sub_mode(value);
        }
        break;
    default:
        break;
    }
    return false;
}

void ui_handler_editor_hud_t::pre_wdraw()
{
    ui_handler_game_base_t::pre_wdraw();
    if (edit_ctrl_e* const ctrl = editor_controller())
        ctrl->flush_pins();
}

void ui_handler_editor_hud_t::set_quick_help(const char* text)
{
    if (!text)
        return;
    char copy[hud_text_bytes];
    size_t length = 0;
    for (const char* c = text; *c && length < hud_text_bytes - 1; ++c)
        if (*c != '\'' && *c != '`' && *c != '"')
            copy[length++] = *c;
    copy[length] = '\0';
    with_component(window, editor_hud_quick_help, [&](ui_view_t& view) { set_value(view, copy); });
}

void ui_handler_editor_hud_t::show_height(const vec3_t& point, const bool height_mode)
{
    char text[hud_text_bytes];
    if (height_mode)
        std::snprintf(text, sizeof text, "Height : [ %d ] ", static_cast<int>(point.y));
    else
        std::snprintf(text, sizeof text, "[ %d, %d ] ", static_cast<int>(point.x), static_cast<int>(point.z));
    with_component(window, editor_hud_readout, [&](ui_view_t& view) { set_value(view, text); });
}

void ui_handler_editor_hud_t::select_mode(const int32_t id, const int32_t value)
{
    with_component(window, id, [&](ui_view_t& view) {
        auto* drop = dynamic_cast<ui_dropbutton_group_t*>(&view);
        if (!drop || !drop->list)
            return;
        ui_list_item_t key;
        key.data = static_cast<uint32_t>(value);
        key.mask = ui_list_data;
        const int row = drop->list->find_item(key, 0, false);
        if (row >= 0)
            drop->select_item(row);
    });
}
