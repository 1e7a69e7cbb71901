#include <cmath>
#include <vector>

#include "engine/geometry.h"
#include "road/prefab.h"
#include "road/road_def.h"
#include "editor/edit_ctrl.h"

namespace {

// Where split_node parks its new node first: no node can be found within 0.1 of it.
constexpr float far_point = 6.6666668e7f;
// Depth of the walk that marks the edges around a changed node.
constexpr int update_depth = 3;
// The noise rows a Road chain is numbered up to.
constexpr int32_t noise_row_limit = 4096;
// Directions of a new prefab's nodes in prefab order, before its quarter turns.
const vec3_t prefab_directions[4] = {{1.0f, 0.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}, {0.0f, 0.0f, 1.0f}};

bool road_kind(const int32_t kind) { return kind == map_edge_city_road || kind == map_edge_road; }

vec3_t normalised_or_zero(const vec3_t& v)
{
    const float length = v.length();
    return length > 0.0f ? v / length : v;
}

}  // namespace

int32_t edit_ctrl_e::find_node_at(const vec3_t& point, const int32_t except) const
{
    for (int32_t n = 0; n < nodes.count; ++n)
        if (n != except && xz_distance_squared(nodes[n].position, point) < map_node_merge_distance_sq)
            return n;
    return -1;
}

int32_t edit_ctrl_e::edge_starting_at(const int32_t node) const
{
    for (int32_t e = 0; e < edges.count; ++e)
        if (edges[e].nodes[0] == node)
            return e;
    return -1;
}

int32_t edit_ctrl_e::aux_edge_starting_at(const int32_t node) const
{
    for (int32_t e = 0; e < aux_edges.count; ++e)
        if (aux_edges[e].nodes[0] == node)
            return e;
    return -1;
}

vec3_t edit_ctrl_e::prefab_node_direction(const map_edge_t& edge, const int32_t slot)
{
    const prefab_t* const prefab = get_prefab_def(const_cast<map_edge_t&>(edge), nullptr);
    const auto n = prefab ? static_cast<int32_t>(prefab->nodes.size()) : 0;
    if (n == 0)
        return vec3_t(1.0f, 0.0f, 0.0f);
    const int32_t origin = edge.centre_word >= 0 && edge.centre_word < n ? edge.centre_word : 0;
    const vec3_t p = prefab_turn(prefab->nodes[static_cast<size_t>((origin + slot) % n)].position, edge.flags & 3u);
    if (std::fabs(p.x) <= std::fabs(p.z))
        return p.z >= 0.0f ? vec3_t(0.0f, 0.0f, -1.0f) : vec3_t(0.0f, 0.0f, 1.0f);
    return p.x >= 0.0f ? vec3_t(-1.0f, 0.0f, 0.0f) : vec3_t(1.0f, 0.0f, 0.0f);
}

void edit_ctrl_e::align_to_prefab(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    map_node_t& record = nodes[node];
    for (int32_t at = 0; at < 2; ++at) {
        const int32_t link = record.links[at];
        if (!edges.valid(link) || !map_edge_kind_is_prefab(edges[link].kind))
            continue;
        int32_t slot = 0;
        while (slot < 4 && edges[link].nodes[slot] != node)
            ++slot;
        record.direction = prefab_node_direction(edges[link], slot < 4 ? slot : 0);
        if (at == 0)
            record.direction = -record.direction;
        return;
    }
}

void edit_ctrl_e::place_prefab(const int32_t origin, int32_t (&list)[4], const int32_t edge_index)
{
    map_edge_t* const edge = edge_index == -1 ? get_default_edge(nullptr) : &edges[edge_index];
    if (!edge || !nodes.valid(origin))
        return;
    nodes[origin].flags |= 1u;
    const prefab_t* const prefab = get_prefab_def(*edge, nullptr);
    const int32_t n = prefab ? std::min(static_cast<int32_t>(prefab->nodes.size()), 4) : 0;
    list[0] = origin;
    if (n == 0)
        return;
    const int32_t o = edge->centre_word >= 0 && edge->centre_word < n ? edge->centre_word : 0;
    const uint32_t q = edge->flags & 3u;
    const vec3_t anchor = prefab_turn(prefab->nodes[static_cast<size_t>(o)].position, q);
    const vec3_t origin_position = nodes[origin].position;
    for (int32_t i = 1; i < n; ++i) {
        const int32_t k = (o + i) % n;
        const vec3_t position =
            origin_position + prefab_turn(prefab->nodes[static_cast<size_t>(k)].position, q) - anchor;
        if (edge_index == -1) {
            list[i] = add_node(position);
        } else if (nodes.valid(edge->nodes[i])) {
            nodes[edge->nodes[i]].position = position;
            list[i] = edge->nodes[i];
        }
    }
    if (edge_index == -1)
        for (int32_t i = 0; i < n; ++i)
            if (nodes.valid(list[i]))
                nodes[list[i]].direction = prefab_turn(prefab_directions[(o + i) % n], q);
}

// The nodes of the prefab edges around `node`, found by following prefab edges from node to node.
static std::vector<int32_t> prefab_group(const edit_ctrl_e& ctrl, const int32_t node)
{
    std::vector<int32_t> group{node};
    std::vector<bool> seen(static_cast<size_t>(ctrl.nodes.count), false);
    seen[static_cast<size_t>(node)] = true;
    for (size_t at = 0; at < group.size(); ++at)
        for (const int32_t link : ctrl.nodes[group[at]].links) {
            if (!ctrl.edges.valid(link) || !map_edge_kind_is_prefab(ctrl.edges[link].kind))
                continue;
            for (const int32_t n : ctrl.edges[link].nodes)
                if (ctrl.nodes.valid(n) && !seen[static_cast<size_t>(n)]) {
                    seen[static_cast<size_t>(n)] = true;
                    group.push_back(n);
                }
        }
    return group;
}

void edit_ctrl_e::move_node(const int32_t node, const vec3_t& point)
{
    if (!nodes.valid(node))
        return;
    const vec3_t delta(point.x - nodes[node].position.x, 0.0f, point.z - nodes[node].position.z);
    for (const int32_t n : prefab_group(*this, node))
        nodes[n].position += delta;
    update_prefabs_at_node(node);
    update_roads_at_node(node);
}

float edit_ctrl_e::raise_node(const int32_t node, const float dy)
{
    if (!nodes.valid(node))
        return 0.0f;
    for (const int32_t n : prefab_group(*this, node))
        nodes[n].position.y += dy;
    update_prefabs_at_node(node);
    update_roads_at_node(node);
    node_height = static_cast<int32_t>(std::lround(nodes[node].position.y));
    return nodes[node].position.y;
}

void edit_ctrl_e::update_prefabs_at_node(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    for (const int32_t link : nodes[node].links)
        if (edges.valid(link) && map_edge_kind_is_prefab(edges[link].kind)) {
            int32_t list[4] = {-1, -1, -1, -1};
            place_prefab(edges[link].nodes[0], list, link);
            rebuild_edge(link);
            for (const int32_t prefab_node : edges[link].nodes)
                number_noise_from(prefab_node);
        }
}

void edit_ctrl_e::number_noise_from(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    const auto road_at = [this](const int32_t edge) { return edges.valid(edge) && edges[edge].kind == map_edge_road; };
    int32_t at = node;
    if (edges.valid(nodes[at].links[1]) && nodes[at].link_kinds[0] != map_edge_road)
        at = edges[nodes[at].links[1]].nodes[1];
    const int32_t first = at;
    // Each step numbers another edge: a chain cannot be longer than the edges there are.
    for (int32_t steps = 0; nodes.valid(at) && steps < edges.count; ++steps) {
        const int32_t behind = nodes[at].links[0];
        const int32_t ahead = nodes[at].links[1];
        if (!road_at(behind) || !road_at(ahead))
            return;
        const map_edge_t& previous = edges[behind];
        const road_def_t* const definition =
            seg_server && previous.definition >= 0 &&
                    previous.definition < static_cast<int32_t>(seg_server->road_defs.size())
                ? &seg_server->road_defs[static_cast<size_t>(previous.definition)]
                : nullptr;
        // Without a segment length the rows cannot be counted.
        if (!definition || definition->length() <= 0.0f)
            return;
        const auto row = static_cast<int32_t>(std::ceil(previous.length / definition->length())) + previous.noise_row;
        if (row >= noise_row_limit)
            return;
        edges[ahead].noise_row = row;
        at = edges[ahead].nodes[1];
        if (at == first)
            return;
    }
}

void edit_ctrl_e::update_roads_at_node(const int32_t node)
{
    if (!nodes.valid(node))
        return;
    std::vector<bool> marked(static_cast<size_t>(edges.count), false);
    const map_node_t& start = nodes[node];
    const bool roads_only = road_kind(start.link_kinds[0]) && road_kind(start.link_kinds[1]);
    std::vector<int32_t> level{node};
    for (int depth = 0; depth <= update_depth && !level.empty(); ++depth) {
        std::vector<int32_t> next;
        for (const int32_t n : level)
            for (const int32_t link : nodes[n].links) {
                if (!edges.valid(link) || marked[static_cast<size_t>(link)])
                    continue;
                if (roads_only && map_edge_kind_is_prefab(edges[link].kind))
                    continue;
                marked[static_cast<size_t>(link)] = true;
                for (const int32_t other : edges[link].nodes)
                    if (nodes.valid(other) && other != n)
                        next.push_back(other);
            }
        level = std::move(next);
    }
    std::vector<bool> node_marked(static_cast<size_t>(nodes.count), false);
    for (int32_t e = 0; e < edges.count; ++e)
        if (marked[static_cast<size_t>(e)] && road_kind(edges[e].kind))
            for (const int32_t n : edges[e].nodes)
                if (nodes.valid(n))
                    node_marked[static_cast<size_t>(n)] = true;
    for (int32_t n = 0; n < nodes.count; ++n) {
        map_node_t& record = nodes[n];
        if (!node_marked[static_cast<size_t>(n)] || record.link_kinds[0] >= 2 || record.link_kinds[1] >= 2)
            continue;
        vec3_t sum{};
        for (const int32_t link : record.links)
            if (edges.valid(link) && nodes.valid(edges[link].nodes[0]) && nodes.valid(edges[link].nodes[1]))
                sum += normalised_or_zero(nodes[edges[link].nodes[1]].position - nodes[edges[link].nodes[0]].position);
        record.direction = normalised_or_zero(sum);
    }
    for (int32_t e = 0; e < edges.count; ++e)
        if (marked[static_cast<size_t>(e)])
            rebuild_edge(e);
}

bool edit_ctrl_e::join_nodes(int32_t dropped, int32_t target, int32_t* out_edge)
{
    if (!nodes.valid(dropped) || !nodes.valid(target) || dropped == target)
        return false;
    if (nodes[dropped].flags & 1u) {
        if (nodes[target].flags & 1u)
            return false;
        std::swap(dropped, target);
    }
    const auto free_side = [](const map_node_t& node) { return node.links[0] == -1 || node.links[1] == -1; };
    if (!free_side(nodes[dropped]) || !free_side(nodes[target]))
        return false;
    const map_node_t gone = nodes[dropped];
    const int32_t side = gone.links[1] != -1 ? 1 : 0;
    const int32_t moved = gone.links[side];
    map_node_t& kept_before = nodes[target];
    const int32_t kept_edge = kept_before.links[1] != -1 ? kept_before.links[1] : kept_before.links[0];
    float height_difference = 0.0f;
    if (kept_edge == -1 || road_kind(edges[kept_edge].kind))
        kept_before.position.y = gone.position.y;
    else
        height_difference = kept_before.position.y - gone.position.y;
    for (map_edge_t& edge : edges)
        for (int32_t& n : edge.nodes)
            if (n == dropped)
                n = target;
    // Whatever held or picked the dropped node now holds the kept one.
    if (pointer.picked_type == edit_pick_node) {
        if (pointer.picked_item == dropped)
            pointer.picked_item = target;
        if (pointer.held == dropped)
            pointer.held = target;
    }
    if (height_target.kind == edit_pick_node && height_target.index == dropped)
        height_target.index = target;
    delete_node(dropped);
    const int32_t kept = target > dropped ? target - 1 : target;
    map_node_t& node = nodes[kept];
    if (moved != -1) {
        // The moved edge takes its own side when it is free, else the other one.
        const int32_t at = node.links[side] == -1 ? side : 1 - side;
        node.links[at] = moved;
        node.link_kinds[at] = edges[moved].kind;
        if (map_edge_kind_is_prefab(edges[moved].kind)) {
            align_to_prefab(kept);
            for (const int32_t n : edges[moved].nodes)
                if (nodes.valid(n) && n != kept)
                    nodes[n].position.y += height_difference;
        }
    }
    if (out_edge)
        *out_edge = moved;
    update_roads_at_node(kept);
    return true;
}

void edit_ctrl_e::split_node()
{
    const int32_t held = pointer.held;
    if (!nodes.valid(held) || nodes[held].links[1] == -1)
        return;
    const int32_t forward = nodes[held].links[1];
    const int32_t added = add_node(vec3_t(far_point, far_point, far_point));
    if (added < 0)
        return;
    nodes[added] = nodes[held];
    for (int32_t& n : edges[forward].nodes)
        if (n == held)
            n = added;
    map_node_t& old_node = nodes[held];
    old_node.links[1] = -1;
    old_node.link_kinds[1] = map_edge_road;
    old_node.flags &= ~1u;
    map_node_t& new_node = nodes[added];
    new_node.links[0] = -1;
    new_node.link_kinds[0] = map_edge_road;
    pointer.held = added;
    pointer.picked_item = added;
    pointer.picked_type = edit_pick_node;
}
