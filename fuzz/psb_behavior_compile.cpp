// Feeds arbitrary text to the behaviour-file grammar with the real behaviour model, compiles whatever
// it accepts into a runner record and runs it from an exactly sized copy until it ends, then
// terminates and resets it: no block tree the grammar lets through may lay out a reference outside its
// record or a run state outside its runner.
#include <cstring>
#include <memory>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_block_builder.h"
#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour/psb_runner_build.h"
#include "psb_fuzz_common.h"

namespace {

// The vocabulary the inputs may name.
const char* const layer_file = R"(<?xml version="1.0"?><kuvra><layer version="1.0" name="f">
<processes><process name="idle"/></processes>
<attributes><attribute name="a"/><attribute name="n" type="int"/><attribute name="b" type="boolean"/></attributes>
<features><group><feature name="stance"><state>sit</state><state>stand</state></feature></group></features>
<load_behaviors file="b.xml"/></layer></kuvra>)";

// Animations whose length and frame count follow their name's first byte (0 included).
class named_sources_t : public psb_behavior_sources_t {
public:
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        const uint8_t first = static_cast<uint8_t>(file[0]);
        *out_id = first;
        *out_length = static_cast<float>(first % 8) * 0.25f;
        *out_frames = first % 32;
        return first != 'x';
    }
    int32_t find_sound(const char* name) override { return name[0] == 'x' ? -1 : 0; }
    int32_t frame_count(uint16_t id) const override { return id % 32; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    psb_fuzz_bind();
    static psb_layer_t* const layer = [] {
        auto* made = new psb_layer_t();
        psb_current_layer = made;
        if (!psb_layer_parse_text(layer_file, strlen(layer_file)))
            __builtin_trap();
        psb_current_layer = nullptr;
        return made;
    }();
    named_sources_t sources;
    psb_hold_sets_t holds;
    psb_behavior_t behavior(0, *layer, sources, holds);
    if (behavior.read_text(reinterpret_cast<const char*>(data), size) && behavior.valid()) {
        psb_block_builder_t block;
        // A leading entry so that no record starts at offset 0.
        block.take(40);
        block.put<uint32_t>(16, 1);
        block.put<uint32_t>(28, 36);
        uint32_t run_state = 0;
        block.put<uint32_t>(36, psb_runner_build(behavior, block, &run_state));
        const std::unique_ptr<uint8_t[]> exact(new uint8_t[block.size()]);
        memcpy(exact.get(), block.bytes().data(), block.size());
        if (psb_behavior_runner_t* const runner = psb_block_runner(exact.get(), 0, 0)) {
            // No model instance: every animation ends as it starts, and the walk reaches every node.
            uint8_t features[8] = {};
            psb_instance_context_t context;
            context.block = exact.get();
            context.feature_table = features;
            float step = 0.25f;
            for (int steps = 0; steps < 64 && runner->advance(&step, context); ++steps)
                step = 0.25f;
            runner->terminate(context);
            runner->reset(context);
        }
    }
    log_clear_capture();
    return 0;
}
