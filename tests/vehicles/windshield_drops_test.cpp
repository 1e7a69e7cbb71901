#include <gtest/gtest.h>

#include "../frame/frame_fixture.h"
#include "engine/gfx_record.h"
#include "vehicles/player/windshield_drops.h"

namespace {

// A 60 x 60 glass as the player's truck sets it up, with a handful of drops.
class windshield_drops_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        glass_.setup({0.0f, 0.0f, 0.0f}, 60.0f, 60.0f, 0.5f, 0.05f, 20);
    }
    // The glass gives its shaders back before the engine goes.
    void TearDown() override
    {
        glass_.release();
        frame_test_t::TearDown();
    }
    // Rain until every drop has been born once (each waits at most 13.5 s), in steps of `step`.
    void rain_until_all_visible(float step = 0.05f)
    {
        glass_.level = 1.0f;
        glass_.speed = 20.0f;
        for (float t = 0.0f; t < 13.6f; t += step)
            glass_.update(step);
    }
    int visible() const
    {
        int n = 0;
        for (int i = 0; i < glass_.count(); ++i)
            n += glass_.drop(i).visible;
        return n;
    }

    windshield_drops_t glass_;
};

TEST_F(windshield_drops_test, setup_lays_out_the_glass_and_hides_every_drop)
{
    EXPECT_EQ(glass_.count(), 20);
    EXPECT_EQ(visible(), 0);
    for (int i = 0; i < glass_.count(); ++i) {
        EXPECT_GE(glass_.drop(i).x, -30.0f);
        EXPECT_LE(glass_.drop(i).x, 60.0f);
        EXPECT_GE(glass_.drop(i).y, 3.0f);
        EXPECT_LE(glass_.drop(i).wait, 13.5f);
    }
    EXPECT_EQ(glass_.packet().flags, 301u);
    EXPECT_EQ(glass_.packet().vertex_count, 80);
    EXPECT_EQ(glass_.packet().index_count, 120);
    glass_.update(1.0f);
    EXPECT_FALSE(glass_.active()) << "no precipitation: nothing happens";
}

TEST_F(windshield_drops_test, heavy_rain_brings_a_drop_back_after_exactly_13_tenths_of_a_second)
{
    rain_until_all_visible();
    EXPECT_TRUE(glass_.active());
    for (int i = 0; i < glass_.count(); ++i) {
        if (glass_.drop(i).visible) {
            EXPECT_FLOAT_EQ(glass_.drop(i).wait, 1.3f);
        }
    }
}

TEST_F(windshield_drops_test, drops_slide_with_the_speed_and_stand_still_at_20)
{
    rain_until_all_visible(0.01f);
    const int i = [&] {
        for (int k = 0; k < glass_.count(); ++k)
            if (glass_.drop(k).visible && glass_.drop(k).y < 40.0f)
                return k;
        return -1;
    }();
    ASSERT_GE(i, 0);
    glass_.level = 0.0f;
    const float y = glass_.drop(i).y;
    glass_.update(0.5f);
    EXPECT_EQ(glass_.drop(i).y, y);
    glass_.speed = 50.0f;
    glass_.update(1.0f);
    EXPECT_NEAR(glass_.drop(i).y, y + 1.8f, 1e-4f);
}

TEST_F(windshield_drops_test, a_drop_fades_from_its_fourth_second_and_is_gone_after_its_fifth)
{
    glass_.setup({0.0f, 0.0f, 0.0f}, 60.0f, 60.0f, 0.5f, 0.05f, 1);
    glass_.level = 1.0f;
    glass_.speed = 20.0f;
    while (!glass_.drop(0).visible)
        glass_.update(0.01f);
    glass_.level = 0.0f;
    const float born = glass_.drop(0).age;
    glass_.update(4.0f - born);
    EXPECT_EQ(glass_.colours(0)[0], 127u << 24 | 0xFFFFFFu);
    glass_.update(1.0f);
    EXPECT_EQ(glass_.colours(0)[0], 0xFFFFFFu);
    EXPECT_TRUE(glass_.drop(0).visible);
    glass_.update(0.01f);
    EXPECT_FALSE(glass_.drop(0).visible);
    EXPECT_EQ(glass_.uvs(0)[4], 0.0f);
    glass_.update(0.01f);
    EXPECT_FALSE(glass_.active()) << "after the rain, once no drop shows the glass is not drawn";
    const size_t queued = gfx_record_current().data.size();
    glass_.draw();
    EXPECT_EQ(gfx_record_current().data.size(), queued);
}

TEST_F(windshield_drops_test, the_wiper_clears_what_it_sweeps_over_once)
{
    rain_until_all_visible();
    glass_.level = 0.0f;
    const int before = visible();
    ASSERT_GT(before, 0);
    // From lying flat (angle 0, whose line has no height) up to 90 degrees: every drop right of x 0.
    glass_.set_wiper_angle(1.5707964f);
    for (int i = 0; i < glass_.count(); ++i) {
        if (glass_.drop(i).x > 0.01f) {
            EXPECT_FALSE(glass_.drop(i).visible) << i;
        }
    }
    const int after = visible();
    EXPECT_LT(after, before);
    glass_.set_wiper_angle(1.5707964f);
    EXPECT_EQ(visible(), after) << "the same angle again clears nothing";
}

}  // namespace
