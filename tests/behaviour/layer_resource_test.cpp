// Layer descriptions as resources of the engine's cache: loaded on demand from their file, nothing
// kept when the file is missing or does not parse.
#include <string>

#include "behaviour/psb_layer_load.h"
#include "behaviour/psb_resources.h"
#include "behaviour_fixture.h"
#include "engine/cache.h"

namespace {

class layer_resource_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        psb_layer_makeup_ops();
        loader_ = mm_register_loader(nullptr, psb_layer_loader_match, 0);
        ASSERT_GT(loader_, 0);
    }

    void TearDown() override
    {
        mm_unregister_loader(loader_);
        behaviour_test_t::TearDown();
    }

    int loader_ = 0;
};

const char* const walker_layer = R"(<?xml version="1.0"?>
<kuvra>
  <layer version="1.0" name="walker">
    <processes><process name="legs"/></processes>
    <attributes></attributes>
    <features><group><feature name="stance"><state>stand</state></feature></group></features>
    <load_behaviors file="walker.behaviors.xml"/>
  </layer>
</kuvra>
)";

TEST_F(layer_resource_test, a_layer_file_loads_into_its_cache_item_and_is_freed_with_it)
{
    write_data_file("chars/walker.layer.xml", walker_layer);
    c_item_t* const item = mm_precache("/chars/walker.layer.xml");
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->object, nullptr);
    const psb_layer_t* const layer = static_cast<const psb_layer_t*>(item->object);
    EXPECT_STREQ(layer->get_name(), "walker");
    EXPECT_EQ(layer->feature_count(), 1u);
    EXPECT_EQ(item->locks, 0);
    ci_dec_refs(item);
    EXPECT_TRUE(mm_release_item(item));
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(layer_resource_test, a_missing_or_broken_layer_file_leaves_no_memory_behind)
{
    EXPECT_EQ(mm_precache("/chars/nobody.layer.xml"), nullptr);
    EXPECT_TRUE(engine_log_has("cannot find naming file (/chars/nobody.layer.xml)"));
    write_data_file("chars/broken.layer.xml", std::string(walker_layer).replace(0, 5, "<kuvra>"));
    EXPECT_EQ(mm_precache("/chars/broken.layer.xml"), nullptr);
    EXPECT_TRUE(cache_leak_report().empty());
    for (const std::string& line : cache_leak_report())
        ADD_FAILURE() << line;
}

}  // namespace
