// Feeds arbitrary text to the behaviour-file grammar: nothing may crash or overrun, block descriptions
// keep their fields in range, and blocks open and close in pairs.
#include <cstring>
#include <vector>

#include "behaviour/grammar/psb_behavior_scan.h"
#include "psb_fuzz_common.h"

namespace {

// Keeps the block stack the grammar drives and checks each description.
class checking_behavior_t : public psb_behavior_actions_t {
public:
    bool set_process(const char*) override { return true; }
    bool add_attribute_value(const char*, const psb_attribute_value_t& value) override { return value.type <= 2; }
    bool add_feature_state(const char*, const char*, const char*) override { return true; }
    void check_feature_states() override {}
    void set_generated_freeze(bool) override {}
    void begin_holds() override {}
    bool end_holds() override { return true; }
    void add_hold(const char* file, float, uint32_t unit, float, bool) override
    {
        if (strlen(file) > psb_hold_file_limit || (unit != psb_hold_percent && unit != psb_hold_frames))
            __builtin_trap();
    }
    void begin_blocks() override { contexts_.assign(1, false); }
    void begin_block(const psb_block_desc_t& desc) override
    {
        if (desc.event_data_length > psb_event_data_size ||
            strnlen(desc.file, psb_block_file_size) >= psb_block_file_size || desc.kind > psb_block_normalize ||
            desc.kind == psb_block_root || contexts_.empty())
            __builtin_trap();
        contexts_.push_back(desc.animation_context);
    }
    bool end_block() override
    {
        if (contexts_.empty())
            __builtin_trap();
        contexts_.pop_back();
        return true;
    }
    bool end_blend() override { return true; }
    bool end_normalize() override { return true; }
    bool current_block_animation_context() const override { return !contexts_.empty() && contexts_.back(); }

private:
    std::vector<bool> contexts_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    checking_behavior_t behavior;
    psb_current_behavior = &behavior;
    psb_behavior_parse_text(reinterpret_cast<const char*>(data), size);
    psb_current_behavior = nullptr;
    log_clear_capture();
    return 0;
}
