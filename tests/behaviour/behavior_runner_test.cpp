// Running behaviours: block trees drive the model library's animation descriptors with the weights,
// ramps, cross-fades, speeds and left-over times the engine relies on.
#include <map>
#include <string>
#include <vector>

#include "behaviour/psb_behavior_runner.h"
#include "behaviour_fixture.h"
#include "engine/psm.h"

namespace {

// Animations "a1" (1 s, 11 frames), "a2" (2 s), "a3" (3 s) and "a4" (4 s), ids 0 to 3.
class timed_sources_t : public psb_block_sources_t {
public:
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        if (file[0] != 'a' || file[1] < '1' || file[1] > '4')
            return false;
        *out_id = static_cast<uint16_t>(file[1] - '1');
        *out_length = static_cast<float>(file[1] - '0');
        *out_frames = 10 * (file[1] - '0') + 1;
        return true;
    }
    int32_t find_sound(const char*) override { return 0; }
};

psb_block_desc_t block(uint32_t kind)
{
    psb_block_desc_t desc;
    desc.kind = kind;
    return desc;
}

psb_block_desc_t animation(const char* file)
{
    psb_block_desc_t desc = block(psb_block_animation);
    strcpy(desc.file, file);
    return desc;
}

class behavior_runner_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
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
            psm_animations_.push_back(index);
        }
        context_.model = model_;
        context_.psm_animations = &psm_animations_;
        tree_.begin_blocks();
        ASSERT_TRUE(tree_.begin_block(block(psb_block_base)));
        mark_log();
    }

    void TearDown() override
    {
        api::psm_free(model_);
        behaviour_test_t::TearDown();
    }

    // Opens and closes an animation block.
    void add(const psb_block_desc_t& desc)
    {
        ASSERT_TRUE(tree_.begin_block(desc));
        ASSERT_TRUE(tree_.end_block());
    }

    // Closes the base and the root, answering the runner of the tree.
    psb_behavior_runner_t finish()
    {
        EXPECT_TRUE(tree_.end_block());
        EXPECT_TRUE(tree_.end_block());
        return psb_behavior_runner_t(tree_.root(), {}, -1);
    }

    timed_sources_t sources_;
    psb_block_tree_t tree_{sources_};
    psm_t* model_ = nullptr;
    std::vector<int32_t> psm_animations_;
    psb_instance_context_t context_;
};

TEST_F(behavior_runner_test, a_blend_cross_fades_half_and_half_a_quarter_into_its_overlay)
{
    psb_block_desc_t blend = block(psb_block_blend);
    blend.overlay_given = true;
    blend.overlay = 1;
    blend.overlay_unit = psb_overlay_time;
    ASSERT_TRUE(tree_.begin_block(blend));
    add(animation("a2"));
    add(animation("a2"));
    ASSERT_TRUE(tree_.end_blend());
    // Overlay 1 s over two 2 s animations starts at 1 s; its length is the cosine's half period.
    tree_.current()->overlay = 0.5f;
    ASSERT_TRUE(tree_.end_block());
    psb_behavior_runner_t runner = finish();
    float step = 1.25f;
    EXPECT_TRUE(runner.advance(&step, context_));
    EXPECT_NEAR(api::psm_adesc_get_cur_weight(model_, 1), 0.5f, 1e-6f);
    EXPECT_NEAR(api::psm_adesc_get_cur_weight(model_, 2), 0.5f, 1e-6f);
    EXPECT_NEAR(api::psm_adesc_get_nw_frame(model_, 2), 2.5f, 1e-4f);
}

TEST_F(behavior_runner_test, a_ramp_out_fades_to_nothing_over_its_length)
{
    ASSERT_TRUE(tree_.begin_block(animation("a4")));
    tree_.current()->animation.ramp_out = true;
    tree_.current()->animation.ramp_out_start = 2;
    tree_.current()->animation.ramp_out_length = 1;
    ASSERT_TRUE(tree_.end_block());
    psb_behavior_runner_t runner = finish();
    const std::vector<std::pair<float, float>> steps = {{2.0f, 1.0f}, {0.5f, 0.5f}, {0.5f, 0.0f}, {0.5f, 0.0f}};
    for (const auto& [seconds, weight] : steps) {
        float step = seconds;
        EXPECT_TRUE(runner.advance(&step, context_));
        if (weight < 1.0f) {
            EXPECT_NEAR(api::psm_adesc_get_cur_weight(model_, 1), weight, 1e-6f) << seconds;
        }
    }
}

TEST_F(behavior_runner_test, runner_speed_two_runs_the_tree_twice_as_fast_and_gives_back_scaled_left_over_time)
{
    add(animation("a1"));
    psb_behavior_runner_t runner = finish();
    runner.set_speed(2);
    float step = 0.1f;
    EXPECT_TRUE(runner.advance(&step, context_));
    EXPECT_NEAR(api::psm_adesc_get_nw_frame(model_, 1), 2.0f, 1e-4f);
    step = 0.5f;
    EXPECT_FALSE(runner.advance(&step, context_));
    EXPECT_NEAR(step, 0.1f, 1e-6f);
}

TEST_F(behavior_runner_test, a_sequence_starts_its_next_child_with_the_time_left_over)
{
    ASSERT_TRUE(tree_.begin_block(block(psb_block_sequence)));
    add(animation("a1"));
    add(animation("a1"));
    ASSERT_TRUE(tree_.end_block());
    psb_behavior_runner_t runner = finish();
    float step = 1.5f;
    EXPECT_TRUE(runner.advance(&step, context_));
    // The first descriptor is gone; the second has run the half second the first did not use.
    EXPECT_NEAR(api::psm_adesc_get_nw_frame(model_, 2), 5.0f, 1e-4f);
    step = 0.75f;
    EXPECT_FALSE(runner.advance(&step, context_));
    EXPECT_NEAR(step, 0.25f, 1e-6f);
}

TEST_F(behavior_runner_test, a_parallel_ends_when_only_trigger_waiting_children_remain)
{
    ASSERT_TRUE(tree_.begin_block(block(psb_block_parallel)));
    add(animation("a1"));
    psb_block_desc_t late = animation("a2");
    late.time_given = true;
    late.time_trigger = 5;
    add(late);
    ASSERT_TRUE(tree_.end_block());
    psb_behavior_runner_t runner = finish();
    float step = 1.5f;
    EXPECT_FALSE(runner.advance(&step, context_));
    // The waiting child never ran: only one descriptor was ever made.
    EXPECT_EQ(api::psm_adesc_create(model_, psm_animations_[0], 0, 0, 0), 2);
}

TEST_F(behavior_runner_test, a_behaviour_without_blocks_ends_at_once_and_terminates_into_its_end_states)
{
    psb_behavior_runner_t empty(nullptr, {}, -1);
    float step = 0.1f;
    EXPECT_FALSE(empty.advance(&step, context_));

    add(animation("a1"));
    EXPECT_TRUE(tree_.end_block());
    EXPECT_TRUE(tree_.end_block());
    psb_behavior_runner_t runner(tree_.root(), {{1, 0, 2}}, 3);
    uint8_t features[16] = {};
    features[9] = 1;
    context_.feature_table = features;
    EXPECT_EQ(runner.terminate(context_), 0);
    EXPECT_EQ(logged(), std::vector<std::string>{"cannot normally terminate running behavior"});
    step = 2;
    EXPECT_FALSE(runner.advance(&step, context_));
    runner.terminate(context_);
    EXPECT_EQ(features[8], 2);
    EXPECT_EQ(features[9], 0);
    EXPECT_EQ(context_.flags & 1, 1);
    EXPECT_EQ(context_.hold_set, 3u);
}

}  // namespace
