#include "road/sign_destination.h"

#include "road/road_network.h"

namespace {

// For the node slot the road arrives at, the slot across the junction, and the slot beside it.
constexpr int32_t across[4] = {2, 3, 1, 0};
constexpr int32_t beside[4] = {1, 0, 3, 2};

bool edge_ok(const road_network_t& network, const int32_t edge) { return edge >= 0 && edge < network.edges.count; }
bool node_ok(const road_network_t& network, const int32_t node) { return node >= 0 && node < network.nodes.count; }

}  // namespace

int32_t sign_destination(const road_network_t& network, const int32_t edge, const bool backwards)
{
    if (!edge_ok(network, edge))
        return -1;
    const int end = backwards ? 0 : 1;
    int32_t node = network.edges[edge].nodes[end];
    // A ring road never reaches a junction: no walk passes more edges than the map holds.
    for (int32_t steps = 0; steps <= network.edges.count && node_ok(network, node); ++steps) {
        const int32_t next = network.nodes[node].links[end];
        const int32_t kind = network.nodes[node].link_kinds[end];
        if (!edge_ok(network, next))
            return -1;
        if (kind == map_edge_city_road || kind == map_edge_road) {
            node = network.edges[next].nodes[end];
            continue;
        }
        if (!map_edge_kind_is_prefab(kind))
            return -1;
        const map_edge_t& junction = network.edges[next];
        for (int32_t slot = 0; slot < 4; ++slot) {
            if (junction.nodes[slot] != node)
                continue;
            int32_t target = junction.nodes[across[slot]];
            if (!node_ok(network, target))
                target = junction.nodes[beside[slot]];
            return node_ok(network, target) ? network.nodes[target].road_name : -1;
        }
        return -1;
    }
    return -1;
}
