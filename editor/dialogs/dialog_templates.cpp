#include "editor/dialogs/dialog_templates.h"

#include <iterator>

namespace {

// A static text the program never addresses.
constexpr WORD label = 0xFFFF;

// One side of the road edge dialog: its group box at x = `x` and the rows of that side's controls.
#define ROAD_SIDE(x, name, quads, coef, rail_model, rail_shader, base, profile, vegetation, noise, transition)         \
    {dlg_group, label, x, 50, 170, 156, name, 0}, {dlg_static, label, x + 6, 64, 62, 8, "Quad Count", 0},              \
        {dlg_edit, quads, x + 70, 62, 40, 12, "", 0}, {dlg_static, label, x + 6, 78, 62, 8, "Profile coef.", 0},       \
        {dlg_edit, coef, x + 70, 76, 40, 12, "", 0}, {dlg_static, label, x + 6, 92, 62, 8, "Railings model", 0},       \
        {dlg_combo, rail_model, x + 70, 90, 94, 12, "", 0},                                                            \
        {dlg_static, label, x + 6, 106, 62, 8, "Railings shader", 0},                                                  \
        {dlg_combo, rail_shader, x + 70, 104, 94, 12, "", 0},                                                          \
        {dlg_static, label, x + 6, 120, 62, 8, "Base Shader", 0}, {dlg_combo, base, x + 70, 118, 94, 12, "", 0},       \
        {dlg_static, label, x + 6, 134, 62, 8, "Terrain profile", 0},                                                  \
        {dlg_combo, profile, x + 70, 132, 94, 12, "", 0}, {dlg_static, label, x + 6, 148, 62, 8, "Vegetation", 0},     \
        {dlg_combo, vegetation, x + 70, 146, 94, 12, "", 0}, {dlg_static, label, x + 6, 164, 62, 8, "Noise power", 0}, \
        {dlg_radio, noise, x + 70, 162, 30, 10, "0%", dlg_group_start},                                                \
        {dlg_radio, noise + 1, x + 102, 162, 30, 10, "50%", 0},                                                        \
        {dlg_radio, noise + 2, x + 134, 162, 32, 10, "100%", 0},                                                       \
        {dlg_static, label, x + 6, 180, 62, 8, "Transition", 0},                                                       \
        {dlg_radio, transition, x + 70, 178, 30, 10, "4", dlg_group_start},                                            \
        {dlg_radio, transition + 1, x + 102, 178, 30, 10, "8", 0},                                                     \
    {                                                                                                                  \
        dlg_radio, transition + 2, x + 134, 178, 32, 10, "16", 0                                                       \
    }

constexpr dlg_item_t road_edge_items[] = {
    {dlg_group, 900, 4, 4, 362, 226, "", 0},
    {dlg_static, label, 12, 20, 50, 8, "Road model", 0},
    {dlg_combo, 1020, 70, 18, 104, 12, "", 0},
    {dlg_static, label, 190, 20, 50, 8, "Road shader", 0},
    {dlg_combo, 1021, 244, 18, 110, 12, "", 0},
    {dlg_static, label, 12, 36, 56, 8, "Center shader", 0},
    {dlg_combo, 1032, 70, 34, 104, 12, "", 0},
    ROAD_SIDE(10, "Left", 1000, 1001, 1026, 1027, 1024, 1028, 1030, 1090, 1096),
    ROAD_SIDE(188, "Right", 1002, 1003, 1022, 1023, 1025, 1029, 1031, 1093, 1099),
    {dlg_check, 1130, 12, 212, 70, 10, "Terrain only", 0},
    {dlg_push, 1050, 100, 210, 60, 14, "Edit Signs", 0},
    {dlg_push, 1051, 166, 210, 60, 14, "Edit Stamps", 0},
    {dlg_push, 1, 150, 236, 60, 14, "OK", 0},
    {dlg_push, 2, 216, 236, 60, 14, "Cancel", 0},
    {dlg_push, 890, 282, 236, 76, 14, "Use as defaults", 0},
};

#undef ROAD_SIDE

constexpr dlg_item_t node_items[] = {
    {dlg_group, 900, 4, 4, 252, 168, "", 0},
    {dlg_static, label, 12, 20, 48, 8, "Position", 0},
    {dlg_edit, 1000, 64, 18, 56, 12, "", 0},
    {dlg_edit, 1001, 124, 18, 56, 12, "", 0},
    {dlg_edit, 1002, 184, 18, 56, 12, "", 0},
    {dlg_static, label, 12, 36, 48, 8, "Direction", 0},
    {dlg_edit, 1003, 64, 34, 56, 12, "", 0},
    {dlg_edit, 1004, 124, 34, 56, 12, "", 0},
    {dlg_edit, 1005, 184, 34, 56, 12, "", 0},
    {dlg_group, label, 10, 52, 118, 42, "Forward Edge", 0},
    {dlg_static, label, 16, 64, 30, 8, "Type", 0},
    {dlg_edit, 1006, 56, 62, 66, 12, "", dlg_read_only},
    {dlg_static, label, 16, 78, 30, 8, "Index", 0},
    {dlg_edit, 1007, 56, 76, 66, 12, "", dlg_read_only},
    {dlg_group, label, 134, 52, 116, 42, "Backward Edge", 0},
    {dlg_static, label, 140, 64, 30, 8, "Type", 0},
    {dlg_edit, 1008, 178, 62, 66, 12, "", dlg_read_only},
    {dlg_static, label, 140, 78, 30, 8, "Index", 0},
    {dlg_edit, 1009, 178, 76, 66, 12, "", dlg_read_only},
    {dlg_check, 1130, 12, 100, 140, 10, "Show road name in UI map", 0},
    {dlg_static, label, 12, 116, 48, 8, "Road name", 0},
    {dlg_combo, 1020, 64, 114, 120, 12, "", 0},
    {dlg_static, label, 12, 132, 48, 8, "Direction", 0},
    {dlg_combo, 1021, 64, 130, 80, 12, "", 0},
    {dlg_static, label, 12, 148, 48, 8, "City 1", 0},
    {dlg_combo, 1022, 64, 146, 80, 12, "", 0},
    {dlg_static, label, 150, 148, 28, 8, "City 2", 0},
    {dlg_combo, 1023, 178, 146, 72, 12, "", 0},
    {dlg_push, 1, 124, 178, 60, 14, "OK", 0},
    {dlg_push, 2, 190, 178, 60, 14, "Cancel", 0},
};

// A labelled drop-down in a row at `y`.
#define COMBO_ROW(y, text, id)                                                                                         \
    {dlg_static, label, 12, y + 2, 60, 8, text, 0}, { dlg_combo, id, 74, y, 130, 12, "", 0 }
// OK, Cancel and "Use as defaults" in a row at `y`.
#define EDGE_BUTTONS(y)                                                                                                \
    {dlg_push, 1, 8, y, 60, 14, "OK", 0}, {dlg_push, 2, 72, y, 60, 14, "Cancel", 0},                                   \
    {                                                                                                                  \
        dlg_push, 890, 136, y, 76, 14, "Use as defaults", 0                                                            \
    }

constexpr dlg_item_t prefab_edge_small_items[] = {
    {dlg_group, 900, 4, 4, 212, 50, "", 0},
    COMBO_ROW(18, "Prefab model", 1020),
    COMBO_ROW(34, "Prefab look", 1021),
    EDGE_BUTTONS(60),
};

constexpr dlg_item_t fork_edge_items[] = {
    {dlg_group, 900, 4, 4, 212, 66, "", 0},
    COMBO_ROW(18, "Prefab model", 1020),
    COMBO_ROW(34, "Prefab look", 1021),
    COMBO_ROW(50, "Shipper", 1022),
    EDGE_BUTTONS(76),
};

constexpr dlg_item_t cross_edge_items[] = {
    {dlg_group, 900, 4, 4, 212, 150, "", 0},
    COMBO_ROW(18, "Cross model", 1020),
    COMBO_ROW(34, "Cross look", 1021),
    {dlg_group, label, 8, 50, 204, 74, "Traffic lights", 0},
    COMBO_ROW(62, "node 0", 1022),
    COMBO_ROW(76, "node 1", 1023),
    COMBO_ROW(90, "node 2", 1024),
    COMBO_ROW(104, "node 3", 1025),
    {dlg_check, 1130, 12, 132, 90, 10, "Use traffic lights", 0},
    {dlg_push, 1050, 140, 130, 64, 14, "Edit Signs", 0},
    EDGE_BUTTONS(160),
};

constexpr dlg_item_t prefab_edge_items[] = {
    {dlg_group, label, 4, 4, 212, 82, "Defaults", 0},
    COMBO_ROW(18, "Prefab model", 1020),
    COMBO_ROW(34, "Prefab look", 1021),
    COMBO_ROW(50, "Origin", 1022),
    COMBO_ROW(66, "Orientation", 1023),
    {dlg_push, 1, 84, 92, 60, 14, "OK", 0},
    {dlg_push, 2, 150, 92, 60, 14, "Cancel", 0},
};

constexpr dlg_item_t aux_edge_items[] = {
    {dlg_group, label, 4, 4, 212, 50, "Auxiliary edge", 0},
    COMBO_ROW(18, "Model", 1020),
    COMBO_ROW(34, "Shader", 1021),
    EDGE_BUTTONS(60),
};

constexpr dlg_item_t find_edge_items[] = {
    {dlg_static, label, 10, 12, 50, 8, "Edge index", 0},
    {dlg_edit, 1000, 64, 10, 60, 12, "", 0},
    {dlg_push, 1, 10, 32, 54, 14, "Find", 0},
    {dlg_push, 2, 70, 32, 54, 14, "Cancel", 0},
};

constexpr dlg_item_t free_item_items[] = {
    {dlg_group, label, 4, 4, 212, 104, "Free item", 0},
    {dlg_static, label, 12, 20, 50, 8, "Position", 0},
    {dlg_edit, 1000, 74, 18, 42, 12, "", 0},
    {dlg_edit, 1001, 118, 18, 42, 12, "", 0},
    {dlg_edit, 1002, 162, 18, 42, 12, "", 0},
    {dlg_static, label, 12, 36, 50, 8, "Rotation", 0},
    {dlg_edit, 1003, 74, 34, 42, 12, "", 0},
    {dlg_edit, 1004, 118, 34, 42, 12, "", 0},
    {dlg_edit, 1005, 162, 34, 42, 12, "", 0},
    COMBO_ROW(50, "Model", 1020),
    COMBO_ROW(66, "Look", 1021),
    {dlg_check, 1130, 12, 86, 80, 10, "Collision", 0},
    EDGE_BUTTONS(114),
};

constexpr dlg_item_t used_stamps_items[] = {
    {dlg_list, 1070, 8, 8, 60, 60, "", 0},
    {dlg_static, label, 76, 10, 56, 8, "Stamp template", 0},
    {dlg_combo, 1020, 136, 8, 100, 12, "", 0},
    {dlg_static, label, 76, 26, 56, 8, "Stamp shader", 0},
    {dlg_combo, 1021, 136, 24, 100, 12, "", 0},
    {dlg_static, label, 76, 42, 16, 8, "X", 0},
    {dlg_edit, 1000, 92, 40, 40, 12, "", dlg_read_only},
    {dlg_static, label, 140, 42, 16, 8, "Y", 0},
    {dlg_edit, 1001, 156, 40, 40, 12, "", dlg_read_only},
    {dlg_push, 1050, 76, 58, 60, 14, "Clear All", 0},
    {dlg_push, 1, 176, 76, 60, 14, "Close", 0},
};

constexpr dlg_item_t select_stamp_items[] = {
    {dlg_static, label, 8, 6, 100, 8, "Stamp template", 0},
    {dlg_list, 1070, 8, 16, 110, 100, "", 0},
    {dlg_static, label, 126, 6, 100, 8, "Stamp shader", 0},
    {dlg_list, 1071, 126, 16, 110, 100, "", 0},
    {dlg_push, 1, 176, 122, 60, 14, "OK", 0},
};

constexpr dlg_item_t misc_item_items[] = {
    COMBO_ROW(8, "Misc item type", 1020),
    {dlg_static, 900, 12, 26, 60, 8, "", 0},
    {dlg_static, 902, 12, 26, 60, 8, "", 0},
    {dlg_combo, 1021, 74, 24, 130, 12, "", 0},
    {dlg_static, 903, 12, 42, 60, 8, "", 0},
    {dlg_combo, 1022, 74, 40, 130, 12, "", 0},
    {dlg_static, 901, 12, 26, 60, 8, "", 0},
    {dlg_radio, 1090, 74, 24, 30, 10, "2", dlg_group_start},
    {dlg_radio, 1091, 106, 24, 30, 10, "3", 0},
    {dlg_radio, 1092, 138, 24, 30, 10, "4", 0},
    {dlg_static, 904, 12, 58, 60, 8, "", 0},
    {dlg_static, 906, 12, 58, 60, 8, "", 0},
    {dlg_edit, 1000, 74, 56, 50, 12, "", 0},
    {dlg_static, 905, 12, 74, 60, 8, "", 0},
    {dlg_static, 907, 12, 74, 60, 8, "", 0},
    {dlg_edit, 1001, 74, 72, 50, 12, "", 0},
    {dlg_check, 1130, 12, 90, 70, 10, "Follow dir", 0},
    {dlg_check, 1131, 90, 90, 70, 10, "Bounce at end", 0},
    {dlg_check, 1132, 12, 42, 70, 10, "Use curve", 0},
    {dlg_check, 1133, 12, 104, 80, 10, "Enable at night", 0},
    EDGE_BUTTONS(122),
};

constexpr dlg_item_t city_road_edge_items[] = {
    {dlg_group, 900, 4, 4, 292, 170, "", 0},
    COMBO_ROW(18, "Road model", 1020),
    COMBO_ROW(34, "Road shader", 1021),
    COMBO_ROW(50, "Sidewalk", 1026),
    {dlg_group, label, 10, 68, 136, 84, "Left", 0},
    {dlg_check, 1130, 16, 80, 120, 10, "City block on left", 0},
    {dlg_static, label, 16, 96, 44, 8, "Background", 0},
    {dlg_combo, 1022, 62, 94, 78, 12, "", 0},
    {dlg_static, label, 16, 110, 44, 8, "Look", 0},
    {dlg_combo, 1024, 62, 108, 78, 12, "", 0},
    {dlg_static, label, 16, 124, 44, 8, "Random Seed", 0},
    {dlg_edit, 1000, 62, 122, 50, 12, "", 0},
    {dlg_static, label, 16, 138, 44, 8, "Lamps", 0},
    {dlg_combo, 1027, 62, 136, 78, 12, "", 0},
    {dlg_group, label, 154, 68, 136, 84, "Right", 0},
    {dlg_check, 1131, 160, 80, 120, 10, "City block on right", 0},
    {dlg_static, label, 160, 96, 44, 8, "Background", 0},
    {dlg_combo, 1023, 206, 94, 78, 12, "", 0},
    {dlg_static, label, 160, 110, 44, 8, "Look", 0},
    {dlg_combo, 1025, 206, 108, 78, 12, "", 0},
    {dlg_static, label, 160, 124, 44, 8, "Random Seed", 0},
    {dlg_edit, 1001, 206, 122, 50, 12, "", 0},
    {dlg_static, label, 160, 138, 44, 8, "Lamps", 0},
    {dlg_combo, 1028, 206, 136, 78, 12, "", 0},
    {dlg_push, 1050, 10, 156, 60, 14, "Axis align", 0},
    {dlg_push, 1051, 76, 156, 60, 14, "Edit signs", 0},
    EDGE_BUTTONS(180),
};

constexpr dlg_item_t signs_items[] = {
    {dlg_group, 900, 4, 4, 312, 214, "", 0},
    {dlg_list, 1070, 10, 16, 70, 150, "", 0},
    {dlg_push, 1050, 10, 172, 34, 14, "Add", 0},
    {dlg_push, 1051, 46, 172, 34, 14, "Remove", 0},
    {dlg_static, label, 88, 18, 40, 8, "Position", 0},
    {dlg_static, label, 130, 30, 24, 8, "Begin", 0},
    {dlg_trackbar, 1110, 130, 16, 150, 14, "", 0},
    {dlg_static, label, 284, 30, 24, 8, "End", 0},
    {dlg_static, label, 88, 44, 40, 8, "Model", 0},
    {dlg_combo, 1020, 130, 42, 120, 12, "", 0},
    {dlg_static, label, 88, 60, 40, 8, "Offset", 0},
    {dlg_edit, 1000, 130, 58, 50, 12, "", 0},
    {dlg_static, label, 88, 76, 40, 8, "Road side", 0},
    {dlg_radio, 1090, 130, 76, 40, 10, "Left", dlg_group_start},
    {dlg_radio, 1091, 172, 76, 40, 10, "Right", 0},
    {dlg_group, label, 86, 92, 224, 120, "Board", 0},
    {dlg_radio, 1092, 96, 104, 30, 10, "#1", dlg_group_start},
    {dlg_radio, 1093, 130, 104, 30, 10, "#2", 0},
    {dlg_radio, 1094, 164, 104, 30, 10, "#3", 0},
    {dlg_static, label, 96, 122, 40, 8, "Text #1", 0},
    {dlg_combo, 1021, 138, 120, 110, 12, "", 0},
    {dlg_static, label, 96, 138, 40, 8, "Text #2", 0},
    {dlg_combo, 1022, 138, 136, 110, 12, "", 0},
    {dlg_static, label, 96, 156, 40, 8, "Arrow", 0},
    {dlg_radio, 1095, 138, 156, 34, 10, "None", dlg_group_start},
    {dlg_radio, 1096, 174, 156, 30, 10, "Left", 0},
    {dlg_radio, 1097, 206, 156, 32, 10, "Right", 0},
    {dlg_radio, 1098, 240, 156, 44, 10, "Straight", 0},
    {dlg_static, label, 96, 176, 40, 8, "Direction", 0},
    {dlg_radio, 1099, 138, 176, 34, 10, "None", dlg_group_start},
    {dlg_radio, 1100, 174, 176, 22, 10, "N", 0},
    {dlg_radio, 1101, 198, 176, 22, 10, "E", 0},
    {dlg_radio, 1102, 222, 176, 22, 10, "S", 0},
    {dlg_radio, 1103, 246, 176, 22, 10, "W", 0},
    {dlg_push, 1, 256, 224, 60, 14, "Close", 0},
};

#undef COMBO_ROW
#undef EDGE_BUTTONS

template <size_t count>
constexpr dlg_template_t layout(prop_template_t id, const char* caption, short cx, short cy,
                                const dlg_item_t (&items)[count])
{
    return {static_cast<WORD>(id), caption, cx, cy, items, static_cast<int>(count)};
}

const dlg_template_t templates[] = {
    layout(template_road_edge, "Road Edge Properties", 370, 256, road_edge_items),
    layout(template_node, "Node Properties", 260, 198, node_items),
    layout(template_prefab_edge_small, "Prefab Edge Properties", 220, 80, prefab_edge_small_items),
    layout(template_fork_edge, "Fork Edge Properties", 220, 96, fork_edge_items),
    layout(template_cross_edge, "Cross Edge Properties", 220, 180, cross_edge_items),
    layout(template_prefab_edge, "Prefab Edge Properties", 220, 112, prefab_edge_items),
    layout(template_aux_edge, "Auxiliary Edge Properties", 220, 80, aux_edge_items),
    layout(template_find_edge, "Find Edge", 134, 52, find_edge_items),
    layout(template_free_item, "Free Item Properties", 220, 134, free_item_items),
    layout(template_used_stamps, "Used Stamps", 244, 96, used_stamps_items),
    layout(template_select_stamp, "Select Stamp", 244, 142, select_stamp_items),
    layout(template_city_road_edge, "City Road Edge Properties", 300, 200, city_road_edge_items),
    layout(template_signs, "Signs Properties", 320, 244, signs_items),
    layout(template_misc_item, "Free Item Properties", 220, 142, misc_item_items),
};

}  // namespace

void register_dialog_templates(HINSTANCE module)
{
    dlg_register_templates(module, templates, static_cast<int>(std::size(templates)));
}
