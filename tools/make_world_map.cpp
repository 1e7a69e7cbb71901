// Builds the static world of a map from its ".mbd" file: a ground under the road network (the nodes'
// bounds widened by a margin, 20 units below the lowest node) cut into chunks, with its texture list,
// empty light maps and collision sectors, written into a directory beside the map.
//
//     make_world_map MAP.mbd OUTPUT_DIRECTORY
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/engine_api.h"
#include "road/map_file.h"
#include "road/road_network.h"
#include "world_map_writer.h"

namespace {

// Ground beyond the outermost nodes, the size of one ground cell, rows of cells per mesh, cells across
// a chunk, and the collision sector edge.
constexpr float margin = 20000.0f;
constexpr float cell = 8000.0f;
constexpr int rows_per_mesh = 8;
constexpr int cells_per_chunk = 16;
constexpr float sector_edge = 128000.0f;

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_world_map MAP.mbd OUTPUT_DIRECTORY\n");
        return 2;
    }
    if (!bind_engine_for_tests()) {
        std::fprintf(stderr, "make_world_map: the engine library cannot be bound\n");
        return 1;
    }
    std::vector<uint8_t> bytes;
    road_network_t network;
    if (!read_file(argv[1], bytes) || map_file_read(network, bytes.data(), bytes.size(), nullptr, argv[1]) < 0 ||
        network.nodes.count == 0) {
        std::fprintf(stderr, "make_world_map: %s is no map with nodes\n", argv[1]);
        return 1;
    }
    vec3_t low(1e30f, 1e30f, 1e30f);
    vec3_t high(-1e30f, -1e30f, -1e30f);
    for (const map_node_t& node : network.nodes) {
        low = vec3_t(std::min(low.x, node.position.x), std::min(low.y, node.position.y),
                     std::min(low.z, node.position.z));
        high = vec3_t(std::max(high.x, node.position.x), std::max(high.y, node.position.y),
                      std::max(high.z, node.position.z));
    }
    const float x0 = std::floor((low.x - margin) / cell) * cell;
    const float z0 = std::floor((low.z - margin) / cell) * cell;
    const int cells_x = static_cast<int>(std::ceil((high.x + margin - x0) / cell));
    const int cells_z = static_cast<int>(std::ceil((high.z + margin - z0) / cell));
    // A square of whole chunks.
    const int cells = (std::max(cells_x, cells_z) + cells_per_chunk - 1) / cells_per_chunk * cells_per_chunk;
    const float y = std::floor(low.y) - 20.0f;
    // One chunk per square of cells, each square's meshes of a few rows.
    std::vector<std::vector<world_map_writer::mesh_t>> chunks;
    for (int cz = 0; cz < cells; cz += cells_per_chunk)
        for (int cx = 0; cx < cells; cx += cells_per_chunk)
            chunks.push_back(world_map_writer::ground(vec3_t(x0 + cx * cell, y, z0 + cz * cell), cells_per_chunk, cell,
                                                      rows_per_mesh));
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
    std::printf("%s: %d x %d cells of %g, %zu chunks, %zu files\n", argv[2], cells, cells, cell, chunks.size(),
                files.files.size());
    return 0;
}
