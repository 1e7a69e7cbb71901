#include "editor/dialogs/stamp_dialogs.h"

#include <cstdio>
#include <tuple>

#include "editor/dialogs/definition_lists.h"
#include "editor/edit_ctrl.h"

map_stamp_t* used_stamps_dialog_t::stamp(const int32_t slot)
{
    const int32_t first = static_cast<map_edge_t*>(record_)->stamp;
    if (first < 0 || slot < 0 || slot >= map_stamp_group_size || !ctrl_.stamps.valid(first + slot))
        return nullptr;
    return &ctrl_.stamps[first + slot];
}

void used_stamps_dialog_t::on_init()
{
    for (int32_t s = 0; s < map_stamp_group_size; ++s) {
        char text[24];
        std::snprintf(text, sizeof text, "Stamp #%d", s + 1);
        list_add(1070, text, s);
    }
    list_select_by_data(1070, slot_);
    combo_fill(1020, definition_names(ctrl_.seg_server, definition_list_t::stamp_templates));
    combo_add(1020, "Unused stamp", -1);
    combo_fill(1021, definition_names(ctrl_.seg_server, definition_list_t::terrain_shaders));
    combo_add(1021, "Unused stamp", -1);
    show_slot();
}

void used_stamps_dialog_t::show_slot()
{
    const map_stamp_t* shown = stamp(slot_);
    const bool used = shown && shown->brush != -1;
    combo_select_by_data(1020, shown ? shown->brush : -1);
    combo_select_by_data(1021, shown ? shown->shader : -1);
    enable_item(1020, used);
    enable_item(1021, used);
    set_item_text(1000, "");
    set_item_text(1001, "");
    if (used) {
        set_item_int(1000, shown->row);
        set_item_int(1001, shown->column);
    }
}

void used_stamps_dialog_t::on_select_change(const uint32_t id)
{
    if (id == 1070 && list_get_selected(1070, slot_) != -1)
        show_slot();
}

void used_stamps_dialog_t::on_select_end(const uint32_t id)
{
    map_stamp_t* current = stamp(slot_);
    if (!current || current->brush == -1)
        return;
    if (id == 1020)
        combo_get_selected(1020, current->brush);
    else if (id == 1021)
        combo_get_selected(1021, current->shader);
}

void used_stamps_dialog_t::on_edit_button(const uint32_t id)
{
    if (id != 1050)
        return;
    for (int32_t s = 0; s < map_stamp_group_size; ++s)
        if (map_stamp_t* each = stamp(s))
            each->brush = each->shader = -1;
    show_slot();
}

void select_stamp_dialog_t::on_init()
{
    for (const auto& [id, list, value] : {std::tuple{1070, definition_list_t::stamp_templates, choice().definition},
                                          std::tuple{1071, definition_list_t::terrain_shaders, choice().shader}}) {
        const std::vector<std::string> names = definition_names(ctrl_.seg_server, list);
        for (size_t i = 0; i < names.size(); ++i)
            list_add(id, names[i].c_str(), static_cast<int32_t>(i));
        list_select_by_data(id, value);
    }
}

void select_stamp_dialog_t::on_select_change(const uint32_t id)
{
    if (id == 1070)
        list_get_selected(1070, choice().definition);
    else if (id == 1071)
        list_get_selected(1071, choice().shader);
}
