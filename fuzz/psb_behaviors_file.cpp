// Feeds arbitrary text to the behaviour-list grammar, each group naming the same input again: nesting
// stays bounded, and every parse ends at level 0 with its buffers given back.
#include <string>

#include "behaviour/grammar/psb_behaviors_scan.h"
#include "psb_fuzz_common.h"

namespace {

// Every group reads the fuzzer's input once more, so groups nest as deep as the input asks.
class nesting_behaviors_t : public psb_behaviors_actions_t {
public:
    explicit nesting_behaviors_t(std::string text) : text_(std::move(text)) {}
    void load_behavior(const char*) override {}
    void include_group(const char*) override { psb_behaviors_push_buffer(text_.data(), text_.size()); }

private:
    std::string text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    const std::string text(reinterpret_cast<const char*>(data), size);
    nesting_behaviors_t list(text);
    psb_current_behaviors = &list;
    psb_behaviors_parse_text(text.data(), text.size());
    psb_current_behaviors = nullptr;
    if (psb_behaviors_level() != 0)
        __builtin_trap();
    log_clear_capture();
    return 0;
}
