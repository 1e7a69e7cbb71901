#include "game/ui_handler_msgbox.h"

#include "engine/cache.h"
#include "engine/ui_window.h"
#include "common/c_item_ops.h"
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
