#include "editor/dialogs/prefab_edge_dialogs.h"

#include <cstdio>
#include <string>

#include "road/seg_server.h"
#include "editor/dialogs/create_prop_dialog.h"
#include "editor/dialogs/definition_lists.h"
#include "editor/dialogs/edge_index_line.h"
#include "editor/edit_ctrl.h"

namespace {

// The traffic-light definition of each of a Cross's four prefab nodes, and whether they are used.
int32_t map_edge_side_t::*const light_words[4] = {&map_edge_side_t::railing, &map_edge_side_t::railing_shader,
                                                  &map_edge_side_t::profile, &map_edge_side_t::terrain};
constexpr int orientations = 4;

definition_list_t prefab_list(const int32_t kind)
{
    return kind == map_edge_fork    ? definition_list_t::fork_prefabs
           : kind == map_edge_cross ? definition_list_t::cross_prefabs
                                    : definition_list_t::prefab_prefabs;
}

const std::vector<prefab_t>* prefab_table(const seg_server_t* server, const int32_t kind)
{
    if (!server)
        return nullptr;
    return &server->prefab_table[kind == map_edge_fork    ? seg_forks
                                 : kind == map_edge_cross ? seg_crosses
                                                          : seg_prefabs];
}

}  // namespace

void prefab_model_dialog_t::on_init()
{
    combo_fill(1020, definition_names(ctrl_.seg_server, prefab_list(edge().kind)));
    combo_select_by_data(1020, edge().definition);
    combo_fill(1021, definition_names(ctrl_.seg_server, definition_list_t::prefab_looks));
    combo_select_by_data(1021, edge().road_type);
}

void prefab_model_dialog_t::show_edge_index()
{
    set_item_text(prop_id_index_line, ("Edge index : " + std::to_string(edge_index_of(ctrl_, edge()))).c_str());
}

bool prefab_model_dialog_t::on_apply()
{
    combo_get_selected(1020, edge().definition);
    combo_get_selected(1021, edge().road_type);
    return true;
}

void prefab_edge_small_dialog_t::on_init()
{
    prefab_model_dialog_t::on_init();
    show_edge_index();
}

void fork_edge_dialog_t::on_init()
{
    prefab_model_dialog_t::on_init();
    show_edge_index();
    combo_fill(1022, definition_names(ctrl_.seg_server, definition_list_t::traders));
    combo_add(1022, "---", -1);
    combo_select_by_data(1022, edge().sides[0].vegetation);
}

bool fork_edge_dialog_t::on_apply()
{
    prefab_model_dialog_t::on_apply();
    combo_get_selected(1022, edge().sides[0].vegetation);
    return true;
}

void cross_edge_dialog_t::on_init()
{
    prefab_model_dialog_t::on_init();
    show_edge_index();
    const std::vector<std::string> lights = definition_names(ctrl_.seg_server, definition_list_t::traffic_lights);
    for (int n = 0; n < 4; ++n) {
        combo_fill(1022 + n, lights);
        combo_select_by_data(1022 + n, edge().sides[0].*light_words[n]);
    }
    set_check(1130, edge().sides[0].strip_width != 0);
    const prefab_t* prefab = ctrl_.get_prefab_def(edge(), nullptr);
    const size_t nodes = prefab ? prefab->nodes.size() : 4;
    enable_item(1025, nodes >= 4);
    enable_item(1024, nodes >= 3);
}

bool cross_edge_dialog_t::on_apply()
{
    prefab_model_dialog_t::on_apply();
    for (int n = 0; n < 4; ++n)
        combo_get_selected(1022 + n, edge().sides[0].*light_words[n]);
    edge().sides[0].strip_width = get_check(1130) ? 1 : 0;
    return true;
}

void cross_edge_dialog_t::on_edit_button(const uint32_t id)
{
    if (id == 1050)
        create_prop_dialog(record_, ctrl_, prop_type_signs, 0);
}

void prefab_edge_dialog_t::on_init()
{
    prefab_model_dialog_t::on_init();
    fill_origins();
    combo_select_by_data(1022, edge().centre_word);
    static constexpr const char* angles[orientations] = {"0", "90", "180", "270"};
    for (int32_t o = 0; o < orientations; ++o)
        combo_add(1023, angles[o], o);
    combo_select_by_data(1023, static_cast<int32_t>(edge().flags & 3u));
}

void prefab_edge_dialog_t::fill_origins()
{
    combo_reset(1022);
    int32_t chosen = -1;
    combo_get_selected(1020, chosen);
    const std::vector<prefab_t>* table = prefab_table(ctrl_.seg_server, edge().kind);
    if (!table || chosen < 0 || chosen >= static_cast<int32_t>(table->size()))
        return;
    const size_t nodes = (*table)[static_cast<size_t>(chosen)].nodes.size();
    for (size_t n = 0; n < nodes; ++n)
        combo_add(1022, std::to_string(n).c_str(), static_cast<int32_t>(n));
}

void prefab_edge_dialog_t::on_select_end(const uint32_t id)
{
    if (id != 1020)
        return;
    fill_origins();
    combo_select_by_data(1022, 0);
}

bool prefab_edge_dialog_t::on_apply()
{
    prefab_model_dialog_t::on_apply();
    combo_get_selected(1022, edge().centre_word);
    int32_t orientation = static_cast<int32_t>(edge().flags & 3u);
    combo_get_selected(1023, orientation);
    edge().flags = (edge().flags & ~3u) | (static_cast<uint32_t>(orientation) & 3u);
    return true;
}
