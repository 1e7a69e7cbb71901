#include "common/c_item_ops.h"

#include <gtest/gtest.h>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"

namespace {

void* failing_load(c_item_t*) { return nullptr; }

class c_item_ops_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        bind_engine_for_tests();
    }
};

TEST_F(c_item_ops_test, each_lock_needs_its_release_before_the_item_may_be_evicted)
{
    c_item_t* item = mm_sys_get_new_anitem();
    void* memory = ci_alloc_mem_fix(item, 16);
    ASSERT_NE(memory, nullptr);
    ci_dec_refs(item);  // nothing references it: only the locks keep it
    int counter = 0;
    item->counter = &counter;

    EXPECT_EQ(c_item_lock(item), memory);
    EXPECT_EQ(c_item_lock(item), memory);
    EXPECT_EQ(item->locks, 2);
    EXPECT_EQ(counter, 2);
    c_item_release(item);
    EXPECT_FALSE(item->flags & ci_flag_in_mlru) << "still locked once";
    EXPECT_EQ(counter, 1);
    c_item_release(item);
    EXPECT_EQ(item->locks, 0);
    EXPECT_EQ(counter, 0);
    EXPECT_TRUE(item->flags & ci_flag_in_mlru) << "the last release makes it a candidate for eviction";

    c_item_release(item);
    EXPECT_EQ(item->locks, 0) << "a release without a use changes nothing";
    EXPECT_EQ(engine_log_matching("release of an item without a use").size(), 1u);
}

TEST_F(c_item_ops_test, a_referenced_item_stays_out_of_eviction_and_moves_once_per_generation)
{
    c_item_t* item = mm_sys_get_new_anitem();
    ASSERT_NE(ci_alloc_mem_fix(item, 8), nullptr);
    const uint16_t stamp = item->stamp;
    c_item_lock(item);
    EXPECT_EQ(item->stamp, stamp) << "an item outside the recently-used order keeps its stamp";
    c_item_release(item);
    EXPECT_FALSE(item->flags & ci_flag_in_mlru) << "a reference keeps it";

    ci_mlru_add(item);
    ++item->owner->generation;
    c_item_lock(item);
    EXPECT_EQ(item->stamp, item->owner->generation) << "a listed item takes the new generation";
    c_item_release(item);
    ci_dec_refs(item);
}

TEST_F(c_item_ops_test, an_item_that_cannot_be_loaded_gives_null_and_takes_no_use)
{
    static resource_ops_t ops = {failing_load, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, -1, 77};
    ASSERT_TRUE(ci_makeup_ops(&ops));
    c_item_t* item = mm_sys_get_new_item();
    item->ops = &ops;
    EXPECT_EQ(c_item_lock(item), nullptr);
    EXPECT_EQ(item->locks, 0);
    EXPECT_EQ(c_item_lock(nullptr), nullptr);
    c_item_release(nullptr);
    ci_dec_refs(item);
}

}  // namespace
