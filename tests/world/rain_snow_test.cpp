#include <gtest/gtest.h>

#include <cmath>

#include "../frame/frame_fixture.h"
#include "common/world_view.h"
#include "engine/gfx_record.h"
#include "world/env_rain.h"
#include "world/env_snow.h"

namespace {

using rain_snow_test = frame_test_t;

TEST_F(rain_snow_test, rain_intensity_sets_the_drops_drawn_and_the_sound_target)
{
    env_rain_e rain;
    ASSERT_EQ(rain.init(0), 0);
    EXPECT_EQ(rain.drop_count(), 1000);
    EXPECT_FALSE(rain.active());
    EXPECT_TRUE(rain.set_intensity(0.5f)) << "it just started";
    EXPECT_EQ(rain.drawn_vertices(), 1500);
    EXPECT_FLOAT_EQ(rain.volume_target(), 1.0f) << "rain_volume 100 at twice 0.5";
    EXPECT_FALSE(rain.set_intensity(0.5f));
    rain.set_intensity(0.01f);
    EXPECT_FALSE(rain.active());
    EXPECT_EQ(rain.drawn_vertices(), 0);
    EXPECT_TRUE(rain.set_intensity(0.011f));
    EXPECT_EQ(rain.drawn_vertices(), 3 * 11);
    rain.destroy(0);
}

TEST_F(rain_snow_test, a_drop_that_leaves_the_box_comes_back_from_the_other_side)
{
    env_rain_e rain;
    rain.item_count = 2;  // drop 1, an odd one, moves by exactly the offset
    rain.bounding_range = {100.0f, 100.0f, 100.0f};
    rain.falling_speed = 0.0f;
    ASSERT_EQ(rain.init(0), 0);
    rain.set_intensity(1.0f);
    rain.update(0.02f, {0, 0, 0});
    const vec3_t before = rain.vertex(1, 0);
    const vec3_t shape = rain.vertex(1, 1) - before;
    rain.update(0.02f, {-150.0f, 0, 0});  // the camera moved: the drop is left 150 behind, past one range
    const vec3_t after = rain.vertex(1, 0);
    const float moved = before.x + 150.0f;
    EXPECT_NEAR(after.x, moved - 2.0f * 100.0f * std::trunc(moved / 100.0f), 1e-3f);
    EXPECT_LT(std::fabs(after.x), 100.0f) << before.x << " " << moved;
    EXPECT_NEAR((rain.vertex(1, 1) - after).x, shape.x, 1e-3f) << "all three vertices move together";
    rain.destroy(0);
}

TEST_F(rain_snow_test, odd_sizes_and_counts_neither_crash_nor_allocate_without_bound)
{
    env_rain_e rain;
    rain.item_count = -5;
    rain.bounding_range = {0.0f, -1.0f, 100.0f};
    ASSERT_EQ(rain.init(0), 0);
    EXPECT_EQ(rain.drop_count(), 0);
    rain.set_intensity(1.0f);
    rain.update(0.02f, {1e30f, 0, 0});
    rain.destroy(0);

    env_rain_e heavy;
    heavy.item_count = 1 << 30;
    heavy.bounding_range = {0.0f, 10.0f, 10.0f};
    ASSERT_EQ(heavy.init(0), 0);
    EXPECT_EQ(heavy.drop_count(), env_rain_e::max_drops);
    heavy.set_intensity(1.0f);
    heavy.update(0.02f, {0, 0, 0});
    heavy.update(0.02f, {500.0f, 0, 0});
    for (int32_t d = 0; d < heavy.drop_count(); d += 97)
        EXPECT_TRUE(std::isfinite(heavy.vertex(d, 0).x)) << "a range of 0 wraps nothing on its axis";
    EXPECT_EQ(heavy.drawn_vertices(), 3 * env_rain_e::max_drops);
    heavy.destroy(0);

    env_snow_e snow;
    snow.flakes_count = -1;
    ASSERT_EQ(snow.init(0), 0);
    EXPECT_EQ(snow.flake_count(), 0);
    EXPECT_TRUE(snow.set_intensity(1.0f));
    snow.destroy(0);
}

TEST_F(rain_snow_test, snow_draws_a_share_of_its_flakes_and_stays_in_its_box)
{
    env_snow_e snow;
    ASSERT_EQ(snow.init(0), 0);
    EXPECT_TRUE(snow.set_intensity(0.5f));
    EXPECT_EQ(snow.drawn_flakes(), 50);
    EXPECT_FALSE(snow.set_intensity(0.2f)) << "already active";
    EXPECT_EQ(snow.drawn_flakes(), 20);
    for (int frame = 0; frame < 600; ++frame)
        snow.update(0.1f, {frame * 10.0f, 0, 0});
    for (int32_t i = 0; i < snow.flake_count(); ++i) {
        EXPECT_LE(std::fabs(snow.flake(i).x), 900.0f + 1e-2f);
        EXPECT_LE(std::fabs(snow.flake(i).y), 400.0f + 1e-2f);
    }
    snow.destroy(0);
}

TEST_F(rain_snow_test, snow_draws_its_flakes_but_nothing_into_a_mirror)
{
    env_snow_e snow;
    ASSERT_EQ(snow.init(0), 0);
    ASSERT_TRUE(snow.set_intensity(0.5f));
    snow.update(0.1f, {0, 0, 0});
    set_drawing_secondary_view(true);
    snow.draw();
    set_drawing_secondary_view(false);
    EXPECT_TRUE(gfx_record_current().sprites.empty());
    snow.draw();
    EXPECT_EQ(gfx_record_current().sprites.size(), 1u);
    snow.destroy(0);
}

}  // namespace
