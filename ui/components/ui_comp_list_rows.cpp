// The rows of a list: their layout, the scroll slider, and the actions that reach the list.
#include <algorithm>
#include <cstdint>

#include "engine/cache.h"
#include "engine/ui.h"
#include "common/c_item_ops.h"
#include "ui/components/ui_comp_button.h"
#include "ui/components/ui_comp_list.h"
#include "ui/components/ui_slider_base.h"

namespace {

// Mouse-wheel codes a list scrolls by: toward the start and toward the end.
constexpr int action_scroll_back = 18;
constexpr int action_scroll_on = 19;
// A row reports a double press with this code (bit 1 of the parameter's first byte).
constexpr int action_row_activate = 14;

// How many items of `size` fit into `room` with `gap` between them: none when not even one fits.
int fitting_count(const float room, const float size, const float gap)
{
    if (size <= 0.0f || room < size)
        return 0;
    const float step = gap + size;
    return step > 0.0f ? static_cast<int>((room - size) / step) + 1 : 1;
}

// Makes a spawned view live inside `group` of `window`: initialised, appended and set up.
bool adopt_view(ui_window_t* window, ui_group_t* group, ui_view_t* view)
{
    if (!ui_init_ci(view->item) || !window->append_view(view, group))
        return false;
    view->ui_setup();
    return true;
}

}  // namespace

void ui_comp_list_t::place_row(ui_comp_button_t* row, const int k) const
{
    const int per_line = std::max(items_per_line, 1);
    const int line = k / per_line;
    const int column = k % per_line;
    const float top = rect.top - static_cast<float>(line) * (item_gap + item_height);
    pml_rect_t placed{rect.left, rect.right, top, top - item_height};
    if (multi_column) {
        placed.left = rect.left + static_cast<float>(column) * (item_gap + item_width);
        placed.right = placed.left + item_width;
    }
    row->rect = placed;
    row->area = placed;
    row->changed(ui_change_rect | ui_change_area);
}

void ui_comp_list_t::add_rows(const int wanted)
{
    ui_window_t* own = window();
    while (own && static_cast<int>(rows.size()) < wanted) {
        ui_comp_button_t* row = create_item_view();
        if (!row)
            return;
        row->button_type = ui_button_radio;
        row->layer = layer;
        row->set_name("_list item");
        row->show(false);
        if (!adopt_view(own, row_group, row))
            return;
        place_row(row, static_cast<int>(rows.size()));
        rows.push_back(row);
    }
}

void ui_comp_list_t::rebuild_views(const bool full)
{
    ui_window_t* own = window();
    if (!own)
        return;
    if (!row_group) {
        c_item_t* item = ui_spawn_ci("ui.comp.group");
        auto* group = item ? dynamic_cast<ui_group_t*>(static_cast<ui_view_t*>(item->object)) : nullptr;
        if (!group)
            return;
        group->rect = rect;
        group->set_name("_list group");
        if (!adopt_view(own, this, group))
            return;
        row_group = group;
    }
    visible_lines = fitting_count(rect.top - rect.bottom, item_height, item_gap);
    if (visible_lines == 0)
        first_visible = -1;
    else if (first_visible == -1)
        first_visible = 0;
    items_per_line = multi_column ? fitting_count(rect.right - rect.left, item_width, item_gap) : 1;
    const int shown = visible_lines * items_per_line;
    add_rows(std::max(shown, 1));
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        ui_comp_button_t* row = rows[static_cast<size_t>(k)];
        const int index = first_visible + k;
        if (k >= shown || first_visible < 0 || index >= count()) {
            row->show(false);
            continue;
        }
        if (full)
            place_row(row, k);
        row->id = row_id_base + index;
        update_item_view(row, item_pml_at(index));
        row->set_pressed(index == selection);
        row->activate(item_active_at(index));
        row->show(true);
    }
    update_slider();
    built_count = count();
}

void ui_comp_list_t::update_slider()
{
    if (!slider)
        return;
    const int per_line = std::max(items_per_line, 1);
    const int shown = visible_lines * items_per_line;
    const auto place = [&](float value) {
        const float range = static_cast<float>(slider->maximum - slider->minimum);
        slider->position = range != 0.0f ? (value - static_cast<float>(slider->minimum)) / range : 0.0f;
    };
    if (shown < count()) {
        slider->activate(true);
        slider->maximum = ((1 - visible_lines) * per_line + count() - 1) / per_line;
        place(static_cast<float>(std::max(first_visible, 0) / per_line));
    } else {
        slider->activate(false);
        slider->maximum = 1;
        place(0.0f);
    }
    slider->changed(ui_change_property);
}

void ui_comp_list_t::place_slider()
{
    if (!slider)
        for (ui_view_t* child : children)
            if (child->view_flags & ui_view_slider) {
                slider = dynamic_cast<ui_slider_base_t*>(child);
                if (slider) {
                    slider->action_on_drag = true;
                    rebuild_views(false);
                }
                break;
            }
    slider_pending = false;
    if (!slider || !slider_management)
        return;
    slider->rect.top = slider->rect.bottom + (rect.top - rect.bottom);
    slider->changed(ui_change_rect);
    slider->offset(rect.right - slider->rect.left, rect.bottom - slider->rect.bottom, ui_offset_area);
}

bool ui_comp_list_t::action(ui_view_t* sender, const int code, void* param)
{
    if (slider && (code == action_scroll_back || code == action_scroll_on)) {
        const int32_t value = slider->get_int_value();
        const int32_t tick = static_cast<int32_t>(slider->tick);
        const int32_t moved = code == action_scroll_back ? std::max(value - tick, slider->minimum)
                                                         : std::min(value + tick, slider->maximum);
        if (moved != value)
            slider->set_int_value(moved, true);
        return true;
    }
    if (slider && sender == slider && code == ui_action_pressed) {
        if (param)
            scroll_to(std::max(items_per_line, 1) * *static_cast<const int32_t*>(param));
        return true;
    }
    auto* row = dynamic_cast<ui_comp_button_t*>(sender);
    if (row && row_group && row->parent_group == row_group)
        return row_action(row, code, param);
    if (code == ui_action_pointer_move)
        return true;
    return ui_view_t::action(sender, code, param);
}

bool ui_comp_list_t::row_action(ui_comp_button_t* row, const int code, void* param)
{
    const int index = row->id - row_id_base;
    switch (code) {
    case ui_action_pressed:
        if (selection >= 0)
            send_item(ui_action_item_unselected, selection);
        selection = index;
        return send_item(ui_action_item_selected, index);
    case ui_action_enter:
        return send_item(ui_action_item_enter, index);
    case ui_action_leave:
        return send_item(ui_action_item_leave, index);
    case action_row_activate:
        if (param && (*static_cast<const uint8_t*>(param) & 1))
            return send_item(ui_action_item_activated, index);
        return true;
    case ui_action_pointer_down:
    case ui_action_pointer_up: {
        ui_list_pointer_param_t passed{};
        if (param)
            passed.pointer = *static_cast<const ui_pointer_param_t*>(param);
        passed.index = static_cast<uint32_t>(index);
        return ui_view_t::action(row, code, &passed);
    }
    case ui_action_key_down:
    case ui_action_key_up:
        return ui_view_t::action(row, code, param);
    default:
        return true;
    }
}
