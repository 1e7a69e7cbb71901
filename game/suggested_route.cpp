#include "game/suggested_route.h"

#include <cstring>

#include "game/economy/ai_data_file.h"
#include "road/road_network.h"

namespace {

// The name of place `index`, empty outside the table; a name fills at most its 12 characters.
std::string place_name_at(const std::vector<place_name_t>& names, const int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= names.size())
        return {};
    const char* const name = names[static_cast<size_t>(index)].name;
    return std::string(name, strnlen(name, sizeof names[0].name));
}

}  // namespace

std::string suggested_route_names(const route_table_t& routes, const route_view_t& route, const bool from_end,
                                  const road_network_t& network, const std::vector<place_name_t>& names)
{
    std::string text;
    int32_t last = -1;
    for (uint32_t step = 0; step < route.length; ++step) {
        const uint32_t at = from_end ? route.length - 1 - step : step;
        const int32_t edge = routes.node(route, at);
        if (!network.edges.valid(edge))
            continue;
        const map_edge_t& record = network.edges[edge];
        if (record.kind != map_edge_city_road && record.kind != map_edge_road)
            continue;
        if (!network.nodes.valid(record.nodes[0]))
            continue;
        const int32_t index = network.nodes[record.nodes[0]].road_name;
        if (index == -1 || index == last)
            continue;
        const std::string name = place_name_at(names, index);
        if (name.empty() || name.find("city") != std::string::npos)
            continue;
        const size_t needed = name.size() + (text.empty() ? 0 : 2);
        if (text.size() + needed > suggested_route_text_max)
            break;
        if (!text.empty())
            text += ", ";
        text += name;
        last = index;
    }
    return text;
}
