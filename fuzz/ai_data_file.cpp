// Feeds arbitrary bytes to the AI data file reader (a map's loading docks): a file that is accepted must
// hold only slot counts a dock has and trader indices of the traders it was read for, and nothing may
// crash or overrun.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/economy/ai_data_file.h"

namespace {

// Traders the reader is told exist.
constexpr int32_t trader_count = 5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<dock_t> docks;
    std::string error;
    const bool accepted = ai_data_parse(data, size, trader_count, docks, error);
    if (!accepted && !docks.empty())
        __builtin_trap();
    for (const dock_t& dock : docks)
        if (dock.slot_count < 0 || dock.slot_count > dock_slot_count || dock.trader < -1 || dock.trader >= trader_count)
            __builtin_trap();
    return 0;
}
