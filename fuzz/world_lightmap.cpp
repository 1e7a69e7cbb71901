// Feeds arbitrary bytes to the light-map chunk reader (against a mesh table of two chunks): accepted
// groups name meshes of their own chunk, and copying their first image into a mesh stays within both.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/log.h"
#include "common/engine_api.h"
#include "world/collision_sector_files.h"
#include "world/world_map_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        __builtin_trap();
    std::string why;
    map_index_t index;
    index.chunk_count = 2;
    index.meshes = {{0, 0}, {1, 0}, {0, 1}};
    lightmap_chunk_t chunk;
    if (lightmap_parse(data, size, index, 0, chunk, why))
        for (const lightmap_group_t& group : chunk.groups) {
            if (group.mesh >= index.meshes.size() || index.meshes[group.mesh].chunk != 0)
                __builtin_trap();
            map_mesh_t mesh;
            mesh.packed_colours.assign(7, 0);
            lightmap_colour_vertices(group, mesh);
        }
    log_clear_capture();
    return 0;
}
