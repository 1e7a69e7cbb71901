// Feeds arbitrary bytes to the geometry chunk reader: an accepted chunk names textures of its list and
// vertices of its meshes only.
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
    geometry_chunk_t chunk;
    if (geometry_chunk_parse(data, size, 4, chunk, why))
        for (const map_mesh_t& mesh : chunk.meshes) {
            if (mesh.texture >= 4 || mesh.indices.size() % 3 != 0)
                __builtin_trap();
            for (const uint16_t index : mesh.indices)
                if (index >= mesh.positions.size())
                    __builtin_trap();
        }
    log_clear_capture();
    return 0;
}
