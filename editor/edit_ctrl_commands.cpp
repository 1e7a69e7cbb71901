#include <cstdio>

#include "common/engine_api.h"
#include "editor/dialogs/create_prop_dialog.h"
#include "editor/edit_ctrl.h"
#include "editor/editor_camera.h"
#include "editor/map_file_dialog.h"
#include "editor/ui_handler_editor_hud.h"

namespace {

// The names of the edge kinds 0 to 4.
constexpr const char* edge_kind_names[] = {"City Road", "Road", "Fork", "Cross", "Prefab"};
// Squared horizontal distance under which a road's start node ends the search for the ground height.
constexpr float near_enough_sq = 4.0e6f;
// How far above a road's start node the ground is taken.
constexpr float ground_above_road = 200.0f;

// The prefab table the default edge of `sub_mode` takes its definition from, -1 for other sub-modes.
int32_t prefab_table_of(const int32_t sub_mode)
{
    switch (sub_mode) {
    case edit_sub_fork:
        return seg_forks;
    case edit_sub_cross:
        return seg_crosses;
    case edit_sub_prefab:
        return seg_prefabs;
    default:
        return -1;
    }
}

}  // namespace

namespace {

// The modal property dialogs the editor shows.
int32_t run_prop_dialog(edit_ctrl_e& ctrl, void* record, const int32_t type, const uint32_t extra)
{
    return create_prop_dialog(record, ctrl, type, extra);
}

}  // namespace

prop_dialog_runner_t edit_ctrl_e::prop_dialog_runner = run_prop_dialog;

int32_t edit_ctrl_e::open_prop_dialog(void* record, const int32_t type, const uint32_t extra)
{
    if (!prop_dialog_runner) {
        api::warning("<edit_ctrl_e> no property dialog can be shown (type %d)", type);
        return -1;
    }
    return prop_dialog_runner(*this, record, type, extra);
}

void edit_ctrl_e::edit_properties()
{
    if (map_edge_t* const edge = get_default_edge(nullptr))
        open_prop_dialog(edge, edit_dialog_edge_defaults, 0);
}

void edit_ctrl_e::find_edge()
{
    int32_t index = 0;
    if (open_prop_dialog(&index, edit_dialog_find_edge, 0) != 1 || !edges.valid(index))
        return;
    const int32_t start = edges[index].nodes[0];
    editor_camera_e* const camera = current_camera();
    if (nodes.valid(start) && camera)
        camera->set_position(nodes[start].position);
}

namespace {

// Steps the definition of the default edge of the current junction sub-mode by `step` (+1 or -1),
// wrapping round the definitions of its kind; nothing when there are none.
void cycle_look(edit_ctrl_e& ctrl, const int32_t step)
{
    const int32_t table = prefab_table_of(ctrl.sub_mode);
    if (ctrl.mode != edit_mode_new_item || table < 0 || !ctrl.seg_server)
        return;
    const auto count = static_cast<int32_t>(ctrl.seg_server->prefab_table[table].size());
    map_edge_t* const edge = ctrl.get_default_edge(nullptr);
    if (!edge || count < 1)
        return;
    // A definition left from another data set is taken as the first.
    const int32_t current = edge->definition >= 0 && edge->definition < count ? edge->definition : 0;
    edge->definition = (current + step + count) % count;
}

}  // namespace

void edit_ctrl_e::cycle_look_down() { cycle_look(*this, 1); }

void edit_ctrl_e::cycle_look_up() { cycle_look(*this, -1); }

void edit_ctrl_e::update_hover_text()
{
    if (hover_text_shown) {
        if (pointer.picked_type == edit_pick_none) {
            quick_help(" ");
            hover_text_shown = false;
        }
        return;
    }
    if (pointer.picked_type != edit_pick_node || !nodes.valid(pointer.picked_item))
        return;
    const int32_t edge = nodes[pointer.picked_item].links[1];
    if (!edges.valid(edge))
        return;
    const map_edge_t& record = edges[edge];
    const bool named = record.kind >= 0 && record.kind < static_cast<int32_t>(std::size(edge_kind_names));
    char text[96];
    std::snprintf(text, sizeof text, "%s:%d, len:%.2fm", named ? edge_kind_names[record.kind] : "?", edge,
                  static_cast<double>(record.length) * 0.01);
    quick_help(text);
    hover_text_shown = true;
}

void edit_ctrl_e::import_map(const vec3_t& point)
{
    char name[256];
    if (!map_file_dialog(name, sizeof name, true, true))
        return;
    char path[300];
    std::snprintf(path, sizeof path, "prefabs/%s", name);
    // A file the reader refused was reported there and changed nothing: no success to log.
    if (load_map(path, &point) < 1) {
        api::error("map %s was not imported", name);
        return;
    }
    build_item_tree();
    api::message("map %s was imported with <%g %g %g> offset", name, static_cast<double>(point.x),
                 static_cast<double>(point.y), static_cast<double>(point.z));
}

float edit_ctrl_e::height_near(const float x, const float z) const
{
    float best = -1.0f;
    float height = 0.0f;
    for (int32_t s = 0; s < segment_slot_count; ++s) {
        const segment_t* const slot = const_cast<edit_ctrl_e*>(this)->segment_slot(s);
        if (!slot || !edges.valid(slot->edge_index) || !nodes.valid(edges[slot->edge_index].nodes[0]))
            continue;
        const vec3_t& at = nodes[edges[slot->edge_index].nodes[0]].position;
        const float dx = at.x - x;
        const float dz = at.z - z;
        const float distance = dx * dx + dz * dz;
        if (best >= 0.0f && distance >= best)
            continue;
        best = distance;
        height = at.y + ground_above_road;
        if (distance < near_enough_sq)
            break;
    }
    return height;
}
