#pragma once
#include <string>
#include <vector>

#include "engine/vec.h"
#include "road/road_network.h"

// One point of a route's line: where to drive (the right-hand lane), the road's middle there, how far
// the road's surface reaches from that middle, and the edge it belongs to.
struct route_point_t {
    vec3_t lane;
    vec3_t middle;
    float half_width = 0.0f;
    int32_t edge = -1;
};

// A map's road network seen as a graph a driver can route over: open roads and city roads join their
// two nodes, junctions (forks, crosses, prefabs) join each pair of their nodes.
class road_route_t {
public:
    // Reads the map file at the host path `map_path` and the lanes and surface widths of the road
    // definitions under `data_root` (their models through the mounted file system); false with `error`
    // set when either cannot be read.
    bool load(const std::string& data_root, const std::string& map_path, std::string& error);

    const road_network_t& network() const { return network_; }

    // The node nearest `position` in the ground plane that an edge uses, -1 when there is none.
    int32_t nearest_node(const vec3_t& position) const;
    // The entry node of the loading dock of trader `trader` (the Fork whose first side names it), -1 when
    // the map has none.
    int32_t dock_entry(int32_t trader) const;
    // The shortest way over the roads from node `from` to node `to` as a line of points about `spacing`
    // apart, appended to `out`; false when `to` cannot be reached.
    bool route(int32_t from, int32_t to, float spacing, std::vector<route_point_t>& out) const;

private:
    struct link_t {
        int32_t edge;
        int32_t to;
        float length;
    };
    // Appends the points of edge `edge` driven from node `from` to node `to`.
    void append_edge(int32_t edge, int32_t from, int32_t to, float spacing, std::vector<route_point_t>& out) const;

    road_network_t network_;
    std::vector<std::vector<link_t>> links_;
    // Half the surface width of open roads and of city roads.
    float road_half_width_ = 350.0f;
    float city_half_width_ = 350.0f;
    float lane_offset_ = 175.0f;
};
