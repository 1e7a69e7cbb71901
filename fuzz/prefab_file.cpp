// Feeds arbitrary bytes to the prefab model file parser: a file that is accepted must hold only
// triangle indices that name its parts' vertices and curves with segments, and nothing may crash or
// read past the bytes.
#include <cstddef>
#include <cstdint>

#include "engine/log.h"
#include "common/engine_api.h"
#include "road/prefab_file.h"

namespace {

// Traps unless every index of `indices` is below `vertices`.
void check_indices(const std::vector<uint16_t>& indices, const size_t vertices)
{
    for (const uint16_t index : indices)
        if (index >= vertices)
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        __builtin_trap();
    prefab_t prefab;
    if (prefab_file_parse(data, size, "fuzz.pmd", prefab)) {
        for (const prefab_part_t& part : prefab.parts) {
            check_indices(part.indices, part.positions.size());
            if (part.normals.size() != part.positions.size() || part.uvs.size() != 2 * part.positions.size())
                __builtin_trap();
        }
        for (const prefab_coll_part_t& part : prefab.coll_parts)
            check_indices(part.indices, part.positions.size());
        for (const prefab_curve_t& curve : prefab.curves)
            if (curve.segments.empty())
                __builtin_trap();
    } else if (!prefab.parts.empty() || !prefab.curves.empty() || !prefab.nodes.empty()) {
        __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
