// Feeds arbitrary bytes to the definition parser; whatever parses must write back to a text that
// parses to the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/def_pool.h"
#include "engine/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto pool = def_pool_t::parse(text, "fuzz.def");
    if (pool) {
        const std::string written = pool->to_text();
        const auto again = def_pool_t::parse(written, "written.def");
        if (!again || again->to_text() != written)
            abort();
    }
    log_reset();
    return 0;
}
