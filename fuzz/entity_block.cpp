// Feeds arbitrary text to the entity block reader: it must refuse or accept, never crash or hang.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/eblock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto block = eblock_template_t::parse(text, "fuzz.esc");
    if (block)
        (void)block->entity_count();
    return 0;
}
