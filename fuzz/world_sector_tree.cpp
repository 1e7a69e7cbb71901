// Feeds arbitrary bytes to the collision sector (".btr") reader: an accepted tree is walked whole,
// leaf lists and all.
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
    sector_tree_t tree;
    if (tree.parse(data, size, why)) {
        uint64_t odd = 0;
        const cd_bvnode_t* stack[world_tree_max_depth + 4];
        int depth = 0;
        stack[depth++] = tree.root();
        while (depth > 0) {
            const cd_bvnode_t* node = stack[--depth];
            if (node->leaf()) {
                for (uint16_t i = 0; i < node->count(); ++i)
                    odd += node->ids()[i] & 1u;
                continue;
            }
            stack[depth++] = node->first;
            stack[depth++] = node->second;
        }
        if (odd > size)
            __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
