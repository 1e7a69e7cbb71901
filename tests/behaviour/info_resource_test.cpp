// Info descriptions as resources of the engine's cache: an info file and everything it names compiled
// into one block that keeps its meaning wherever the cache moves it.
#include <cstring>
#include <string>
#include <vector>

#include "behaviour/psb_block_desc.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_resources.h"
#include "behaviour_fixture.h"
#include "engine/cache.h"

namespace {

class info_resource_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_info_makeup_ops();
        psb_layer_makeup_ops();
        loaders_.push_back(mm_register_loader(nullptr, psb_info_loader_match, 0));
        loaders_.push_back(mm_register_loader(nullptr, psb_layer_loader_match, 0));
        write_data_file("c/man.psm", "psm 1\nbone root { }\n");
        write_data_file("c/step.psa", "psa 1\nframes 11\nlength 0.5\n");
        write_data_file("c/x.layer.xml", kuvra(R"(<layer version="1.0" name="x">
<processes><process name="walk"/></processes><attributes></attributes>
<features><group><feature name="legs"><state>still</state></feature></group></features>
<load_behaviors file="x.behaviors.xml"/></layer>
)"));
        write_data_file("c/x.behaviors.xml", kuvra("<behaviors version=\"1.0\"><behavior file=\"step.behavior.xml\"/>"
                                                   "</behaviors>\n"));
        write_data_file("c/step.anim.xml",
                        kuvra("<animation file=\"step.psa\" version=\"1.0\"><features></features></animation>\n"));
        write_data_file("c/step.behavior.xml", kuvra(R"(<behavior process="walk" version="1.0">
<features><feature name="legs" in="still"/></features>
<code><base><animation file="step.anim.xml"/></base></code></behavior>
)"));
        write_data_file("c/x.info.xml", kuvra(R"(<info version="1.0" name="x"><model file="man.psm"/>
<layer name="x" file="x.layer.xml"/><looks><look name="plain"><shader file="/s/a.shd"/></look></looks></info>
)"));
    }

    void TearDown() override
    {
        for (int loader : loaders_)
            mm_unregister_loader(loader);
        behaviour_test_t::TearDown();
    }

    // A 32-bit word of the item's block.
    static uint32_t word(const c_item_t* item, uint32_t offset)
    {
        return psb_block_read<uint32_t>(item->object, offset);
    }

    std::vector<int> loaders_;
};

TEST_F(info_resource_test, a_small_info_compiles_to_its_exact_sizes)
{
    c_item_t* const item = mm_precache("/c/x.info.xml");
    EXPECT_EQ(logged(), std::vector<std::string>{});
    ASSERT_NE(item, nullptr);
    // Header 32 + 1 entry offset; entry 40 + 1 animation offset, the animation 16, the state counts 4,
    // the behaviour table 4, the runner record 44 (one feature state) + nodes (52 root, 52 base, 80 animation) + runner
    // 28 with run states 24 + 12 + 20, transitions 16 + 4 + 12 + 4, the name 16; the look 8 + 4 + 12.
    EXPECT_EQ(item->size, 36u + 44 + 16 + 4 + 4 + (44 + 184 + 84) + 36 + 16 + 24);
    EXPECT_EQ(word(item, psb_header_layer_count), 1u);
    EXPECT_EQ(word(item, psb_header_look_count), 1u);
    EXPECT_STREQ(static_cast<const char*>(item->object) + word(item, word(item, word(item, psb_header_looks) + 4)),
                 "/s/a.shd");
    EXPECT_EQ(word(item, psb_header_sound_count), 0u);
    EXPECT_EQ(word(item, psb_header_sounds), 0u);
    EXPECT_NE(psb_block_read<void*>(item->object, psb_header_model), nullptr);
    const uint32_t entry = word(item, psb_header_layers);
    EXPECT_EQ(entry, 36u);
    EXPECT_EQ(word(item, entry + psb_entry_feature_count), 1u);
    EXPECT_EQ(word(item, entry + psb_entry_animation_count), 1u);
    EXPECT_EQ(word(item, entry + psb_entry_behavior_count), 1u);
    EXPECT_EQ(word(item, entry + psb_entry_hold_set_count), 0u);
    EXPECT_EQ(word(item, entry + psb_entry_hold_sets), 0u);
    EXPECT_EQ(word(item, entry + psb_entry_work_size), 8u + 84 + 80);
    EXPECT_STREQ(static_cast<const char*>(item->object) + word(item, entry + psb_entry_name), "/c/x.layer.xml");
    const uint32_t animation = word(item, entry + psb_entry_animations);
    EXPECT_EQ(word(item, animation + 4), 11u);
    EXPECT_FLOAT_EQ(psb_block_read<float>(item->object, animation + 8), 0.5f);
    const uint32_t record = word(item, word(item, entry + psb_entry_behaviors));
    EXPECT_EQ(word(item, record + psb_record_process), 0u);
    EXPECT_EQ(word(item, record + psb_record_run_state_size), 84u);
    EXPECT_FLOAT_EQ(psb_block_read<float>(item->object, record + psb_record_base_length), 0.5f);
    const uint32_t root = word(item, record + psb_record_root);
    EXPECT_EQ(word(item, root + psb_node_kind), uint32_t{psb_block_root});
    EXPECT_EQ(word(item, root + psb_node_run_state_size), 56u);
    const uint32_t runner = word(item, record + psb_record_runner);
    EXPECT_EQ(runner, root + 184);
    EXPECT_EQ(word(item, runner + 24), 0u);
    ci_dec_refs(item);
    EXPECT_TRUE(mm_release_item(item));
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(info_resource_test, a_moved_block_is_whole_and_moving_it_back_gives_the_same_bytes)
{
    c_item_t* const item = mm_precache("/c/x.info.xml");
    ASSERT_NE(item, nullptr);
    const std::vector<uint8_t> before(static_cast<uint8_t*>(item->object),
                                      static_cast<uint8_t*>(item->object) + item->size);
    void* const original = item->object;
    std::vector<uint8_t> elsewhere(item->size + 64);
    psb_info_ops.move(item, elsewhere.data() + 32);
    ASSERT_EQ(item->object, elsewhere.data() + 32);
    const uint32_t entry = word(item, psb_header_layers);
    EXPECT_STREQ(static_cast<const char*>(item->object) + word(item, entry + psb_entry_name), "/c/x.layer.xml");
    psb_info_ops.move(item, original);
    EXPECT_EQ(std::memcmp(original, before.data(), before.size()), 0);
    ci_dec_refs(item);
    EXPECT_TRUE(mm_release_item(item));
}

TEST_F(info_resource_test, an_info_that_fails_keeps_nothing)
{
    write_data_file("c/bad.info.xml", kuvra(R"(<info version="1.0" name="x"><model file="man.psm"/>
<layer name="x" file="missing.layer.xml"/></info>
)"));
    EXPECT_EQ(mm_precache("/c/bad.info.xml"), nullptr);
    EXPECT_EQ(mm_precache("/c/none.info.xml"), nullptr);
    EXPECT_TRUE(engine_log_has("cannot find psb_info file (/c/none.info.xml)"));
    EXPECT_TRUE(engine_log_has("cannot load layer file (/c/missing.layer.xml)"));
    for (const std::string& line : cache_leak_report())
        ADD_FAILURE() << line;
}

}  // namespace
