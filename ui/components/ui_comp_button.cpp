#include "ui/components/ui_comp_button.h"

#include "engine/ui_action.h"
#include "engine/ui_group.h"
#include "ui/components/ui_markup_view.h"

namespace {

const evalue_choice_t button_types[] = {{"normal", ui_button_normal},
                                        {"check", ui_button_check},
                                        {"radio", ui_button_radio},
                                        {"menu", ui_button_menu},
                                        {nullptr, 0}};

}  // namespace

const evalue_def_t ui_comp_button_t::evd_button_type = evalue_choice_member(
    "button_type", button_types, evalue_bind<&ui_comp_button_t::button_type>, &ui_view_t::evd_id, "normal");
const evalue_def_t ui_comp_button_t::evd_p_pml = evalue_member(
    "p_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_button_t::p_pml>, &evd_button_type, nullptr,
    [](entity_t* object) { return &static_cast<ui_comp_button_t*>(object)->pml_status[ui_button_markup_pressed]; });
const evalue_def_t ui_comp_button_t::evd_d_pml = evalue_member(
    "d_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_button_t::d_pml>, &evd_p_pml, nullptr,
    [](entity_t* object) { return &static_cast<ui_comp_button_t*>(object)->pml_status[ui_button_markup_disabled]; });
const evalue_def_t ui_comp_button_t::evd_s2_pml = evalue_member(
    "s2_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_button_t::s2_pml>, &evd_d_pml, nullptr,
    [](entity_t* object) { return &static_cast<ui_comp_button_t*>(object)->pml_status[ui_button_markup_selected2]; });
const evalue_def_t ui_comp_button_t::evd_s_pml = evalue_member(
    "s_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_button_t::s_pml>, &evd_s2_pml, nullptr,
    [](entity_t* object) { return &static_cast<ui_comp_button_t*>(object)->pml_status[ui_button_markup_selected]; });
const evalue_def_t ui_comp_button_t::evd_n_pml = evalue_member(
    "n_pml", evalue_dstring, sizeof(dstring_t), evalue_bind<&ui_comp_button_t::n_pml>, &evd_s_pml, nullptr,
    [](entity_t* object) { return &static_cast<ui_comp_button_t*>(object)->pml_status[ui_button_markup_normal]; });

ui_comp_button_t::ui_comp_button_t() { class_flags |= ui_class_button | ui_class_markup; }

const dstring_t& ui_comp_button_t::source(int index) const
{
    switch (index) {
    case ui_button_markup_selected:
        return s_pml;
    case ui_button_markup_selected2:
        return s2_pml;
    case ui_button_markup_pressed:
        return p_pml;
    case ui_button_markup_disabled:
        return d_pml;
    default:
        return n_pml;
    }
}

int ui_comp_button_t::choose_state() const
{
    if (!active)
        return ui_button_markup_disabled;
    if (pressed)
        return button_type != ui_button_normal && selected && !s2_pml.is_empty() ? ui_button_markup_selected2
                                                                                 : ui_button_markup_pressed;
    return selected ? ui_button_markup_selected : ui_button_markup_normal;
}

void ui_comp_button_t::handler()
{
    ui_view_t::handler();
    bool marked = false;
    for (uint8_t& status : pml_status) {
        marked = marked || (status & evalue_changed);
        status &= static_cast<uint8_t>(~evalue_changed);
    }
    if (marked)
        changed(ui_change_property);
    if (!ui_markup_view_visible(this, window_item, shown_state, int32_t{ui_button_shown_none}))
        return;
    const int state = choose_state();
    for (int index = 0; index < ui_button_markup_count; ++index) {
        if (built[index])
            continue;
        // A markup that fails is reported by the markup system; it is not tried again until it changes.
        ui_markup_render(this, source(index).c_str(), markups[index]);
        built[index] = true;
        if (index == state)
            shown_state = ui_button_shown_again;
    }
    if (state != shown_state && ui_view_invalidate_layer(this, window_item, true))
        shown_state = state;
}

void ui_comp_button_t::pml_precache()
{
    const bool markup_shown = shown_state >= 0 && shown_state < ui_button_markup_count;
    if (markup_shown)
        ui_markup_view_precache(this, window_item, true, markups[shown_state]);
}

bool ui_comp_button_t::set_pressed(bool on)
{
    const bool previous = pressed;
    pressed = on;
    if (button_type == ui_button_radio && on && parent_group)
        for (ui_view_t* child : parent_group->children) {
            auto* const other = dynamic_cast<ui_comp_button_t*>(child);
            if (other && other != this && other->button_type == ui_button_radio)
                other->set_pressed(false);
        }
    return previous;
}

void ui_comp_button_t::click()
{
    const bool next = button_type == ui_button_check ? !pressed : button_type == ui_button_radio;
    set_pressed(next);
    ui_press_param_t param{static_cast<uint8_t>(pressed ? 1 : 0)};
    action(this, ui_action_pressed, &param);
}

bool ui_comp_button_t::handle_event(ui_event_t* event)
{
    if (!event || !selected)
        return ui_view_t::handle_event(event);
    const uint32_t control = ui_get_ctrlcallback()(event);
    const bool press = (control & ui_control_press) != 0;
    const bool release = (control & ui_control_release) != 0;
    bool used = false;
    switch (button_type) {
    case ui_button_normal:
        if (press) {
            set_pressed(true);
            used = true;
        }
        if (release && pressed) {
            click();
            used = true;
        }
        break;
    case ui_button_check:
    case ui_button_radio:
        if (press) {
            armed = true;
            used = true;
        }
        if (release && armed) {
            // One press gives one click: a later release needs a press of its own.
            armed = false;
            click();
            used = true;
        }
        break;
    case ui_button_menu:
        if (press) {
            click();
            used = true;
        }
        break;
    default:
        break;
    }
    const bool handled = ui_view_t::handle_event(event);
    if (used)
        event->consume();
    return handled || used;
}

bool ui_comp_button_t::action(ui_view_t* sender, int code, void* param)
{
    if (code == ui_action_leave || code == ui_action_focus_lost) {
        armed = false;
        if (code == ui_action_leave && button_type == ui_button_normal)
            pressed = false;
    }
    return ui_view_t::action(sender, code, param);
}

void ui_comp_button_t::offset(float dx, float dy, unsigned flags)
{
    bool all_built = true;
    for (const bool markup_built : built)
        all_built = all_built && markup_built;
    ui_markup_view_offset(this, window_item, all_built, shown_state != ui_button_shown_none, markups, dx, dy, flags);
}

void ui_comp_button_t::notify(int code)
{
    if (code < 0)
        for (bool& markup_built : built)
            markup_built = false;
    ui_view_t::notify(code);
}

void ui_comp_button_t::changed(unsigned mask)
{
    if (mask & (ui_change_rect | ui_change_property))
        for (bool& markup_built : built)
            markup_built = false;
    ui_view_t::changed(mask);
}
