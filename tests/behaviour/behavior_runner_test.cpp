// Running behaviours from their compiled runner records: block trees drive the model library's
// animation descriptors with the weights, ramps, cross-fades, speeds and left-over times the engine
// relies on, and spans of no length divide nothing by zero.
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour_fixture.h"
#include "engine/psm.h"
#include "entry_block.h"

namespace {

const char* const layer_file = R"(<?xml version="1.0"?><kuvra><layer version="1.0" name="body">
<processes><process name="idle"/></processes>
<attributes><attribute name="f"/></attributes>
<features><group><feature name="stance"><state>sit</state><state>stand</state></feature></group></features>
<load_behaviors file="b.xml"/></layer></kuvra>)";

// Animations "a1" to "a4" of 1 to 4 s (10 frames a second and one more), ids 1 to 4, and "a0", id 0,
// which the sources report as having no length.
class timed_sources_t : public psb_behavior_sources_t {
public:
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        if (file[0] != 'a' || file[1] < '0' || file[1] > '4' || file[2] != 0)
            return false;
        *out_id = static_cast<uint16_t>(file[1] - '0');
        *out_length = static_cast<float>(file[1] - '0');
        *out_frames = frame_count(*out_id);
        return true;
    }
    int32_t find_sound(const char*) override { return 0; }
    int32_t frame_count(uint16_t id) const override { return 10 * id + 1; }
};

// Answers every event with `answer`, keeping each event's type and data.
class answering_sink_t : public psb_event_sink_t {
public:
    explicit answering_sink_t(bool answer) : answer_(answer) {}
    bool on_event(uint32_t type, uint32_t length, const void* data) override
    {
        const auto* const bytes = static_cast<const uint8_t*>(data);
        events.push_back({type, std::vector<uint8_t>(bytes, bytes + length)});
        return answer_;
    }
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> events;

private:
    bool answer_;
};

class behavior_runner_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_current_layer = &layer_;
        ASSERT_TRUE(psb_layer_parse_text(layer_file, strlen(layer_file)));
        psb_current_layer = nullptr;
        write_data_file("m/man.psm", "psm 1\nbone root { }\n");
        for (int seconds = 1; seconds <= 4; ++seconds)
            write_data_file("m/a" + std::to_string(seconds) + ".psa", "psa 1\nframes " +
                                                                          std::to_string(10 * seconds + 1) +
                                                                          "\nlength " + std::to_string(seconds) + "\n");
        model_ = api::psm_alloc("/m/man.psm", 0, 0, 0);
        ASSERT_NE(model_, nullptr);
        for (int seconds = 1; seconds <= 4; ++seconds) {
            int index = -1;
            api::psm_anim_add_file(api::psm_get_info(model_), ("/m/a" + std::to_string(seconds) + ".psa").c_str(),
                                   &index);
            // "a0" plays the model's 1 s animation.
            if (seconds == 1)
                animations_.push_back({index, 1, 0});
            animations_.push_back({index, 10 * seconds + 1, static_cast<float>(seconds)});
        }
        context_.model = model_;
        mark_log();
    }

    void TearDown() override
    {
        api::psm_free(model_);
        behaviour_test_t::TearDown();
    }

    // Another instance of the model, whose descriptors count from 1 again.
    psm_t* fresh_instance()
    {
        psm_t* const instance = api::psm_alloc("/m/man.psm", 0, 0, 0);
        EXPECT_NE(instance, nullptr);
        return instance;
    }

    // Reads a behaviour whose code section is `code` (after `head`: its features and holds), lays it out as behaviour 0
    // of an entry (beside `more`) and answers its runner in that block.
    psb_behavior_runner_t* compile(const std::string& code, const std::string& head = "<features></features>",
                                   std::vector<const psb_behavior_t*> more = {})
    {
        behavior_ = std::make_unique<psb_behavior_t>(0, layer_, sources_, holds_);
        const std::string text =
            kuvra("<behavior version=\"1.0\" process=\"idle\">" + head + "<code>" + code + "</code></behavior>\n");
        EXPECT_TRUE(behavior_->read_text(text.data(), text.size())) << code;
        more.insert(more.begin(), behavior_.get());
        block_ = lay_out_entry(animations_, more);
        context_.block = block_.data();
        context_.layer = 0;
        return psb_block_runner(block_.data(), 0, 0);
    }

    psb_layer_t layer_;
    timed_sources_t sources_;
    psb_hold_sets_t holds_;
    std::unique_ptr<psb_behavior_t> behavior_;
    std::vector<entry_animation_t> animations_;
    std::vector<uint8_t> block_;
    psm_t* model_ = nullptr;
    psb_instance_context_t context_;
};

TEST_F(behavior_runner_test, a_blend_cross_fades_half_and_half_a_quarter_into_its_overlay)
{
    // The first child lasts 1.5 s: an overlay of 0.5 s starts at 1 s.
    psb_behavior_runner_t* runner = compile(
        "<base><blend overlay=\"0.5s\"><animation file=\"a3\" speed=\"2\"/><animation file=\"a2\"/></blend></base>");
    ASSERT_NE(runner, nullptr);
    float step = 1.25f;
    EXPECT_TRUE(runner->advance(&step, context_));
    EXPECT_EQ(context_.runner, runner);
    EXPECT_NEAR(api::psm_adesc_get_cur_weight(model_, 1), 0.5f, 1e-6f);
    EXPECT_NEAR(api::psm_adesc_get_cur_weight(model_, 2), 0.5f, 1e-6f);
    EXPECT_NEAR(api::psm_adesc_get_nw_frame(model_, 2), 2.5f, 1e-4f);
}

TEST_F(behavior_runner_test, a_ramp_out_fades_over_its_length_to_nothing)
{
    // A quarter of 4 s: the ramp out starts at 3 s and lasts 1 s; the frozen last frame keeps its
    // descriptor, so the weight past the end shows.
    psb_behavior_runner_t* runner =
        compile("<base><animation file=\"a4\" ramp_out=\"25%\" end_action=\"freeze\"/></base>");
    ASSERT_NE(runner, nullptr);
    const std::vector<std::pair<float, float>> steps = {{3.0f, 1.0f}, {0.5f, 0.5f}, {0.25f, 0.25f}, {0.5f, 0.0f}};
    for (const auto& [seconds, weight] : steps) {
        float step = seconds;
        EXPECT_EQ(runner->advance(&step, context_), weight > 0) << seconds;
        EXPECT_NEAR(api::psm_adesc_get_cur_weight(model_, 1), weight, 1e-6f) << seconds;
        if (weight == 0) {
            EXPECT_NEAR(step, 0.25f, 1e-6f);
        }
    }
}

TEST_F(behavior_runner_test, a_ramp_of_the_event_type_asks_the_entity_with_the_engines_word)
{
    for (const bool answer : {true, false}) {
        SCOPED_TRACE(answer);
        context_.model = fresh_instance();
        answering_sink_t sink(answer);
        context_.sink = &sink;
        psb_behavior_runner_t* runner =
            compile("<base><animation file=\"a1\" ramp_in=\"50%\" ramp_type=\"event\"/></base>");
        ASSERT_NE(runner, nullptr);
        const uint32_t word = 0x01020304;
        memcpy(reinterpret_cast<uint8_t*>(runner) + psb_runner_engine_word, &word, sizeof word);
        float step = 0.25f;
        EXPECT_TRUE(runner->advance(&step, context_));
        // Asked to ramp in: the word, then 1.
        EXPECT_EQ(sink.events,
                  (std::vector<std::pair<uint32_t, std::vector<uint8_t>>>{{8u, {0x04, 0x03, 0x02, 0x01, 1, 0, 0, 0}}}));
        EXPECT_FLOAT_EQ(api::psm_adesc_get_cur_weight(context_.model, 1), answer ? 0.5f : 1.0f);
        api::psm_free(context_.model);
    }
}

TEST_F(behavior_runner_test, runner_speed_two_runs_the_tree_twice_as_fast_and_gives_back_scaled_left_over_time)
{
    psb_behavior_runner_t* runner = compile("<base><animation file=\"a1\"/></base>");
    ASSERT_NE(runner, nullptr);
    runner->set_speed(2);
    float step = 0.1f;
    EXPECT_TRUE(runner->advance(&step, context_));
    EXPECT_NEAR(api::psm_adesc_get_nw_frame(model_, 1), 2.0f, 1e-4f);
    step = 0.5f;
    EXPECT_FALSE(runner->advance(&step, context_));
    EXPECT_NEAR(step, 0.1f, 1e-6f);
}

TEST_F(behavior_runner_test, a_speed_that_is_no_positive_number_leaves_the_runner_at_its_own_pace)
{
    const float zero = 0;
    for (const bool written : {false, true}) {
        SCOPED_TRACE(written);
        mark_log();
        context_.model = fresh_instance();
        psb_behavior_runner_t* runner = compile("<base><animation file=\"a1\"/></base>");
        ASSERT_NE(runner, nullptr);
        if (written) {
            // The engine wrote the field itself: flag bit 2 with a speed of 0.
            uint8_t* const bytes = reinterpret_cast<uint8_t*>(runner);
            bytes[psb_runner_flags] |= psb_runner_apply_speed;
            memcpy(bytes + psb_runner_speed, &zero, sizeof zero);
        } else {
            runner->set_speed(0);
            runner->set_speed(NAN);
        }
        float step = 0.1f;
        EXPECT_TRUE(runner->advance(&step, context_));
        EXPECT_NEAR(api::psm_adesc_get_nw_frame(context_.model, 1), 1.0f, 1e-4f);
        step = 1.0f;
        EXPECT_FALSE(runner->advance(&step, context_));
        EXPECT_NEAR(step, 0.1f, 1e-6f);
        const std::vector<std::string> refused = {"<psb> invalid runner speed (0.000000)",
                                                  "<psb> invalid runner speed (nan)"};
        EXPECT_EQ(logged(), written ? std::vector<std::string>{} : refused);
        api::psm_free(context_.model);
    }
}

TEST_F(behavior_runner_test, a_priority_at_the_top_of_its_range_runs_on_a_higher_layer)
{
    // The layer's share of the priority would carry it past its range (the sanitizers' build sees it).
    psb_behavior_runner_t* runner = compile("<base><animation file=\"a1\" priority=\"2147483647\"/></base>");
    ASSERT_NE(runner, nullptr);
    context_.layer_index = 3;
    float step = 1.5f;
    EXPECT_FALSE(runner->advance(&step, context_));
    EXPECT_NEAR(step, 0.5f, 1e-6f);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(behavior_runner_test, a_sequence_starts_its_next_child_with_the_time_left_over)
{
    psb_behavior_runner_t* runner =
        compile("<base><sequence><animation file=\"a1\"/><animation file=\"a1\"/></sequence></base>");
    ASSERT_NE(runner, nullptr);
    float step = 1.5f;
    EXPECT_TRUE(runner->advance(&step, context_));
    // The first descriptor is gone; the second has run the half second the first did not use.
    EXPECT_NEAR(api::psm_adesc_get_nw_frame(model_, 2), 5.0f, 1e-4f);
    step = 0.75f;
    EXPECT_FALSE(runner->advance(&step, context_));
    EXPECT_NEAR(step, 0.25f, 1e-6f);
}

TEST_F(behavior_runner_test, a_sequence_longer_than_its_index_byte_counts_runs_each_child_once)
{
    // 300 children: the first of 2 s, the others of 1 s.
    std::string code = "<base><sequence><animation file=\"a2\"/>";
    for (int child = 1; child < 300; ++child)
        code += "<animation file=\"a1\"/>";
    psb_behavior_runner_t* runner = compile(code + "</sequence></base>");
    ASSERT_NE(runner, nullptr);
    int seconds = 0;
    float step = 1.5f;
    while (runner->advance(&step, context_) && seconds < 400) {
        seconds += 1;
        step = 1.0f;
    }
    EXPECT_EQ(seconds, 300);
    EXPECT_NEAR(step, 0.5f, 1e-4f);
}

TEST_F(behavior_runner_test, a_parallel_ends_when_only_trigger_waiting_children_remain)
{
    psb_behavior_runner_t* runner =
        compile("<base><parallel><animation file=\"a1\"/><animation file=\"a2\" time=\"5\"/></parallel></base>");
    ASSERT_NE(runner, nullptr);
    float step = 1.5f;
    EXPECT_FALSE(runner->advance(&step, context_));
    // The waiting child never ran: only one descriptor was ever made.
    EXPECT_EQ(api::psm_adesc_create(model_, animations_[1].psm_index, 0, 0, 0), 2);
}

TEST_F(behavior_runner_test, spans_of_no_length_end_or_hand_over_at_once)
{
    struct span_case_t {
        const char* code;
        // Seconds of each step, then the weight of descriptor `checked` after the first step.
        std::vector<float> steps;
        int checked;
        float weight;
        // The left-over time of the step that ends the behaviour.
        float left_over;
    };
    // "a0" has no length for the block tree, while the model plays it for 1 s.
    const std::vector<span_case_t> cases = {
        // A ramp in of no length (a tenth of nothing) is complete even on a step of no time.
        {"<base><parallel><animation file=\"a0\" ramp_in=\"10%\"/><animation file=\"a1\"/></parallel></base>",
         {0.0f, 0.5f, 0.75f},
         1,
         1.0f,
         0.25f},
        // An overlay of no length gives the second child the whole weight from its start.
        {"<base><blend overlay=\"0s\"><animation file=\"a0\"/><animation file=\"a1\"/></blend></base>",
         {0.5f, 0.75f},
         1,
         0.0f,
         0.25f},
        // A normalize child of no length gives no pace: the 1 s animation under it keeps its own.
        {"<base><normalize type=\"stretch\"><animation file=\"a2\"/><animation file=\"a0\">"
         "<animation file=\"a1\"/></animation></normalize></base>",
         {0.5f, 1.0f, 1.0f},
         1,
         1.0f,
         0.5f},
    };
    for (const span_case_t& c : cases) {
        SCOPED_TRACE(c.code);
        mark_log();
        context_.model = fresh_instance();
        psb_behavior_runner_t* runner = compile(c.code);
        ASSERT_NE(runner, nullptr);
        for (size_t index = 0; index < c.steps.size(); ++index) {
            float step = c.steps[index];
            const bool running = runner->advance(&step, context_);
            if (index == 0) {
                const float weight = api::psm_adesc_get_cur_weight(context_.model, c.checked);
                EXPECT_TRUE(std::isfinite(weight));
                EXPECT_FLOAT_EQ(weight, c.weight);
            }
            EXPECT_EQ(running, index + 1 < c.steps.size()) << index;
            if (!running) {
                EXPECT_NEAR(step, c.left_over, 1e-5f);
            }
        }
        EXPECT_EQ(logged(), std::vector<std::string>{});
        api::psm_free(context_.model);
    }
}

TEST_F(behavior_runner_test, terminate_applies_the_end_states_and_hold_set_once_the_behaviour_ended)
{
    psb_hold_sets_t other_holds;
    psb_behavior_t treeless(1, layer_, sources_, other_holds);
    psb_behavior_runner_t* runner = compile("<base><animation file=\"a1\"/></base>",
                                            "<features><feature name=\"stance\" from=\"sit\" to=\"stand\"/></features>"
                                            "<hold><generated_freeze/></hold>",
                                            {&treeless});
    ASSERT_NE(runner, nullptr);
    uint8_t features[16] = {};
    features[1] = 1;
    context_.feature_table = features;
    context_.hold_set = 7;
    EXPECT_EQ(runner->terminate(context_), 0);
    EXPECT_EQ(logged(), std::vector<std::string>{"cannot normally terminate running behavior"});
    EXPECT_EQ(features[1], 1);
    float step = 2;
    EXPECT_FALSE(runner->advance(&step, context_));
    EXPECT_EQ(runner->terminate(context_), 0);
    EXPECT_EQ(features[0], 1);
    EXPECT_EQ(features[1], 0);
    EXPECT_EQ(context_.flags & 1, 1);
    EXPECT_EQ(context_.hold_set, 0u);

    // A reset stops a running tree and clears the changing flags: the behaviour has ended.
    runner = compile("<base><animation file=\"a1\"/></base>",
                     "<features><feature name=\"stance\" from=\"sit\" to=\"stand\"/></features>", {&treeless});
    ASSERT_NE(runner, nullptr);
    step = 0.5f;
    EXPECT_TRUE(runner->advance(&step, context_));
    features[1] = 1;
    runner->reset(context_);
    EXPECT_EQ(features[1], 0);
    step = 0.5f;
    EXPECT_FALSE(runner->advance(&step, context_));
    EXPECT_EQ(api::psm_adesc_create(model_, animations_[1].psm_index, 0, 0, 0), 3);

    // A behaviour without a block tree has no runner, and a runner that names it ends at once.
    EXPECT_EQ(psb_block_runner(block_.data(), 0, 1), nullptr);
    // The runner's own 28 bytes are enough: it looks its record up before any run state.
    std::vector<uint8_t> copy(reinterpret_cast<uint8_t*>(runner), reinterpret_cast<uint8_t*>(runner) + psb_runner_size);
    const uint32_t treeless_id = 1;
    memcpy(copy.data() + psb_runner_behavior, &treeless_id, sizeof treeless_id);
    step = 0.1f;
    EXPECT_FALSE(reinterpret_cast<psb_behavior_runner_t*>(copy.data())->advance(&step, context_));
}

}  // namespace
