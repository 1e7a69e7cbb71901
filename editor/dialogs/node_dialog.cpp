#include "editor/dialogs/node_dialog.h"

#include <cmath>
#include <cstdio>

#include "editor/dialogs/definition_lists.h"
#include "editor/edit_ctrl.h"

namespace {

// Sign texts a city field can name (its 8 bits hold the text + 1).
constexpr int32_t max_city = 255;
// The compass directions of bits 4-6.
constexpr const char* directions[] = {"", "North", "East", "South", "West"};
constexpr const char* field_names[6] = {"Position x",  "Position y",  "Position z",
                                        "Direction x", "Direction y", "Direction z"};
// The node flags the dialog writes: the road-name bit, the direction and both cities.
constexpr uint32_t show_road_name = 1u << 1;
constexpr uint32_t written_flags = show_road_name | (7u << 4) | (0xFFu << 8) | (0xFFu << 16);

const char* edge_kind_name(int32_t kind)
{
    static constexpr const char* names[] = {"City Road", "Road", "Fork", "Cross", "Prefab"};
    return kind >= 0 && kind < 5 ? names[kind] : "";
}

template <typename T> int32_t index_in(const T* first, int32_t count, const void* record)
{
    const T* at = static_cast<const T*>(record);
    return first && at >= first && at < first + count ? static_cast<int32_t>(at - first) : -1;
}

}  // namespace

map_node_t* node_dialog_t::road_node()
{
    return index_in(ctrl_.nodes.begin(), ctrl_.nodes.count, record_) >= 0 ? static_cast<map_node_t*>(record_) : nullptr;
}

void node_dialog_t::on_init()
{
    map_node_t* node = road_node();
    const int32_t index = node ? index_in(ctrl_.nodes.begin(), ctrl_.nodes.count, record_)
                               : index_in(ctrl_.aux_nodes.begin(), ctrl_.aux_nodes.count, record_);
    char line[48];
    std::snprintf(line, sizeof line, "Node index : %d", index);
    set_item_text(prop_id_index_line, line);
    for (int a = 0; a < 3; ++a) {
        set_item_int(1000 + a, static_cast<int32_t>(std::lround(place()[a])));
        set_item_float(1003 + a, place()[3 + a]);
    }
    if (!node) {
        // An aux node has no edges of kinds, flags or road name: those controls stay empty.
        for (const int id : {1020, 1021, 1022, 1023, 1130})
            enable_item(id, false);
        return;
    }
    set_item_text(1006, edge_kind_name(node->link_kinds[1]));
    set_item_int(1007, node->links[1]);
    set_item_text(1008, edge_kind_name(node->link_kinds[0]));
    set_item_int(1009, node->links[0]);
    set_check(1130, (node->flags & show_road_name) != 0);
    combo_fill(1020, definition_names(ctrl_.seg_server, definition_list_t::road_names));
    combo_add(1020, "!Unknown", -1);
    combo_select_by_data(1020, node->road_name);
    for (int32_t d = 0; d < 5; ++d)
        combo_add(1021, directions[d], d);
    combo_select_by_data(1021, static_cast<int32_t>((node->flags >> 4) & 7u));
    std::vector<std::string> cities = definition_names(ctrl_.seg_server, definition_list_t::sign_texts);
    if (cities.size() > static_cast<size_t>(max_city))
        cities.resize(static_cast<size_t>(max_city));
    for (const int id : {1022, 1023}) {
        combo_fill(id, cities, 1);
        combo_add(id, "", 0);
    }
    combo_select_by_data(1022, static_cast<int32_t>((node->flags >> 8) & 0xFFu));
    combo_select_by_data(1023, static_cast<int32_t>((node->flags >> 16) & 0xFFu));
    const bool at_cross = node->link_kinds[0] == map_edge_cross || node->link_kinds[1] == map_edge_cross;
    for (const int id : {1020, 1021, 1022, 1023})
        enable_item(id, at_cross);
}

bool node_dialog_t::on_apply()
{
    float values[6];
    for (int i = 0; i < 6; ++i)
        if (!read_float(1000 + i, field_names[i], place()[i], values[i]))
            return false;
    for (int i = 0; i < 6; ++i)
        place()[i] = values[i];
    map_node_t* node = road_node();
    if (!node)
        return true;
    combo_get_selected(1020, node->road_name);
    int32_t direction = static_cast<int32_t>((node->flags >> 4) & 7u);
    int32_t city1 = static_cast<int32_t>((node->flags >> 8) & 0xFFu);
    int32_t city2 = static_cast<int32_t>((node->flags >> 16) & 0xFFu);
    combo_get_selected(1021, direction);
    combo_get_selected(1022, city1);
    combo_get_selected(1023, city2);
    node->flags = (node->flags & ~written_flags) | (get_check(1130) ? show_road_name : 0u) |
                  ((static_cast<uint32_t>(direction) & 7u) << 4) | ((static_cast<uint32_t>(city1) & 0xFFu) << 8) |
                  ((static_cast<uint32_t>(city2) & 0xFFu) << 16);
    return true;
}
