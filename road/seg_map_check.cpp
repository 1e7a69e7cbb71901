// The map's references into the segment server's tables, checked when a map is read: a map made
// with other definitions names entries this server may not hold.
#include "common/engine_api.h"
#include "road/road_network.h"
#include "road/seg_server.h"

namespace {

template <typename T> bool holds(const std::vector<T>& table, const int32_t index)
{
    return index >= 0 && static_cast<size_t>(index) < table.size();
}

}  // namespace

int32_t seg_server_t::check_map_indices(const road_network_t& network, const char* path) const
{
    int32_t unknown = 0;
    const auto report = [&](const char* what, const int32_t record, const int32_t index) {
        if (unknown++ == 0)
            api::error("Map %s names definitions the segment server does not hold; they are not built:", path);
        api::error("   %s %d names definition %d", what, record, index);
    };
    for (int32_t i = 0; i < network.edges.count; ++i) {
        const map_edge_t& edge = network.edges[i];
        bool known = true;
        switch (edge.kind) {
        case map_edge_city_road:
            known = holds(city_road_defs, edge.definition);
            break;
        case map_edge_road:
            known = holds(road_defs, edge.definition);
            break;
        case map_edge_fork:
        case map_edge_cross:
        case map_edge_prefab:
            known = holds(prefab_table[edge.kind - map_edge_fork], edge.definition);
            break;
        default:
            break;
        }
        if (!known)
            report("edge", i, edge.definition);
    }
    for (int32_t i = 0; i < network.signs.count; ++i)
        if (!holds(sign_boards, network.signs[i].definition))
            report("sign", i, network.signs[i].definition);
    for (int32_t i = 0; i < network.cityblocks.count; ++i)
        if (!holds(cityblock_looks, network.cityblocks[i].definition))
            report("city block", i, network.cityblocks[i].definition);
    for (int32_t i = 0; i < network.freeitems.count; ++i)
        if (!holds(freeitem_models, network.freeitems[i].model))
            report("free item", i, network.freeitems[i].model);
    return unknown;
}
