// The sample driver's behaviours built into their models (animations read from their files and added
// to the driver's model), compiled into their runner records and run on an instance of the driver until
// they end.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour_fixture.h"
#include "engine/host.h"
#include "engine/psm.h"
#include "engine/vfs.h"
#include "entry_block.h"

namespace {

const std::string character = "/behaviour/driver/";

// The driver's animations and sounds, read on first use.
class driver_sources_t : public psb_behavior_sources_t {
public:
    driver_sources_t(const psb_layer_t& layer, psm_info_t* model) : layer_(layer), model_(model) {}

    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        auto found = by_name_.find(file);
        if (found == by_name_.end()) {
            auto animation =
                std::make_unique<psb_animation_t>(static_cast<uint16_t>(animations_.size()), layer_, model_, character);
            if (!animation->read((character + file).c_str()))
                return false;
            found = by_name_.emplace(file, animations_.size()).first;
            animations_.push_back(std::move(animation));
        }
        const psb_animation_t& animation = *animations_[found->second];
        *out_id = animation.id();
        *out_length = animation.length();
        *out_frames = animation.frame_count();
        return true;
    }
    int32_t find_sound(const char* name) override
    {
        const auto found = std::find(sounds.begin(), sounds.end(), name);
        if (found != sounds.end())
            return static_cast<int32_t>(found - sounds.begin());
        sounds.push_back(name);
        return static_cast<int32_t>(sounds.size() - 1);
    }
    int32_t frame_count(uint16_t id) const override
    {
        return id < animations_.size() ? animations_[id]->frame_count() : 0;
    }

    // The animations read so far, as a layer entry compiles them.
    std::vector<entry_animation_t> compiled() const
    {
        std::vector<entry_animation_t> out;
        for (const auto& animation : animations_)
            out.push_back({animation->psm_index(), animation->frame_count(), animation->length()});
        return out;
    }

    std::vector<std::string> sounds;

private:
    const psb_layer_t& layer_;
    psm_info_t* model_;
    std::map<std::string, size_t> by_name_;
    std::vector<std::unique_ptr<psb_animation_t>> animations_;
};

// Keeps the events the driver receives.
class recording_sink_t : public psb_event_sink_t {
public:
    bool on_event(uint32_t type, uint32_t length, const void*) override
    {
        events.push_back({type, length});
        return true;
    }
    std::vector<std::pair<uint32_t, uint32_t>> events;
};

class sample_run_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
        reset_engine();
        ASSERT_TRUE(vfs_init_from_host());
        std::string text;
        ASSERT_TRUE(vfs_read_whole((character + "body.layer.xml").c_str(), text));
        psb_current_layer = &layer_;
        ASSERT_TRUE(psb_layer_parse_text(text.data(), text.size()));
        psb_current_layer = nullptr;
        instance_ = api::psm_alloc("/models/driver/driver.psm", 0, 0, 0);
        ASSERT_NE(instance_, nullptr);
        sources_ = std::make_unique<driver_sources_t>(layer_, api::psm_get_info(instance_));
        mark_log();
    }

    void TearDown() override
    {
        api::psm_free(instance_);
        behaviour_test_t::TearDown();
    }

    // Compiles `behavior` alone and runs it from its runner record in steps of 0.1 s until it ends: the
    // seconds it ran.
    float run(const psb_behavior_t& behavior, psb_instance_context_t& context)
    {
        std::vector<uint8_t> block = lay_out_entry(sources_->compiled(), {&behavior});
        context.block = block.data();
        context.layer = 0;
        psb_behavior_runner_t* const runner = psb_block_runner(block.data(), 0, behavior.id());
        if (!runner)
            return -1;
        float total = 0;
        for (int steps = 0; steps < 100; ++steps) {
            float step = 0.1f;
            const bool running = runner->advance(&step, context);
            total += running ? 0.1f : 0.1f - step;
            if (!running) {
                runner->terminate(context);
                return total;
            }
        }
        return -1;
    }

    psb_layer_t layer_;
    psm_t* instance_ = nullptr;
    std::unique_ptr<driver_sources_t> sources_;
    psb_hold_sets_t holds_;
};

TEST_F(sample_run_test, the_idle_behaviour_plays_its_animation_once_and_holds_its_last_frame)
{
    psb_behavior_t idle(0, layer_, *sources_, holds_);
    ASSERT_TRUE(idle.read((character + "idle.behavior.xml").c_str()));
    ASSERT_EQ(idle.attribute_values().size(), 1u);
    EXPECT_FLOAT_EQ(idle.attribute_values()[0].value.real, 0.75f);
    ASSERT_EQ(holds_.sets.size(), 1u);
    ASSERT_EQ(holds_.sets[0].size(), 1u);
    EXPECT_EQ(holds_.sets[0][0].frame, 30);
    EXPECT_FLOAT_EQ(idle.base_length(), 1.0f);

    uint8_t features[16] = {};
    psb_instance_context_t context;
    context.model = instance_;
    context.feature_table = features;
    EXPECT_NEAR(run(idle, context), 1.0f, 1e-5f);
    EXPECT_EQ(features[0], 1);  // stance: stand
    EXPECT_EQ(context.hold_set, 0u);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(sample_run_test, the_wave_cross_fades_into_a_frozen_wave_and_says_hello)
{
    psb_behavior_t wave(1, layer_, *sources_, holds_);
    ASSERT_TRUE(wave.read((character + "wave.behavior.xml").c_str()));
    EXPECT_EQ(wave.process(), 1u);
    EXPECT_TRUE(wave.hold_not_explicit());
    // The generated freeze holds the last frame of both animations of the base block.
    ASSERT_EQ(wave.hold_set(), 0);
    ASSERT_EQ(holds_.sets[0].size(), 2u);
    EXPECT_EQ(holds_.sets[0][1].frame, 10);
    EXPECT_TRUE(holds_.sets[0][1].weight_given);
    // Idle (1 s) and wave (0.5 s) overlap by half the shorter: 0.25 s from 0.75 s.
    EXPECT_FLOAT_EQ(wave.base_length(), 1.25f);
    EXPECT_EQ(sources_->sounds, std::vector<std::string>{"/sounds/driver/hello.wav"});

    recording_sink_t sink;
    uint8_t features[16] = {};
    psb_instance_context_t context;
    context.model = instance_;
    context.sink = &sink;
    context.feature_table = features;
    EXPECT_GT(run(wave, context), 1.0f);
    EXPECT_EQ(sink.events, (std::vector<std::pair<uint32_t, uint32_t>>{{0u, 4u}}));
    EXPECT_EQ(features[8], 1);  // arm: up
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

}  // namespace
