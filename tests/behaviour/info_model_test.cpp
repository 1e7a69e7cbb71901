// The parse-time model of an info: layer entries with their behaviour lists, looks, transitions and
// hold sets, and how they come out in the compiled block.
#include <string>
#include <vector>

#include "behaviour/psb_compiled.h"
#include "behaviour/psb_info.h"
#include "behaviour/psb_info_compile.h"
#include "behaviour/psb_resources.h"
#include "behaviour_fixture.h"
#include "engine/cache.h"

namespace {

// Five features of two states each: an animation may lead all five somewhere.
const char* const five_features = R"(<features><group>
<feature name="f1"><state>a</state><state>b</state></feature>
<feature name="f2"><state>a</state><state>b</state></feature>
<feature name="f3"><state>a</state><state>b</state></feature>
<feature name="f4"><state>a</state><state>b</state></feature>
<feature name="f5"><state>a</state><state>b</state></feature></group></features>)";

class info_model_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_layer_makeup_ops();
        loader_ = mm_register_loader(nullptr, psb_layer_loader_match, 0);
        write_data_file("c/man.psm", "psm 1\nbone root { }\n");
        write_data_file("c/step.psa", "psa 1\nframes 11\nlength 0.5\n");
        write_data_file("c/x.layer.xml", kuvra(std::string(R"(<layer version="1.0" name="x">
<processes><process name="walk"/></processes><attributes></attributes>)") +
                                               five_features + R"(
<load_behaviors file="/c/x.behaviors.xml"/><load_transitions file="x.transitions.xml"/></layer>
)"));
        write_data_file("c/x.behaviors.xml", kuvra(R"(<behaviors version="1.0">
<behavior file="step.behavior.xml"/><behavior file="step.behavior.xml"/></behaviors>
)"));
        write_data_file("c/step.anim.xml", kuvra(R"(<animation file="step.psa" version="1.0"><features>
<feature name="f1" from="a" to="b"/><feature name="f2" from="a" to="b"/><feature name="f3" from="a" to="b"/>
<feature name="f4" from="a" to="b"/><feature name="f5" from="a" to="b"/></features></animation>
)"));
        write_data_file("c/step.behavior.xml", kuvra(R"(<behavior process="walk" version="1.0">
<features><feature name="f1" in="a"/></features>
<hold><animation file="step.anim.xml" frame="50%"/></hold>
<code><base><animation file="step.anim.xml"/></base></code></behavior>
)"));
        write_data_file("c/x.transitions.xml", kuvra(R"(<transitions version="1.0"><simple>
<feature name="f1">
<transition from="a" to="b"><play_behavior file="step.behavior.xml"/></transition>
<transition from="a" to="b"><play_behavior file="step.behavior.xml"/></transition>
<transition from="b" to="a"><blend overlay="50%">
<from><animation file="step.anim.xml"/></from><to><animation file="step.anim.xml" speed="2"/></to>
</blend></transition>
</feature></simple>
<compound>
<transition><features><feature name="f2" from="a" to="b"/><feature name="f1" in="a"/></features>
<play_behavior file="step.behavior.xml"/></transition>
<transition><features><feature name="f1" in="a"/><feature name="f2" from="a" to="b"/></features>
<play_behavior file="step.behavior.xml"/></transition>
<transition><features><feature name="f3" in="a"/></features><play_behavior file="step.behavior.xml"/></transition>
</compound></transitions>
)"));
        write_data_file("c/x.info.xml", kuvra(R"(<info version="1.0" name="x"><model file="man.psm"/>
<layer name="x" file="x.layer.xml"/>
<looks><look name="a"><shader file="one.shd"/></look>
<look name="a"><shader file="two.shd"/><skip count="2"/></look>
<look name="b"><skip count="3"/></look></looks></info>
)"));
        mark_log();
    }

    void TearDown() override
    {
        mm_unregister_loader(loader_);
        behaviour_test_t::TearDown();
    }

    int loader_ = 0;
};

TEST_F(info_model_test, lists_looks_and_transitions_keep_the_first_of_each_and_say_why)
{
    psb_info_t info("/c/x.info.xml");
    ASSERT_TRUE(info.read("/c/x.info.xml"));
    EXPECT_EQ(logged(), (std::vector<std::string>{
                            "<psb> duplicated behavior load (/c/step.behavior.xml)",
                            "item already present !",
                            "compound transition has to contain two and more features !",
                            "duplicate look name !",
                        }));
    ASSERT_EQ(info.layers().size(), 1u);
    const psb_layer_entry_t& entry = *info.layers()[0];
    EXPECT_EQ(entry.name(), "/c/x.layer.xml");
    EXPECT_EQ(entry.layer_name(), "x");
    // The step behaviour and the blend's generated behaviour.
    ASSERT_EQ(entry.behaviors().size(), 2u);
    EXPECT_TRUE(entry.behaviors()[1]->generated());
    // Two half-second animations, the second at speed 2, overlapping by half the shorter.
    EXPECT_FLOAT_EQ(entry.behaviors()[1]->base_length(), 0.625f);
    // 50 % of 11 frames holds frame 4.
    EXPECT_EQ(entry.hold_sets().sets[0][0].frame, 4);

    ASSERT_EQ(info.looks().size(), 2u);
    EXPECT_EQ(info.looks()[0].shaders, std::vector<std::string>{"/c/one.shd"});
    EXPECT_EQ(info.looks()[1].shaders, std::vector<std::string>(3, psb_skipped_shader));

    const psb_transitions_t& transitions = entry.transitions();
    const psb_feature_matrix_t& f1 = transitions.matrices()[0];
    EXPECT_EQ(transitions.actions()[f1.cells[0 * 2 + 1] - 1].behavior_id, 0u);
    EXPECT_EQ(transitions.actions()[f1.cells[1 * 2 + 0] - 1].behavior_id, 1u);
    EXPECT_FLOAT_EQ(transitions.actions()[f1.cells[1 * 2 + 0] - 1].base_length, 0.625f);
    // The two compound transitions over f1 and f2 are the same combination: the first stays.
    ASSERT_EQ(transitions.groups().size(), 1u);
    ASSERT_EQ(transitions.groups()[0].size(), 1u);
    const psb_compound_set_t& set = transitions.groups()[0][0];
    EXPECT_EQ(set.features, (std::vector<uint8_t>{0, 1}));
    ASSERT_EQ(set.combinations.size(), 1u);
    EXPECT_EQ(set.combinations[0].states, (std::vector<std::pair<uint8_t, uint8_t>>{{0, 0}, {0, 1}}));
}

TEST_F(info_model_test, a_hold_set_takes_the_room_its_feature_list_needs)
{
    psb_info_t info("/c/x.info.xml");
    ASSERT_TRUE(info.read("/c/x.info.xml"));
    const std::vector<uint8_t> block = psb_info_layout(info);
    const uint32_t entry = psb_block_read<uint32_t>(block.data(), psb_header_layers);
    ASSERT_EQ(psb_block_read<uint32_t>(block.data(), entry + psb_entry_hold_set_count), 1u);
    const uint32_t set =
        psb_block_read<uint32_t>(block.data(), psb_block_read<uint32_t>(block.data(), entry + psb_entry_hold_sets));
    // One entry reserves 36 bytes; its animation leads five features, whose list needs 4 + 10 more
    // bytes after the entry: the set takes 40 and the transitions follow it.
    const uint32_t list = psb_block_read<uint32_t>(block.data(), set + 4);
    EXPECT_EQ(list, set + 24);
    ASSERT_EQ(psb_block_read<uint32_t>(block.data(), list), 5u);
    EXPECT_EQ(block[list + 4 + 2 * 4], 4);
    EXPECT_EQ(block[list + 5 + 2 * 4], 1);
    EXPECT_EQ(psb_block_read<uint32_t>(block.data(), entry + psb_entry_transitions), set + 40);
}

TEST_F(info_model_test, layer_file_names_are_formed_from_the_info_directory_and_refused_when_too_long)
{
    psb_info_t info("/c/x.info.xml");
    EXPECT_TRUE(info.set_model("man.psm"));
    EXPECT_TRUE(info.add_layer("/c/x.layer.xml"));
    mark_log();
    const std::string long_name(60, 'l');
    EXPECT_FALSE(info.add_layer((long_name + ".xml").c_str()));
    EXPECT_EQ(logged(), std::vector<std::string>{"layer filename too long (/c/" + long_name + ".xml)"});
    EXPECT_EQ(info.layers().size(), 1u);
    EXPECT_EQ(info.find_sound("/s/a.wav"), 0);
    EXPECT_EQ(info.find_sound("/s/b.wav"), 1);
    EXPECT_EQ(info.find_sound("/s/a.wav"), 0);
}

}  // namespace
