// Feeds arbitrary text to the info-file grammar: nothing may crash or overrun, and a skip count that
// reaches the model is never negative or absurd.
#include <cstring>

#include "behaviour/grammar/psb_info_scan.h"
#include "psb_fuzz_common.h"

namespace {

// Accepts everything and checks the counts it is given.
class checking_info_t : public psb_info_actions_t {
public:
    bool set_model(const char* file) override { return strlen(file) < 1023; }
    bool add_layer(const char* file) override { return strlen(file) < 1023; }
    void begin_look(const char*) override {}
    void add_shader(const char*) override {}
    void add_skip(int32_t count) override
    {
        if (count < 0 || count > psb_most_skipped_shaders)
            __builtin_trap();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    checking_info_t info;
    psb_current_info = &info;
    psb_info_parse_text(reinterpret_cast<const char*>(data), size);
    psb_current_info = nullptr;
    log_clear_capture();
    return 0;
}
