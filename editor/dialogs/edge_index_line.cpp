#include "editor/dialogs/edge_index_line.h"

#include <cstdio>

#include "road/seg_server.h"
#include "editor/edit_ctrl.h"

namespace {

// Characters of a road name the index lines show.
constexpr size_t shown_name = 7;

}  // namespace

int32_t edge_index_of(const edit_ctrl_e& ctrl, const map_edge_t& edge)
{
    const map_edge_t* first = ctrl.edges.begin();
    if (!first || &edge < first || &edge >= first + ctrl.edges.count)
        return -1;
    return static_cast<int32_t>(&edge - first);
}

int32_t start_road_name(const edit_ctrl_e& ctrl, const map_edge_t& edge, std::string& text)
{
    text.clear();
    if (!ctrl.nodes.valid(edge.nodes[0]))
        return -1;
    const int32_t name = ctrl.nodes[edge.nodes[0]].road_name;
    const seg_server_t* server = ctrl.seg_server;
    if (server && name >= 0 && name < static_cast<int32_t>(server->place_names.size())) {
        const place_name_t& place = server->place_names[static_cast<size_t>(name)];
        text.assign(place.name, strnlen(place.name, std::min(shown_name, sizeof place.name)));
    }
    return name;
}

std::string road_index_line(const edit_ctrl_e& ctrl, const map_edge_t& edge, const bool city_road)
{
    std::string name;
    const int32_t name_index = start_road_name(ctrl, edge, name);
    char line[192];
    if (city_road)
        std::snprintf(line, sizeof line, "Edge index : %d   ai : %d     name : %d (%s)   length : %.2f m",
                      edge_index_of(ctrl, edge), edge.traffic_road, name_index, name.c_str(),
                      static_cast<double>(edge.length) * 0.01);
    else
        std::snprintf(line, sizeof line,
                      "Edge index : %d     noise : %d     ai : %d     name : %d (%s)   length : %.2f m",
                      edge_index_of(ctrl, edge), edge.noise_row, edge.traffic_road, name_index, name.c_str(),
                      static_cast<double>(edge.length) * 0.01);
    return line;
}
