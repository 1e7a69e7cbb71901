// Feeds arbitrary text to the layer-file grammar: nothing may crash, overrun or leak, and every
// registered feature must answer its own index.
#include <cstddef>
#include <cstdint>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_layer_load.h"
#include "psb_fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    psb_layer_t layer;
    psb_current_layer = &layer;
    psb_layer_parse_text(reinterpret_cast<const char*>(data), size);
    psb_current_layer = nullptr;
    for (uint32_t i = 0; i < layer.feature_count(); ++i) {
        char name[80];
        uint8_t index = 0;
        if (!layer.feature_name(i, name, sizeof name) || !layer.find_feature_index(name, &index) || index != i)
            __builtin_trap();
    }
    log_clear_capture();
    return 0;
}
