#include <cmath>

#include "engine/geometry.h"
#include "maths_expect.h"

namespace {

TEST(ypr_2_cartes, turns_forward_by_the_angle_triple)
{
    EXPECT_TRUE(vec_near(ypr_2_cartes({0, 0, 0}), {0, 0, -1}));
    EXPECT_TRUE(vec_near(ypr_2_cartes({-90, 0, 0}), {0, -1, 0}));  // rain
    EXPECT_TRUE(vec_near(ypr_2_cartes({90, 0, 0}), {0, 1, 0}));    // smoke
    EXPECT_TRUE(vec_near(ypr_2_cartes({0, 90, 0}), {-1, 0, 0}));
    EXPECT_TRUE(vec_near(ypr_2_cartes({0, 0, 75}), {0, 0, -1}));  // roll keeps the direction
    mat4_t r;
    const vec3_t angles{-35, 140, 12};
    matrix_set_rotate(r, angles);
    EXPECT_TRUE(vec_near(ypr_2_cartes(angles), mult_normal_matrix_fast(r, {0, 0, -1})));
}

TEST(cartes_2_ypr, is_the_exact_inverse_of_ypr_2_cartes)
{
    const vec3_t directions[] = {{0, 0, -1}, {0, 0, 1}, {1, 0, 0},     {-1, 0, 0},        {0, 1, 0},
                                 {0, -3, 0}, {1, 2, 3}, {-4, 0.5f, 7}, {0.001f, 0, -900}, {-2, -2, 2}};
    for (const vec3_t& d : directions) {
        SCOPED_TRACE(testing::Message() << d.x << " " << d.y << " " << d.z);
        const vec3_t angles = cartes_2_ypr(d);
        EXPECT_EQ(angles.z, 0.0f);
        EXPECT_TRUE(vec_near(ypr_2_cartes(angles), d.normalized()));
    }
    const vec3_t triples[] = {{0, 0, 0}, {-90, 0, 0}, {45, -135, 0}, {-10, 180, 0}, {89.5f, 1, 0}, {-60, -45, 0}};
    for (const vec3_t& angles : triples) {
        SCOPED_TRACE(testing::Message() << angles.x << " " << angles.y);
        EXPECT_TRUE(vec_near(cartes_2_ypr(ypr_2_cartes(angles)), angles, 1e-3f));
    }
    EXPECT_EQ(cartes_2_ypr({0, 0, 0}), vec3_t{});
    EXPECT_EQ(cartes_2_ypr({0, 5, 0}), (vec3_t{90, 0, 0}));  // straight up has yaw 0
}

TEST(smooth_curve, starts_and_ends_on_the_nodes_along_their_tangents)
{
    const vec3_t p0{0, 0, 0}, p1{300, 0, -300};
    const vec3_t t0{0, 0, -100}, t1{100, 0, 0};  // leaves along -Z, arrives along +X
    vec3_t point, tangent;
    smooth_curve(p0, t0, p1, t1, 0.0f, point, &tangent);
    EXPECT_TRUE(vec_near(point, p0));
    EXPECT_TRUE(vec_near(tangent, {0, 0, -1}));
    smooth_curve(p0, t0, p1, t1, 1.0f, point, &tangent);
    EXPECT_TRUE(vec_near(point, p1));
    EXPECT_TRUE(vec_near(tangent, {1, 0, 0}));
    smooth_curve(p0, t0, p1, t1, 0.5f, point, nullptr);
    // (p0 + 3 (p0 + t0) + 3 (p1 - t1) + p1) / 8
    EXPECT_TRUE(vec_near(point, {112.5f, 0, -187.5f}));
}

TEST(smooth_curve, with_third_length_tangents_runs_evenly_along_a_line)
{
    const vec3_t p0{10, 5, 0}, p1{10, 5, 90}, third{0, 0, 30};
    for (const float t : {0.1f, 0.25f, 0.5f, 0.9f}) {
        vec3_t point, tangent;
        smooth_curve(p0, third, p1, third, t, point, &tangent);
        EXPECT_TRUE(vec_near(point, {10, 5, 90 * t}, 1e-4f));
        EXPECT_TRUE(vec_near(tangent, {0, 0, 1}));
    }
}

TEST(smooth_curve, gives_a_unit_tangent_where_the_node_tangent_is_zero)
{
    const vec3_t p0{0, 0, 0}, p1{100, 0, 0};
    vec3_t point, tangent;
    smooth_curve(p0, {0, 0, 0}, p1, {0, 0, 50}, 0.0f, point, &tangent);
    // It leaves towards the second inner control point p1 - t1 = (100, 0, -50).
    EXPECT_TRUE(vec_near(tangent, vec3_t{100, 0, -50}.normalized()));
    smooth_curve(p0, {0, 0, 50}, p1, {0, 0, 0}, 1.0f, point, &tangent);
    // It arrives from the first inner control point p0 + t0 = (0, 0, 50).
    EXPECT_TRUE(vec_near(tangent, vec3_t{100, 0, -50}.normalized()));
    smooth_curve(p0, {0, 0, 0}, p0, {0, 0, 0}, 0.5f, point, &tangent);
    EXPECT_EQ(tangent, vec3_t{});
}

TEST(planes, from_points_normals_and_offsets)
{
    vec4_t plane;
    ASSERT_TRUE(points_compute_equation({0, 5, 0}, {0, 5, 1}, {1, 5, 0}, 0.0f, plane));
    EXPECT_EQ(plane, (vec4_t{0, 1, 0, -5}));
    EXPECT_TRUE(vec_near(points_compute_normal({0, 5, 0}, {0, 5, 1}, {1, 5, 0}), {0, 1, 0}));
    // Reversing the order flips the normal.
    ASSERT_TRUE(points_compute_equation({0, 5, 0}, {1, 5, 0}, {0, 5, 1}, 0.0f, plane));
    EXPECT_EQ(plane, (vec4_t{0, -1, 0, 5}));

    ASSERT_TRUE(compute_equation({2, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0.0f, plane));
    EXPECT_EQ(plane, (vec4_t{1, 0, 0, -2}));
    const vec4_t wall = construct_equation({2, 0, 0}, {1, 0, 0});
    EXPECT_EQ(wall, plane);
    const vec4_t moved = translate_plane(wall, {3, 7, 7});
    EXPECT_EQ(moved, (vec4_t{1, 0, 0, -5}));
    // Signed distance of a point: positive on the normal's side.
    EXPECT_FLOAT_EQ(moved.xyz().dot({8, 0, 0}) + moved.w, 3.0f);
}

TEST(planes, of_degenerate_triangles_fail_and_keep_the_output)
{
    const vec4_t untouched{9, 9, 9, 9};
    vec4_t plane = untouched;
    EXPECT_FALSE(points_compute_equation({1, 1, 1}, {2, 2, 2}, {3, 3, 3}, 0.0f, plane));
    EXPECT_FALSE(points_compute_equation({0, 0, 0}, {0, 0, 0}, {1, 0, 0}, 0.0f, plane));
    EXPECT_FALSE(points_compute_equation({0, 0, 0}, {0.1f, 0, 0}, {0, 0.1f, 0}, 0.5f, plane));
    EXPECT_FALSE(compute_equation({0, 0, 0}, {1, 0, 0}, {-2, 0, 0}, 0.0f, plane));
    EXPECT_EQ(plane, untouched);
    EXPECT_EQ(points_compute_normal({1, 1, 1}, {2, 2, 2}, {3, 3, 3}), vec3_t{});
}

TEST(project_vector, removes_or_keeps_the_component_along_a_direction)
{
    EXPECT_TRUE(vec_near(project_vector({0, 1, 0}, {3, -4, 5}), {3, 0, 5}));
    EXPECT_TRUE(vec_near(project_vector({0, 2, 0}, {3, -4, 5}), {3, 0, 5}));
    EXPECT_TRUE(vec_near(project_vector({0, 0, 0}, {3, -4, 5}), {3, -4, 5}));
    EXPECT_TRUE(vec_near(project_vector2vector({0, 0, 3}, {3, -4, 5}), {0, 0, 5}));
    EXPECT_TRUE(vec_near(project_vector2vector({0, 0, 0}, {3, -4, 5}), {0, 0, 0}));
}

TEST(vec3_angle, is_in_radians_and_safe_for_zero_and_parallel_vectors)
{
    EXPECT_NEAR(vec3_angle({1, 0, 0}, {0, 0, -3}), 1.5707964f, 1e-6f);
    EXPECT_NEAR(vec3_angle({1, 0, 0}, {-2, 0, 0}), 3.1415927f, 1e-6f);
    EXPECT_EQ(vec3_angle({1, 2, 3}, {2, 4, 6}), 0.0f);
    EXPECT_EQ(vec3_angle({0, 0, 0}, {1, 0, 0}), 0.0f);
    EXPECT_NEAR(vec3_angle({1, 0, 0}, {1, 0.001f, 0}), 0.001f, 1e-7f);
}

TEST(xz_distance_squared, ignores_height) { EXPECT_EQ(xz_distance_squared({1, 100, 2}, {4, -50, 6}), 25.0f); }

}  // namespace
