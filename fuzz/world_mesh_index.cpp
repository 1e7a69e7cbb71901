// Feeds arbitrary bytes to the reader of a static world's index "mesh.dat": an accepted index names
// only chunks below its chunk count.
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
    if (map_index_parse(data, size, index, why))
        for (const map_mesh_ref_t& mesh : index.meshes)
            if (mesh.chunk >= index.chunk_count)
                __builtin_trap();
    log_clear_capture();
    return 0;
}
