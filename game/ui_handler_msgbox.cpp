#include "game/ui_handler_msgbox.h"

#include "engine/cache.h"
#include "engine/ui_window.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "common/c_item_ops.h"
#include "common/engine_api.h"
#include "common/world_pause.h"
#include "game/game_keys.h"
#include "common/ui_find_component.h"

namespace {

// Sets property `name` of component `id` of `window` by name; a missing component is left alone.
void set_property(ui_view_t* window, const int id, const char* name, const char* value)
{
    c_item_t* item = ui_find_component(window, id, false);
    if (auto* view = static_cast<ui_view_t*>(c_item_lock(item))) {
        evalue_set(view, name, 0, value);
        c_item_release(item);
    }
}

// Shows button `id` with `label`, or hides it when `label` is null.
void set_button(ui_view_t* window, const int id, const char* label)
{
    c_item_t* item = ui_find_component(window, id, false);
    if (auto* view = static_cast<ui_view_t*>(c_item_lock(item))) {
        if (label)
            evalue_set(view, "value", 0, label);
        view->show(label != nullptr);
        c_item_release(item);
    }
}

}  // namespace

void ui_handler_msgbox_t::build_buttons(const char* title, const char* text, uint32_t set, const uint8_t pause)
{
    pause_flag = pause;
    auto* box = static_cast<ui_view_t*>(c_item_lock(window));
    if (!box)
        return;
    set_property(box, 100, "value", title ? title : "");
    set_property(box, 110, "value", text ? text : "");
    set_property(box, 200, "look", (set & set_second_look) ? "6" : "5");
    set &= ~set_second_look;
    if (set == set_ok_cancel || set == set_yes_no) {
        set_button(box, 10, set == set_ok_cancel ? "@@ui_ok@@" : "@@ui_yes@@");
        set_button(box, 20, nullptr);
        set_button(box, 30, set == set_ok_cancel ? "@@ui_cancel@@" : "@@ui_no@@");
    } else if (set == set_close) {
        set_button(box, 10, nullptr);
        set_button(box, 20, "@@ui_close@@");
        set_button(box, 30, nullptr);
    }
    c_item_release(window);
}

namespace {

// Whether the box's Close button is shown.
bool close_shown(c_item_t* window)
{
    auto* box = static_cast<ui_view_t*>(c_item_lock(window));
    if (!box)
        return false;
    c_item_t* item = ui_find_component(box, ui_handler_msgbox_t::middle_button_id, false);
    const auto* button = item ? static_cast<const ui_view_t*>(item->object) : nullptr;
    const bool shown = button && button->visible;
    c_item_release(window);
    return shown;
}

}  // namespace

void ui_handler_msgbox_t::on_wshow()
{
    api::snd_disable_tag(10);
    api::snd_set_current_tag(20);
    api::snd_enable_tag(20, 0);
    ui_pshow(0);
    ui_handler_game_base_t::on_wshow();
    if (pause_flag) {
        game_keys_unbind();
        current_world_pause(true, false);
    }
    msgbox_state = state_open;
}

void ui_handler_msgbox_t::on_whide()
{
    if (pause_flag) {
        game_keys_bind();
        current_world_pause(false, false);
    }
    ui_handler_game_base_t::on_whide();
    msgbox_state &= ~state_open;
}

bool ui_handler_msgbox_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_pressed) {
        const int id = view ? view->id : 0;
        const uint32_t answer = id == first_button_id    ? state_first
                                : id == middle_button_id ? state_middle
                                : id == third_button_id  ? state_third
                                                         : 0;
        if (!answer)
            return false;
        msgbox_state = answer;
        ui_whide(window);
        return true;
    }
    if (code != ui_action_key_up || !param)
        return false;
    const uint16_t key = static_cast<const ui_key_param_t*>(param)->key;
    if (key == ui_key_enter) {
        msgbox_state = close_shown(window) ? state_middle : state_first;
        ui_whide(window);
        return true;
    }
    if (key == ui_key_escape) {
        if (close_shown(window))
            ui_whide(window);
        return true;
    }
    return false;
}
