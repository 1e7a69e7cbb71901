#include <gtest/gtest.h>

#include "decal_recorder.h"
#include "player_fixture.h"

namespace {

constexpr const char* skid_marks = "scripts/decals/track.esc";
constexpr const char* ruts = "scripts/decals/track_grass.esc";

// The player's truck moved by hand along -z (forward), with its sideways speed set, laying tracks.
class tyre_tracks_test : public player_test_t {
protected:
    void SetUp() override
    {
        player_test_t::SetUp();
        decal_store_install(&decals);  // the engine's reset took out the store installed before
        truck = player();
        start = truck->get_position();
        truck->update_tyre_tracks(true);  // the tracks start where the truck stands
    }

    // Moves the truck `metres` forward from where it stands, sliding sideways at `slip` m/s, and lays
    // the tracks of that frame.
    void drive(float metres, float slip, bool hard_ground)
    {
        const vec3_t here = truck->get_position();
        truck->set_transform(here + vec3_t(0.0f, 0.0f, -metres * 100.0f), truck->get_orientation());
        truck->body->current->linear_velocity = truck->vector_to_world({slip * 100.0f, 0.0f, 0.0f});
        truck->update_tyre_tracks(hard_ground);
    }

    decal_recorder_t decals;
    car_player_e* truck = nullptr;
    vec3_t start;
};

TEST_F(tyre_tracks_test, a_standing_truck_or_one_rolling_straight_on_the_road_lays_no_marks)
{
    for (int i = 0; i < 10; ++i)
        drive(0.0f, 5.0f, true);
    EXPECT_TRUE(decals.placements.empty()) << "standing: the track distance does not grow";
    for (int i = 0; i < 5; ++i)
        drive(1.0f, 1.0f, true);
    EXPECT_TRUE(decals.placements.empty()) << "a slip of 1 m/s is not a skid";
    EXPECT_FLOAT_EQ(truck->skid_value, 1.0f);
}

TEST_F(tyre_tracks_test, a_slide_on_the_road_lays_a_strip_per_wheel_from_where_the_slide_began)
{
    drive(3.0f, 0.0f, true);
    const vec3_t slide_start = truck->last_marks[0];
    drive(1.0f, 4.0f, true);
    ASSERT_EQ(decals.of(skid_marks).size(), 2u);
    const auto left = decals.of(skid_marks)[0];
    const vec3_t middle = slide_start + (truck->last_marks[0] - slide_start) * 0.5f;
    EXPECT_NEAR(left.start.x, middle.x, 0.01f);
    EXPECT_NEAR(left.start.z, middle.z, 0.01f);
    EXPECT_NEAR(left.start.y - left.end.y, 1000.0f, 0.01f) << "shot from 500 above to 500 below";
    EXPECT_FLOAT_EQ(left.params.scale().x, 100.0f);
    EXPECT_NEAR(left.params.scale().y, 100.0f, 0.01f) << "the strip is as long as the move";
    EXPECT_FLOAT_EQ(left.params.angle_limit(), 60.0f);
    EXPECT_LT(left.start.x, decals.of(skid_marks)[1].start.x) << "left, then right";
}

TEST_F(tyre_tracks_test, off_the_road_each_rut_follows_the_ground_under_its_own_rear_wheel)
{
    struct case_t {
        int32_t left_ground, right_ground;
        size_t left_ruts, right_ruts;
    } const cases[] = {{1, 1, 1, 1}, {4, 1, 0, 1}, {1, 4, 1, 0}};
    for (const case_t& test : cases) {
        decals.placements.clear();
        truck->wheels[2].ground_kind = test.left_ground;
        truck->wheels[3].ground_kind = test.right_ground;
        drive(1.0f, 0.0f, false);
        size_t left = 0, right = 0;
        for (const auto& rut : decals.of(ruts))
            ++(rut.start.x < truck->get_position().x ? left : right);
        EXPECT_EQ(left, test.left_ruts) << test.left_ground << " " << test.right_ground;
        EXPECT_EQ(right, test.right_ruts) << test.left_ground << " " << test.right_ground;
    }
}

TEST_F(tyre_tracks_test, a_jump_of_the_truck_lays_no_strip_across_the_gap)
{
    drive(80.0f, 5.0f, true);
    EXPECT_TRUE(decals.placements.empty());
    drive(1.0f, 5.0f, true);
    EXPECT_EQ(decals.of(skid_marks).size(), 2u) << "the tracks go on from where the truck landed";
}

}  // namespace
