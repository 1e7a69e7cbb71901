#include "engine/ui_view.h"

#include <algorithm>
#include <vector>

#include "engine/cache.h"
#include "engine/gfx_view.h"
#include "engine/ui_action.h"
#include "engine/ui_group.h"
#include "engine/ui_window.h"

const evalue_def_t ui_view_t::evd_tab = evalue_member("tab", evalue_int, sizeof(int), evalue_bind<&ui_view_t::tab>,
                                                      nullptr, "-1", evalue_bind_status<&ui_view_t::view_status>);
const evalue_def_t ui_view_t::evd_tooltip =
    evalue_member("tooltip", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_view_t::tooltip>, &evd_tab, nullptr,
                  evalue_bind_status<&ui_view_t::view_status>);
const evalue_def_t ui_view_t::evd_active =
    evalue_member("active", evalue_bool, sizeof(bool), evalue_bind<&ui_view_t::active>, &evd_tooltip, "true",
                  evalue_bind_status<&ui_view_t::view_status>);
const evalue_def_t ui_view_t::evd_visible =
    evalue_member("visible", evalue_bool, sizeof(bool), evalue_bind<&ui_view_t::visible>, &evd_active, "true",
                  evalue_bind_status<&ui_view_t::view_status>);
const evalue_def_t ui_view_t::evd_layer =
    evalue_member("layer", evalue_int, sizeof(int), evalue_bind<&ui_view_t::layer>, &evd_visible, "0",
                  evalue_bind_status<&ui_view_t::view_status>);
const evalue_def_t ui_view_t::evd_id =
    evalue_member("id", evalue_int, sizeof(int), evalue_bind<&ui_view_t::id>, &evd_layer, "-1");

ui_view_t::ui_view_t() = default;
ui_view_t::~ui_view_t() = default;

void ui_view_t::handler()
{
    if ((view_status & evalue_changed) == 0)
        return;
    view_status &= static_cast<uint8_t>(~evalue_changed);
    changed(ui_change_property);
}

bool ui_view_t::is_visible() const
{
    for (const ui_view_t* view = this; view; view = view->parent_group)
        if (!view->visible)
            return false;
    return true;
}

bool ui_view_t::hit(float x, float y) const
{
    const pml_rect_t& box = area.left == ui_area_unset ? rect : area;
    return x >= box.left && x < box.right && y <= box.top && y > box.bottom;
}

ui_window_t* ui_view_t::window() const
{
    const ui_view_t* view = this;
    while (view->parent_group)
        view = view->parent_group;
    if ((view->class_flags & ui_class_window) == 0)
        return nullptr;
    return static_cast<ui_window_t*>(const_cast<ui_view_t*>(view));
}

pml_rect_t ui_view_t::uiref2view() const
{
    gfx_params_t params{};
    gfx_get_params(&params);
    if (params.width <= 0 || params.height <= 0)
        return rect;
    const float sx = static_cast<float>(params.width) / 1024.0f;
    const float sy = static_cast<float>(params.height) / 768.0f;
    return pml_rect_t{rect.left * sx, rect.right * sx, rect.top * sy, rect.bottom * sy};
}

void ui_view_t::show(bool on) { visible = on; }

bool ui_view_t::action(ui_view_t* sender, int code, void* param)
{
    if (!parent_group)
        return false;
    return parent_group->action(sender, code, param);
}

void ui_view_t::offset(float dx, float dy, unsigned flags)
{
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
    const bool area_moves = (flags & ui_offset_area) && (view_flags & ui_view_moves_area) && area.left != ui_area_unset;
    if (area_moves) {
        area.left += dx;
        area.right += dx;
        area.top += dy;
        area.bottom += dy;
    }
    changed(area_moves ? ui_change_rect | ui_change_area : ui_change_rect);
}

bool ui_view_t::handle_event(ui_event_t* event)
{
    if (!event || event->consumed())
        return false;
    switch (event->type) {
    case ui_event_pointer:
    case ui_event_move: {
        ui_pointer_param_t param{event->buttons, event->modifiers, {0, 0, 0}, event->x, event->y};
        const int code = event->type == ui_event_move ? ui_action_pointer_move
                         : event->down                ? ui_action_pointer_down
                                                      : ui_action_pointer_up;
        return action(this, code, &param);
    }
    case ui_event_key: {
        ui_key_param_t param{event->scan, event->modifiers, static_cast<uint8_t>(event->character)};
        return action(this, event->down ? ui_action_key_down : ui_action_key_up, &param);
    }
    case ui_event_joy_button: {
        if (!event->down)
            return false;
        ui_buttons_param_t param{event->buttons};
        return action(this, ui_action_joy_button, &param);
    }
    case ui_event_pov: {
        ui_pov_param_t param{0,
                             {static_cast<uint8_t>(event->pov & 0xFF), static_cast<uint8_t>((event->pov >> 8) & 0xFF),
                              static_cast<uint8_t>((event->pov >> 16) & 0xFF), static_cast<uint8_t>(event->pov >> 24)}};
        return action(this, ui_action_pov, &param);
    }
    default:
        return false;
    }
}

bool ui_view_t::handle_tab(ui_event_t* event)
{
    if (!event || event->type != ui_event_key || !event->down || event->scan != ui_key_tab)
        return false;
    if (event->modifiers & ui_mod_shift)
        prev_focus();
    else
        next_focus();
    event->consume();
    return true;
}

namespace {

// Views of `group`'s tree that take part in tab order, in tree order.
void collect_tab_views(ui_group_t* group, std::vector<ui_view_t*>& out)
{
    for (ui_view_t* child : group->children) {
        if (child->tab >= 0 && child->is_visible() && child->active)
            out.push_back(child);
        if (child->is_group())
            collect_tab_views(static_cast<ui_group_t*>(child), out);
    }
}

// The view `step` places from `from` in tab order (by "tab", ties in tree order), wrapping round.
ui_view_t* tab_neighbour(ui_window_t* window, const ui_view_t* from, int step)
{
    std::vector<ui_view_t*> views;
    collect_tab_views(window, views);
    if (views.empty())
        return nullptr;
    std::stable_sort(views.begin(), views.end(),
                     [](const ui_view_t* a, const ui_view_t* b) { return a->tab < b->tab; });
    const auto found = std::find(views.begin(), views.end(), from);
    const long count = static_cast<long>(views.size());
    const long at = found == views.end() ? (step > 0 ? -1 : count) : found - views.begin();
    return views[static_cast<size_t>(((at + step) % count + count) % count)];
}

}  // namespace

void ui_view_t::next_focus()
{
    if (ui_window_t* owner = window())
        owner->focus(tab_neighbour(owner, this, 1));
}

void ui_view_t::prev_focus()
{
    if (ui_window_t* owner = window())
        owner->focus(tab_neighbour(owner, this, -1));
}
