// Feeds arbitrary bytes to the reader of the collision index "aabb.dat": an accepted index has a sector
// edge of at least 1.
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
    sector_index_t index;
    if (sector_index_parse(data, size, index, why) && index.edge < 1)
        __builtin_trap();
    log_clear_capture();
    return 0;
}
