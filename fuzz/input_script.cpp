// Feeds arbitrary bytes to the input script reader: it must answer true or false, never crash.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/input_script.h"
#include "engine/log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<inp_event_t> events;
    inp_script_parse(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.inp", events);
    // The capture is for tests; cleared here so a long run does not keep every line it logged.
    log_clear_capture();
    return 0;
}
