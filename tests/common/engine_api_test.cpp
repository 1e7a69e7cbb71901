#include "engine/cache.h"
#include "engine/library.h"
#include "engine/log.h"
#include "engine/vfs.h"
#include "common/engine_api.h"
#include "../frame/frame_fixture.h"

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

TEST_F(engine_api_test, the_model_library_family_is_bound_from_lib_psm)
{
    void* const library = reinterpret_cast<void*>(dll_handle(dll_register("lib/psm")));
    ASSERT_NE(library, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(api::psm_alloc), GetProcAddress(library, "psm_alloc"));
    EXPECT_NE(api::psm_alloc, nullptr);
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
