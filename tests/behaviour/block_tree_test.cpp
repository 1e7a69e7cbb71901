// The block tree of a behaviour: lengths of sequences, parallels and blends, blend overlays, base
// fades, normalize stretching and the refused descriptions, each with its message.
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "behaviour/psb_block.h"
#include "behaviour_fixture.h"

namespace {

// Animations "a1" (1 s), "a2" (2 s) and "a3" (3 s) of 10 frames per second, and "a0" of no length;
// sounds by first use.
class fixed_sources_t : public psb_block_sources_t {
public:
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        const std::map<std::string, float> lengths = {{"a0", 0.0f}, {"a1", 1.0f}, {"a2", 2.0f}, {"a3", 3.0f}};
        const auto found = lengths.find(file);
        if (found == lengths.end())
            return false;
        *out_id = static_cast<uint16_t>(file[1] - '0');
        *out_length = found->second;
        *out_frames = static_cast<int32_t>(found->second * 10) + 1;
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
    std::vector<std::string> sounds;
};

// A description of `kind`.
psb_block_desc_t block(uint32_t kind)
{
    psb_block_desc_t desc;
    desc.kind = kind;
    return desc;
}

// An animation block description of `file`.
psb_block_desc_t animation(const char* file)
{
    psb_block_desc_t desc = block(psb_block_animation);
    strcpy(desc.file, file);
    return desc;
}

class block_tree_test : public behaviour_test_t {
protected:
    // Opens and closes a childless animation block of `file`.
    void add_animation(const char* file, const psb_block_desc_t* desc = nullptr)
    {
        ASSERT_TRUE(tree_.begin_block(desc ? *desc : animation(file)));
        ASSERT_TRUE(tree_.end_block());
    }

    fixed_sources_t sources_;
    psb_block_tree_t tree_{sources_};
};

TEST_F(block_tree_test, a_sequence_adds_its_children_and_a_parallel_takes_the_longest)
{
    tree_.begin_blocks();
    for (const uint32_t kind : {psb_block_sequence, psb_block_parallel}) {
        for (const bool fast : {false, true}) {
            psb_block_desc_t desc = block(kind);
            desc.speed_given = fast;
            desc.speed = 2;
            ASSERT_TRUE(tree_.begin_block(desc));
            add_animation("a1");
            add_animation("a2");
            psb_block_t& made = *tree_.current();
            ASSERT_TRUE(tree_.end_block());
            const float expected = (kind == psb_block_sequence ? 3.0f : 2.0f) / (fast ? 2.0f : 1.0f);
            EXPECT_FLOAT_EQ(tree_.length(made), expected) << kind << " " << fast;
        }
    }
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(block_tree_test, a_blend_overlay_is_settled_from_its_shorter_child)
{
    struct blend_case_t {
        const char* title;
        float overlay;
        uint8_t unit;
        float expected_overlay, expected_start, expected_length;
        std::vector<std::string> messages;
    };
    const std::vector<blend_case_t> cases = {
        {"50 % of 2 s and 3 s", 50, psb_overlay_percent, 1, 1, 4, {}},
        {"5 s over a 2 s child", 5, psb_overlay_time, 2, 0, 3, {"<psb> overlay length too long"}},
        {"0.5 s", 0.5f, psb_overlay_time, 0.5f, 1.5f, 4.5f, {}},
    };
    for (const blend_case_t& c : cases) {
        mark_log();
        tree_.begin_blocks();
        psb_block_desc_t desc = block(psb_block_blend);
        desc.overlay_given = true;
        desc.overlay = c.overlay;
        desc.overlay_unit = c.unit;
        ASSERT_TRUE(tree_.begin_block(desc));
        add_animation("a2");
        add_animation("a3");
        psb_block_t& blend = *tree_.current();
        ASSERT_TRUE(tree_.end_blend());
        ASSERT_TRUE(tree_.end_block());
        EXPECT_FLOAT_EQ(blend.overlay, c.expected_overlay) << c.title;
        EXPECT_FLOAT_EQ(blend.overlay_start, c.expected_start) << c.title;
        EXPECT_FLOAT_EQ(tree_.length(blend), c.expected_length) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
}

TEST_F(block_tree_test, blends_need_two_children_and_an_overlay)
{
    tree_.begin_blocks();
    psb_block_desc_t desc = block(psb_block_blend);
    desc.overlay_given = true;
    desc.overlay = 1;
    desc.overlay_unit = psb_overlay_time;
    ASSERT_TRUE(tree_.begin_block(desc));
    add_animation("a1");
    EXPECT_FALSE(tree_.end_blend());
    ASSERT_TRUE(tree_.end_block());
    ASSERT_TRUE(tree_.begin_block(block(psb_block_blend)));
    EXPECT_EQ(tree_.current()->kind, psb_block_parallel);
    EXPECT_EQ(logged(), (std::vector<std::string>{"blend block has to contain two subblocks !",
                                                  "blend block overlay parameter not set - falling back to parallel"}));
}

TEST_F(block_tree_test, a_base_block_settles_its_fade_and_refuses_to_be_empty)
{
    struct fade_case_t {
        const char* title;
        bool time_given, length_given;
        float time, fade_length;
        float expected_time, expected_length;
        std::vector<std::string> messages;
    };
    const std::vector<fade_case_t> cases = {
        {"fade length 3 s over 2 s",
         false,
         true,
         0,
         3,
         0,
         2,
         {"fade out length longer than base block length ! resizing length to 2.000000"}},
        {"fade length 0.5 s", false, true, 0, 0.5f, 1.5f, 0.5f, {}},
        {"fade time 3 s over 2 s", true, false, 3, 0, 2, 0, {"fade out time set after base block end !"}},
        {"fade time 0.5 s", true, false, 0.5f, 0, 0.5f, 1.5f, {}},
    };
    for (const fade_case_t& c : cases) {
        mark_log();
        tree_.begin_blocks();
        psb_block_desc_t desc = block(psb_block_base);
        desc.fade_time_given = c.time_given;
        desc.fade_length_given = c.length_given;
        desc.fade_time = c.time;
        desc.fade_length = c.fade_length;
        ASSERT_TRUE(tree_.begin_block(desc));
        add_animation("a2");
        psb_block_t& base = *tree_.current();
        ASSERT_TRUE(tree_.end_block());
        EXPECT_TRUE(base.fade_set) << c.title;
        EXPECT_FLOAT_EQ(base.fade_time, c.expected_time) << c.title;
        EXPECT_FLOAT_EQ(base.fade_length, c.expected_length) << c.title;
        EXPECT_FLOAT_EQ(tree_.base_length(), 2) << c.title;
        EXPECT_EQ(logged(), c.messages) << c.title;
    }
    mark_log();
    tree_.begin_blocks();
    ASSERT_TRUE(tree_.begin_block(block(psb_block_base)));
    ASSERT_TRUE(tree_.begin_block(block(psb_block_parallel)));
    ASSERT_TRUE(tree_.end_block());
    EXPECT_FALSE(tree_.end_block());
    EXPECT_EQ(tree_.current(), tree_.root());
    EXPECT_EQ(logged(), std::vector<std::string>{"base block cannot be empty !"});
}

TEST_F(block_tree_test, a_normalize_block_stretches_its_children_over_the_longest)
{
    tree_.begin_blocks();
    psb_block_desc_t desc = block(psb_block_normalize);
    desc.stretch = true;
    ASSERT_TRUE(tree_.begin_block(desc));
    add_animation("a1");
    add_animation("a2");
    psb_block_t& normalize = *tree_.current();
    ASSERT_TRUE(tree_.end_normalize());
    ASSERT_TRUE(tree_.end_block());
    const psb_block_t& short_one = *normalize.children[0];
    const psb_block_t& long_one = *normalize.children[1];
    EXPECT_TRUE(short_one.has_speed);
    EXPECT_FLOAT_EQ(short_one.speed, 0.5f);
    EXPECT_FLOAT_EQ(short_one.cached_length, 2);
    EXPECT_FALSE(long_one.has_speed);
    EXPECT_FLOAT_EQ(long_one.cached_length, 2);
}

TEST_F(block_tree_test, a_normalize_child_of_no_length_gets_no_pace_of_zero)
{
    // An animation of no length stretched by its child, and a block that starts only at its end.
    tree_.begin_blocks();
    ASSERT_TRUE(tree_.begin_block(block(psb_block_normalize)));
    add_animation("a2");
    ASSERT_TRUE(tree_.begin_block(animation("a0")));
    add_animation("a1");
    ASSERT_TRUE(tree_.end_block());
    psb_block_desc_t late = block(psb_block_parallel);
    late.time_given = true;
    late.time_trigger = 2;
    ASSERT_TRUE(tree_.begin_block(late));
    ASSERT_TRUE(tree_.end_block());
    psb_block_t& normalize = *tree_.current();
    ASSERT_TRUE(tree_.end_normalize());
    const psb_block_t& empty = *normalize.children[1];
    EXPECT_FALSE(empty.has_speed);
    EXPECT_FLOAT_EQ(empty.children[0]->speed, 0.5f);
    EXPECT_FALSE(normalize.children[2]->has_speed);
    EXPECT_FLOAT_EQ(normalize.children[2]->time_trigger, 2);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(block_tree_test, refused_descriptions_keep_the_current_block_and_zero_speeds_are_ignored)
{
    tree_.begin_blocks();
    psb_block_desc_t both = block(psb_block_parallel);
    both.time_given = both.frame_given = true;
    EXPECT_FALSE(tree_.begin_block(both));
    psb_block_desc_t bad_event = block(psb_block_parallel);
    bad_event.event_given = true;
    bad_event.event_type = 4;
    EXPECT_FALSE(tree_.begin_block(bad_event));
    EXPECT_EQ(tree_.current(), tree_.root());
    EXPECT_EQ(tree_.depth(), 1);

    psb_block_desc_t still = animation("a2");
    still.speed_given = true;
    still.speed = 0;
    ASSERT_TRUE(tree_.begin_block(still));
    EXPECT_FALSE(tree_.current()->has_speed);
    psb_block_t& held = *tree_.current();
    ASSERT_TRUE(tree_.end_block());
    EXPECT_FLOAT_EQ(tree_.length(held), 2);
    // A speed past every number (a very long one in the file) is no pace either.
    still.speed = INFINITY;
    ASSERT_TRUE(tree_.begin_block(still));
    EXPECT_FALSE(tree_.current()->has_speed);
    ASSERT_TRUE(tree_.end_block());

    psb_block_desc_t missing = animation("nowhere");
    ASSERT_TRUE(tree_.begin_block(missing));
    EXPECT_EQ(tree_.current()->kind, psb_block_parallel);
    ASSERT_TRUE(tree_.end_block());
    EXPECT_EQ(logged(),
              (std::vector<std::string>{"code block cannot be time and frame triggered at once !",
                                        "invalid event type !", "<psb> invalid speed (0.000000) ! ignoring speed",
                                        "<psb> invalid speed (inf) ! ignoring speed",
                                        "falling back to parallel, error loading (nowhere)"}));
}

TEST_F(block_tree_test, animation_ramps_percent_triggers_and_sound_events)
{
    tree_.begin_blocks();
    psb_block_desc_t walk = animation("a2");
    walk.ramp_in_given = walk.ramp_out_given = true;
    walk.ramp_in = 25;
    walk.ramp_out = 0;
    walk.speed_given = true;
    walk.speed = 2;
    ASSERT_TRUE(tree_.begin_block(walk));
    const psb_animation_params_t& params = tree_.current()->animation;
    EXPECT_FLOAT_EQ(params.ramp_in_length, 0.25f);
    EXPECT_FLOAT_EQ(params.ramp_out_length, 0.1f);
    EXPECT_FLOAT_EQ(params.ramp_out_start, 0.9f);
    psb_block_desc_t step = block(psb_block_parallel);
    step.time_given = step.time_in_percent = true;
    step.time_trigger = 150;
    step.event_given = true;
    step.event_type = psb_event_sound;
    strcpy(step.event_data, "/sounds/step.wav");
    step.event_data_length = 16;
    ASSERT_TRUE(tree_.begin_block(step));
    EXPECT_FLOAT_EQ(tree_.current()->time_trigger, 2);
    ASSERT_EQ(tree_.current()->event_data.size(), 4u);
    EXPECT_EQ(sources_.sounds, std::vector<std::string>{"/sounds/step.wav"});
    ASSERT_TRUE(tree_.end_block());
    ASSERT_TRUE(tree_.end_block());
    ASSERT_TRUE(tree_.begin_block(step));
    EXPECT_FALSE(tree_.current()->time_triggered);
    EXPECT_EQ(logged(), (std::vector<std::string>{"invalid ramp_out length ! resetting to 10%",
                                                  "invalid time percets (150.000000%) setting to 100%",
                                                  "percent time trigger valid only as a animation subblock !"}));
}

}  // namespace
