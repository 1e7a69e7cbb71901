#include <gtest/gtest.h>

#include "engine/cache.h"
#include "engine/mem.h"
#include "engine/process.h"
#include "frame/client_proc.h"
#include "frame_fixture.h"

namespace {

class client_records_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        client_ = new client_proc_t;
        client_->set_name("client");
        process_add(client_, nullptr, -1, 0);
        client_->lock();
    }
    void TearDown() override
    {
        mem_fail_after(0);
        client_->shutdown();
        client_->unlock();
        frame_test_t::TearDown();
    }

    client_proc_t* client_ = nullptr;
};

TEST_F(client_records_test, each_light_and_fog_holds_the_process_until_it_is_removed)
{
    const int items_before = cache_item_count();
    r_light_t* first = client_->new_light();
    r_light_t* second = client_->new_light();
    fog_record_t* fog = client_->new_fog();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(fog, nullptr);
    EXPECT_EQ(client_->lock_count(), 4);

    // A light starts as the renderer's default light; a fog record starts zeroed.
    EXPECT_EQ(first->diffuse[0], 1.0f);
    EXPECT_EQ(first->direction[1], 1.0f);
    for (const uint32_t word : fog->words)
        EXPECT_EQ(word, 0u);

    ASSERT_EQ(client_->get_lights().size(), 2u);
    EXPECT_EQ(client_->get_lights()[0]->object, first);
    EXPECT_TRUE(client_->get_lights()[0]->flags & ci_flag_held);
    ASSERT_EQ(client_->get_fogs().size(), 1u);
    EXPECT_EQ(client_->get_fogs()[0]->object, fog);

    EXPECT_TRUE(client_->remove_light(first));
    EXPECT_FALSE(client_->remove_light(first)) << "removed twice";
    EXPECT_FALSE(client_->remove_fog(nullptr));
    EXPECT_TRUE(client_->remove_fog(fog));
    EXPECT_TRUE(client_->remove_light(second));
    EXPECT_TRUE(client_->get_lights().empty());
    EXPECT_TRUE(client_->get_fogs().empty());
    EXPECT_EQ(client_->lock_count(), 1);
    EXPECT_EQ(cache_item_count(), items_before) << "the records' items are destroyed";
    EXPECT_TRUE(cache_leak_report().empty());
}

TEST_F(client_records_test, a_record_without_memory_is_reported_and_nothing_is_held)
{
    const int items_before = cache_item_count();
    struct row_t {
        bool light;
        const char* text;
    };
    for (const row_t& row : {row_t{true, "[client] failed to allocate light struct"},
                             row_t{false, "[client] failed to allocate fog struct"}}) {
        mem_fail_after(1);
        const void* record = row.light ? static_cast<void*>(client_->new_light()) : client_->new_fog();
        EXPECT_EQ(record, nullptr);
        EXPECT_TRUE(engine_log_has(row.text)) << row.text;
    }
    EXPECT_TRUE(client_->get_lights().empty());
    EXPECT_TRUE(client_->get_fogs().empty());
    EXPECT_EQ(client_->lock_count(), 1);
    EXPECT_EQ(cache_item_count(), items_before);
}

}  // namespace
