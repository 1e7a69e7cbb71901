// Feeds arbitrary bytes to the reader of a static world's texture list: every accepted name fits its
// 64-byte field.
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
    texture_list_t list;
    if (texture_list_parse(data, size, list, why))
        for (const std::string& name : list.names)
            if (name.size() >= 64)
                __builtin_trap();
    log_clear_capture();
    return 0;
}
