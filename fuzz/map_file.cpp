// Feeds arbitrary bytes to the map file reader, whole and as an import into the map it just read: a map
// that is accepted must hold only indices that name its own records, and nothing may crash or overrun.
#include <cstddef>
#include <cstdint>

#include "engine/log.h"
#include "common/engine_api.h"
#include "road/map_file.h"

namespace {

// True when `index` is -1 or names one of `count` records.
bool index_ok(const int32_t index, const int32_t count) { return index == -1 || (index >= 0 && index < count); }

// Traps unless every index word the reader checks names a record of `network`.
void check_indices(const road_network_t& network)
{
    for (const map_node_t& node : network.nodes)
        if (!index_ok(node.links[0], network.edges.count) || !index_ok(node.links[1], network.edges.count))
            __builtin_trap();
    for (const map_edge_t& edge : network.edges) {
        for (const int32_t node : edge.nodes)
            if (!index_ok(node, network.nodes.count))
                __builtin_trap();
        if (!index_ok(edge.sign, network.signs.count) || !index_ok(edge.semaphore, network.semaphore_count))
            __builtin_trap();
        if (edge.stamp != -1 && (edge.stamp < 0 || edge.stamp + 4 > network.stamps.count))
            __builtin_trap();
    }
    for (const map_aux_edge_t& edge : network.aux_edges)
        if (!index_ok(edge.nodes[0], network.aux_nodes.count) || !index_ok(edge.nodes[1], network.aux_nodes.count))
            __builtin_trap();
    for (const map_sign_t& sign : network.signs)
        if (!index_ok(sign.edge, network.edges.count))
            __builtin_trap();
    for (const map_cityblock_t& block : network.cityblocks)
        if (block.point_count < 0 || block.point_count > map_cityblock_max_points)
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        __builtin_trap();
    road_network_t network;
    if (map_file_read(network, data, size, nullptr, "fuzz.mbd") >= 0) {
        check_indices(network);
        const vec3_t offset(1.0f, 2.0f, 3.0f);
        if (map_file_read(network, data, size, &offset, "fuzz.mbd") >= 0)
            check_indices(network);
    }
    log_clear_capture();
    return 0;
}
