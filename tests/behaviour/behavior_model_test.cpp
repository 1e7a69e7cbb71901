// The behaviour model: attribute values checked against their layer types, holds resolved to frames
// (never before the first), and an empty hold list making the behaviour unusable.
#include <cstring>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour_fixture.h"

namespace {

const char* const layer_file = R"(<?xml version="1.0"?><kuvra><layer version="1.0" name="body">
<processes><process name="idle"/></processes>
<attributes><attribute name="f"/><attribute name="i" type="int"/><attribute name="b" type="boolean"/></attributes>
<features><group><feature name="stance"><state>sit</state><state>stand</state></feature></group></features>
<load_behaviors file="b.xml"/></layer></kuvra>)";

// One animation, "a10", of 10 frames and 1 s.
class ten_frames_t : public psb_behavior_sources_t {
public:
    bool find_animation(const char* file, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        if (std::string(file) != "a10")
            return false;
        *out_id = 0;
        *out_length = 1;
        *out_frames = 10;
        return true;
    }
    int32_t find_sound(const char*) override { return 0; }
    int32_t frame_count(uint16_t) const override { return 10; }
};

class behavior_model_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_current_layer = &layer_;
        ASSERT_TRUE(psb_layer_parse_text(layer_file, strlen(layer_file)));
        psb_current_layer = nullptr;
    }

    psb_layer_t layer_;
    ten_frames_t sources_;
    psb_hold_sets_t holds_;
};

TEST_F(behavior_model_test, holds_resolve_to_frames_of_their_animation)
{
    struct hold_case_t {
        float value;
        uint32_t unit;
        int32_t frame;
        std::vector<std::string> messages;
    };
    const std::vector<hold_case_t> cases = {
        {50, psb_hold_percent, 4, {}},
        {150, psb_hold_percent, 9, {}},
        {0, psb_hold_percent, 0, {}},
        {3, psb_hold_frames, 3, {}},
        {12, psb_hold_frames, 9, {"<psb> hold frame bigger than animation frames (12) - setting to (9)"}},
        {-2, psb_hold_frames, 0, {"<psb> hold frame below the first frame (-2) - setting to (0)"}},
    };
    for (const hold_case_t& c : cases) {
        mark_log();
        psb_behavior_t behavior(0, layer_, sources_, holds_);
        behavior.begin_holds();
        behavior.add_hold("a10", c.value, c.unit, 1, false);
        ASSERT_TRUE(behavior.end_holds());
        EXPECT_EQ(holds_.sets.back().at(0).frame, c.frame) << c.value;
        EXPECT_EQ(logged(), c.messages) << c.value;
    }
    mark_log();
    psb_behavior_t empty(1, layer_, sources_, holds_);
    empty.begin_holds();
    empty.add_hold("missing", 1, psb_hold_frames, 1, false);
    EXPECT_FALSE(empty.end_holds());
    EXPECT_FALSE(empty.valid());
    EXPECT_EQ(empty.hold_set(), -1);
    EXPECT_EQ(logged(), std::vector<std::string>{"hold animation (missing) ignored"});
}

TEST_F(behavior_model_test, attribute_values_must_match_their_layer_types)
{
    psb_behavior_t behavior(0, layer_, sources_, holds_);
    psb_attribute_value_t integer;
    integer.type = psb_attribute_int;
    integer.integer = 3;
    psb_attribute_value_t real;
    real.type = psb_attribute_float;
    real.real = 0.5f;
    psb_attribute_value_t boolean;
    boolean.type = psb_attribute_boolean;
    boolean.boolean = true;
    EXPECT_TRUE(behavior.add_attribute_value("f", integer));
    EXPECT_TRUE(behavior.add_attribute_value("i", integer));
    EXPECT_TRUE(behavior.add_attribute_value("b", boolean));
    EXPECT_FALSE(behavior.add_attribute_value("i", real));
    EXPECT_FALSE(behavior.add_attribute_value("b", integer));
    EXPECT_FALSE(behavior.add_attribute_value("f", boolean));
    EXPECT_FALSE(behavior.add_attribute_value("g", real));
    ASSERT_EQ(behavior.attribute_values().size(), 3u);
    EXPECT_FLOAT_EQ(behavior.attribute_values()[0].value.real, 3.0f);
    EXPECT_EQ(behavior.attribute_values()[1].attribute, 1);
    EXPECT_EQ(logged(), (std::vector<std::string>{"invalid data type for attribute (i), should be (int)",
                                                  "invalid data type for attribute (b), should be (boolean)",
                                                  "invalid data type for attribute (f), should be (float)",
                                                  "<psb> invalid attribute name (g) !"}));
}

}  // namespace

namespace {

// Builds a behaviour leading the stance to stand with a generated freeze over one animation.
void freeze_to_stand(psb_behavior_t& behavior, bool exact)
{
    behavior.add_feature_state("stance", "sit", "stand");
    behavior.set_generated_freeze(exact);
    behavior.begin_blocks();
    psb_block_desc_t base;
    behavior.begin_block(base);
    psb_block_desc_t animation;
    animation.kind = psb_block_animation;
    strcpy(animation.file, "a10");
    behavior.begin_block(animation);
    behavior.end_block();
    behavior.end_block();
    behavior.end_block();
}

TEST_F(behavior_model_test, generated_freezes_share_a_hold_set_of_the_same_end_states_unless_exact)
{
    psb_behavior_t first(0, layer_, sources_, holds_);
    freeze_to_stand(first, false);
    psb_behavior_t second(1, layer_, sources_, holds_);
    freeze_to_stand(second, false);
    psb_behavior_t exact(2, layer_, sources_, holds_);
    freeze_to_stand(exact, true);
    EXPECT_EQ(first.hold_set(), 0);
    EXPECT_EQ(second.hold_set(), 0);
    EXPECT_EQ(exact.hold_set(), 1);
    ASSERT_EQ(holds_.sets.size(), 2u);
    ASSERT_EQ(holds_.sets[0].size(), 1u);
    EXPECT_EQ(holds_.sets[0][0].frame, 9);
}

}  // namespace
