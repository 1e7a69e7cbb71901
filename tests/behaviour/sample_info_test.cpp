// The sample driver's info loaded through the resource cache: its layer, behaviours, animations,
// transitions, looks and sounds compiled into one block, and its behaviours run from that block on an
// instance of the driver.
#include <string>
#include <vector>

#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_resources.h"
#include "behaviour/psb_transitions.h"
#include "behaviour_fixture.h"
#include "engine/cache.h"
#include "engine/host.h"
#include "engine/psm.h"
#include "engine/vfs.h"

namespace {

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

class sample_info_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
        reset_engine();
        ASSERT_TRUE(vfs_init_from_host());
        mark_log();
        psb_info_makeup_ops();
        psb_layer_makeup_ops();
        loaders_.push_back(mm_register_loader(nullptr, psb_info_loader_match, 0));
        loaders_.push_back(mm_register_loader(nullptr, psb_layer_loader_match, 0));
        item_ = mm_precache("/behaviour/driver/driver.info.xml");
        ASSERT_NE(item_, nullptr);
        block_ = item_->object;
    }

    void TearDown() override
    {
        if (item_) {
            ci_dec_refs(item_);
            EXPECT_TRUE(mm_release_item(item_));
        }
        for (int loader : loaders_)
            mm_unregister_loader(loader);
        behaviour_test_t::TearDown();
    }

    uint32_t word(uint32_t offset) const { return psb_block_read<uint32_t>(block_, offset); }
    const char* text(uint32_t offset) const { return static_cast<const char*>(block_) + offset; }

    // The context of a driver instance running behaviours of the layer entry at `entry`.
    psb_instance_context_t driver_context(psm_t* instance, uint32_t entry) const
    {
        psb_instance_context_t context;
        context.model = instance;
        context.block = block_;
        context.layer = entry;
        return context;
    }

    std::vector<int> loaders_;
    c_item_t* item_ = nullptr;
    const void* block_ = nullptr;
};

TEST_F(sample_info_test, the_driver_compiles_with_every_file_it_names)
{
    EXPECT_EQ(logged(), std::vector<std::string>{});
    ASSERT_EQ(word(psb_header_layer_count), 1u);
    const uint32_t entry = word(psb_header_layers);
    EXPECT_STREQ(text(word(entry + psb_entry_name)), "/behaviour/driver/body.layer.xml");
    EXPECT_EQ(word(entry + psb_entry_feature_count), 2u);
    EXPECT_EQ(text(word(entry + psb_entry_state_counts))[0], 3);
    EXPECT_EQ(text(word(entry + psb_entry_state_counts))[1], 2);
    // idle, wave and the generated blend of the stand-to-walk transition.
    EXPECT_EQ(word(entry + psb_entry_behavior_count), 3u);
    EXPECT_EQ(word(entry + psb_entry_animation_count), 3u);
    EXPECT_EQ(word(entry + psb_entry_hold_set_count), 2u);
    const uint32_t generated = word(word(entry + psb_entry_behaviors) + 8);
    ASSERT_NE(generated, 0u);
    EXPECT_EQ(static_cast<int32_t>(word(generated + psb_record_process)), -1);
    EXPECT_TRUE(psb_block_read<uint8_t>(block_, generated + psb_record_flags) & psb_record_generated);

    // Looks: the rain look's two skipped places take the placeholder shader.
    ASSERT_EQ(word(psb_header_look_count), 2u);
    const uint32_t rain = word(psb_header_looks) + 8;
    ASSERT_EQ(word(rain), 3u);
    EXPECT_STREQ(text(word(word(rain + 4))), "/shaders/driver/raincoat.shd");
    EXPECT_STREQ(text(word(word(rain + 4) + 8)), "/shaders/specials/notfound.shd");
    ASSERT_EQ(word(psb_header_sound_count), 1u);
    EXPECT_STREQ(text(word(word(psb_header_sounds))), "/sounds/driver/hello.wav");

    // Transitions of the stance (sit, stand, walk): sit -> stand plays idle, stand -> walk blends.
    const uint32_t transitions = word(entry + psb_entry_transitions);
    const uint32_t stance = word(transitions + 12);
    ASSERT_NE(stance, 0u);
    const uint32_t sit_to_stand = word(stance + 4 * (0 * 3 + 1));
    const uint32_t stand_to_walk = word(stance + 4 * (1 * 3 + 2));
    ASSERT_NE(sit_to_stand, 0u);
    ASSERT_NE(stand_to_walk, 0u);
    EXPECT_EQ(word(sit_to_stand), uint32_t{psb_action_simple});
    EXPECT_EQ(word(sit_to_stand + 8), 0u);
    EXPECT_EQ(word(stand_to_walk + 8), 2u);
    EXPECT_EQ(word(stance + 4 * (2 * 3 + 0)), 0u);
    // The matrix settings: priority 2, overlay 25 % scaled once.
    const uint32_t settings = word(transitions + 8);
    EXPECT_EQ(word(settings), 2u);
    EXPECT_FLOAT_EQ(psb_block_read<float>(block_, settings + 4), 0.25f);
    // One compound group of two features with one combination: stance stand -> stand, arm up -> down.
    const uint32_t compound = word(transitions);
    ASSERT_EQ(word(compound), 1u);
    const uint32_t group = word(compound + 4);
    ASSERT_EQ(word(group), 1u);
    const uint32_t set = word(group + 4);
    EXPECT_EQ(word(set), 8u);
    ASSERT_EQ(word(set + 4), 1u);
    const uint32_t combination = word(set + 8);
    EXPECT_EQ(word(combination + 4), 0x00010101u);
    EXPECT_EQ(word(word(combination)), uint32_t{psb_action_compound});
}

TEST_F(sample_info_test, the_drivers_wave_runs_from_the_block_until_it_freezes)
{
    const uint32_t entry = word(psb_header_layers);
    psb_behavior_runner_t* const runner = psb_block_runner(item_->object, entry, 1);
    ASSERT_NE(runner, nullptr);
    psm_t* const instance = api::psm_alloc("/models/driver/driver.psm", 0, 0, 0);
    ASSERT_NE(instance, nullptr);
    recording_sink_t sink;
    uint8_t features[16] = {};
    psb_instance_context_t context = driver_context(instance, entry);
    context.sink = &sink;
    context.feature_table = features;
    int steps = 0;
    for (float step = 0.1f; runner->advance(&step, context) && steps < 100; step = 0.1f)
        ++steps;
    EXPECT_GT(steps, 10);
    EXPECT_LT(steps, 100);
    EXPECT_EQ(runner->terminate(context), 0);
    EXPECT_EQ(sink.events, (std::vector<std::pair<uint32_t, uint32_t>>{{0u, 4u}}));
    EXPECT_EQ(features[8], 1);  // arm: up
    EXPECT_EQ(context.flags & 1, 1);
    const uint32_t record = word(word(entry + psb_entry_behaviors) + 4);
    EXPECT_EQ(context.hold_set, word(record + psb_record_hold_set));
    api::psm_free(instance);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(sample_info_test, every_behaviour_of_the_driver_runs_from_the_block_to_its_end)
{
    const uint32_t entry = word(psb_header_layers);
    psm_t* const instance = api::psm_alloc("/models/driver/driver.psm", 0, 0, 0);
    ASSERT_NE(instance, nullptr);
    // idle (1 s), the frozen wave, and the generated stand-to-walk blend (idle 1 s, walk 1.2 s at 1.5).
    for (uint32_t id = 0; id < word(entry + psb_entry_behavior_count); ++id) {
        SCOPED_TRACE(id);
        psb_behavior_runner_t* const runner = psb_block_runner(item_->object, entry, id);
        ASSERT_NE(runner, nullptr);
        const float base_length =
            psb_block_read<float>(block_, word(word(entry + psb_entry_behaviors) + 4 * id) + psb_record_base_length);
        uint8_t features[16] = {};
        psb_instance_context_t context = driver_context(instance, entry);
        context.feature_table = features;
        float ran = 0;
        float step = 0.05f;
        while (runner->advance(&step, context) && ran < 10) {
            ran += 0.05f;
            step = 0.05f;
        }
        ran += 0.05f - step;
        EXPECT_NEAR(ran, base_length, 0.06f);
        EXPECT_EQ(runner->terminate(context), 0);
    }
    api::psm_free(instance);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(sample_info_test, a_block_moved_mid_run_runs_on_like_a_copy_of_its_runner)
{
    // The engine's way: a copy of the wave's runner, its run-state size long, runs on a second instance
    // beside the block's own runner, whose block the cache moves halfway through.
    const uint32_t entry = word(psb_header_layers);
    const uint32_t record = word(word(entry + psb_entry_behaviors) + 4);
    const uint32_t size = word(record + psb_record_run_state_size);
    const uint8_t* const initial = static_cast<const uint8_t*>(block_) + word(record + psb_record_runner);
    std::vector<uint8_t> copy(initial, initial + size);
    auto* const copied = reinterpret_cast<psb_behavior_runner_t*>(copy.data());
    psm_t* const instances[2] = {api::psm_alloc("/models/driver/driver.psm", 0, 0, 0),
                                 api::psm_alloc("/models/driver/driver.psm", 0, 0, 0)};
    ASSERT_NE(instances[0], nullptr);
    ASSERT_NE(instances[1], nullptr);
    recording_sink_t sinks[2];
    psb_instance_context_t in_block = driver_context(instances[0], entry);
    psb_instance_context_t apart = driver_context(instances[1], entry);
    in_block.sink = &sinks[0];
    apart.sink = &sinks[1];
    bool running[2] = {true, true};
    for (int steps = 0; running[0] && steps < 100; ++steps) {
        SCOPED_TRACE(steps);
        if (steps == 5) {
            ASSERT_TRUE(cache_force_move(item_));
            ASSERT_NE(item_->object, block_);
            block_ = item_->object;
        }
        // Every call is handed the block where it lies now.
        in_block.block = apart.block = block_;
        float left[2] = {0.1f, 0.1f};
        running[0] = psb_block_runner(item_->object, entry, 1)->advance(&left[0], in_block);
        running[1] = copied->advance(&left[1], apart);
        ASSERT_EQ(running[0], running[1]);
        EXPECT_EQ(left[0], left[1]);
        // Times, flags, descriptors, ramps and phases alike.
        const uint8_t* const own = static_cast<const uint8_t*>(block_) + word(record + psb_record_runner);
        EXPECT_EQ(std::vector<uint8_t>(own, own + size), copy);
    }
    EXPECT_FALSE(running[0]);
    EXPECT_EQ(sinks[0].events.size(), 1u);
    EXPECT_EQ(sinks[0].events, sinks[1].events);
    for (psm_t* instance : instances)
        api::psm_free(instance);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

}  // namespace
