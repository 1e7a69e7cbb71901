#include "engine/ui_window.h"

#include "engine/cache.h"
#include "engine/gfx_record.h"
#include "engine/ui_action.h"
#include "engine/ui_handler.h"
#include "ui_items.h"

ui_window_t::ui_window_t() { class_flags |= ui_class_window; }

bool ui_window_t::action(ui_view_t* sender, int code, void* param)
{
    ui_handler_t* handler = ui_item_handler(handler_item);
    return handler && handler->handle(sender, code, param);
}

bool ui_window_t::insert_view(ui_view_t* view, ui_view_t* before)
{
    if (!view || view->parent_group || view == this)
        return false;
    ui_group_t* group = this;
    if (before) {
        if (before->window() != this || !before->parent_group)
            return false;
        group = before->parent_group;
    }
    if (!group->insert_child(view, before))
        return false;
    ui_items_link(view);
    invalidate_layers();
    return true;
}

bool ui_window_t::append_view(ui_view_t* view, ui_group_t* group)
{
    if (!view || !group || view->parent_group || view == this || group->window() != this)
        return false;
    if (!group->insert_child(view, nullptr))
        return false;
    ui_items_link(view);
    invalidate_layers();
    return true;
}

void ui_window_t::focus(ui_view_t* view)
{
    if (view == focus_view)
        return;
    ui_view_t* previous = focus_view;
    focus_view = view;
    if (previous) {
        previous->selected = false;
        previous->action(previous, ui_action_focus_lost, nullptr);
    }
    if (view)
        view->selected = true;
}

void ui_window_t::capture_events(ui_view_t* view, bool on, bool notify)
{
    if (on) {
        capture_view = view;
        return;
    }
    if (!view || capture_view != view)
        return;
    capture_view = nullptr;
    if (notify)
        view->notify(ui_notify_capture_lost);
}

void ui_window_t::layer_change(ui_view_t* view, int new_layer)
{
    if (!view || view->layer == new_layer)
        return;
    for (ui_layer_entry_t& entry : layer_buffers)
        if (entry.key == view->layer || entry.key == new_layer)
            entry.rebuild = true;
    view->layer = new_layer;
}

ui_layer_entry_t* ui_window_t::layer_entry(int key, bool create)
{
    auto position = layer_buffers.begin();
    while (position != layer_buffers.end() && position->key < key)
        ++position;
    if (position != layer_buffers.end() && position->key == key)
        return &*position;
    if (!create)
        return nullptr;
    ui_layer_entry_t entry;
    entry.key = key;
    return &*layer_buffers.insert(position, std::move(entry));
}

void ui_window_t::invalidate_layers()
{
    for (ui_layer_entry_t& entry : layer_buffers)
        entry.rebuild = true;
}

namespace {

// Asks every visible markup view of `group`'s tree on `layer` to copy its markup in.
void precache_layer(ui_group_t* group, int layer)
{
    for (ui_view_t* child : group->children) {
        if (!child->visible)
            continue;
        if ((child->class_flags & ui_class_markup) && child->layer == layer)
            child->pml_precache();
        if (child->is_group())
            precache_layer(static_cast<ui_group_t*>(child), layer);
    }
}

}  // namespace

void ui_window_t::precache_layers()
{
    for (ui_layer_entry_t& entry : layer_buffers) {
        if (!entry.rebuild)
            continue;
        entry.buffer.clear();
        entry.rebuild = false;
        entry.created = false;
        precache_layer(this, entry.key);
    }
    current_target = nullptr;
}

void ui_window_t::draw_layers()
{
    gfx_record_ui_begin();
    for (const ui_layer_entry_t& entry : layer_buffers)
        pml_bin_flush(entry.buffer, 0.0f, 0.0f);
    draw();
    gfx_record_ui_end();
}
