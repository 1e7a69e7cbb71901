// Reading description files: the layer grammar building its layer, the behaviour grammar handing its
// block descriptions to a counting model (the grammar alone) and building the whole behaviour (block
// tree, lengths, hold sets) compiled into its runner record, side by side with libexpat parsing the
// same bytes as plain XML (a lower bound for any reader of these files). Bytes per second are
// reported, so the ratio per megabyte is read off one run. Beside these large files, the whole
// description of a real model: the sample cab driver's info and the fifteen files it names, loaded
// through the resource cache and compiled into its block as the game loads it, against libexpat over
// the same sixteen texts.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_behavior_scan.h"
#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_block_builder.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour/psb_resources.h"
#include "behaviour/psb_runner_build.h"
#include "engine/cache.h"
#include "engine/host.h"
#include "engine/log.h"
#include "engine/vfs.h"
#include "common/engine_api.h"

namespace {

// A layer as large as a layer can be: 125 groups of two features (250 of the 255 a layer holds) with
// 150 states each (of 255), about 1 MB.
constexpr int layer_groups = 125, features_per_group = 2, states_per_feature = 150;

std::string layer_text()
{
    std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<kuvra>\n<layer version=\"1.0\" name=\"bench\">\n"
                       "<processes><process name=\"move\"/><process name=\"talk\"/></processes>\n"
                       "<attributes><attribute name=\"speed\"/><attribute name=\"count\" type=\"int\"/></attributes>\n"
                       "<features>\n";
    for (int group = 0; group < layer_groups; ++group) {
        text += "  <group name=\"g" + std::to_string(group) + "\">\n";
        for (int feature = 0; feature < features_per_group; ++feature) {
            text += "    <feature name=\"feature_" + std::to_string(group) + "_" + std::to_string(feature) + "\">\n";
            for (int state = 0; state < states_per_feature; ++state)
                text += "      <state>state_" + std::to_string(state) + "</state>\n";
            text += "    </feature>\n";
        }
        text += "  </group>\n";
    }
    text += "</features>\n<load_behaviors file=\"bench.behaviors.xml\"/>\n</layer>\n</kuvra>\n";
    return text;
}

// About 1 MB of behaviour file: one base block of animations, each with a triggered child.
std::string behavior_text()
{
    std::string text = "<?xml version=\"1.0\"?>\n<kuvra>\n<behavior process=\"move\" version=\"1.0\">\n"
                       "<attributes><attribute name=\"speed\" value=\"1.5\"/></attributes>\n"
                       "<features><feature name=\"stance\" from=\"stand\" to=\"walk\"/></features>\n<code>\n<base>\n";
    for (int i = 0; i < 4000; ++i)
        text += "  <sequence probability=\"0.5\">\n"
                "    <animation file=\"walk_" +
                std::to_string(i % 50) +
                ".anim.xml\" weight=\"0.5\" ramp_in=\"10%\" "
                "priority=\"2\">\n"
                "      <parallel time=\"50%\" event=\"sound\" event_data=\"/sounds/step.wav\"/>\n"
                "    </animation>\n  </sequence>\n";
    text += "</base>\n</code>\n</behavior>\n</kuvra>\n";
    return text;
}

// Takes every description and keeps only counts: the grammar's own cost.
class counting_behavior_t : public psb_behavior_actions_t {
public:
    bool set_process(const char*) override { return true; }
    bool add_attribute_value(const char*, const psb_attribute_value_t&) override { return true; }
    bool add_feature_state(const char*, const char*, const char*) override { return true; }
    void check_feature_states() override {}
    void set_generated_freeze(bool) override {}
    void begin_holds() override {}
    bool end_holds() override { return true; }
    void add_hold(const char*, float, uint32_t, float, bool) override {}
    void begin_blocks() override { depth = 0; }
    void begin_block(const psb_block_desc_t& desc) override
    {
        ++blocks;
        animation_depth += desc.kind == psb_block_animation;
        ++depth;
    }
    bool end_block() override
    {
        --depth;
        return true;
    }
    bool end_blend() override { return true; }
    bool end_normalize() override { return true; }
    bool current_block_animation_context() const override { return animation_depth > 0; }
    int blocks = 0;
    int depth = 0;
    int animation_depth = 0;
};

// Every animation a second long of 30 frames; every sound the first.
class fixed_sources_t : public psb_behavior_sources_t {
public:
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        *out_id = static_cast<uint16_t>(file[5]);
        *out_length = 1.0f;
        *out_frames = 30;
        return true;
    }
    int32_t find_sound(const char*) override { return 0; }
    int32_t frame_count(uint16_t) const override { return 30; }
};

// The vocabulary the generated behaviour names.
const char* const bench_layer = "<?xml version=\"1.0\"?>\n<kuvra>\n<layer version=\"1.0\" name=\"bench\">\n"
                                "<processes><process name=\"move\"/></processes>\n"
                                "<attributes><attribute name=\"speed\"/></attributes>\n"
                                "<features><group><feature name=\"stance\"><state>stand</state><state>walk</state>"
                                "</feature></group></features>\n"
                                "<load_behaviors file=\"bench.behaviors.xml\"/>\n</layer>\n</kuvra>\n";

// Binds the engine's functions once (the grammars report through them).
void bind_once()
{
    static const bool bound = bind_engine_for_tests();
    if (!bound)
        std::abort();
}

// libexpat over `text` as plain XML, counting elements.
void parse_with_expat(benchmark::State& state, const std::string& text)
{
    int64_t elements = 0;
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        int64_t count = 0;
        XML_SetUserData(parser, &count);
        XML_SetStartElementHandler(
            parser, [](void* data, const XML_Char*, const XML_Char**) { ++*static_cast<int64_t*>(data); });
        if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_OK)
            state.SkipWithError("expat refused the file");
        XML_ParserFree(parser);
        elements = count;
    }
    state.counters["elements"] = static_cast<double>(elements);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void layer_grammar(benchmark::State& state)
{
    bind_once();
    state.SetLabel("a layer of 250 features x 150 states, built whole");
    const std::string text = layer_text();
    log_clear_capture();
    for (auto _ : state) {
        psb_layer_t layer;
        psb_current_layer = &layer;
        if (!psb_layer_parse_text(text.data(), text.size()))
            state.SkipWithError("the layer grammar refused the file");
        psb_current_layer = nullptr;
        // Every feature built, none refused: the time is a layer's, not its refusals'.
        if (layer.feature_count() != layer_groups * features_per_group || !log_captured().empty())
            state.SkipWithError("the layer was not built whole");
        log_clear_capture();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void layer_expat(benchmark::State& state)
{
    state.SetLabel("the same layer, plain XML");
    parse_with_expat(state, layer_text());
}

void behavior_grammar(benchmark::State& state)
{
    bind_once();
    state.SetLabel("a behaviour of 4000 sequences, grammar alone");
    const std::string text = behavior_text();
    for (auto _ : state) {
        counting_behavior_t behavior;
        psb_current_behavior = &behavior;
        if (!psb_behavior_parse_text(text.data(), text.size()))
            state.SkipWithError("the behaviour grammar refused the file");
        psb_current_behavior = nullptr;
        benchmark::DoNotOptimize(behavior.blocks);
        log_clear_capture();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void behavior_model(benchmark::State& state)
{
    bind_once();
    state.SetLabel("a behaviour of 4000 sequences, built and compiled");
    const std::string text = behavior_text();
    psb_layer_t layer;
    psb_current_layer = &layer;
    if (!psb_layer_parse_text(bench_layer, strlen(bench_layer)))
        state.SkipWithError("the layer grammar refused the vocabulary");
    psb_current_layer = nullptr;
    fixed_sources_t sources;
    for (auto _ : state) {
        psb_hold_sets_t holds;
        psb_behavior_t behavior(0, layer, sources, holds);
        psb_current_behavior = &behavior;
        if (!psb_behavior_parse_text(text.data(), text.size()))
            state.SkipWithError("the behaviour grammar refused the file");
        psb_current_behavior = nullptr;
        psb_block_builder_t block;
        uint32_t run_state = 0;
        psb_runner_build(behavior, block, &run_state);
        benchmark::DoNotOptimize(block.size());
        log_clear_capture();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void behavior_expat(benchmark::State& state)
{
    state.SetLabel("the same behaviour, plain XML");
    parse_with_expat(state, behavior_text());
}

// The sample cab driver's description files, under data/.
const std::string real_folder = std::string(KAVRENTA_SOURCE_DIR) + "/data";
const char* const real_info = "/behaviour/cab_driver/cab_driver.info.xml";

// The texts of the cab driver's sixteen description files.
std::vector<std::string> real_texts()
{
    std::vector<std::string> names = {"cab_driver.info.xml", "cab_driver.layer.xml", "cab_driver.behaviors.xml",
                                      "cab_driver.transitions.xml"};
    for (const char* move :
         {"straight_left", "straight_right", "left_straight", "left_right", "right_straight", "right_left"}) {
        names.push_back(std::string(move) + ".behavior.xml");
        names.push_back(std::string(move) + ".anim.xml");
    }
    std::vector<std::string> texts;
    for (const std::string& name : names) {
        std::ifstream file(real_folder + "/behaviour/cab_driver/" + name);
        texts.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return texts;
}

int64_t total_bytes(const std::vector<std::string>& texts)
{
    int64_t bytes = 0;
    for (const std::string& text : texts)
        bytes += static_cast<int64_t>(text.size());
    return bytes;
}

void real_model_load(benchmark::State& state)
{
    bind_once();
    state.SetLabel("the cab driver's 16 description files with model and animations, loaded and compiled");
    host_settings().data_root = real_folder;
    if (!vfs_init_from_host())
        state.SkipWithError("no data folder");
    psb_info_makeup_ops();
    psb_layer_makeup_ops();
    const int loaders[2] = {mm_register_loader(nullptr, psb_info_loader_match, 0),
                            mm_register_loader(nullptr, psb_layer_loader_match, 0)};
    log_clear_capture();
    for (auto _ : state) {
        c_item_t* const item = mm_precache(real_info);
        if (!item || !item->object || !log_captured().empty())
            state.SkipWithError("the cab driver's description was not loaded whole");
        benchmark::DoNotOptimize(item->size);
        // Let it go, so the next round reads and compiles it again (its model and animations too).
        ci_dec_refs(item);
        mm_mem_free_unreferenced_ops(&psb_info_ops);
        mm_mem_free_unreferenced_ops(&psb_layer_ops);
    }
    for (const int loader : loaders)
        mm_unregister_loader(loader);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * total_bytes(real_texts()));
}

void real_model_expat(benchmark::State& state)
{
    state.SetLabel("the cab driver's 16 description files, plain XML");
    const std::vector<std::string> texts = real_texts();
    for (auto _ : state) {
        for (const std::string& text : texts) {
            XML_Parser parser = XML_ParserCreate(nullptr);
            if (XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1) != XML_STATUS_OK)
                state.SkipWithError("expat refused a file");
            XML_ParserFree(parser);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * total_bytes(texts));
}

BENCHMARK(layer_grammar)->Unit(benchmark::kMillisecond);
BENCHMARK(layer_expat)->Unit(benchmark::kMillisecond);
BENCHMARK(behavior_grammar)->Unit(benchmark::kMillisecond);
BENCHMARK(behavior_model)->Unit(benchmark::kMillisecond);
BENCHMARK(behavior_expat)->Unit(benchmark::kMillisecond);
BENCHMARK(real_model_load)->Unit(benchmark::kMicrosecond);
BENCHMARK(real_model_expat)->Unit(benchmark::kMicrosecond);

}  // namespace
