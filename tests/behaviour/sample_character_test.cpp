// The sample driver of data/behaviour/driver: every description file of the character is read by its
// grammar without a message, its layer loads through the resource cache, and its model and
// animations load in the model library.
#include <string>
#include <vector>

#include "behaviour/grammar/psb_animation_scan.h"
#include "behaviour/grammar/psb_behavior_scan.h"
#include "behaviour/grammar/psb_behaviors_scan.h"
#include "behaviour/grammar/psb_info_scan.h"
#include "behaviour/grammar/psb_transitions_scan.h"
#include "behaviour/psb_layer_load.h"
#include "behaviour/psb_resources.h"
#include "behaviour_fixture.h"
#include "engine/cache.h"
#include "engine/host.h"
#include "engine/vfs.h"

namespace {

// Where the character's description files lie.
const std::string character = "/behaviour/driver/";

// The text of a file of the sample game.
std::string sample_text(const std::string& path)
{
    std::string text;
    EXPECT_TRUE(vfs_read_whole(path.c_str(), text)) << path;
    return text;
}

// Collects what the info names.
class listed_info_t : public psb_info_actions_t {
public:
    bool set_model(const char* file) override { return note(file); }
    bool add_layer(const char* file) override { return note(file); }
    void begin_look(const char* name) override { note(name); }
    void add_shader(const char* file) override { note(file); }
    void add_skip(int32_t count) override { note(std::to_string(count)); }
    bool note(const std::string& text)
    {
        names.push_back(text);
        return true;
    }
    std::vector<std::string> names;
};

// Collects the behaviour files of the list, reading groups from the sample.
class listed_behaviors_t : public psb_behaviors_actions_t {
public:
    void load_behavior(const char* file) override { files.push_back(file); }
    void include_group(const char* file) override
    {
        const std::string text = sample_text(character + file);
        psb_behaviors_push_buffer(text.data(), text.size());
    }
    std::vector<std::string> files;
};

// Accepts a behaviour and keeps its block nesting.
class accepted_behavior_t : public psb_behavior_actions_t {
public:
    bool set_process(const char*) override { return true; }
    bool add_attribute_value(const char*, const psb_attribute_value_t&) override { return true; }
    bool add_feature_state(const char*, const char*, const char*) override { return true; }
    void check_feature_states() override {}
    void set_generated_freeze(bool) override {}
    void begin_holds() override {}
    bool end_holds() override { return true; }
    void add_hold(const char*, float, uint32_t, float, bool) override {}
    void begin_blocks() override { contexts.assign(1, false); }
    void begin_block(const psb_block_desc_t& desc) override
    {
        contexts.push_back(desc.animation_context);
        ++blocks;
    }
    bool end_block() override
    {
        contexts.pop_back();
        return true;
    }
    bool end_blend() override { return true; }
    bool end_normalize() override { return true; }
    bool current_block_animation_context() const override { return contexts.back(); }
    std::vector<bool> contexts;
    int blocks = 0;
};

// Accepts every transition call and counts them.
class counted_transitions_t : public psb_transitions_actions_t {
public:
    void set_feature(const char*) override { ++calls; }
    void default_priority() override { ++calls; }
    void set_priority(int32_t) override { ++calls; }
    void clear_overlay() override { ++calls; }
    void set_overlay(float) override { ++calls; }
    void set_no_stretch(bool) override { ++calls; }
    void set_matrix_state(const char*, const char*) override { ++calls; }
    void begin_simple() override { ++calls; }
    void set_from_to(const char*, const char*) override { ++calls; }
    void end_transition() override { ++calls; }
    void set_play_behavior(const char*) override { ++calls; }
    void begin_blend_action(float, uint8_t) override { ++calls; }
    void add_blend_animation(int, const char*, bool, float, bool, float) override { ++calls; }
    void end_blend_action() override { ++calls; }
    void begin_compound() override { ++calls; }
    void add_compound_feature(const char*, const char*, const char*) override { ++calls; }
    void end_compound() override { ++calls; }
    int calls = 0;
};

// Names the animation files of the character.
class named_animation_t : public psb_animation_actions_t {
public:
    bool add_animation(const char* file) override
    {
        file_ = file;
        return true;
    }
    bool add_feature_state(const char*, const char*, const char*) override { return true; }
    std::string file_;
};

class sample_character_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
        reset_engine();
        ASSERT_TRUE(vfs_init_from_host());
        mark_log();
    }
};

TEST_F(sample_character_test, every_description_file_reads_without_a_message)
{
    listed_info_t info;
    psb_current_info = &info;
    std::string text = sample_text(character + "driver.info.xml");
    EXPECT_TRUE(psb_info_parse_text(text.data(), text.size()));
    psb_current_info = nullptr;
    EXPECT_EQ(info.names,
              (std::vector<std::string>{"/models/driver/driver.psm", "body.layer.xml", "work",
                                        "/shaders/driver/jacket.shd", "/shaders/driver/jacket.shd",
                                        "/shaders/driver/face.shd", "rain", "/shaders/driver/raincoat.shd", "2"}));

    listed_behaviors_t list;
    psb_current_behaviors = &list;
    text = sample_text(character + "body.behaviors.xml");
    EXPECT_TRUE(psb_behaviors_parse_text(text.data(), text.size()));
    psb_current_behaviors = nullptr;
    EXPECT_EQ(list.files, (std::vector<std::string>{"idle.behavior.xml", "wave.behavior.xml"}));

    for (const std::string& file : list.files) {
        accepted_behavior_t behavior;
        psb_current_behavior = &behavior;
        text = sample_text(character + file);
        EXPECT_TRUE(psb_behavior_parse_text(text.data(), text.size())) << file;
        psb_current_behavior = nullptr;
        EXPECT_GT(behavior.blocks, 0) << file;
    }

    counted_transitions_t transitions;
    psb_current_transitions = &transitions;
    text = sample_text(character + "body.transitions.xml");
    EXPECT_TRUE(psb_transitions_parse_text(text.data(), text.size()));
    psb_current_transitions = nullptr;
    EXPECT_GT(transitions.calls, 0);

    psm_info_t* const model = api::psm_alloc_info("/models/driver/driver.psm");
    ASSERT_NE(model, nullptr);
    for (const char* file : {"idle.anim.xml", "wave.anim.xml", "walk.anim.xml"}) {
        named_animation_t animation;
        psb_current_animation = &animation;
        text = sample_text(character + file);
        EXPECT_TRUE(psb_animation_parse_text(text.data(), text.size())) << file;
        psb_current_animation = nullptr;
        EXPECT_GE(api::psm_anim_add_file(model, animation.file_.c_str(), nullptr), 0) << animation.file_;
    }
    api::psm_info_release(model);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(sample_character_test, the_layer_loads_through_the_resource_cache)
{
    psb_layer_makeup_ops();
    const int loader = mm_register_loader(nullptr, psb_layer_loader_match, 0);
    c_item_t* const item = mm_precache((character + "body.layer.xml").c_str());
    ASSERT_NE(item, nullptr);
    const psb_layer_t& layer = *static_cast<const psb_layer_t*>(item->object);
    EXPECT_STREQ(layer.get_name(), "body");
    EXPECT_EQ(layer.process_count(), 2u);
    EXPECT_EQ(layer.attribute_count(), 3u);
    uint8_t state = 0;
    EXPECT_TRUE(layer.find_state("arm", "up", &state));
    EXPECT_EQ(state, 1);
    EXPECT_STREQ(layer.behaviors_file(), "body.behaviors.xml");
    EXPECT_STREQ(layer.transitions_file(), "body.transitions.xml");
    ci_dec_refs(item);
    EXPECT_TRUE(mm_release_item(item));
    mm_unregister_loader(loader);
    EXPECT_TRUE(cache_leak_report().empty());
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

}  // namespace
