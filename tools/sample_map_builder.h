#pragma once
// Builds the road network of a generated map record by record, with the sample game's prefabs (the
// sample map's generator and the frame benchmark's grid share it).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "road/road_network.h"

// Prefab curves of the sample prefabs by edge kind: the crossing has three lanes from each of its four
// arms, the loading dock three curves, a prefab laid into a road one lane each way. A prefab edge owns
// one entry semaphore per curve and 16 exit semaphores after them.
constexpr int32_t cross_curves = 12;
constexpr int32_t fork_curves = 3;
constexpr int32_t inline_curves = 2;
constexpr int32_t exit_semaphores = 16;
// Lateral widening of an edge's bounds beyond its nodes (half a road and its verges).
constexpr float edge_margin = 1500.0f;
// Flag bits of an open road whose terrain strips take no noise on either side: the strips' outer edges
// then meet the world's ground, which follows the roads' own heights, and a truck that left the road
// finds no step at the verge's edge to come back over.
constexpr uint32_t smooth_strips = 2u << 4 | 2u << 8;

// The map under construction.
class map_builder_t {
public:
    explicit map_builder_t(road_network_t& network) : network_(network) {}

    // A node at `position`, facing along `direction` (normalised here).
    int32_t node(const vec3_t& position, const vec3_t& direction)
    {
        const int32_t index = network_.add_node(position);
        network_.nodes[index].direction = normalised(direction);
        network_.nodes[index].links[0] = network_.nodes[index].links[1] = -1;
        network_.nodes[index].link_kinds[0] = network_.nodes[index].link_kinds[1] = map_edge_road;
        network_.nodes[index].road_name = -1;
        return index;
    }

    // An edge of `kind` over `nodes` (two for roads, three or four for junctions), linked into them;
    // a prefab kind places its `definition` turned by `turns` quarter turns.
    int32_t edge(const int32_t kind, const std::initializer_list<int32_t> nodes, const int32_t definition = 0,
                 const int turns = 0)
    {
        const int32_t index = network_.add_edge();
        map_edge_t& edge = network_.edges[index];
        edge.kind = kind;
        edge.bounds.set_empty();
        int slot = 0;
        for (int32_t& n : edge.nodes)
            n = -1;
        for (const int32_t n : nodes) {
            edge.nodes[slot++] = n;
            const vec3_t& p = network_.nodes[n].position;
            edge.bounds.add_point(p.x, p.y, p.z);
            map_node_t& record = network_.nodes[n];
            const int link = record.links[0] == -1 ? 0 : 1;
            record.links[link] = index;
            record.link_kinds[link] = kind;
        }
        edge.bounds.widen(edge_margin);
        for (map_edge_side_t& side : edge.sides)
            side = {-1, 0, -1, 0, 4, 1.0f, -1};
        edge.road_type = 1;
        if (kind == map_edge_road)
            edge.flags = smooth_strips;
        const vec3_t span = network_.nodes[edge.nodes[1]].position - network_.nodes[edge.nodes[0]].position;
        edge.length = std::sqrt(span.x * span.x + span.y * span.y + span.z * span.z);
        edge.traffic_road = index;
        edge.sign = -1;
        edge.semaphore = -1;
        edge.stamp = -1;
        if (map_edge_kind_is_prefab(kind)) {
            const int32_t curves = kind == map_edge_cross  ? cross_curves
                                   : kind == map_edge_fork ? fork_curves
                                                           : inline_curves;
            edge.definition = definition;
            edge.flags = static_cast<uint32_t>(turns & 3);
            edge.semaphore = network_.semaphore_count;
            network_.semaphore_count += curves + exit_semaphores;
        }
        return index;
    }

    // A misc item of `type` at `position`, with bounds around it.
    map_miscitem_t& item(const int32_t type, const vec3_t& position, const float reach)
    {
        map_miscitem_t& item = network_.miscitems[network_.add_miscitem()];
        item.type = type;
        for (vec3_t& point : item.points)
            point = position;
        item.bounds.set_empty();
        item.bounds.add_point(position.x, position.y, position.z);
        item.bounds.widen(reach);
        return item;
    }

    static vec3_t normalised(const vec3_t& v)
    {
        const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        return length > 0.0f ? vec3_t(v.x / length, v.y / length, v.z / length) : v;
    }

private:
    road_network_t& network_;
};

// Writes `bytes` to `path`; false when the file cannot be written.
inline bool write_bytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* out = std::fopen(path.c_str(), "wb");
    const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return (out ? std::fclose(out) == 0 : false) && written;
}
