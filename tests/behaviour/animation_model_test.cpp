// Animations of a layer: the skeletal animation a file names is added to the model library with its
// timing, feature states resolve against the layer, and names are formed relative to the info file.
#include <string>
#include <vector>

#include "behaviour/grammar/psb_layer_scan.h"
#include "behaviour/psb_animation.h"
#include "behaviour/psb_file_name.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour_fixture.h"
#include "engine/psm.h"

namespace {

const char* const layer_file = R"(<?xml version="1.0"?><kuvra><layer version="1.0" name="body">
<processes><process name="idle"/></processes><attributes></attributes>
<features><group><feature name="stance"><state>sit</state><state>stand</state></feature>
<feature name="arm"><state>down</state><state>up</state></feature></group></features>
<load_behaviors file="b.xml"/></layer></kuvra>)";

class animation_model_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_current_layer = &layer_;
        ASSERT_TRUE(psb_layer_parse_text(layer_file, strlen(layer_file)));
        psb_current_layer = nullptr;
        write_data_file("m/man.psm", "psm 1\nbone root { }\n");
        write_data_file("m/wave.psa", "psa 1\nframes 11\nlength 0.5\n");
        model_ = api::psm_alloc_info("/m/man.psm");
        ASSERT_NE(model_, nullptr);
        mark_log();
    }

    void TearDown() override
    {
        api::psm_info_release(model_);
        behaviour_test_t::TearDown();
    }

    psb_layer_t layer_;
    psm_info_t* model_ = nullptr;
};

TEST_F(animation_model_test, an_animation_file_gives_its_timing_and_feature_states)
{
    write_data_file("chars/wave.anim.xml", R"(<?xml version="1.0"?><kuvra><animation file="/m/wave.psa" version="1.0">
<features><feature name="arm" from="down" to="up"/><feature name="stance" in="stand"/></features></animation></kuvra>)");
    psb_animation_t animation(3, layer_, model_, psb_info_directory("/chars/driver.info.xml"));
    ASSERT_TRUE(animation.read("/chars/wave.anim.xml"));
    EXPECT_EQ(animation.id(), 3);
    EXPECT_GE(animation.psm_index(), 0);
    EXPECT_EQ(animation.frame_count(), 11);
    EXPECT_FLOAT_EQ(animation.length(), 0.5f);
    ASSERT_EQ(animation.feature_states().size(), 2u);
    EXPECT_EQ(animation.feature_states()[0].feature, 1);
    EXPECT_EQ(animation.feature_states()[0].begin, 0);
    EXPECT_EQ(animation.feature_states()[0].end, 1);
    EXPECT_EQ(animation.feature_states()[1].feature, 0);
    EXPECT_EQ(animation.feature_states()[1].begin, 1);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(animation_model_test, refused_names_and_states_stop_the_file_with_their_messages)
{
    // A relative name is formed behind the info's directory and refused whole when it is too long,
    // never cut to a shorter name that might exist.
    const std::string directory = "/" + std::string(50, 'd') + "/";
    psb_animation_t far(0, layer_, model_, directory);
    EXPECT_FALSE(far.add_animation("wave_animation.psa"));
    EXPECT_EQ(logged(),
              std::vector<std::string>{"animation filename too long (" + directory + "wave_animation.psa) !"});
    mark_log();
    EXPECT_EQ(psb_form_file_name("/m/", "/abs/x.psa"), "/abs/x.psa");
    EXPECT_EQ(psb_form_file_name("/m/", "x.psa"), "/m/x.psa");
    EXPECT_EQ(psb_info_directory("plain.info.xml"), "");

    write_data_file("chars/bad.anim.xml", R"(<?xml version="1.0"?><kuvra><animation file="/m/wave.psa" version="1.0">
<features><feature name="arm" in="sideways"/></features></animation></kuvra>)");
    psb_animation_t animation(0, layer_, model_, "/chars/");
    EXPECT_FALSE(animation.read("/chars/bad.anim.xml"));
    EXPECT_EQ(logged(), (std::vector<std::string>{"<psb> invalid feature (arm) state name (sideways) !",
                                                  "\\r[psb_animation_parse] invalid feature or state"}));
    mark_log();
    EXPECT_FALSE(animation.read("/chars/none.anim.xml"));
    EXPECT_EQ(logged(), std::vector<std::string>{"<psb> cannot find psb_animation file (/chars/none.anim.xml)"});
}

}  // namespace
