#pragma once
#include "engine/win32_dialog.h"

// Template ids of the property dialogs.
enum prop_template_t : int {
    template_road_edge = 100,
    template_prefab_edge_small = 101,
    template_node = 102,
    template_prefab_edge = 103,
    template_cross_edge = 104,
    template_fork_edge = 105,
    template_signs = 106,
    template_city_road_edge = 107,
    template_free_item = 108,
    template_used_stamps = 109,
    template_select_stamp = 110,
    template_aux_edge = 111,
    template_find_edge = 112,
    template_misc_item = 113,
};

// Makes the property dialogs' templates the dialog resources of `module`.
void register_dialog_templates(HINSTANCE module);
