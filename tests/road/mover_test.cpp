#include "road/mover.h"

#include <vector>

#include "road_fixture.h"

namespace {

using mover_test = road_test_t;

// A straight mover over three points along x (0, 1000, 2000), each segment taking 2 s, with `flags`
// and a pause of `pause` seconds at the ends.
map_miscitem_t straight_mover(const uint32_t flags, const int32_t pause)
{
    map_miscitem_t item{};
    item.type = map_misc_mover;
    for (int p = 0; p < 3; ++p)
        item.points[p] = vec3_t(1000.0f * static_cast<float>(p), 0.0f, 0.0f);
    item.params[0] = item.params[1] = 500000;  // half a segment per second
    item.params[3] = pause << 16;
    item.flags = 2u | flags;
    return item;
}

// The x of the mover after each of `steps` steps of 0.25 s (the last x while pausing).
std::vector<float> run(map_miscitem_t& item, const int steps)
{
    std::vector<float> xs;
    float x = 0.0f;
    for (int i = 0; i < steps; ++i) {
        const mover_step_t step = mover_advance(item, 0.25f);
        if (step.moved)
            x = mover_pose(item, step.segment, step.progress).position.x;
        xs.push_back(x);
    }
    return xs;
}

TEST_F(mover_test, ping_pong_reverses_at_the_last_point_and_pauses_at_both_ends)
{
    map_miscitem_t item = straight_mover(map_misc_ping_pong, 1);
    const std::vector<float> xs = run(item, 40);
    // 4 s out to 2000; the step past the end turns round and pauses there for 999 ms (three steps);
    // then 4 s back to 0, where it pauses again.
    EXPECT_FLOAT_EQ(xs[3], 500.0f);
    EXPECT_FLOAT_EQ(xs[14], 1875.0f);
    EXPECT_FLOAT_EQ(xs[15], 2000.0f);
    EXPECT_FLOAT_EQ(xs[16], 2000.0f);
    EXPECT_FLOAT_EQ(xs[19], 2000.0f);
    EXPECT_FLOAT_EQ(xs[20], 1875.0f);
    EXPECT_FLOAT_EQ(xs[34], 125.0f);
    EXPECT_FLOAT_EQ(xs[35], 0.0f);
    EXPECT_FLOAT_EQ(xs[36], 0.0f);
    EXPECT_FLOAT_EQ(xs[39], 0.0f);
    EXPECT_EQ(item.flags & map_misc_backwards, 0u);
    EXPECT_NE(item.flags & map_misc_pausing, 0u);
}

TEST_F(mover_test, without_ping_pong_the_mover_jumps_back_to_its_first_point)
{
    map_miscitem_t item = straight_mover(0, 0);
    const std::vector<float> xs = run(item, 18);
    EXPECT_FLOAT_EQ(xs[15], 2000.0f);
    // Just past the last point it is on the first segment again.
    EXPECT_FLOAT_EQ(xs[16], 125.0f);
    EXPECT_FLOAT_EQ(xs[17], 250.0f);
    EXPECT_EQ(item.flags & (map_misc_backwards | map_misc_pausing), 0u);
}

TEST_F(mover_test, the_pause_is_kept_in_milliseconds_in_the_progress_word)
{
    map_miscitem_t item = straight_mover(map_misc_ping_pong, 3);
    item.progress = 1u << mover_segment_shift | 999999u;
    const mover_step_t arrive = mover_advance(item, 0.25f);
    EXPECT_TRUE(arrive.moved);
    EXPECT_EQ(item.progress, 1u << mover_segment_shift | 2999u);
    EXPECT_FALSE(mover_advance(item, 1.0f).moved);
    EXPECT_EQ(item.progress & mover_progress_mask, 1999u);
}

TEST_F(mover_test, a_damaged_record_neither_reads_past_its_points_nor_runs_away)
{
    map_miscitem_t item = straight_mover(0, 0);
    item.progress = 9u << mover_segment_shift;
    const mover_step_t restarted = mover_advance(item, 0.25f);
    EXPECT_EQ(restarted.segment, 0);

    map_miscitem_t curve = straight_mover(map_misc_curve, 0);
    curve.params[0] = 0;
    curve.params[3] |= 100;
    const mover_step_t held = mover_advance(curve, 0.25f);
    EXPECT_EQ(held.progress, 0.0f);

    map_miscitem_t no_path = straight_mover(0, 0);
    no_path.flags &= ~map_misc_segments_mask;
    EXPECT_FALSE(mover_advance(no_path, 0.25f).moved);
}

TEST_F(mover_test, an_oriented_mover_faces_along_its_path_and_back)
{
    map_miscitem_t item = straight_mover(map_misc_orient | map_misc_ping_pong, 0);
    const mover_step_t out = mover_advance(item, 0.25f);
    const vec3_t forward = mover_pose(item, out.segment, out.progress).rotation.rotate(vec3_t(0.0f, 0.0f, -1.0f));
    EXPECT_NEAR(forward.x, 1.0f, 1e-6f);
    item.flags |= map_misc_backwards;
    const vec3_t back = mover_pose(item, out.segment, out.progress).rotation.rotate(vec3_t(0.0f, 0.0f, -1.0f));
    EXPECT_NEAR(back.x, -1.0f, 1e-6f);

    map_miscitem_t plain = straight_mover(0, 0);
    const mover_step_t step = mover_advance(plain, 0.25f);
    EXPECT_EQ(mover_pose(plain, step.segment, step.progress).rotation, quat_t{});
}

}  // namespace
