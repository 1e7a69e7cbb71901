#include <cstring>
#include <vector>

#include "engine/geometry.h"
#include "road/prefab.h"
#include "common/engine_api.h"
#include "editor/edit_ctrl.h"

namespace {

// Steps of the curve length: 300 chords.
constexpr int curve_steps = 300;
// Widening of bounds taken from an edge's nodes when its build gave none (half a road and its verges).
constexpr float node_bounds_margin = 1500.0f;

bool road_kind(const int32_t kind) { return kind == map_edge_city_road || kind == map_edge_road; }

vec3_t normalised_or_zero(const vec3_t& v)
{
    const float length = v.length();
    return length > 0.0f ? v / length : v;
}

// Moves a node's forward link to its backward side and turns the node round.
void forward_to_backward(map_node_t& node)
{
    node.links[0] = node.links[1];
    node.link_kinds[0] = node.link_kinds[1];
    node.links[1] = -1;
    node.link_kinds[1] = map_edge_road;
    node.direction = -node.direction;
}

void backward_to_forward(map_node_t& node)
{
    node.links[1] = node.links[0];
    node.link_kinds[1] = node.link_kinds[0];
    node.links[0] = -1;
    node.link_kinds[0] = map_edge_road;
    node.direction = -node.direction;
}

}  // namespace

bool edit_ctrl_e::can_begin_edge(const int32_t node)
{
    const map_node_t& record = nodes[node];
    const bool both = record.links[0] != -1 && record.links[1] != -1;
    if (both || (record.flags & 1u) || (record.links[1] != -1 && !map_edge_kind_is_prefab(record.link_kinds[1]))) {
        api::verbose("Edge cannot begin at this node.");
        return false;
    }
    return true;
}

bool edit_ctrl_e::can_end_edge(const int32_t node)
{
    const map_node_t& record = nodes[node];
    // A road already ends here (its backward side is taken by a road).
    if (record.links[0] != -1 && road_kind(record.link_kinds[0])) {
        api::verbose("Edge cannot end at this node.");
        return false;
    }
    if (record.links[0] != -1 && record.links[1] != -1) {
        api::verbose("Edge cannot end at this node.");
        return false;
    }
    return true;
}

bool edit_ctrl_e::can_begin_aux_edge(const int32_t node)
{
    const map_aux_node_t& record = aux_nodes[node];
    if ((record.links[0] != -1 && record.links[1] != -1) || record.links[1] != -1 || (record.flags & 1u)) {
        api::verbose("Edge cannot begin at this node.");
        return false;
    }
    return true;
}

bool edit_ctrl_e::can_end_aux_edge(const int32_t node)
{
    if (aux_nodes[node].links[0] != -1) {
        api::verbose("Edge cannot end at this node.");
        return false;
    }
    return true;
}

map_edge_t* edit_ctrl_e::get_default_edge(const map_edge_t* edge)
{
    return defaults.edge_for_kind(edge ? edge->kind : sub_mode);
}

float edit_ctrl_e::compute_curve_length(const map_node_t& start, const map_node_t& end) const
{
    float length = 1.0f;
    vec3_t previous = start.position;
    for (int i = 1; i <= curve_steps; ++i) {
        vec3_t point;
        smooth_curve(start.position, start.direction, end.position, start.direction,
                     static_cast<float>(i) * 0.0033333334f, point, nullptr);
        length += (point - previous).length();
        previous = point;
    }
    return length;
}

void edit_ctrl_e::apply_edge_defaults(map_edge_t& edge, const map_edge_t& source)
{
    edge.kind_words[0] = source.kind_words[0];
    edge.kind_words[1] = source.kind_words[1];
    edge.definition = source.definition;
    edge.road_type = source.road_type;
    edge.sides[0] = source.sides[0];
    edge.sides[1] = source.sides[1];
    edge.flags = source.flags;
    edge.centre_word = source.centre_word;
    edge.traffic_road = source.traffic_road;
    edge.sign = -1;
    edge.semaphore = -1;
    edge.stamp = -1;
    // A new City Road has no city blocks yet.
    if (edge.kind == map_edge_city_road)
        edge.sides[0].profile = edge.sides[1].profile = -1;
    if (defaults.has_stamps()) {
        const int32_t group = add_stamp_group();
        if (group >= 0) {
            for (int32_t i = 0; i < edit_stamp_group_size; ++i)
                stamps[group + i] = defaults.stamps[i];
            edge.stamp = group;
        }
    }
}

void edit_ctrl_e::build_bounds(map_edge_t& edge)
{
    edge.bounds.set_empty();
    // The editor's own slot builds an edge that has none: without lamps or vegetation.
    const int32_t vegetation[2] = {edge.sides[0].vegetation, edge.sides[1].vegetation};
    if (edge.kind == map_edge_road)
        edge.sides[0].vegetation = edge.sides[1].vegetation = -1;
    if (own_segment_.build(*this, edge, true))
        for (int32_t p = 0; p < own_segment_.piece_count; ++p)
            edge.bounds.add_bounds(own_segment_.piece_at(p).bounds);
    edge.sides[0].vegetation = vegetation[0];
    edge.sides[1].vegetation = vegetation[1];
    own_segment_.release(*this);
    if (edge.bounds.minimum[0] > edge.bounds.maximum[0]) {
        // Nothing was built (no definition): the nodes still give the edge a place in the item tree.
        for (const int32_t n : edge.nodes)
            if (nodes.valid(n))
                edge.bounds.add_point(nodes[n].position.x, nodes[n].position.y, nodes[n].position.z);
        edge.bounds.widen(node_bounds_margin);
    }
}

void edit_ctrl_e::link_edge(const int32_t edge_index, const int32_t given_node)
{
    map_edge_t& edge = edges[edge_index];
    if (road_kind(edge.kind)) {
        map_node_t& start = nodes[edge.nodes[0]];
        map_node_t& end = nodes[edge.nodes[1]];
        start.flags |= 1u;
        const vec3_t u = normalised_or_zero(end.position - start.position);
        for (map_node_t* node : {&start, &end})
            if (node->link_kinds[0] <= map_edge_road && node->link_kinds[1] <= map_edge_road)
                node->direction = normalised_or_zero(node->direction + u);
        if (start.links[1] != -1 && map_edge_kind_is_prefab(start.link_kinds[1]))
            forward_to_backward(start);
        start.links[1] = edge_index;
        start.link_kinds[1] = edge.kind;
        if (end.links[0] != -1 && map_edge_kind_is_prefab(end.link_kinds[0]))
            backward_to_forward(end);
        end.links[0] = edge_index;
        end.link_kinds[0] = edge.kind;
        return;
    }
    for (const int32_t n : edge.nodes) {
        if (!nodes.valid(n) || (given_node != -1 && n != given_node))
            continue;
        map_node_t& node = nodes[n];
        if (node.links[0] == edge_index || node.links[1] == edge_index)
            continue;
        if (given_node != -1 && (node.flags & 1u)) {
            node.links[0] = edge_index;
            node.link_kinds[0] = edge.kind;
            continue;
        }
        if (node.links[1] != -1 && map_edge_kind_is_prefab(node.link_kinds[1]))
            forward_to_backward(node);
        if (node.links[1] == -1) {
            node.links[1] = edge_index;
            node.link_kinds[1] = edge.kind;
        } else {
            node.links[0] = edge_index;
            node.link_kinds[0] = edge.kind;
        }
    }
}

int32_t edit_ctrl_e::create_edge(const int32_t from, const int32_t to)
{
    const map_edge_t* const source = get_default_edge(nullptr);
    if (!source || from == to || !nodes.valid(from) || (to != -1 && !nodes.valid(to)))
        return -1;
    const map_edge_t defaults_copy = *source;
    int32_t list[4] = {from, to, -1, -1};
    if (map_edge_kind_is_prefab(defaults_copy.kind))
        place_prefab(from, list, -1);
    const int32_t index = add_edge();
    if (index < 0)
        return -1;
    map_edge_t& edge = edges[index];
    edge.kind = defaults_copy.kind;
    for (int i = 0; i < 4; ++i)
        edge.nodes[i] = list[i];
    edge.segment_slot = -1;
    edge.bounds.set_empty();
    apply_edge_defaults(edge, defaults_copy);
    edge.noise_row = 0;
    link_edge(index, -1);
    // Where the new edge meets a junction's arm with a road, the road leaves the arm straight.
    for (const int32_t n : edges[index].nodes)
        if (nodes.valid(n) && edges.valid(nodes[n].links[0]) && edges.valid(nodes[n].links[1]) &&
            road_kind(nodes[n].link_kinds[0]) != road_kind(nodes[n].link_kinds[1]))
            align_to_prefab(n);
    map_edge_t& linked = edges[index];
    if (linked.kind == map_edge_road)
        linked.length = compute_curve_length(nodes[linked.nodes[0]], nodes[linked.nodes[1]]);
    else if (nodes.valid(linked.nodes[0]) && nodes.valid(linked.nodes[1]))
        linked.length = (nodes[linked.nodes[1]].position - nodes[linked.nodes[0]].position).length();
    build_bounds(linked);
    update_roads_at_node(from);
    build_item_tree();
    return index;
}

void edit_ctrl_e::rebuild_edge(const int32_t edge_index)
{
    if (!edges.valid(edge_index))
        return;
    map_edge_t& edge = edges[edge_index];
    if (!nodes.valid(edge.nodes[0]) || !nodes.valid(edge.nodes[1])) {
        build_bounds(edge);
        return;
    }
    const map_node_t& start = nodes[edge.nodes[0]];
    const map_node_t& end = nodes[edge.nodes[1]];
    edge.length =
        edge.kind == map_edge_road ? compute_curve_length(start, end) : (end.position - start.position).length();
    // A City Road's blocks follow its new line.
    if (edge.kind == map_edge_city_road)
        for (int32_t side = 0; side < 2; ++side)
            if (cityblocks.valid(edges[edge_index].sides[side].profile))
                build_city_block(edge_index, side);
    segment_t* const slot = segment_slot(edge.segment_slot);
    if (!slot) {
        build_bounds(edge);
        return;
    }
    if (!slot->build(*this, edge, false)) {
        slot->release(*this);
        edge.segment_slot = -1;
        build_bounds(edge);
        return;
    }
    edge.bounds.set_empty();
    for (int32_t p = 0; p < slot->piece_count; ++p)
        edge.bounds.add_bounds(slot->piece_at(p).bounds);
}

void edit_ctrl_e::remove_edge(const int32_t edge_index)
{
    if (!edges.valid(edge_index))
        return;
    remove_edge_signs(edge_index);
    const int32_t first_stamp = edges[edge_index].stamp;
    if (stamps.valid(first_stamp) && first_stamp + edit_stamp_group_size <= stamps.count) {
        const int32_t after = stamps.count - first_stamp - edit_stamp_group_size;
        std::memmove(static_cast<void*>(&stamps[first_stamp]), &stamps[first_stamp + edit_stamp_group_size],
                     sizeof(map_stamp_t) * after);
        stamps.count -= edit_stamp_group_size;
        for (map_edge_t& edge : edges)
            if (edge.stamp > first_stamp)
                edge.stamp -= edit_stamp_group_size;
    }
    if (segment_t* const slot = segment_slot(edges[edge_index].segment_slot)) {
        slot->release(*this);
        edges[edge_index].segment_slot = -1;
    }
    if (nodes.valid(edges[edge_index].nodes[0]))
        nodes[edges[edge_index].nodes[0]].flags &= ~1u;
    std::vector<int32_t> orphans;
    for (int32_t n = 0; n < nodes.count; ++n) {
        map_node_t& node = nodes[n];
        if (node.links[1] == edge_index) {
            if (node.links[0] == -1) {
                orphans.push_back(n);
            } else if (map_edge_kind_is_prefab(node.link_kinds[0])) {
                backward_to_forward(node);
                node.links[0] = -1;
                node.link_kinds[0] = map_edge_road;
            } else {
                node.links[1] = -1;
                node.link_kinds[1] = map_edge_road;
            }
        }
        if (node.links[0] == edge_index) {
            node.links[0] = -1;
            node.link_kinds[0] = map_edge_road;
            if (node.links[1] == -1)
                orphans.push_back(n);
        }
        for (int32_t& link : node.links)
            if (link > edge_index)
                --link;
    }
    std::memmove(static_cast<void*>(&edges[edge_index]), &edges[edge_index + 1],
                 sizeof(map_edge_t) * (edges.count - edge_index - 1));
    --edges.count;
    for (int32_t s = 0; s < segment_slot_count; ++s)
        if (segment_t* slot = segment_slot(s); slot && slot->edge_index > edge_index)
            --slot->edge_index;
    for (map_sign_t& sign : signs)
        if (sign.edge > edge_index)
            --sign.edge;
    // Highest first, so that the lower numbers stay right.
    for (auto orphan = orphans.rbegin(); orphan != orphans.rend(); ++orphan)
        delete_node(*orphan);
    build_item_tree();
}

void edit_ctrl_e::delete_node(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    std::memmove(static_cast<void*>(&nodes[node]), &nodes[node + 1], sizeof(map_node_t) * (nodes.count - node - 1));
    --nodes.count;
    for (map_edge_t& edge : edges)
        for (int32_t& n : edge.nodes)
            if (n == node)
                n = -1;
            else if (n > node)
                --n;
    renumber_held_nodes(node);
}

void edit_ctrl_e::renumber_held_nodes(const int32_t removed)
{
    const auto lower = [removed](int32_t& index) {
        if (index == removed)
            index = -1;
        else if (index > removed)
            --index;
    };
    const bool node_pick = pointer.picked_type == edit_pick_node;
    if (node_pick)
        lower(pointer.picked_item);
    // The held index names a node in the modes that hold nodes.
    if (node_pick || (mode == edit_mode_new_item && sub_mode <= edit_sub_prefab))
        lower(pointer.held);
    if (height_target.kind == edit_pick_node)
        lower(height_target.index);
    if (pointer.held == -1)
        pointer.create_state = 0;
}
