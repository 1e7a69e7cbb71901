#include "editor/dialogs/city_road_edge_dialog.h"

#include <cmath>

#include "road/seg_server.h"
#include "editor/dialogs/create_prop_dialog.h"
#include "editor/dialogs/definition_lists.h"
#include "editor/dialogs/edge_index_line.h"
#include "editor/edit_ctrl.h"

namespace {

// The controls of a side's city block and lamps.
struct block_side_ids_t {
    int check, background, look, seed, lamps;
    const char* name;
};
constexpr block_side_ids_t block_ids[2] = {
    {1130, 1022, 1024, 1000, 1027, "Left random seed"},
    {1131, 1023, 1025, 1001, 1028, "Right random seed"},
};

// "Axis align" is offered when the road is off both axes by this much.
constexpr float axis_offset = 0.5f;

}  // namespace

void city_road_edge_dialog_t::on_init()
{
    const map_edge_t& record = edge();
    set_item_text(prop_id_index_line, road_index_line(ctrl_, record, true).c_str());
    const seg_server_t* server = ctrl_.seg_server;
    combo_fill(1020, definition_names(server, definition_list_t::city_road_definitions));
    combo_select_by_data(1020, record.definition);
    combo_fill(1021, definition_names(server, definition_list_t::road_shaders));
    combo_select_by_data(1021, record.road_type);
    combo_fill(1026, definition_names(server, definition_list_t::sidewalks));
    combo_select_by_data(1026, record.centre_word);
    for (int side = 0; side < 2; ++side) {
        const block_side_ids_t& ids = block_ids[side];
        combo_fill(ids.lamps, definition_names(server, definition_list_t::city_block_lamps));
        combo_add(ids.lamps, "No lamps", -1);
        combo_select_by_data(ids.lamps, record.sides[side].vegetation);
        combo_fill(ids.background, definition_names(server, definition_list_t::terrain_shaders));
        combo_fill(ids.look, definition_names(server, definition_list_t::city_block_looks));
        show_block(side);
    }
    bool off_axes = false;
    if (ctrl_.nodes.valid(record.nodes[0]) && ctrl_.nodes.valid(record.nodes[1])) {
        const vec3_t delta = ctrl_.nodes[record.nodes[1]].position - ctrl_.nodes[record.nodes[0]].position;
        off_axes = std::fabs(delta.x) >= axis_offset && std::fabs(delta.z) >= axis_offset;
    }
    enable_item(1050, off_axes && edge_index_of(ctrl_, record) != -1);
    // A default record stands for roads still to be made: it has no blocks or signs of its own.
    if (edge_index_of(ctrl_, record) == -1)
        for (const int id : {1130, 1131, 1051})
            enable_item(id, false);
}

void city_road_edge_dialog_t::show_block(const int side)
{
    const block_side_ids_t& ids = block_ids[side];
    const int32_t block = edge().sides[side].profile;
    const bool has = ctrl_.cityblocks.valid(block);
    set_check(ids.check, has);
    for (const int id : {ids.background, ids.look, ids.seed})
        enable_item(id, has);
    if (!has) {
        combo_select_none(ids.background);
        combo_select_none(ids.look);
        set_item_text(ids.seed, "");
        return;
    }
    const map_cityblock_t& record = ctrl_.cityblocks[block];
    if (!combo_select_by_data(ids.background, record.shader))
        combo_select_none(ids.background);
    if (!combo_select_by_data(ids.look, record.definition))
        combo_select_none(ids.look);
    set_item_int(ids.seed, record.seed);
}

bool city_road_edge_dialog_t::on_apply()
{
    map_edge_t& record = edge();
    int32_t seeds[2] = {};
    for (int side = 0; side < 2; ++side) {
        const int32_t block = record.sides[side].profile;
        if (ctrl_.cityblocks.valid(block) &&
            !read_int(block_ids[side].seed, block_ids[side].name, ctrl_.cityblocks[block].seed, INT32_MIN, seeds[side]))
            return false;
    }
    combo_get_selected(1020, record.definition);
    combo_get_selected(1021, record.road_type);
    combo_get_selected(1026, record.centre_word);
    for (int side = 0; side < 2; ++side) {
        const block_side_ids_t& ids = block_ids[side];
        combo_get_selected(ids.lamps, record.sides[side].vegetation);
        const int32_t block = record.sides[side].profile;
        if (!ctrl_.cityblocks.valid(block))
            continue;
        map_cityblock_t& written = ctrl_.cityblocks[block];
        combo_get_selected(ids.background, written.shader);
        combo_get_selected(ids.look, written.definition);
        written.seed = seeds[side];
    }
    return true;
}

void city_road_edge_dialog_t::on_check(const uint32_t id)
{
    const int side = id == 1130 ? 0 : id == 1131 ? 1 : -1;
    const int32_t index = edge_index_of(ctrl_, edge());
    if (side == -1 || index == -1)
        return;
    if (ctrl_.cityblocks.valid(edge().sides[side].profile))
        ctrl_.remove_city_block(index, side);
    else if (ctrl_.add_city_block(index, side) == -1)
        message_box("City road edge", "No city block fits on this side: it needs 1 to 4 city roads around it.");
    // Another block given up for this one may have been on the other side.
    show_block(0);
    show_block(1);
    ctrl_.modified = true;
}

void city_road_edge_dialog_t::on_edit_button(const uint32_t id)
{
    if (id == 1050)
        axis_align();
    else if (id == 1051)
        create_prop_dialog(record_, ctrl_, prop_type_signs, 0);
}

void city_road_edge_dialog_t::axis_align()
{
    const map_edge_t& record = edge();
    if (!ctrl_.nodes.valid(record.nodes[0]) || !ctrl_.nodes.valid(record.nodes[1]))
        return;
    const vec3_t start = ctrl_.nodes[record.nodes[0]].position;
    vec3_t end = ctrl_.nodes[record.nodes[1]].position;
    const vec3_t delta = end - start;
    if (std::fabs(delta.x) < std::fabs(delta.z))
        end.x = start.x;
    else
        end.z = start.z;
    const int32_t node = record.nodes[1];
    ctrl_.move_node(node, end);
    ctrl_.modified = true;
}
