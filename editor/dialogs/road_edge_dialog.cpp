#include "editor/dialogs/road_edge_dialog.h"

#include <algorithm>
#include <cstdio>

#include "road/seg_server.h"
#include "editor/dialogs/create_prop_dialog.h"
#include "editor/dialogs/definition_lists.h"
#include "editor/dialogs/edge_index_line.h"
#include "editor/edit_ctrl.h"

namespace {

// Quad counts above this are stored as it.
constexpr int32_t max_quad_count = 31;

// The controls of one side, and the flag bits of its two radio rows.
struct road_side_ids_t {
    int quads, coefficient, railing, railing_shader, base_shader, profile, vegetation, noise, transition;
    int noise_shift, transition_shift;
    const char* name;
};
constexpr road_side_ids_t side_ids[2] = {
    {1000, 1001, 1026, 1027, 1024, 1028, 1030, 1090, 1096, 4, 12, "Left"},
    {1002, 1003, 1022, 1023, 1025, 1029, 1031, 1093, 1099, 8, 16, "Right"},
};

// The controls a terrain-only edge leaves without use.
constexpr int terrain_only_disabled[] = {1000, 1001, 1020, 1021, 1022, 1023, 1024, 1026, 1027, 1028,
                                         1030, 1032, 1090, 1091, 1092, 1096, 1097, 1098, 1050};

}  // namespace

void road_edge_dialog_t::on_init()
{
    map_edge_t& record = edge();
    set_item_text(prop_id_index_line, road_index_line(ctrl_, record, false).c_str());
    const seg_server_t* server = ctrl_.seg_server;
    combo_fill(1020, definition_names(server, definition_list_t::road_definitions));
    combo_select_by_data(1020, record.definition);
    combo_fill(1021, definition_names(server, definition_list_t::road_shaders));
    combo_select_by_data(1021, record.road_type);
    combo_fill(1032, definition_names(server, definition_list_t::terrain_shaders));
    for (int s = 0; s < 2; ++s) {
        const road_side_ids_t& ids = side_ids[s];
        const map_edge_side_t& side = record.sides[s];
        set_item_int(ids.quads, side.strip_width);
        set_item_float(ids.coefficient, side.height_scale);
        combo_fill(ids.railing, definition_names(server, definition_list_t::railing_models));
        combo_add(ids.railing, "!None", -1);
        combo_select_by_data(ids.railing, side.railing);
        combo_fill(ids.railing_shader, definition_names(server, definition_list_t::railing_shaders));
        combo_add(ids.railing_shader, "!None", -1);
        combo_select_by_data(ids.railing_shader, side.railing_shader);
        combo_fill(ids.base_shader, definition_names(server, definition_list_t::terrain_shaders));
        combo_select_by_data(ids.base_shader, side.terrain);
        combo_fill(ids.profile, definition_names(server, definition_list_t::road_profiles));
        combo_select_by_data(ids.profile, side.profile);
        combo_fill(ids.vegetation, definition_names(server, definition_list_t::vegetation_looks));
        combo_add(ids.vegetation, "!None", -1);
        combo_select_by_data(ids.vegetation, side.vegetation);
        // Each row is two bits: the lower one means the middle choice, the upper one the first; both
        // set reads as the middle one.
        const uint32_t noise = (record.flags >> ids.noise_shift) & 3u;
        set_check(ids.noise + (noise == 0 ? 2 : noise == 2 ? 0 : 1), true);
        const uint32_t transition = (record.flags >> ids.transition_shift) & 3u;
        set_check(ids.transition + (transition == 0 ? 2 : transition == 2 ? 0 : 1), true);
    }
    const bool terrain_only = (record.flags & map_edge_terrain_only) != 0;
    set_check(1130, terrain_only);
    apply_terrain_only(terrain_only);
}

int32_t road_edge_dialog_t::chosen_part_count()
{
    int32_t definition = -1;
    combo_get_selected(1020, definition);
    const seg_server_t* server = ctrl_.seg_server;
    if (!server || definition < 0 || definition >= static_cast<int32_t>(server->road_defs.size()))
        return 0;
    return server->road_defs[static_cast<size_t>(definition)].part_count;
}

void road_edge_dialog_t::apply_centre_rule()
{
    const bool offered = chosen_part_count() >= 2;
    enable_item(1032, offered);
    if (!offered || !combo_select_by_data(1032, edge().centre_word))
        combo_select_none(1032);
}

void road_edge_dialog_t::apply_terrain_only(const bool on)
{
    for (const int id : terrain_only_disabled)
        enable_item(id, !on);
    apply_centre_rule();
}

bool road_edge_dialog_t::on_apply()
{
    map_edge_t& record = edge();
    int32_t quads[2];
    float coefficients[2];
    for (int s = 0; s < 2; ++s) {
        const road_side_ids_t& ids = side_ids[s];
        char field[48];
        std::snprintf(field, sizeof field, "%s quad count", ids.name);
        if (!read_int(ids.quads, field, record.sides[s].strip_width, 0, quads[s]))
            return false;
        std::snprintf(field, sizeof field, "%s profile coefficient", ids.name);
        if (!read_float(ids.coefficient, field, record.sides[s].height_scale, coefficients[s]))
            return false;
    }
    combo_get_selected(1020, record.definition);
    combo_get_selected(1021, record.road_type);
    if (chosen_part_count() > 1)
        combo_get_selected(1032, record.centre_word);
    for (int s = 0; s < 2; ++s) {
        const road_side_ids_t& ids = side_ids[s];
        map_edge_side_t& side = record.sides[s];
        side.strip_width = std::min(quads[s], max_quad_count);
        side.height_scale = coefficients[s];
        combo_get_selected(ids.railing, side.railing);
        combo_get_selected(ids.railing_shader, side.railing_shader);
        combo_get_selected(ids.base_shader, side.terrain);
        combo_get_selected(ids.profile, side.profile);
        combo_get_selected(ids.vegetation, side.vegetation);
        for (const auto& [first, shift] :
             {std::pair{ids.noise, ids.noise_shift}, {ids.transition, ids.transition_shift}}) {
            record.flags &= ~(3u << shift);
            if (get_check(first + 1))
                record.flags |= 1u << shift;
            else if (get_check(first))
                record.flags |= 2u << shift;
        }
    }
    record.flags = get_check(1130) ? record.flags | map_edge_terrain_only : record.flags & ~map_edge_terrain_only;
    return true;
}

void road_edge_dialog_t::on_select_end(const uint32_t id)
{
    if (id == 1020)
        apply_centre_rule();
}

void road_edge_dialog_t::on_edit_button(const uint32_t id)
{
    if (id == 1050) {
        create_prop_dialog(record_, ctrl_, prop_type_signs, 0);
    } else if (id == 1051) {
        if (edge().stamp == -1)
            message_box("Road edge", "No stamps used on this edge.");
        else
            create_prop_dialog(record_, ctrl_, prop_type_used_stamps, 0);
    }
}

void road_edge_dialog_t::on_check(const uint32_t id)
{
    if (id == 1130)
        apply_terrain_only(get_check(1130));
}
