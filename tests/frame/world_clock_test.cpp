#include <gtest/gtest.h>

#include <vector>

#include "frame/world_process_clock.h"

namespace {

std::vector<float> steps_of_frame(double seconds)
{
    std::vector<float> steps;
    float accumulator = 0.0f;
    world_clock_advance(accumulator, seconds, [&](float dt) { steps.push_back(dt); });
    EXPECT_EQ(accumulator, 0.0f);
    return steps;
}

TEST(world_clock, slow_frame_runs_full_steps_then_the_remainder)
{
    const auto steps = steps_of_frame(0.05);
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_FLOAT_EQ(steps[0], 0.02f);
    EXPECT_FLOAT_EQ(steps[1], 0.02f);
    EXPECT_NEAR(steps[2], 0.01f, 1e-6);
}

TEST(world_clock, short_frame_runs_one_remainder_step)
{
    const auto steps = steps_of_frame(0.015);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_FLOAT_EQ(steps[0], 0.015f);
}

TEST(world_clock, empty_frame_still_runs_one_step_of_zero)
{
    const auto steps = steps_of_frame(0.0);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0], 0.0f);
}

}  // namespace
