// Feeds arbitrary bytes to the visibility tree reader: accepted trees link only to their own nodes and
// name only meshes and sphere trees that exist.
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
    visibility_tree_t tree;
    if (visibility_tree_parse(data, size, 16, tree, why)) {
        for (const auto& nodes : tree.sphere_trees)
            for (const sphere_node_t& node : nodes) {
                for (const int32_t child : node.children)
                    if (child >= static_cast<int32_t>(nodes.size()))
                        __builtin_trap();
                for (const uint16_t mesh : node.meshes)
                    if (mesh >= 16)
                        __builtin_trap();
            }
        for (const partition_node_t& node : tree.partition)
            for (const uint16_t index : node.trees)
                if (index >= tree.sphere_trees.size())
                    __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
