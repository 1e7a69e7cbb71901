#include "editor/ai_data_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/mbio.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "game/economy/ai_data_file.h"
#include "game/economy/economy_record_io.h"
#include "road/map_edge.h"
#include "road/road_network.h"

namespace {

// The trader of a Fork that is a loading dock, or -1.
int32_t dock_trader(const map_edge_t& edge) { return edge.kind == map_edge_fork ? edge.sides[0].vegetation : -1; }

bool all_zero(const quat_t& q) { return q.x == 0.0f && q.y == 0.0f && q.z == 0.0f && q.w == 0.0f; }

// A prefab-local point turned by `quarter` quarter turns about the up axis.
vec3_t turn(const vec3_t& p, const int quarter)
{
    switch (quarter) {
    case 1:
        return {p.z, p.y, -p.x};
    case 2:
        return {-p.x, p.y, -p.z};
    case 3:
        return {-p.z, p.y, p.x};
    default:
        return p;
    }
}

// The docks with spawn points, in edge order.
std::vector<int32_t> docks_with_spawns(const road_network_t& network, const dock_prefab_lookup_t& prefab_of,
                                       const bool report)
{
    std::vector<int32_t> docks;
    for (int32_t e = 0; e < network.edges.count; ++e) {
        const map_edge_t& edge = network.edges[e];
        if (dock_trader(edge) == -1)
            continue;
        const dock_prefab_t* const prefab = prefab_of(edge);
        if (!prefab || prefab->spawn_points.empty()) {
            if (report)
                api::message("No spawn points for loading dock %d", e);
            continue;
        }
        if (report)
            api::message("Found loading dock %d - edge_id %d", static_cast<int>(docks.size()), e);
        docks.push_back(e);
    }
    return docks;
}

// The record of the dock on edge `e`; false when its prefab has more slots than a dock holds.
bool dock_record(const road_network_t& network, const int32_t e, const dock_prefab_t& prefab, dock_t& out)
{
    const map_edge_t& edge = network.edges[e];
    const int quarter = static_cast<int>(edge.flags & 3u);
    const vec3_t origin = edge.centre_word >= 0 && static_cast<size_t>(edge.centre_word) < prefab.nodes.size()
                              ? prefab.nodes[static_cast<size_t>(edge.centre_word)]
                              : vec3_t{};
    const vec3_t start = network.nodes.valid(edge.nodes[0]) ? network.nodes[edge.nodes[0]].position : vec3_t{};
    const vec3_t shift = start - turn(origin, quarter);
    static const float turn_degrees[4] = {0.0f, 90.0f, 180.0f, -90.0f};
    quat_t about_up;
    about_up.set({0.0f, 1.0f, 0.0f}, turn_degrees[quarter]);

    std::memset(static_cast<void*>(&out), 0, sizeof out);
    out.id = e;
    out.trader = edge.sides[0].vegetation;
    int32_t slot = 0;
    for (const dock_spawn_point_t& point : prefab.spawn_points) {
        const vec3_t placed = turn(point.position, quarter) + shift;
        if (all_zero(point.rotation)) {
            out.position = placed;
            continue;
        }
        if (slot == dock_slot_count)
            return false;
        out.slot_positions[slot] = placed;
        out.slot_orientations[slot] = quarter == 0 ? point.rotation : point.rotation * about_up;
        ++slot;
    }
    out.slot_count = slot;
    return true;
}

// Writes `bytes` to `path` (created or emptied); false when the file cannot be opened or written.
bool write_file(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const int file = api::vfs_open(path.c_str(), vfs_write_only | vfs_create | vfs_truncate, 0644);
    if (file < 0)
        return false;
    const long written = api::vfs_write(file, bytes.data(), static_cast<long>(bytes.size()));
    api::vfs_close(file);
    return written == static_cast<long>(bytes.size());
}

// One route of the table: edges from dock b back to dock a, with their running lengths.
struct route_entry_build_t {
    std::vector<uint16_t> edges;
    std::vector<uint16_t> lengths;
    uint32_t total = 0;
};

}  // namespace

bool ai_data_build(const road_network_t& network, const dock_prefab_lookup_t& prefab_of, std::vector<uint8_t>& out,
                   std::string& out_error)
{
    const std::vector<int32_t> docks = docks_with_spawns(network, prefab_of, false);
    if (static_cast<int32_t>(docks.size()) > ai_data_max_docks) {
        out_error = "more than 256 loading docks";
        return false;
    }
    mbio_t file;
    file.open_grow();
    file.write_u32(ai_data_version);
    file.write_u32(static_cast<uint32_t>(docks.size()));
    for (const int32_t e : docks) {
        dock_t record;
        if (!dock_record(network, e, *prefab_of(network.edges[e]), record)) {
            out_error = "loading dock " + std::to_string(e) + " has more than 8 spawn slots";
            return false;
        }
        write_record(file, record);
    }
    out.assign(file.data(), file.data() + file.size());
    return true;
}

bool route_table_build(const road_network_t& network, const dock_prefab_lookup_t& prefab_of, std::vector<uint8_t>& out,
                       std::string& out_error)
{
    const std::vector<int32_t> docks = docks_with_spawns(network, prefab_of, true);
    const auto dock_count = static_cast<int32_t>(docks.size());
    api::message("This map has %d loading docks", dock_count);
    if (dock_count > route_table_max_docks) {
        out_error = "more than 100 loading docks";
        return false;
    }
    const int32_t edges = network.edges.count;
    std::vector<uint16_t> distance(static_cast<size_t>(edges));
    std::vector<int32_t> previous(static_cast<size_t>(edges));
    std::vector<std::vector<route_entry_build_t>> routes(static_cast<size_t>(dock_count));
    // Sets the distances of the edges beside `edge` one step further.
    const auto relax = [&](const int32_t edge) {
        for (const int32_t n : network.edges[edge].nodes) {
            if (!network.nodes.valid(n))
                continue;
            for (const int link : {1, 0}) {
                const int32_t next = network.nodes[n].links[link];
                if (next < 0 || next >= edges)
                    continue;
                if (distance[static_cast<size_t>(edge)] + 1 < distance[static_cast<size_t>(next)]) {
                    distance[static_cast<size_t>(next)] =
                        static_cast<uint16_t>(distance[static_cast<size_t>(edge)] + 1);
                    previous[static_cast<size_t>(next)] = edge;
                }
            }
        }
    };
    std::vector<int32_t> open;
    for (int32_t a = 0; a < dock_count; ++a) {
        api::message("Looking for route from %d to all places in map", a);
        std::fill(distance.begin(), distance.end(), uint16_t{0xFFFF});
        std::fill(previous.begin(), previous.end(), -1);
        open.resize(static_cast<size_t>(edges));
        for (int32_t e = 0; e < edges; ++e)
            open[static_cast<size_t>(e)] = e;
        // Every step costs one: the nearest open edge is settled next, the lowest in list order on ties.
        const int32_t start = docks[static_cast<size_t>(a)];
        open.erase(std::find(open.begin(), open.end(), start));
        distance[static_cast<size_t>(start)] = 0;
        relax(start);
        for (int32_t settled = 1; settled < edges; ++settled) {
            size_t at = 0;
            const int32_t edge = pick_nearest_open_edge(distance, open, at);
            if (edge == -1)
                break;
            open.erase(open.begin() + static_cast<std::ptrdiff_t>(at));
            relax(edge);
        }
        for (int32_t b = a + 1; b < dock_count; ++b) {
            route_entry_build_t route;
            int32_t edge = docks[static_cast<size_t>(b)];
            route.edges.push_back(static_cast<uint16_t>(edge));
            route.lengths.push_back(0);
            uint32_t walked = 0;
            while (edge != docks[static_cast<size_t>(a)]) {
                edge = previous[static_cast<size_t>(edge)];
                if (edge == -1) {
                    out_error = "This map has 2 independent components - probably disconected!!";
                    api::error("%s", out_error.c_str());
                    return false;
                }
                if (route.edges.size() == static_cast<size_t>(route_max_edges)) {
                    out_error = "a route of more than 1000 edges";
                    return false;
                }
                walked = static_cast<uint32_t>(static_cast<float>(walked) + network.edges[edge].length);
                route.edges.push_back(static_cast<uint16_t>(edge));
                route.lengths.push_back(static_cast<uint16_t>(walked * 0.01));
            }
            route.total = static_cast<uint32_t>(walked * 0.01);
            routes[static_cast<size_t>(a)].push_back(std::move(route));
        }
    }

    size_t longest = 0;
    size_t pool_bytes = 0;
    for (const auto& row : routes)
        for (const route_entry_build_t& route : row) {
            longest = std::max(longest, route.edges.size());
            pool_bytes += 4 * route.edges.size() + 2;
        }
    api::message("Max route len = %d, overall len = %f MB", static_cast<int>(longest),
                 static_cast<double>(pool_bytes) / 1048576.0);

    const auto d = static_cast<uint32_t>(dock_count);
    mbio_t file;
    file.open_grow();
    file.write_u16(route_table_version);
    file.write_u16(static_cast<uint16_t>(d));
    uint32_t offset = 8 + 4 * d * d;
    for (uint32_t a = 0; a < d; ++a)
        for (uint32_t b = 0; b < d; ++b) {
            if (a < b) {
                file.write_u32(offset);
                offset += 8 + 4 * static_cast<uint32_t>(routes[a][b - a - 1].edges.size());
            } else {
                file.write_u32(0);
            }
        }
    file.write_u16(0xFFFF);
    file.write_u16(0xFFFF);
    for (const auto& row : routes)
        for (const route_entry_build_t& route : row) {
            file.write_u16(static_cast<uint16_t>(route.edges.size()));
            file.write_u32(route.total);
            for (const uint16_t e : route.edges)
                file.write_u16(e);
            for (const uint16_t l : route.lengths)
                file.write_u16(l);
            file.write_u16(0xFFFF);
        }
    out.assign(file.data(), file.data() + file.size());
    return true;
}

int32_t pick_nearest_open_edge(const std::vector<uint16_t>& distance, const std::vector<int32_t>& open, size_t& out_pos)
{
    int32_t best = -1;
    uint16_t best_distance = 0xFFFF;
    out_pos = open.size();
    for (size_t i = 0; i < open.size(); ++i) {
        const int32_t edge = open[i];
        const uint16_t d =
            edge >= 0 && static_cast<size_t>(edge) < distance.size() ? distance[static_cast<size_t>(edge)] : 0xFFFF;
        if (d < best_distance) {
            best_distance = d;
            best = edge;
            out_pos = i;
        }
    }
    return best;
}

bool ai_data_save(const char* map_path, const road_network_t& network, const dock_prefab_lookup_t& prefab_of)
{
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ai_data_build(network, prefab_of, bytes, error)) {
        api::error("AI data not saved: %s", error.c_str());
        return false;
    }
    if (!write_file(map_side_path(map_path, "aid"), bytes))
        return false;
    api::message("AI data successfuly saved ....");
    return true;
}

bool route_table_save(const char* map_path, const road_network_t& network, const dock_prefab_lookup_t& prefab_of)
{
    std::vector<uint8_t> bytes;
    std::string error;
    if (!route_table_build(network, prefab_of, bytes, error))
        return false;
    return write_file(map_side_path(map_path, "rte"), bytes);
}

void check_docks_traders(const road_network_t& network)
{
    api::message("Checking loading dock / traders integrity ...");
    std::vector<int32_t> traders;
    for (int32_t e = 0; e < network.edges.count; ++e)
        if (dock_trader(network.edges[e]) != -1)
            traders.push_back(dock_trader(network.edges[e]));
    for (size_t i = 0; i < traders.size(); ++i)
        for (size_t j = 0; j < traders.size(); ++j)
            if (i != j && traders[i] == traders[j])
                api::error("Same trader assigned twice ! (%d)", traders[i]);
    for (int32_t t = 0; t < static_cast<int32_t>(traders.size()); ++t)
        if (std::find(traders.begin(), traders.end(), t) == traders.end())
            api::error("Trader %d not found !", t);
    api::message("Loading dock / traders integrity check done.");
}
