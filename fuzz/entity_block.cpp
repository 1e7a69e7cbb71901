// Feeds arbitrary text to the entity block reader: it must refuse or accept, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/eblock.h"
#include "engine/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto block = eblock_template_t::parse(text, "fuzz.esc");
    if (block)
        (void)block->entity_count();
    // The capture is for tests; cleared here so a long run does not keep every line it logged.
    log_clear_capture();
    return 0;
}
