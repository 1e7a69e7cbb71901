// Feeds arbitrary text to the animation-file grammar: nothing may crash or overrun.
#include <cstring>

#include "behaviour/grammar/psb_animation_scan.h"
#include "psb_fuzz_common.h"

namespace {

// Accepts everything; names always arrive terminated within a token value.
class checking_animation_t : public psb_animation_actions_t {
public:
    bool add_animation(const char* file) override { return strlen(file) < 1023; }
    bool add_feature_state(const char* feature, const char* begin, const char* end) override
    {
        return strlen(feature) + strlen(begin) + strlen(end) < 3 * 1023;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    checking_animation_t animation;
    psb_current_animation = &animation;
    psb_animation_parse_text(reinterpret_cast<const char*>(data), size);
    psb_current_animation = nullptr;
    log_clear_capture();
    return 0;
}
