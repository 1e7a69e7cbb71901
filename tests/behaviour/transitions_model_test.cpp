// The transitions model on its own: names that do not resolve make the transition being read invalid
// with their message, and nothing of it is filed.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_behavior.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour/psb_transitions.h"
#include "behaviour_fixture.h"

namespace {

const char* const layer_file = R"(<?xml version="1.0"?><kuvra><layer version="1.0" name="body">
<processes><process name="idle"/></processes><attributes></attributes>
<features><group><feature name="stance"><state>sit</state><state>stand</state></feature>
<feature name="arm"><state>down</state><state>up</state></feature></group></features>
<load_behaviors file="b.xml"/></layer></kuvra>)";

// Knows one behaviour file, "idle.xml" (id 0), and no animations.
class one_behavior_t : public psb_transition_sources_t {
public:
    explicit one_behavior_t(const psb_layer_t& layer) : layer_(layer) {}
    const psb_layer_t& layer() const override { return layer_; }
    bool find_animation_id(const char*, uint16_t*) override { return false; }
    bool find_behavior(const char* file, uint32_t* out_id) override
    {
        *out_id = 0;
        return strcmp(file, "idle.xml") == 0;
    }
    psb_behavior_t* new_generated_behavior(uint32_t*) override { return nullptr; }

private:
    const psb_layer_t& layer_;
};

// Every animation a second long of 30 frames; generated behaviours are kept here.
class generating_t : public one_behavior_t, public psb_behavior_sources_t {
public:
    explicit generating_t(const psb_layer_t& layer) : one_behavior_t(layer) {}
    bool find_animation(const char*, uint16_t* out_id, float* out_length, int32_t* out_frames) override
    {
        *out_id = 0;
        *out_length = 1;
        *out_frames = 30;
        return true;
    }
    int32_t find_sound(const char*) override { return 0; }
    int32_t frame_count(uint16_t) const override { return 30; }
    psb_behavior_t* new_generated_behavior(uint32_t* out_id) override
    {
        *out_id = static_cast<uint32_t>(generated.size());
        generated.push_back(std::make_unique<psb_behavior_t>(0, layer(), *this, holds));
        generated.back()->mark_generated();
        return generated.back().get();
    }
    psb_hold_sets_t holds;
    std::vector<std::unique_ptr<psb_behavior_t>> generated;
};

class transitions_model_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_current_layer = &layer_;
        ASSERT_TRUE(psb_layer_parse_text(layer_file, strlen(layer_file)));
        psb_current_layer = nullptr;
        mark_log();
    }

    psb_layer_t layer_;
};

TEST_F(transitions_model_test, simple_transitions_with_names_that_do_not_resolve_are_not_filed)
{
    struct case_t {
        const char* feature;
        const char* from;
        const char* to;
        const char* behavior;
        std::vector<std::string> messages;
    };
    const std::vector<case_t> cases = {
        {"legs",
         "sit",
         "stand",
         "idle.xml",
         {"<psb> invalid feature name (legs) !", "feature not found in current layer (legs)",
          "ignoring single transition from (sit) to (stand) - bad feature",
          "ignoring transition behavior action (idle.xml)"}},
        {"stance",
         "lie",
         "stand",
         "idle.xml",
         {"begin state (lie) not found in current layer for feature (stance)",
          "ignoring transition behavior action (idle.xml)"}},
        {"stance",
         "sit",
         "fly",
         "idle.xml",
         {"end state (fly) not found in current layer for feature (stance)",
          "ignoring transition behavior action (idle.xml)"}},
        {"stance", "sit", "stand", "missing.xml", {}},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(std::string(c.feature) + " " + c.from + " " + c.to + " " + c.behavior);
        one_behavior_t sources(layer_);
        psb_transitions_t transitions(sources);
        mark_log();
        transitions.set_feature(c.feature);
        transitions.begin_simple();
        transitions.set_from_to(c.from, c.to);
        transitions.set_play_behavior(c.behavior);
        transitions.end_transition();
        EXPECT_EQ(logged(), c.messages);
        for (const psb_feature_matrix_t& matrix : transitions.matrices())
            EXPECT_EQ(matrix.cells, std::vector<uint32_t>(4, 0));
    }
}

TEST_F(transitions_model_test, a_compound_transition_with_a_bad_name_is_dropped_and_the_next_one_is_filed)
{
    one_behavior_t sources(layer_);
    psb_transitions_t transitions(sources);
    transitions.begin_compound();
    transitions.add_compound_feature("stance", "sit", "stand");
    transitions.add_compound_feature("arm", "down", "sideways");
    transitions.set_play_behavior("idle.xml");
    transitions.end_compound();
    EXPECT_EQ(logged(), (std::vector<std::string>{"state (sideways) not found in current layer feature (arm)",
                                                  "ignoring transition behavior action (idle.xml)"}));
    EXPECT_TRUE(transitions.groups().empty());

    transitions.begin_compound();
    transitions.add_compound_feature("arm", "down", "up");
    transitions.add_compound_feature("stance", "sit", "stand");
    transitions.set_play_behavior("idle.xml");
    transitions.end_compound();
    ASSERT_EQ(transitions.groups().size(), 1u);
    ASSERT_EQ(transitions.groups()[0].size(), 1u);
    // Sorted by feature: stance (0) before arm (1).
    EXPECT_EQ(transitions.groups()[0][0].features, (std::vector<uint8_t>{0, 1}));
    const psb_transition_action_t& action =
        transitions.actions()[transitions.groups()[0][0].combinations[0].action - 1];
    EXPECT_EQ(action.type, uint32_t{psb_action_compound});
    ASSERT_EQ(action.features.size(), 2u);
    EXPECT_EQ(action.features[1].end, 1);
}

TEST_F(transitions_model_test, a_blend_without_its_second_animation_is_never_filed_nor_run)
{
    generating_t sources(layer_);
    psb_transitions_t transitions(sources);
    transitions.set_feature("stance");
    transitions.begin_simple();
    transitions.set_from_to("sit", "stand");
    transitions.begin_blend_action(50, psb_overlay_percent);
    transitions.add_blend_animation(1, "sit.anim.xml", false, 0, false, 0);
    transitions.end_blend_action();
    transitions.end_transition();
    EXPECT_EQ(logged(), std::vector<std::string>{"blend block has to contain two subblocks !"});
    ASSERT_EQ(sources.generated.size(), 1u);
    EXPECT_FALSE(sources.generated[0]->valid());
    EXPECT_EQ(transitions.matrices()[0].cells, std::vector<uint32_t>(4, 0));

    // The same blend with both animations is filed.
    transitions.begin_simple();
    transitions.set_from_to("sit", "stand");
    transitions.begin_blend_action(50, psb_overlay_percent);
    transitions.add_blend_animation(1, "sit.anim.xml", false, 0, false, 0);
    transitions.add_blend_animation(0, "stand.anim.xml", false, 0, false, 0);
    transitions.end_blend_action();
    transitions.end_transition();
    EXPECT_TRUE(sources.generated[1]->valid());
    EXPECT_FLOAT_EQ(sources.generated[1]->base_length(), 1.5f);
    EXPECT_EQ(transitions.matrices()[0].cells[1], 2u);
}

TEST_F(transitions_model_test, a_blend_for_which_no_behavior_id_is_left_is_not_filed)
{
    one_behavior_t full(layer_);  // makes no generated behaviour, as a layer whose ids are spent
    psb_transitions_t transitions(full);
    transitions.set_feature("stance");
    transitions.begin_simple();
    transitions.set_from_to("sit", "stand");
    transitions.begin_blend_action(50, psb_overlay_percent);
    transitions.add_blend_animation(1, "sit.anim.xml", false, 0, false, 0);
    transitions.add_blend_animation(0, "stand.anim.xml", false, 0, false, 0);
    transitions.end_blend_action();
    transitions.end_transition();
    EXPECT_TRUE(transitions.actions().empty());
    EXPECT_EQ(transitions.matrices()[0].cells, std::vector<uint32_t>(4, 0));
}

}  // namespace
