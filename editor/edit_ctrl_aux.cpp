#include <cmath>
#include <cstring>
#include <vector>

#include "engine/geometry.h"
#include "editor/edit_ctrl.h"

namespace {

constexpr float far_point = 6.6666668e7f;
constexpr float node_bounds_margin = 500.0f;

}  // namespace

int32_t edit_ctrl_e::create_aux_edge(const int32_t from, const int32_t to)
{
    if (from == to || !aux_nodes.valid(from) || !aux_nodes.valid(to))
        return -1;
    const int32_t index = add_aux_edge();
    if (index < 0)
        return -1;
    map_aux_edge_t& edge = aux_edges[index];
    edge = defaults.aux_edge;
    edge.nodes[0] = from;
    edge.nodes[1] = to;
    edge.segment_slot = -1;
    aux_nodes[from].flags |= 1u;
    aux_nodes[from].links[1] = index;
    aux_nodes[to].links[0] = index;
    update_aux_chain(from);
    build_item_tree();
    return index;
}

void edit_ctrl_e::rebuild_aux_edge(const int32_t edge_index)
{
    if (!aux_edges.valid(edge_index))
        return;
    map_aux_edge_t& edge = aux_edges[edge_index];
    if (!aux_nodes.valid(edge.nodes[0]) || !aux_nodes.valid(edge.nodes[1]))
        return;
    map_node_t start{}, end{};
    start.position = aux_nodes[edge.nodes[0]].position;
    start.direction = aux_nodes[edge.nodes[0]].vector;
    end.position = aux_nodes[edge.nodes[1]].position;
    edge.length = compute_curve_length(start, end);
    edge.bounds.set_empty();
    aux_segment_t* const held = aux_segment_slot(edge.segment_slot);
    aux_segment_t& slot = held ? *held : own_aux_segment_;
    if (slot.build(*this, edge))
        slot.update_bounds(edge.bounds);
    if (!held)
        own_aux_segment_.release(*this);
    if (edge.bounds.minimum[0] > edge.bounds.maximum[0]) {
        for (const vec3_t& p : {start.position, end.position})
            edge.bounds.add_point(p.x, p.y, p.z);
        edge.bounds.widen(node_bounds_margin);
    }
}

void edit_ctrl_e::update_aux_chain(const int32_t node)
{
    if (!aux_nodes.valid(node))
        return;
    // The node and its neighbours point along the chain; their edges are built again.
    std::vector<int32_t> touched{node};
    for (const int32_t link : aux_nodes[node].links)
        if (aux_edges.valid(link))
            for (const int32_t n : aux_edges[link].nodes)
                if (aux_nodes.valid(n) && n != node)
                    touched.push_back(n);
    for (const int32_t n : touched) {
        vec3_t sum{};
        for (const int32_t link : aux_nodes[n].links)
            if (aux_edges.valid(link) && aux_nodes.valid(aux_edges[link].nodes[0]) &&
                aux_nodes.valid(aux_edges[link].nodes[1])) {
                const vec3_t d =
                    aux_nodes[aux_edges[link].nodes[1]].position - aux_nodes[aux_edges[link].nodes[0]].position;
                const float length = d.length();
                if (length > 0.0f)
                    sum += d / length;
            }
        const float length = sum.length();
        aux_nodes[n].vector = length > 0.0f ? sum / length : sum;
    }
    for (const int32_t n : touched)
        for (const int32_t link : aux_nodes[n].links)
            rebuild_aux_edge(link);
}

float edit_ctrl_e::raise_aux_node(const int32_t node, const float dy)
{
    if (!aux_nodes.valid(node))
        return 0.0f;
    aux_nodes[node].position.y += dy;
    update_aux_chain(node);
    aux_node_height = static_cast<int32_t>(std::lround(aux_nodes[node].position.y));
    return aux_nodes[node].position.y;
}

void edit_ctrl_e::split_aux_node()
{
    const int32_t held = pointer.held;
    if (!aux_nodes.valid(held) || aux_nodes[held].links[1] == -1)
        return;
    const int32_t forward = aux_nodes[held].links[1];
    const int32_t added = add_aux_node(vec3_t(far_point, far_point, far_point));
    if (added < 0)
        return;
    aux_nodes[added] = aux_nodes[held];
    for (int32_t& n : aux_edges[forward].nodes)
        if (n == held)
            n = added;
    aux_nodes[held].links[1] = -1;
    aux_nodes[held].flags &= ~1u;
    aux_nodes[added].links[0] = -1;
    pointer.held = added;
    pointer.picked_item = added;
    pointer.picked_type = edit_pick_aux_node;
}

void edit_ctrl_e::remove_aux_edge(const int32_t edge_index)
{
    if (!aux_edges.valid(edge_index))
        return;
    if (aux_segment_t* const slot = aux_segment_slot(aux_edges[edge_index].segment_slot))
        slot->release(*this);
    if (aux_nodes.valid(aux_edges[edge_index].nodes[0]))
        aux_nodes[aux_edges[edge_index].nodes[0]].flags &= ~1u;
    std::vector<int32_t> orphans;
    for (int32_t n = 0; n < aux_nodes.count; ++n) {
        map_aux_node_t& node = aux_nodes[n];
        for (int32_t& link : node.links)
            if (link == edge_index)
                link = -1;
        if ((aux_edges[edge_index].nodes[0] == n || aux_edges[edge_index].nodes[1] == n) && node.links[0] == -1 &&
            node.links[1] == -1)
            orphans.push_back(n);
        for (int32_t& link : node.links)
            if (link > edge_index)
                --link;
    }
    std::memmove(static_cast<void*>(&aux_edges[edge_index]), &aux_edges[edge_index + 1],
                 sizeof(map_aux_edge_t) * (aux_edges.count - edge_index - 1));
    --aux_edges.count;
    for (int32_t s = 0; s < aux_segment_slot_count; ++s)
        if (aux_segment_t* slot = aux_segment_slot(s); slot && slot->aux_edge > edge_index)
            --slot->aux_edge;
    for (auto orphan = orphans.rbegin(); orphan != orphans.rend(); ++orphan)
        delete_aux_node(*orphan);
    build_item_tree();
}

void edit_ctrl_e::delete_aux_node(const int32_t node)
{
    if (!aux_nodes.valid(node))
        return;
    std::memmove(static_cast<void*>(&aux_nodes[node]), &aux_nodes[node + 1],
                 sizeof(map_aux_node_t) * (aux_nodes.count - node - 1));
    --aux_nodes.count;
    for (map_aux_edge_t& edge : aux_edges)
        for (int32_t& n : edge.nodes)
            if (n == node)
                n = -1;
            else if (n > node)
                --n;
    renumber_held_aux_nodes(node);
}

void edit_ctrl_e::renumber_held_aux_nodes(const int32_t removed)
{
    const auto lower = [removed](int32_t& index) {
        if (index == removed)
            index = -1;
        else if (index > removed)
            --index;
    };
    const bool aux_pick = pointer.picked_type == edit_pick_aux_node;
    if (aux_pick)
        lower(pointer.picked_item);
    if (aux_pick || (mode == edit_mode_new_item && sub_mode == edit_sub_aux_item))
        lower(pointer.held);
    if (height_target.kind == edit_pick_aux_node)
        lower(height_target.index);
}
