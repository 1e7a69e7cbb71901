#include "engine/cache.h"
#include "engine/log.h"
#include "engine/vfs.h"
#include "frame/engine_api.h"
#include "frame_fixture.h"

using engine_api_test = frame_test_t;

TEST_F(engine_api_test, binds_each_exported_name_to_the_engines_own_function)
{
    EXPECT_EQ(api::message, &::message);
    EXPECT_EQ(api::message_history_count, &::message_history_count);
    EXPECT_EQ(api::mm_register_loader, &::mm_register_loader);
    EXPECT_EQ(api::vfs_open, &::vfs_open);
    EXPECT_EQ(api::dll_handle, &::dll_handle);
}

TEST_F(engine_api_test, calls_through_a_bound_pointer_reach_the_engine)
{
    api::message("through the binding %d", 7);
    EXPECT_TRUE(engine_log_has("through the binding 7"));
}

TEST_F(engine_api_test, a_name_the_engine_does_not_export_stays_null)
{
    EXPECT_EQ(api::strace, nullptr);
    EXPECT_EQ(api::tick, nullptr);
    EXPECT_EQ(api::hw_init, nullptr);
}

TEST_F(engine_api_test, binding_from_a_missing_library_leaves_its_family_null)
{
    resolve_psm_api(nullptr);
    EXPECT_EQ(api::psm_alloc, nullptr);
    EXPECT_EQ(api::psm_set_fog_callback, nullptr);
    resolve_log_api(nullptr);
    EXPECT_EQ(api::message, nullptr);
    ASSERT_TRUE(bind_engine_for_tests());
    EXPECT_EQ(api::message, &::message);
}
