#include <limits>

#include "engine/clock.h"
#include "engine_testing/engine_test.h"

namespace {

class clock_test_t : public engine_test_t {};

TEST_F(clock_test_t, frames_advance_time_delta_and_ticks)
{
    EXPECT_EQ(sys_get_time(), 0.0);
    EXPECT_EQ(sys_get_lastdelta(), 0.0f);
    EXPECT_EQ(tmr_read(), 0u);
    engine_run_frames(3, 0.25);
    EXPECT_DOUBLE_EQ(sys_get_time(), 0.75);
    EXPECT_EQ(sys_get_lastdelta(), 0.25f);
    EXPECT_EQ(tmr_read(), 750000u);
    engine_run_frames(1, 1.0 / 60.0);
    EXPECT_FLOAT_EQ(sys_get_lastdelta(), 1.0f / 60.0f);
    EXPECT_EQ(tmr_read(), 766667u);
}

TEST_F(clock_test_t, set_time_moves_game_time_but_not_the_ticks)
{
    engine_run_frames(1, 2.0);
    sys_set_time(100.0);
    EXPECT_EQ(sys_get_time(), 100.0);
    sys_set_time(1.0);
    EXPECT_EQ(sys_get_time(), 1.0);
    EXPECT_EQ(tmr_read(), 2000000u);
    sys_set_time(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(sys_get_time(), 1.0);
    EXPECT_EQ(engine_log_matching("sys_set_time: time").size(), 1u);
}

TEST_F(clock_test_t, a_bad_frame_time_counts_as_zero)
{
    engine_run_frames(1, 0.5);
    engine_run_frames(1, -1.0);
    EXPECT_EQ(sys_get_lastdelta(), 0.0f);
    EXPECT_EQ(sys_get_time(), 0.5);
    EXPECT_EQ(tmr_read(), 500000u);
    EXPECT_TRUE(engine_log_has("frame time -1 is not a non-negative number of seconds; the frame counts as 0"));
}

TEST_F(clock_test_t, ticks_can_be_pinned_by_tests_until_reset)
{
    tmr_set_for_test(5000000);
    engine_run_frames(1, 1.0);
    EXPECT_EQ(tmr_read(), 5000000u);
    tmr_release_for_test();
    EXPECT_EQ(tmr_read(), 1000000u);
    tmr_set_for_test(7);
    engine_reset();
    EXPECT_EQ(tmr_read(), 0u);
}

TEST(tmr_cycles, count_up_and_convert_to_microseconds)
{
    const uint64_t before = tmr_get_cycles();
    EXPECT_GE(tmr_get_cycles(), before);
    EXPECT_DOUBLE_EQ(tmr_cycles_to_usec(2500), 2.5);
}

}  // namespace
