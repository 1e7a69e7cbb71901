#include "ui/components/ui_window_layer.h"

#include "engine/cache.h"
#include "engine/ui_view.h"
#include "common/c_item_ops.h"

ui_layer_entry_t* ui_window_layer_buffer(ui_window_t* window, int key, bool create)
{
    return window ? window->layer_entry(key, create) : nullptr;
}

void ui_window_invalidate_layer(ui_window_t* window, const ui_view_t* view)
{
    if (!window)
        return;
    if (!view) {
        window->invalidate_layers();
        return;
    }
    if ((view->class_flags & ui_class_markup) == 0)
        return;
    if (ui_layer_entry_t* entry = window->layer_entry(view->layer, false))
        entry->rebuild = true;
}

c_item_t* ui_view_find_window(const ui_view_t* view, c_item_t*& cached)
{
    if (cached || !view)
        return cached;
    for (c_item_t* item = view->item; item && item->kind == ci_kind_view; item = item->parent) {
        const auto* object = static_cast<const ui_view_t*>(c_item_lock(item));
        if (!object)
            return nullptr;
        const uint32_t flags = object->class_flags;
        c_item_release(item);
        if (flags & ui_class_window) {
            cached = item;
            return item;
        }
    }
    return nullptr;
}

bool ui_view_invalidate_layer(const ui_view_t* view, c_item_t*& cached, bool create)
{
    c_item_t* const item = ui_view_find_window(view, cached);
    auto* window = static_cast<ui_window_t*>(c_item_lock(item));
    if (!window)
        return false;
    if (create)
        ui_window_layer_buffer(window, view->layer, true)->rebuild = true;
    else
        ui_window_invalidate_layer(window, view);
    c_item_release(item);
    return true;
}

void ui_view_precache_markup(const ui_view_t* view, c_item_t*& cached, const pml_buffer_t& markup, float dx, float dy)
{
    c_item_t* const item = ui_view_find_window(view, cached);
    auto* window = static_cast<ui_window_t*>(c_item_lock(item));
    if (!window)
        return;
    if (ui_layer_entry_t* entry = ui_window_layer_buffer(window, view->layer, false)) {
        window->current_target = &entry->buffer;
        entry->buffer.precache(markup, dx, dy);
        window->current_target = nullptr;
    }
    c_item_release(item);
}
