// Feeds arbitrary text to the transitions-file grammar: nothing may crash or overrun, blend
// animations name a file of at most 63 characters and overlay units are 1 or 2.
#include <cstring>

#include "behaviour/grammar/psb_transitions_scan.h"
#include "psb_fuzz_common.h"

namespace {

// Accepts everything and checks what a blend hands over.
class checking_transitions_t : public psb_transitions_actions_t {
public:
    void set_feature(const char*) override {}
    void default_priority() override {}
    void set_priority(int32_t) override {}
    void clear_overlay() override {}
    void set_overlay(float) override {}
    void set_no_stretch(bool) override {}
    void set_matrix_state(const char*, const char*) override {}
    void begin_simple() override {}
    void set_from_to(const char*, const char*) override {}
    void end_transition() override {}
    void set_play_behavior(const char*) override {}
    void begin_blend_action(float, uint8_t unit) override
    {
        if (unit != 1 && unit != 2)
            __builtin_trap();
    }
    void add_blend_animation(int side, const char* file, bool, float, bool, float) override
    {
        if ((side != 0 && side != 1) || strlen(file) == 0 || strlen(file) > 63)
            __builtin_trap();
    }
    void end_blend_action() override {}
    void begin_compound() override {}
    void add_compound_feature(const char*, const char*, const char*) override {}
    void end_compound() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    checking_transitions_t transitions;
    psb_current_transitions = &transitions;
    psb_transitions_parse_text(reinterpret_cast<const char*>(data), size);
    psb_current_transitions = nullptr;
    log_clear_capture();
    return 0;
}
