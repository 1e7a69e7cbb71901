#include "ui/components/ui_dropbutton_group.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_window.h"
#include "ui/components/ui_comp_button.h"

namespace {

constexpr evalue_def_t drop_markup(const char* name, evalue_member_fn member, const evalue_def_t* next)
{
    return evalue_member(name, evalue_dstring, sizeof(dstring_t), member, next, "%s",
                         evalue_bind_status<&ui_dropbutton_group_t::markup_status>);
}

// The deepest visible, active view of `group`'s tree under (x, y), children last first; null for none.
ui_view_t* view_under(ui_group_t* group, const float x, const float y)
{
    for (auto it = group->children.rbegin(); it != group->children.rend(); ++it) {
        ui_view_t* child = *it;
        if (!child->visible || !child->active)
            continue;
        if (child->is_group())
            if (ui_view_t* inner = view_under(static_cast<ui_group_t*>(child), x, y))
                return inner;
        if (child->hit(x, y))
            return child;
    }
    return nullptr;
}

// `form` with its one "%s" replaced by `text`, into `out`.
void format_markup(char* out, const size_t size, const char* form, const char* text)
{
    const char* at = std::strstr(form, "%s");
    if (at)
        std::snprintf(out, size, "%.*s%s%s", static_cast<int>(at - form), form, text, at + 2);
    else
        std::snprintf(out, size, "%s", form);
}

}  // namespace

// The group's "fitting" declared again with the default false.
const evalue_def_t ui_dropbutton_group_t::evd_fitting =
    evalue_member("fitting", evalue_bool, sizeof(bool), evalue_bind<&ui_group_t::fitting>, &ui_view_t::evd_id, "false",
                  evalue_bind_status<&ui_group_t::group_status>);
const evalue_def_t ui_dropbutton_group_t::evd_list_management =
    evalue_member("list_management", evalue_bool, sizeof(bool), evalue_bind<&ui_dropbutton_group_t::list_management>,
                  &evd_fitting, "false", evalue_bind_status<&ui_dropbutton_group_t::management_status>);
const evalue_def_t ui_dropbutton_group_t::evd_n_pml =
    drop_markup("n_pml", evalue_bind<&ui_dropbutton_group_t::n_pml>, &evd_list_management);
const evalue_def_t ui_dropbutton_group_t::evd_s_pml =
    drop_markup("s_pml", evalue_bind<&ui_dropbutton_group_t::s_pml>, &evd_n_pml);
const evalue_def_t ui_dropbutton_group_t::evd_p_pml =
    drop_markup("p_pml", evalue_bind<&ui_dropbutton_group_t::p_pml>, &evd_s_pml);
const evalue_def_t ui_dropbutton_group_t::evd_d_pml =
    drop_markup("d_pml", evalue_bind<&ui_dropbutton_group_t::d_pml>, &evd_p_pml);

ui_dropbutton_group_t::ui_dropbutton_group_t()
{
    view_flags |= view_flag;
    fitting = false;
}

ui_comp_button_t* ui_dropbutton_group_t::create_item_view()
{
    c_item_t* item = ui_spawn_ci("ui.comp.button");
    auto* button = item ? dynamic_cast<ui_comp_button_t*>(static_cast<ui_view_t*>(item->object)) : nullptr;
    if (!button)
        return nullptr;
    button->button_type = ui_button_check;
    update_item_view(button, "");
    return button;
}

void ui_dropbutton_group_t::update_item_view(ui_comp_button_t* button, const char* text)
{
    const std::pair<const evalue_def_t*, const dstring_t*> markups[] = {
        {&ui_comp_button_t::evd_d_pml, &d_pml},
        {&ui_comp_button_t::evd_p_pml, &p_pml},
        {&ui_comp_button_t::evd_s_pml, &s_pml},
        {&ui_comp_button_t::evd_n_pml, &n_pml},
    };
    char markup[markup_size];
    for (const auto& [def, form] : markups) {
        format_markup(markup, sizeof markup, form->c_str(), text);
        def->set(button, def, 0, markup);
    }
    button->changed(ui_change_property);
}

void ui_dropbutton_group_t::layout()
{
    layout_due = false;
    ui_window_t* own = window();
    if (!own)
        return;
    if (!drop_button) {
        ui_comp_button_t* button = create_item_view();
        if (button) {
            button->rect = rect;
            button->area = rect;
            button->layer = layer;
            button->tooltip = tooltip;
            button->set_name("_drop button");
            if (ui_init_ci(button->item) && own->append_view(button, this)) {
                button->ui_setup();
                drop_button = button;
            }
        }
    }
    if (list) {
        bool still_child = false;
        for (ui_view_t* child : children)
            still_child = still_child || child == list;
        if (!still_child) {
            list = nullptr;
            activate(false);
        }
    } else {
        for (ui_view_t* child : children)
            if ((child->view_flags & ui_view_list) && (list = dynamic_cast<ui_comp_list_t*>(child)))
                break;
        if (list) {
            set_open(false);
            activate(true);
        } else {
            activate(false);
        }
    }
    if (list_management && list) {
        const float height = list->rect.top - list->rect.bottom;
        list->rect = {rect.left, rect.right, rect.bottom, rect.bottom - height};
        list->area = list->rect;
        list->changed(ui_change_rect | ui_change_area);
    }
}

void ui_dropbutton_group_t::ui_setup()
{
    ui_group_t::ui_setup();
    layout();
}

void ui_dropbutton_group_t::handler()
{
    ui_group_t::handler();
    if (evalue_take_changed(this, &evd_list_management))
        layout_due = true;
    if (layout_due)
        layout();
}

void ui_dropbutton_group_t::set_open(const bool on)
{
    open = on;
    if (drop_button)
        drop_button->set_pressed(on);
    if (list)
        list->show(on);
    if (!on)
        hover(nullptr);
}

void ui_dropbutton_group_t::close_routed()
{
    set_open(false);
    if (ui_window_t* own = window())
        own->capture_events(this, false, true);
}

void ui_dropbutton_group_t::hover(ui_view_t* view)
{
    if (view == hovered_)
        return;
    if (hovered_) {
        hovered_->selected = false;
        hovered_->action(hovered_, ui_action_leave, nullptr);
    }
    hovered_ = view;
    if (view) {
        view->selected = true;
        view->action(view, ui_action_enter, nullptr);
    }
}

bool ui_dropbutton_group_t::select_item(const int index)
{
    if (!list)
        return false;
    selecting = true;
    const bool selected = list->select_item(index, true);
    selecting = false;
    return selected;
}

void ui_dropbutton_group_t::clear()
{
    if (drop_button)
        update_item_view(drop_button, "");
    if (list)
        list->clear();
}

bool ui_dropbutton_group_t::handle_event(ui_event_t* event)
{
    if (open && event) {
        if (ui_get_ctrlcallback()(event) & ui_control_cancel) {
            close_routed();
            event->consume();
            return true;
        }
        if (event->type == ui_event_pointer || event->type == ui_event_move) {
            ui_view_t* target = view_under(this, event->x, event->y);
            if (event->type == ui_event_move)
                hover(target);
            if (target)
                return target->handle_event(event);
            if (event->type == ui_event_pointer && event->down) {
                close_routed();
                event->consume();
            }
            return true;
        }
    }
    return ui_group_t::handle_event(event);
}

bool ui_dropbutton_group_t::action(ui_view_t* sender, const int code, void* param)
{
    if (code == ui_action_key_down || code == ui_action_key_up)
        return ui_view_t::action(sender, code, param);
    if (sender && sender == drop_button) {
        if (code == ui_action_enter || code == ui_action_leave)
            return ui_view_t::action(sender, code, param);
        if (code == ui_action_pressed) {
            set_open(!open);
            if (ui_window_t* own = window())
                own->capture_events(this, open, false);
        }
        return true;
    }
    if (sender && sender == list && code == ui_action_item_selected) {
        const auto* picked = static_cast<const ui_list_param_t*>(param);
        chosen = ui_list_item_t{};
        chosen.mask = ui_list_all;
        if (picked)
            list->get_item(static_cast<int>(picked->index), chosen);
        if (drop_button)
            update_item_view(drop_button, chosen.pml.c_str());
        if (open)
            close_routed();
        return selecting ? true : ui_view_t::action(sender, code, param);
    }
    return ui_view_t::action(sender, code, param);
}

void ui_dropbutton_group_t::notify(const int code)
{
    ui_group_t::notify(code);
    if (code == ui_notify_capture_lost && open)
        set_open(false);
}

void ui_dropbutton_group_t::changed(const unsigned mask)
{
    if ((mask & ui_change_rect) && drop_button) {
        drop_button->rect = rect;
        drop_button->area = rect;
        drop_button->changed(ui_change_rect | ui_change_area);
        layout_due = list_management;
    }
    if (mask & 16)
        layout_due = true;
    if ((mask & 32) && drop_button)
        if (ui_window_t* own = window())
            own->layer_change(drop_button, layer);
    ui_group_t::changed(mask);
}

bool ui_dropbutton_group_t::public_component(const ui_view_t* view) const
{
    return view != drop_button && ui_group_t::public_component(view);
}

int ui_dropbutton_group_t::destroy(const int phase)
{
    if (phase == 0) {
        drop_button = nullptr;
        list = nullptr;
        hovered_ = nullptr;
    }
    return ui_group_t::destroy(phase);
}
