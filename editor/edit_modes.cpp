#include "editor/edit_modes.h"

const edit_mode_name_t edit_mode_names[] = {
    {"None", edit_mode_none},
    {"New Item", edit_mode_new_item},
    {"Move Item", edit_mode_move},
    {"Delete", edit_mode_delete},
    {"Item Properties", edit_mode_item_properties},
    {"Node Properties", edit_mode_node_properties},
    {"Height", edit_mode_height},
    {"Place Start", edit_mode_place_start},
    {"Rotate X", edit_mode_rotate_x},
    {"Rotate Y", edit_mode_rotate_y},
    {"Rotate Z", edit_mode_rotate_z},
    {"Import", edit_mode_import},
    {"Brush", edit_mode_brush},
    {"", 0},
};

const edit_mode_name_t edit_sub_mode_names[] = {
    {"Road", edit_sub_road},         {"City Road", edit_sub_city_road}, {"Fork", edit_sub_fork},
    {"Cross", edit_sub_cross},       {"Prefab", edit_sub_prefab},       {"Free Item", edit_sub_free_item},
    {"Aux Item", edit_sub_aux_item}, {"Misc Item", edit_sub_misc_item}, {"", 0},
};
