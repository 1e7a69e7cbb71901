#include "ui_system.h"

#include <algorithm>

#include "engine/cache.h"
#include "engine/entity_reg.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "engine/ui.h"
#include "ui_items.h"
#include "ui_pointer.h"

namespace {

ui_system_t state;

template <typename type_t> entity_t* create_view(void* memory) { return memory ? new (memory) type_t() : new type_t(); }

template <typename type_t> void destroy_view(entity_t* object, bool in_place)
{
    if (in_place)
        static_cast<type_t*>(object)->~type_t();
    else
        delete static_cast<type_t*>(object);
}

const entity_reg_t window_type{
    "ui.window", 0, {0, 0, 0}, sizeof(ui_window_t), create_view<ui_window_t>, destroy_view<ui_window_t>};
const entity_reg_t group_type{"ui.comp.group",         0, {0, 0, 0}, sizeof(ui_group_t), create_view<ui_group_t>,
                              destroy_view<ui_group_t>};

}  // namespace

void ui_shutdown()
{
    ui_pointer_reset();
    for (auto it = state.windows.rbegin(); it != state.windows.rend(); ++it)
        ui_script_destroy(it->built);
    state = ui_system_t{};
    ui_items_reset();
}

namespace {

// Runs after the processes end and before entity types and the cache are reset.
engine_reset_registrar_t ui_reset_registrar(reset_order_processes + 50, ui_shutdown);

ui_window_t* window_of(c_item_t* item, const char* caller)
{
    ui_window_t* window = ui_item_window(item);
    if (!window && item)
        warning("<ui> %s: not a live window", caller);
    return window;
}

void destroy_slot(ui_slot_t& slot) { ui_script_destroy(slot.built); }

}  // namespace

ui_system_t& ui_system() { return state; }

ui_slot_t* ui_find_slot(const ui_window_t* window)
{
    // A frame looks each window up several times and walks the windows in their order, so the slot
    // found last and the one after it are tried before the whole list (a window has one slot).
    static size_t last = 0;
    if (window)
        for (const size_t at : {last, last + 1})
            if (at < state.windows.size() && state.windows[at].built.window == window) {
                last = at;
                return &state.windows[at];
            }
    for (size_t at = 0; at < state.windows.size(); ++at)
        if (state.windows[at].built.window == window) {
            last = at;
            return &state.windows[at];
        }
    return nullptr;
}

void ui_finish_removals()
{
    if (state.busy > 0)
        return;
    std::vector<ui_slot_t> dying;
    for (ui_slot_t& slot : state.windows)
        if (slot.dying)
            dying.push_back(slot);
    state.windows.erase(
        std::remove_if(state.windows.begin(), state.windows.end(), [](const ui_slot_t& slot) { return slot.dying; }),
        state.windows.end());
    for (ui_slot_t& slot : dying)
        destroy_slot(slot);
    ui_pointer_collect();
    ui_items_collect();
}

void ui_init()
{
    if (state.initialised)
        return;
    state.initialised = true;
    if (!entity_find_type(window_type.type_name))
        entity_register(&window_type);
    if (!entity_find_type(group_type.type_name))
        entity_register(&group_type);
}

void ui_window_frame(ui_window_t* window, ui_handler_t* handler, bool draw)
{
    // A hook may insert or remove windows: look the window up again after each one.
    auto alive = [window] {
        const ui_slot_t* slot = ui_find_slot(window);
        return slot && !slot->dying;
    };
    if (handler)
        handler->pre_wdraw();
    if (!alive())
        return;
    window->handler();
    window->precache_layers();
    if (draw)
        window->draw_layers();
    if (handler && alive())
        handler->post_wdraw();
}

void ui_process()
{
    ++state.busy;
    std::vector<ui_window_t*> order;
    for (const ui_slot_t& slot : state.windows)
        order.push_back(slot.built.window);
    for (ui_window_t* window : order) {
        ui_slot_t* slot = ui_find_slot(window);
        if (slot && !slot->dying && slot->built.handler)
            slot->built.handler->handler();
    }
    for (ui_window_t* window : order) {
        ui_slot_t* slot = ui_find_slot(window);
        if (slot && !slot->dying && window->visible && !window->drawn_in_3d && window != state.splash)
            ui_window_frame(window, slot->built.handler, true);
    }
    if (ui_slot_t* splash = ui_find_slot(state.splash); splash && !splash->dying && state.splash->visible)
        ui_window_frame(state.splash, splash->built.handler, true);
    ui_pointer_frame();
    --state.busy;
    ui_finish_removals();
}

void ui_recache()
{
    for (ui_slot_t& slot : state.windows) {
        slot.built.window->notify(ui_notify_rebuild);
        slot.built.window->invalidate_layers();
    }
}

c_item_t* ui_winsert(const char* group, const char* name, unsigned flags, const char* script, bool shown)
{
    ui_init();
    if (!script || !*script) {
        error("<ui> ui_winsert: no script for window \"%s\"", name ? name : "");
        return nullptr;
    }
    ui_slot_t slot;
    if (!ui_script_build(script, slot.built)) {
        error("<ui> cannot insert window \"%s:%s\" from \"%s\"", name ? name : "", group ? group : "", script);
        return nullptr;
    }
    ui_window_t* window = slot.built.window;
    window->group_name = group;
    window->window_name = name;
    window->insert_flags = flags;
    window->visible = false;
    state.windows.push_back(slot);
    c_item_t* item = window->item;
    if (shown)
        ui_wshow(item, 0);
    return item;
}

c_item_t* ui_wget(const char* group, const char* name)
{
    for (const ui_slot_t& slot : state.windows)
        if (!slot.dying && slot.built.window->group_name == group && slot.built.window->window_name == name)
            return slot.built.window->item;
    return nullptr;
}

void ui_wshow(c_item_t* item, unsigned param)
{
    ui_window_t* window = window_of(item, "ui_wshow");
    ui_slot_t* slot = ui_find_slot(window);
    if (!slot || slot->dying)
        return;
    window->show_param = param;
    // To the front of the windows.
    const ui_slot_t moved = *slot;
    state.windows.erase(state.windows.begin() + (slot - state.windows.data()));
    state.windows.push_back(moved);
    const bool was_visible = window->visible;
    window->visible = true;
    window->invalidate_layers();
    if (!was_visible && moved.built.handler)
        moved.built.handler->on_wshow();
}

void ui_whide(c_item_t* item)
{
    ui_window_t* window = window_of(item, "ui_whide");
    ui_slot_t* slot = ui_find_slot(window);
    if (!slot || slot->dying || !window->visible)
        return;
    window->visible = false;
    if (window->capture_view)
        window->capture_events(window->capture_view, false, true);
    if (slot->built.handler)
        slot->built.handler->on_whide();
}

void ui_wremove(c_item_t* item)
{
    ui_window_t* window = window_of(item, "ui_wremove");
    ui_slot_t* slot = ui_find_slot(window);
    if (!slot || slot->dying)
        return;
    if (window == state.splash)
        state.splash = nullptr;
    window->visible = false;
    slot->dying = true;
    ui_finish_removals();
}

void ui_wadvance3d(c_item_t* item)
{
    ui_window_t* window = window_of(item, "ui_wadvance3d");
    ui_slot_t* slot = ui_find_slot(window);
    if (!slot || slot->dying)
        return;
    ++state.busy;
    ui_window_frame(window, slot->built.handler, false);
    --state.busy;
    ui_finish_removals();
}

void ui_set_splash(c_item_t* item) { state.splash = item ? window_of(item, "ui_set_splash") : nullptr; }

void ui_get_reference_mode(int* width, int* height)
{
    if (width)
        *width = 1024;
    if (height)
        *height = 768;
}

c_item_t* ui_spawn_ci(const char* type_name)
{
    ui_init();
    entity_t* entity = entity_create(type_name);
    if (!entity)
        return nullptr;
    ui_view_t* view = dynamic_cast<ui_view_t*>(entity);
    if (!view || (view->class_flags & ui_class_window)) {
        error("<ui> ui_spawn_ci: \"%s\" is not a component", type_name);
        entity_free(entity);
        return nullptr;
    }
    ui_items_link(view);
    return view->item;
}

bool ui_init_ci(c_item_t* item)
{
    ui_view_t* view = ui_item_view(item);
    if (!view)
        return false;
    const level_list_t* list = view->get_init_list();
    if (!list)
        return true;
    for (const int level : list->levels())
        if (view->init(level) != 0) {
            error("<ui> %s failed init phase %d", view->name(), level);
            return false;
        }
    return true;
}
