// Builds the static world of a map from its ".mbd" file: a ground under the road network (the nodes'
// bounds widened by a margin) whose height follows the roads (tools/ground_field.h), a little under
// every road, junction and headquarters place, cut into chunks, with its texture list, empty light maps
// and collision sectors, written into a directory beside the map.
//
//     make_world_map MAP.mbd OUTPUT_DIRECTORY
//     make_world_map --check MAP.mbd CITIES_DIRECTORY
//
// With --check it writes nothing and says whether the ground it makes lies just under every road,
// junction and headquarters place, and whether each city's start place (the "start_pos" of its file
// under CITIES_DIRECTORY, in the order of their names) is on a road near its headquarters.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/engine_api.h"
#include "ground_field.h"
#include "road/map_file.h"
#include "road/road_network.h"
#include "world_map_writer.h"

namespace {

// Ground beyond the outermost nodes, the size of one ground cell, rows of cells per mesh, cells across
// a chunk, and the collision sector edge.
constexpr float margin = 20000.0f;
constexpr float cell = 4000.0f;
constexpr int rows_per_mesh = 8;
constexpr int cells_per_chunk = 16;
constexpr float sector_edge = 128000.0f;
// How far the ground lies under the field (so a road's surface always covers it), and the band the
// check accepts between a road and the ground under it.
constexpr float ground_depth = 30.0f;
constexpr float least_gap = 5.0f;
constexpr float most_gap = 100.0f;
// A start place is on a road within this of its curve, and near its headquarters within 100 m.
constexpr float on_road = 400.0f;
constexpr float near_headquarters = 10000.0f;

bool read_file(const char* path, std::vector<uint8_t>& out)
{
    FILE* in = std::fopen(path, "rb");
    if (!in)
        return false;
    uint8_t buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        out.insert(out.end(), buffer, buffer + got);
    return std::fclose(in) == 0;
}

// The square of ground cells over the map and the height of each of its vertices.
struct ground_grid_t {
    float x0 = 0.0f;
    float z0 = 0.0f;
    int cells = 0;
    std::vector<float> heights;

    explicit ground_grid_t(const road_network_t& network)
    {
        vec3_t low(1e30f, 1e30f, 1e30f);
        vec3_t high(-1e30f, -1e30f, -1e30f);
        for (const map_node_t& node : network.nodes) {
            low = vec3_t(std::min(low.x, node.position.x), std::min(low.y, node.position.y),
                         std::min(low.z, node.position.z));
            high = vec3_t(std::max(high.x, node.position.x), std::max(high.y, node.position.y),
                          std::max(high.z, node.position.z));
        }
        x0 = std::floor((low.x - margin) / cell) * cell;
        z0 = std::floor((low.z - margin) / cell) * cell;
        const int cells_x = static_cast<int>(std::ceil((high.x + margin - x0) / cell));
        const int cells_z = static_cast<int>(std::ceil((high.z + margin - z0) / cell));
        // A square of whole chunks.
        cells = (std::max(cells_x, cells_z) + cells_per_chunk - 1) / cells_per_chunk * cells_per_chunk;
        const ground_field_t field(network);
        for (int z = 0; z <= cells; ++z)
            for (int x = 0; x <= cells; ++x)
                heights.push_back(std::floor(field.height(x0 + x * cell, z0 + z * cell)) - ground_depth);
    }

    float vertex(const float x, const float z) const
    {
        const auto ix = static_cast<int>(std::lround((x - x0) / cell));
        const auto iz = static_cast<int>(std::lround((z - z0) / cell));
        return heights[static_cast<size_t>(iz * (cells + 1) + ix)];
    }

    // The ground's height at (x, z) on the triangles the writer makes of each cell (split along the
    // diagonal from its +x corner to its +z corner).
    float at(const float x, const float z) const
    {
        const float fx = std::clamp((x - x0) / cell, 0.0f, static_cast<float>(cells) - 1e-3f);
        const float fz = std::clamp((z - z0) / cell, 0.0f, static_cast<float>(cells) - 1e-3f);
        const auto ix = static_cast<int>(fx);
        const auto iz = static_cast<int>(fz);
        const float u = fx - static_cast<float>(ix);
        const float v = fz - static_cast<float>(iz);
        const auto h = [&](const int dx, const int dz) {
            return heights[static_cast<size_t>((iz + dz) * (cells + 1) + ix + dx)];
        };
        if (u + v <= 1.0f)
            return h(0, 0) + u * (h(1, 0) - h(0, 0)) + v * (h(0, 1) - h(0, 0));
        return h(1, 1) + (1.0f - u) * (h(0, 1) - h(1, 1)) + (1.0f - v) * (h(1, 0) - h(1, 1));
    }
};

// The "start_pos" of each city file in `folder`, in the order of their names.
std::vector<vec3_t> city_starts(const std::string& folder)
{
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    std::vector<vec3_t> starts;
    for (const auto& file : files) {
        std::ifstream in(file);
        std::string line;
        vec3_t start(0.0f, 0.0f, 0.0f);
        while (std::getline(in, line)) {
            const size_t key = line.find("start_pos");
            const size_t equals = line.find('=');
            if (key == std::string::npos || equals == std::string::npos)
                continue;
            std::string value = line.substr(equals + 1);
            std::replace(value.begin(), value.end(), ',', ' ');
            std::istringstream(value) >> start.x >> start.y >> start.z;
        }
        starts.push_back(start);
    }
    return starts;
}

// Distance in (x, z) from `p` to the segment from `a` to `b`, and the height of the segment there.
float segment_distance(const vec3_t& p, const vec3_t& a, const vec3_t& b, float& out_y)
{
    const float dx = b.x - a.x;
    const float dz = b.z - a.z;
    const float length_sq = dx * dx + dz * dz;
    const float t = length_sq > 0.0f ? std::clamp(((p.x - a.x) * dx + (p.z - a.z) * dz) / length_sq, 0.0f, 1.0f) : 0.0f;
    out_y = a.y + (b.y - a.y) * t;
    return std::hypot(p.x - (a.x + dx * t), p.z - (a.z + dz * t));
}

// True when `p` lies on a road's curve (at its height) or on a junction's plate.
bool on_a_road(const road_network_t& network, const vec3_t& p)
{
    for (int32_t e = 0; e < network.edges.count; ++e) {
        const map_edge_t& edge = network.edges[e];
        if (edge.kind == map_edge_road || edge.kind == map_edge_city_road) {
            const std::vector<vec3_t> points = ground_field_t::road_points(network, e);
            for (size_t i = 1; i < points.size(); ++i) {
                float y = 0.0f;
                if (segment_distance(p, points[i - 1], points[i], y) <= on_road && std::fabs(y - p.y) <= 50.0f)
                    return true;
            }
            continue;
        }
        vec3_t low(1e30f, 0.0f, 1e30f);
        vec3_t high(-1e30f, 0.0f, -1e30f);
        for (const vec3_t& q : ground_field_t::prefab_points(network, edge)) {
            low = vec3_t(std::min(low.x, q.x), 0.0f, std::min(low.z, q.z));
            high = vec3_t(std::max(high.x, q.x), 0.0f, std::max(high.z, q.z));
        }
        if (p.x >= low.x && p.x <= high.x && p.z >= low.z && p.z <= high.z)
            return true;
    }
    return false;
}

// Says what of the map's ground and start places is wrong; the number of faults.
int check(const road_network_t& network, const ground_grid_t& grid, const std::string& cities)
{
    int faults = 0;
    const auto under = [&](const vec3_t& p, const char* what, const int32_t index) {
        const float gap = p.y - grid.at(p.x, p.z);
        if (gap >= least_gap && gap <= most_gap)
            return;
        if (++faults <= 20)
            std::printf("the ground lies %.0f under %s %d at %.0f,%.0f,%.0f, not %g to %g\n", gap, what, index, p.x,
                        p.y, p.z, least_gap, most_gap);
    };
    for (int32_t e = 0; e < network.edges.count; ++e) {
        const map_edge_t& edge = network.edges[e];
        const bool road = edge.kind == map_edge_road || edge.kind == map_edge_city_road;
        for (const vec3_t& p :
             road ? ground_field_t::road_points(network, e) : ground_field_t::prefab_points(network, edge))
            under(p, road ? "road edge" : "junction edge", e);
    }
    std::vector<vec3_t> headquarters;
    for (int32_t i = 0; i < network.miscitems.count; ++i) {
        const map_miscitem_t& item = network.miscitems[i];
        if (item.type != map_misc_headquarters)
            continue;
        under(item.points[0], "the headquarters item", i);
        if (item.params[1] >= 0) {
            headquarters.resize(std::max(headquarters.size(), static_cast<size_t>(item.params[1]) + 1),
                                vec3_t(1e30f, 0.0f, 1e30f));
            headquarters[static_cast<size_t>(item.params[1])] = item.points[0];
        }
    }
    const std::vector<vec3_t> starts = city_starts(cities);
    for (size_t c = 0; c < starts.size(); ++c) {
        const vec3_t& start = starts[c];
        if (!on_a_road(network, start)) {
            std::printf("city %zu starts at %.0f,%.0f,%.0f, on no road\n", c, start.x, start.y, start.z);
            ++faults;
        }
        const float distance =
            c < headquarters.size() ? std::hypot(start.x - headquarters[c].x, start.z - headquarters[c].z) : 1e30f;
        if (distance > near_headquarters) {
            std::printf("city %zu starts %.0f from its headquarters, farther than %g\n", c, distance,
                        near_headquarters);
            ++faults;
        }
    }
    return faults;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool checking = argc == 4 && std::string(argv[1]) == "--check";
    if (argc != 3 && !checking) {
        std::fprintf(stderr, "usage: make_world_map MAP.mbd OUTPUT_DIRECTORY\n"
                             "       make_world_map --check MAP.mbd CITIES_DIRECTORY\n");
        return 2;
    }
    const char* const map_path = argv[checking ? 2 : 1];
    if (!bind_engine_for_tests()) {
        std::fprintf(stderr, "make_world_map: the engine library cannot be bound\n");
        return 1;
    }
    std::vector<uint8_t> bytes;
    road_network_t network;
    if (!read_file(map_path, bytes) || map_file_read(network, bytes.data(), bytes.size(), nullptr, map_path) < 0 ||
        network.nodes.count == 0) {
        std::fprintf(stderr, "make_world_map: %s is no map with nodes\n", map_path);
        return 1;
    }
    const ground_grid_t grid(network);
    if (checking) {
        const int faults = check(network, grid, argv[3]);
        std::printf("%s: %d faults of the ground and the start places\n", map_path, faults);
        return faults == 0 ? 0 : 1;
    }
    const auto height = [&grid](const float x, const float z) { return grid.vertex(x, z); };
    // One chunk per square of cells, each square's meshes of a few rows.
    std::vector<std::vector<world_map_writer::mesh_t>> chunks;
    for (int cz = 0; cz < grid.cells; cz += cells_per_chunk)
        for (int cx = 0; cx < grid.cells; cx += cells_per_chunk)
            chunks.push_back(world_map_writer::ground(vec3_t(grid.x0 + cx * cell, 0.0f, grid.z0 + cz * cell),
                                                      cells_per_chunk, cell, rows_per_mesh, height));
    const world_map_writer::world_files_t files =
        world_map_writer::build(chunks, {"/shaders/world/ground.shd"}, sector_edge);
    for (const auto& [name, data] : files.files) {
        const std::string path = std::string(argv[2]) + "/" + name;
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || (!data.empty() && std::fwrite(data.data(), 1, data.size(), out) != data.size()) ||
            std::fclose(out) != 0) {
            std::fprintf(stderr, "make_world_map: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    std::printf("%s: %d x %d cells of %g, %zu chunks, %zu files\n", argv[2], grid.cells, grid.cells, cell,
                chunks.size(), files.files.size());
    return 0;
}
