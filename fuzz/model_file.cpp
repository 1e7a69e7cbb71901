// Feeds arbitrary bytes to the model library's two text readers: a model that parses must give
// consistent part records, and neither reader may crash, overrun or leak.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/log.h"
#include "engine/psm_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (psm_info_t* const info = psm_info_parse(text, "fuzz.psm")) {
        for (int p = 0; p < info->part_count; ++p) {
            const psm_part_t& part = info->parts[p];
            for (int i = 0; i < part.index_count; ++i)
                if (part.indices[i] >= part.vertex_count)
                    __builtin_trap();
            if (part.bone >= info->bone_count)
                __builtin_trap();
        }
        psm_info_release(info);
    }
    int frames = 0;
    float length = 0;
    if (psm_anim_parse(text, "fuzz.psa", &frames, &length) && (frames < 1 || !(length > 0)))
        __builtin_trap();
    log_clear_capture();
    return 0;
}
