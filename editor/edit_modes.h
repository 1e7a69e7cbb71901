#pragma once
#include <cstdint>

// What the pointer does in the editor's 3-D view (the edit mode), and what "New Item" creates (the
// sub-mode). Mode 8 is not used.
enum edit_mode_t : int32_t {
    edit_mode_none = 0,
    edit_mode_new_item = 1,
    edit_mode_move = 2,
    edit_mode_delete = 3,
    edit_mode_item_properties = 4,
    edit_mode_node_properties = 5,
    edit_mode_place_start = 6,
    edit_mode_import = 7,
    edit_mode_brush = 9,
    edit_mode_height = 10,
    edit_mode_rotate_x = 11,
    edit_mode_rotate_y = 12,
    edit_mode_rotate_z = 13,
};

// Sub-modes 0 to 4 are the edge kinds of the same numbers.
enum edit_sub_mode_t : int32_t {
    edit_sub_city_road = 0,
    edit_sub_road = 1,
    edit_sub_fork = 2,
    edit_sub_cross = 3,
    edit_sub_prefab = 4,
    edit_sub_free_item = 5,
    edit_sub_aux_item = 6,
    edit_sub_misc_item = 7,
};

// The editor camera that is current: none, the top camera or the free camera (also the cameras' kinds).
enum edit_view_t : int32_t {
    edit_view_none = 0,
    edit_view_top = 1,
    edit_view_free = 2,
};

// What the pointer picked: nothing, a road node, an aux node, a sign, a free item or a misc-item point.
enum edit_pick_t : int32_t {
    edit_pick_none = 0,
    edit_pick_node = 1,
    edit_pick_aux_node = 2,
    edit_pick_sign = 3,
    edit_pick_free_item = 4,
    edit_pick_misc_point = 5,
};

// The name the HUD shows for a mode or sub-mode, in HUD order, with its number.
struct edit_mode_name_t {
    const char* text;
    int32_t value;
};

// The modes and sub-modes in the order of the HUD's lists, each table ending with an empty text.
extern const edit_mode_name_t edit_mode_names[];
extern const edit_mode_name_t edit_sub_mode_names[];

// The property dialogs by the kind of record they edit.
enum edit_dialog_t : int32_t {
    edit_dialog_edge_defaults = -1,
    edit_dialog_edge = 0,
    edit_dialog_node = 1,
    edit_dialog_signs = 2,
    edit_dialog_free_item = 3,
    edit_dialog_aux_edge = 6,
    edit_dialog_find_edge = 7,
    edit_dialog_misc_item = 8,
};
