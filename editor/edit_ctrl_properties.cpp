#include <cmath>

#include "editor/dialogs/create_prop_dialog.h"
#include "editor/dialogs/stamp_dialogs.h"
#include "editor/edit_ctrl.h"

namespace {

// A height change from a dialog this large becomes the height of the next node made.
constexpr float remembered_height_change = 0.1f;

bool road_kind(const int32_t kind) { return kind == map_edge_city_road || kind == map_edge_road; }

}  // namespace

void edit_ctrl_e::node_properties(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    const float old_height = nodes[node].position.y;
    const int32_t old_name = nodes[node].road_name;
    if (create_prop_dialog(&nodes[node], *this, prop_type_node, 0) < 1)
        return;
    update_prefabs_at_node(node);
    update_roads_at_node(node);
    build_item_tree();
    if (nodes[node].road_name != old_name)
        spread_node_value(node);
    const float height = nodes[node].position.y;
    if (std::fabs(height - old_height) >= remembered_height_change)
        node_height = static_cast<int32_t>(std::lround(height));
    modified = true;
}

void edit_ctrl_e::aux_node_properties(const int32_t node)
{
    if (!aux_nodes.valid(node))
        return;
    const float old_height = aux_nodes[node].position.y;
    if (create_prop_dialog(&aux_nodes[node], *this, prop_type_node, 0) < 1)
        return;
    update_aux_chain(node);
    build_item_tree();
    const float height = aux_nodes[node].position.y;
    if (std::fabs(height - old_height) >= remembered_height_change)
        aux_node_height = static_cast<int32_t>(std::lround(height));
    modified = true;
}

void edit_ctrl_e::edge_properties(const int32_t edge)
{
    if (!edges.valid(edge))
        return;
    const int result = create_prop_dialog(&edges[edge], *this, prop_type_edge, 0);
    if (result < 1)
        return;
    map_edge_t& record = edges[edge];
    if (map_edge_kind_is_prefab(record.kind) && nodes.valid(record.nodes[0])) {
        int32_t placed[4];
        place_prefab(record.nodes[0], placed, edge);
        update_prefabs_at_node(record.nodes[0]);
    }
    rebuild_edge(edge);
    if (road_kind(record.kind))
        rebuild_road_slots();
    modified = true;
    if (result != 2)
        return;
    if (map_edge_t* fallback = get_default_edge(&record)) {
        *fallback = record;
        for (int32_t& slot : fallback->nodes)
            slot = -1;
        fallback->segment_slot = -1;
        fallback->sign = fallback->semaphore = fallback->stamp = -1;
        // A City Road's blocks are its own: the roads made from the default start without any.
        if (record.kind == map_edge_city_road)
            fallback->sides[0].profile = fallback->sides[1].profile = -1;
        for (int32_t s = 0; s < edit_stamp_group_size; ++s)
            defaults.stamps[s] = record.stamp >= 0 && record.stamp + s < stamps.count ? stamps[record.stamp + s]
                                                                                      : map_stamp_t{-1, -1, 0, 0};
    }
}

void edit_ctrl_e::sign_properties(const int32_t sign)
{
    if (!signs.valid(sign) || !edges.valid(signs[sign].edge))
        return;
    const int32_t edge = signs[sign].edge;
    if (create_prop_dialog(&edges[edge], *this, prop_type_signs, static_cast<uint32_t>(sign) + 1) < 1)
        return;
    rebuild_edge(edge);
    if (road_kind(edges[edge].kind))
        rebuild_road_slots();
    modified = true;
    pointer.picked_item = -1;
}

void edit_ctrl_e::aux_edge_properties(const int32_t edge)
{
    if (!aux_edges.valid(edge))
        return;
    const int result = create_prop_dialog(&aux_edges[edge], *this, prop_type_aux_edge, 0);
    if (result < 1)
        return;
    rebuild_aux_edge(edge);
    rebuild_road_slots();
    modified = true;
    if (result == 2) {
        defaults.aux_edge = aux_edges[edge];
        defaults.aux_edge.nodes[0] = defaults.aux_edge.nodes[1] = -1;
    }
}

void edit_ctrl_e::select_stamp()
{
    stamp_choice_t choice{stamp_definition, stamp_shader};
    create_prop_dialog(&choice, *this, prop_type_select_stamp, 0);
    stamp_definition = choice.definition;
    stamp_shader = choice.shader;
}

void edit_ctrl_e::rebuild_road_slots()
{
    // The rebuild is for a map that is being changed; it says nothing about the map being saved, so
    // the modified flag is left as it is.
    if (!modified)
        return;
    for (int32_t e = 0; e < edges.count; ++e)
        if (edges[e].segment_slot != -1 && road_kind(edges[e].kind))
            rebuild_edge(e);
}
