#include "physics/vclip.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/random.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "physics/vclip_walk.h"
#include "vclip_fixture.h"

namespace {

class vclip_run_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }

    // Runs the walk between the two boxes from the features held in the test.
    float run(const placed_box_t& a, const placed_box_t& b)
    {
        return vclip_run(a.polyhedron(), a.frame, b.polyhedron(), b.frame, first_feature_, second_feature_,
                         first_point_, second_point_);
    }

    // Steps the walk from the features held in the test until it ends; answers the steps taken.
    int steps_to_end(const placed_box_t& a, const placed_box_t& b)
    {
        vclip_walk_t walk(a.polyhedron(), a.frame, b.polyhedron(), b.frame, first_feature_, second_feature_);
        int steps = 1;
        while (walk.step() == vclip_continue && steps <= 100)
            ++steps;
        return steps;
    }

    const cd_feature_t* first_feature_ = nullptr;
    const cd_feature_t* second_feature_ = nullptr;
    vec3_t first_point_;
    vec3_t second_point_;
};

TEST_F(vclip_run_test, cubes_300_apart_are_200_apart_at_their_facing_faces_and_a_second_call_ends_at_once)
{
    const placed_box_t a({100, 100, 100}, {0, 0, 0});
    const placed_box_t b({100, 100, 100}, {300, 0, 0});
    EXPECT_FLOAT_EQ(run(a, b), 200.0f);
    EXPECT_FLOAT_EQ(first_point_.x, 50.0f);
    EXPECT_FLOAT_EQ(second_point_.x, -50.0f);
    EXPECT_FLOAT_EQ(a.to_world(first_point_).y, b.to_world(second_point_).y);
    EXPECT_FLOAT_EQ(a.to_world(first_point_).z, b.to_world(second_point_).z);
    ASSERT_NE(first_feature_, nullptr);
    ASSERT_NE(second_feature_, nullptr);

    EXPECT_EQ(steps_to_end(a, b), 1);
    const cd_feature_t* const final_first = first_feature_;
    const cd_feature_t* const final_second = second_feature_;
    EXPECT_FLOAT_EQ(run(a, b), 200.0f);
    EXPECT_EQ(first_feature_, final_first);
    EXPECT_EQ(second_feature_, final_second);
}

// A separated pair with its distance worked out by hand.
struct separated_case_t {
    const char* name;
    vec3_t dimensions_b;
    vec3_t position_b;
    vec3_t angles_b;
    float distance;
};

TEST_F(vclip_run_test, separated_boxes_give_the_distance_between_their_closest_features)
{
    const float root2 = std::sqrt(2.0f), root3 = std::sqrt(3.0f);
    // The corner of a cube turned by these angles points straight down.
    const float corner_down = std::atan(1.0f / root2) * 180.0f / 3.14159265f;
    const separated_case_t cases[] = {
        {"face to face", {100, 100, 100}, {300, 0, 0}, {0, 0, 0}, 200.0f},
        {"edge to face", {100, 100, 100}, {200, 0, 0}, {0, 45, 0}, 150.0f - 50.0f * root2},
        {"corner to face", {100, 100, 100}, {0, 200, 0}, {corner_down, 0, 45}, 150.0f - 50.0f * root3},
        {"edge to edge", {100, 100, 100}, {200, 200, 0}, {0, 0, 0}, 100.0f * root2},
        {"corner to corner", {100, 100, 100}, {200, 200, 200}, {0, 0, 0}, 100.0f * root3},
        {"crossed edges", {100, 100, 300}, {0, 60 + 50 * root2, 50}, {0, 0, 45}, 10.0f},
        {"flat slab above", {1000, 10, 1000}, {0, 80, 0}, {0, 0, 0}, 25.0f},
    };
    const placed_box_t a({100, 100, 100}, {0, 0, 0});
    for (const separated_case_t& c : cases) {
        SCOPED_TRACE(c.name);
        const placed_box_t b(c.dimensions_b, c.position_b, c.angles_b);
        first_feature_ = second_feature_ = nullptr;
        const float distance = run(a, b);
        EXPECT_NEAR(distance, c.distance, 1e-3f);
        EXPECT_NEAR(box_distance(a, b), c.distance, 1e-3f);
        // The closest points lie on the two surfaces, the distance apart.
        EXPECT_NEAR((a.to_world(first_point_) - b.to_world(second_point_)).length(), distance, 1e-3f);
        EXPECT_NEAR(b.distance_to(a.to_world(first_point_)), distance, 1e-3f);
        EXPECT_NEAR(a.distance_to(b.to_world(second_point_)), distance, 1e-3f);
    }
}

TEST_F(vclip_run_test, random_boxes_match_the_brute_force_distance_and_a_small_move_ends_in_two_steps)
{
    randomizer_t random(20240611u);
    const auto uniform = [&](float low, float high) { return low + (high - low) * random.rand(); };
    int compared = 0, meeting = 0;
    for (int round = 0; round < 300; ++round) {
        const placed_box_t a({uniform(20, 200), uniform(20, 200), uniform(20, 200)}, {0, 0, 0},
                             {uniform(-180, 180), uniform(-180, 180), uniform(-180, 180)});
        const vec3_t position(uniform(-300, 300), uniform(-300, 300), uniform(-300, 300));
        const vec3_t angles(uniform(-180, 180), uniform(-180, 180), uniform(-180, 180));
        const vec3_t dimensions(uniform(20, 200), uniform(20, 200), uniform(20, 200));
        const placed_box_t b(dimensions, position, angles);
        const float expected = box_distance(a, b);
        SCOPED_TRACE(round);
        first_feature_ = second_feature_ = nullptr;
        const float distance = run(a, b);
        if (expected == 0.0f) {
            ++meeting;
            EXPECT_LE(distance, 1e-6f);
            EXPECT_NE(distance, -1.0f);
            continue;
        }
        if (expected < 1.0f)
            continue;
        ++compared;
        ASSERT_NEAR(distance, expected, 1e-3f * expected + 1e-3f);
        EXPECT_NEAR((a.to_world(first_point_) - b.to_world(second_point_)).length(), distance, 1e-2f);

        // Nudged a little, the pair found last time ends the walk in at most two steps.
        const placed_box_t moved(dimensions, position + vec3_t(0.5f, -0.25f, 0.25f), angles + vec3_t(0.3f, 0, 0));
        EXPECT_LE(steps_to_end(a, moved), 2);
        EXPECT_NEAR(run(a, moved), box_distance(a, moved), 1e-3f * expected + 1e-3f);
    }
    EXPECT_GT(compared, 200);
    EXPECT_GT(meeting, 10);
    EXPECT_TRUE(engine_log_matching("V-Clip").empty());
}

TEST_F(vclip_run_test, touching_and_interpenetrating_boxes_end_at_or_below_zero)
{
    const placed_box_t a({100, 100, 100}, {0, 0, 0});
    const placed_box_t touching({100, 100, 100}, {100, 0, 0});
    const float touch = run(a, touching);
    EXPECT_LE(touch, 1e-6f);
    EXPECT_GE(touch, -1e-3f);
    EXPECT_NEAR(a.to_world(first_point_).x, 50.0f, 1e-3f);
    EXPECT_NEAR(touching.to_world(second_point_).x, 50.0f, 1e-3f);

    const placed_box_t sunk({100, 100, 100}, {0, 90, 0}, {0, 30, 0});
    first_feature_ = second_feature_ = nullptr;
    const float depth = run(a, sunk);
    EXPECT_LE(depth, 1e-6f);
    EXPECT_NE(depth, -1.0f);
    EXPECT_TRUE(engine_log_matching("V-Clip").empty());
}

TEST_F(vclip_run_test, edge_through_a_face_inside_its_outline_crosses_it)
{
    // A tall thin box whose vertical edges pierce the cube's top face.
    const placed_box_t pin({10, 200, 10}, {0, 60, 0});
    const placed_box_t cube({100, 100, 100}, {0, 0, 0});
    const cd_poly_edge_t* const edge = pin.edge_near({5, -40, 5}, {5, 160, 5});
    const cd_poly_face_t* const top = cube.face_toward({0, 1, 0});
    vclip_walk_t walk(pin.polyhedron(), pin.frame, cube.polyhedron(), cube.frame, edge, top);
    EXPECT_EQ(walk.step(), vclip_touch);
    EXPECT_LE(walk.distance(), 0.0f);
    EXPECT_FLOAT_EQ(walk.distance(), -90.0f);
    // The edge's lower end, dropped onto the face's plane.
    EXPECT_EQ(pin.to_world(walk.first_point()), vec3_t(5, -40, 5));
    EXPECT_EQ(cube.to_world(walk.second_point()), vec3_t(5, 50, 5));
}

TEST_F(vclip_run_test, edge_above_a_face_and_parallel_to_it_gives_way_to_its_tail)
{
    const placed_box_t slab({20, 10, 20}, {0, 60, 0});
    const placed_box_t cube({100, 100, 100}, {0, 0, 0});
    const cd_poly_edge_t* const edge = slab.edge_near({-10, 55, 10}, {10, 55, 10});
    const cd_poly_face_t* const top = cube.face_toward({0, 1, 0});
    vclip_walk_t walk(slab.polyhedron(), slab.frame, cube.polyhedron(), cube.frame, edge, top);
    EXPECT_EQ(walk.step(), vclip_continue);
    EXPECT_EQ(walk.first_feature(), edge->tail);
    EXPECT_EQ(walk.second_feature(), top);
    // Met the other way round, the roles swap and the same edge still gives way.
    vclip_walk_t swapped(cube.polyhedron(), cube.frame, slab.polyhedron(), slab.frame, top, edge);
    EXPECT_EQ(swapped.step(), vclip_continue);
    EXPECT_EQ(swapped.second_feature(), edge->tail);
}

TEST_F(vclip_run_test, two_faces_as_the_start_pair_still_walk_to_the_distance)
{
    const placed_box_t a({100, 100, 100}, {0, 0, 0});
    const placed_box_t b({100, 100, 100}, {300, 0, 0});
    first_feature_ = a.face_toward({-1, 0, 0});
    second_feature_ = b.face_toward({1, 0, 0});
    EXPECT_FLOAT_EQ(run(a, b), 200.0f);
}

TEST_F(vclip_run_test, triangle_seen_from_both_sides_against_a_box)
{
    const vec3_t corners[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    const int faces[6] = {0, 1, 2, 0, 2, 1};
    cd_polyhedron_t triangle;
    triangle.set_vertices(corners, 3);
    ASSERT_TRUE(triangle.build_faces(faces, 3, 2));
    triangle.prepare();
    axial_t at_origin;
    for (const float height : {80.0f, -80.0f}) {
        SCOPED_TRACE(height);
        const placed_box_t box({40, 40, 40}, {20, height, 20});
        first_feature_ = second_feature_ = nullptr;
        EXPECT_NEAR(vclip_run(triangle, at_origin, box.polyhedron(), box.frame, first_feature_, second_feature_,
                              first_point_, second_point_),
                    60.0f, 1e-3f);
        EXPECT_NEAR(first_point_.y, 0.0f, 1e-3f);
    }
}

TEST_F(vclip_run_test, polyhedron_without_vertices_has_no_result)
{
    cd_polyhedron_t empty;
    const placed_box_t box({100, 100, 100}, {0, 0, 0});
    EXPECT_EQ(vclip_run(empty, box.frame, box.polyhedron(), box.frame, first_feature_, second_feature_, first_point_,
                        second_point_),
              -1.0f);
    EXPECT_EQ(vclip_run(box.polyhedron(), box.frame, empty, box.frame, first_feature_, second_feature_, first_point_,
                        second_point_),
              -1.0f);
    EXPECT_EQ(engine_log_matching("a polyhedron without vertices has no closest features").size(), 2u);
    EXPECT_EQ(first_feature_, nullptr);
}

}  // namespace
