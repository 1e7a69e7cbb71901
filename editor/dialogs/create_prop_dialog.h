#pragma once
#include <cstdint>

class edit_ctrl_e;

// What a property dialog is opened on.
enum prop_dialog_type_t : int {
    prop_type_default_edge = -1,  // a default edge record (map_edge_t)
    prop_type_edge = 0,           // an edge
    prop_type_node = 1,           // a node or an aux node
    prop_type_signs = 2,          // the signs of an edge
    prop_type_free_item = 3,
    prop_type_used_stamps = 4,   // the stamp group of an edge
    prop_type_select_stamp = 5,  // the caller's {stamp template, stamp shader} pair
    prop_type_aux_edge = 6,
    prop_type_find_edge = 7,  // the caller's i32 edge index
    prop_type_misc_item = 8,
};

// Runs the property dialog of `type` (by the edge's kind for edges) on `record` with the pointer shown;
// its result (0 cancel, 1 OK, 2 "Use as defaults"), or -1 when the type or edge kind has no dialog or
// the dialog cannot run.
int create_prop_dialog(void* record, edit_ctrl_e& ctrl, int type, uint32_t extra);
