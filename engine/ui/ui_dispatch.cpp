#include <vector>

#include "engine/ui.h"
#include "engine/ui_action.h"
#include "ui_pointer.h"
#include "ui_system.h"

namespace {

// The deepest visible, active view of `group`'s tree under (x, y), children last first; null for none.
ui_view_t* view_at(ui_group_t* group, float x, float y)
{
    for (auto it = group->children.rbegin(); it != group->children.rend(); ++it) {
        ui_view_t* child = *it;
        if (!child->visible || !child->active)
            continue;
        if (child->is_group())
            if (ui_view_t* inner = view_at(static_cast<ui_group_t*>(child), x, y))
                return inner;
        if (child->hit(x, y))
            return child;
    }
    return nullptr;
}

// Moves the window's hover to `view`, sending leave (1) and enter (0).
void hover(ui_window_t* window, ui_view_t* view)
{
    if (window->hover_view == view)
        return;
    ui_view_t* previous = window->hover_view;
    window->hover_view = view;
    if (previous) {
        previous->selected = false;
        previous->action(previous, ui_action_leave, nullptr);
    }
    if (view && window->hover_view == view) {
        view->selected = true;
        view->action(view, ui_action_enter, nullptr);
    }
}

// Offers `event` to `window`; true when a view used it. `taken` says whether the window claims the event
// (the pointer is over it), so windows behind it do not see it.
bool offer(ui_window_t* window, ui_event_t* event, bool& taken)
{
    taken = false;
    if (window->capture_view) {
        taken = true;
        return window->capture_view->handle_event(event);
    }
    const bool pointer_event = event->type == ui_event_pointer || event->type == ui_event_move;
    if (pointer_event) {
        ui_view_t* target = view_at(window, event->x, event->y);
        if (event->type == ui_event_move)
            hover(window, target);
        if (!target && !window->hit(event->x, event->y))
            return false;
        taken = true;
        if (!target)
            target = window;
        if (event->type == ui_event_pointer && event->down && (target->class_flags & ui_class_input))
            window->focus(target);
        else if (event->type == ui_event_pointer && event->down && window->focus_view &&
                 !(window->focus_view->view_flags & ui_view_keeps_focus))
            window->focus(nullptr);
        return target->handle_event(event);
    }
    ui_view_t* target = window->focus_view ? window->focus_view : window;
    if (target->handle_event(event))
        return true;
    // What the focused view leaves goes to the window itself (window-wide keys such as scrolling).
    return target != window && !event->consumed() && window->handle_event(event);
}

}  // namespace

bool ui_dispatch_event(ui_event_t* event)
{
    if (!event || event->consumed())
        return false;
    if (event->type == ui_event_pointer || event->type == ui_event_move)
        ui_pointer_moved(event->x, event->y);
    ui_system_t& system = ui_system();
    ++system.busy;
    std::vector<ui_window_t*> order;
    for (auto it = system.windows.rbegin(); it != system.windows.rend(); ++it)
        order.push_back(it->built.window);
    bool used = false;
    for (ui_window_t* window : order) {
        ui_slot_t* slot = ui_find_slot(window);
        if (!slot || slot->dying || !window->visible || window->drawn_in_3d)
            continue;
        bool taken = false;
        used = offer(window, event, taken);
        if (used)
            event->consume();
        if (used || taken || (window->show_param & ui_show_modal))
            break;
    }
    --system.busy;
    ui_finish_removals();
    return used;
}
