#include <gtest/gtest.h>

#include <algorithm>

#include "grid_mesh.h"
#include "physproc_fixture.h"

namespace {

using sweep_test = physproc_test_t;

// A filter that touches the geometry at `user` and finds every other one solid.
int touch_one(uintptr_t user, const cd_geo_t*, const cd_geo_t* candidate)
{
    return reinterpret_cast<const cd_geo_t*>(user) == candidate ? phys_pair_touch : phys_pair_solid;
}

TEST_F(sweep_test, pair_test_finds_the_floor_triangles_under_a_box_and_nothing_above_them)
{
    grid_mesh_t floor(4, 4, 100.0f, 0.0f, 2);
    cd_geo_box_t* box = probe({150, 0, 150}, {100, 100, 100});
    std::vector<phys_pair_hit_t> hits;
    const uint32_t pair_tests = cd_test_counts().pair_tests;
    EXPECT_GT(process_->collide_pair(box, &floor, {150, 49, 150}, &hits), 0);
    EXPECT_EQ(cd_test_counts().pair_tests, pair_tests + 1);
    for (const phys_pair_hit_t& hit : hits) {
        EXPECT_EQ(hit.item, cd_item_none);
        EXPECT_LT(hit.other_item, 32u);
    }
    EXPECT_EQ(std::count(hits.begin(), hits.end(), hits.front()), 1) << "each primitive once";
    EXPECT_EQ(process_->collide_pair(box, &floor, {150, 49, 150}, nullptr), 1);
    EXPECT_EQ(process_->collide_pair(box, &floor, {150, 51, 150}, nullptr), 0);
    EXPECT_EQ(floor.trees_out, 0) << "every tree handed out is given back";
}

TEST_F(sweep_test, a_sweep_without_motion_reports_the_end_pose_and_no_impact)
{
    wall({0, 0, 0}, {100, 100, 100});
    cd_geo_box_t* box = probe({0, 0, 0}, {10, 10, 10});
    phys_pose_t reached{{1, 2, 3}, quat_t(0, 0, 0, 0.5f)};
    const phys_pose_t pose{{0, 0, 0}, quat_t()};
    EXPECT_EQ(process_->collide_geom(pose, pose, box, 10.0f, 1.0f, nullptr, &reached), nullptr);
    EXPECT_EQ(reached.position, vec3_t(0, 0, 0));
    EXPECT_EQ(reached.orientation, quat_t());
}

TEST_F(sweep_test, a_free_hundred_unit_move_is_tested_at_ten_positions)
{
    wall({50, 10.5f, 0}, {10, 10, 10});  // just above the path: a candidate, never touched
    cd_geo_box_t* box = probe({0, 0, 0}, {10, 10, 10});
    cd_test_counts() = cd_test_counts_t{};
    phys_pose_t reached;
    EXPECT_EQ(
        process_->collide_geom({{0, 0, 0}, quat_t()}, {{100, 0, 0}, quat_t()}, box, 10.0f, 1.0f, nullptr, &reached),
        nullptr);
    EXPECT_EQ(cd_test_counts().pair_tests, 10u);
    EXPECT_EQ(reached.position, vec3_t(100, 0, 0));
}

TEST_F(sweep_test, a_wall_45_ahead_is_met_within_the_refined_step_and_the_last_free_pose_is_reported)
{
    // The box's front face starts at x = 5; the wall's near face is at x = 50.
    cd_geo_box_t* target = wall({100, 0, 0}, {100, 100, 100});
    cd_geo_box_t* box = probe({0, 0, 0}, {10, 10, 10});
    phys_pose_t reached;
    const phys_contact_t* hit =
        process_->collide_geom({{0, 0, 0}, quat_t()}, {{100, 0, 0}, quat_t()}, box, 10.0f, 1.0f, nullptr, &reached);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->first, box);
    EXPECT_EQ(hit->second, target);
    EXPECT_EQ(hit->constraint, 1);
    EXPECT_EQ(hit->direction, vec3_t(1, 0, 0));
    EXPECT_LE(reached.position.x, 45.0f);
    EXPECT_GE(reached.position.x, 45.0f - 1.25f);
    EXPECT_GT(hit->position.x, reached.position.x) << "the contact lies beyond the last free pose";
    EXPECT_LE(hit->position.x - reached.position.x, 1.25f + 1e-3f);
}

TEST_F(sweep_test, a_touch_candidate_is_reported_and_the_sweep_goes_on_to_the_end)
{
    cd_geo_box_t* gate = wall({50, 0, 0}, {10, 100, 100});
    cd_geo_box_t* box = probe({0, 0, 0}, {10, 10, 10});
    const phys_pair_t filter{touch_one, reinterpret_cast<uintptr_t>(gate)};
    phys_pose_t reached;
    const phys_contact_t* hit =
        process_->collide_geom({{0, 0, 0}, quat_t()}, {{100, 0, 0}, quat_t()}, box, 10.0f, 1.0f, &filter, &reached);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(hit->second, gate);
    EXPECT_EQ(hit->constraint, 0);
    EXPECT_EQ(reached.position, vec3_t(100, 0, 0));
    float last_key = 0.0f;
    for (const phys_contact_t& record : phys_output_contacts()) {
        EXPECT_GE(record.key, last_key) << "contacts stay in key order";
        last_key = record.key;
    }
}

TEST_F(sweep_test, a_turn_in_place_against_a_close_wall_stops_and_leaves_the_geometry_unturned)
{
    // A long thin box turning about y sweeps its ends into a wall beside it.
    wall({0, 0, 60}, {400, 100, 10});
    cd_geo_box_t* bar = probe({0, 0, 0}, {200, 10, 10});
    quat_t quarter;
    quarter.set({0, 1, 0}, 90.0f);
    phys_pose_t reached;
    const phys_contact_t* hit =
        process_->collide_geom({{0, 0, 0}, quat_t()}, {{0, 0, 0}, quarter}, bar, 10.0f, 5.0f, nullptr, &reached);
    ASSERT_NE(hit, nullptr);
    EXPECT_LT(quat_t::get_delta(quat_t(), reached.orientation).get_rotation_rad(), 0.6f);
    EXPECT_FALSE(bar->rotated()) << "the sweep gives the geometry back its own orientation";
}

}  // namespace
