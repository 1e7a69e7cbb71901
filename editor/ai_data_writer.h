#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/quat.h"
#include "engine/vec.h"

class road_network_t;
struct map_edge_t;

// The map editor's writers of the two files beside a map that the economy reads: the AI data file
// (the loading docks with the trailer slots of their prefabs) and the route table (a route between
// every pair of docks). A loading dock is a Fork edge whose trader word is not -1.

// A spawn point of a dock's prefab: where a trailer stands, in the prefab's own frame. A point whose
// rotation is all zero marks the dock itself.
struct dock_spawn_point_t {
    vec3_t position;
    quat_t rotation;
};

// What the writers need of a Fork's prefab: its node positions and its spawn points.
struct dock_prefab_t {
    std::vector<vec3_t> nodes;
    std::vector<dock_spawn_point_t> spawn_points;
};

// The prefab of a Fork edge, or null when it has none.
using dock_prefab_lookup_t = std::function<const dock_prefab_t*(const map_edge_t& edge)>;

// Loading docks the AI data file holds at most; spawn slots of a dock; docks and edges of the routes.
constexpr int32_t ai_data_max_docks = 256;
constexpr int32_t route_table_max_docks = 100;
constexpr int32_t route_max_edges = 1000;

// The AI data file image: version 2, the dock count and one 312-byte record per dock with spawn
// points, in edge order. False (with `out_error`) when the map has more docks or slots than the file
// holds.
bool ai_data_build(const road_network_t& network, const dock_prefab_lookup_t& prefab_of, std::vector<uint8_t>& out,
                   std::string& out_error);

// The route table image: a breadth-first search over the edges from every dock, one route per pair
// of docks. False (with `out_error`) when a dock cannot be reached ("This map has 2 independent
// components - probably disconected!!") or the limits are passed.
bool route_table_build(const road_network_t& network, const dock_prefab_lookup_t& prefab_of, std::vector<uint8_t>& out,
                       std::string& out_error);

// The route search's next edge: of the edges in `open`, the one with the smallest `distance` below
// 0xFFFF (the first in list order on ties), with its position in the list in `out_pos`; -1 when the
// list is empty or no listed edge was reached (`out_pos` is then the list's size).
int32_t pick_nearest_open_edge(const std::vector<uint16_t>& distance, const std::vector<int32_t>& open,
                               size_t& out_pos);

// Writes both files beside `map_path` through the virtual file system, reporting what was written;
// the route table is written only when the search succeeds. False when a file was not written.
bool ai_data_save(const char* map_path, const road_network_t& network, const dock_prefab_lookup_t& prefab_of);
bool route_table_save(const char* map_path, const road_network_t& network, const dock_prefab_lookup_t& prefab_of);

// Reports docks that share a trader and traders 0 to K - 1 without a dock (K the number of docks).
void check_docks_traders(const road_network_t& network);
