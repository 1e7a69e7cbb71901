// Runs arbitrary bytes as a config file: the console must split and run them without crashing.
#include <cstddef>
#include <cstdint>

#include "engine/command.h"
#include "engine/cvar.h"
#include "engine/log.h"

namespace {

// Reads every word it is given, as a real command would.
void read_words()
{
    for (int i = 0; i <= cmd_argc(); ++i)
        (void)cmd_argv(i);
}

cvar_t fuzz_variable("f_value", "0", cvar_t::type_text, nullptr, 0);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = cmd_register_command("words", read_words) && cvar_register_variable(&fuzz_variable, 0);
    (void)ready;
    cmd_execute_block(reinterpret_cast<const char*>(data), static_cast<long>(size));
    // The capture is for tests; cleared here so a long run does not keep every line it logged.
    log_clear_capture();
    return 0;
}
