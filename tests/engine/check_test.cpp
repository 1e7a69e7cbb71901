#include <gtest/gtest.h>

#include "engine/check.h"

namespace {

TEST(check_test, a_true_condition_is_evaluated_once_in_live_builds_and_never_when_compiled_out)
{
    int evaluations = 0;
    kv_assert(++evaluations == 1);
    EXPECT_EQ(evaluations, KV_ASSERT_LIVE ? 1 : 0);
}

TEST(check_DeathTest, a_false_condition_aborts_naming_file_line_and_condition)
{
    if (!KV_ASSERT_LIVE)
        GTEST_SKIP() << "kv_assert is compiled out in this build";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int wheels = 3;
    EXPECT_DEATH(kv_assert(wheels == 4), "check_test\\.cpp:[0-9]+: assertion failed: wheels == 4");
}

}  // namespace
