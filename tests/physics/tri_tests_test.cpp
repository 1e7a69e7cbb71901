#include "physics/tri_tests.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The triangle (0, 0, 0), (10, 0, 0), (0, 0, 10) in the ground plane.
const vec3_t ground_a(0, 0, 0), ground_b(10, 0, 0), ground_c(0, 0, 10);

struct segment_case_t {
    const char* name;
    vec3_t start;
    vec3_t vector;
    bool hit;
    float fraction;
};

TEST(triangle_segment_test, hits_and_misses)
{
    const segment_case_t cases[] = {
        {"straight down through the middle", {2, 5, 2}, {0, -10, 0}, true, 0.5f},
        {"from below, two-sided", {2, -5, 2}, {0, 10, 0}, true, 0.5f},
        {"ending exactly on it (t = 1)", {2, 4, 2}, {0, -4, 0}, true, 1.0f},
        {"starting exactly on it (t = 0)", {2, 0, 2}, {0, 4, 0}, true, 0.0f},
        {"stopping short", {2, 5, 2}, {0, -4, 0}, false, 0.0f},
        {"beside the triangle", {8, 5, 8}, {0, -10, 0}, false, 0.0f},
        {"lying in its plane", {-5, 0, 2}, {20, 0, 0}, false, 0.0f},
        {"zero-length segment", {2, 0, 2}, {0, 0, 0}, false, 0.0f},
    };
    for (const segment_case_t& c : cases) {
        float fraction = -1.0f;
        EXPECT_EQ(cd_triangle_segment_test(ground_a, ground_b, ground_c, c.start, c.vector, &fraction), c.hit)
            << c.name;
        if (c.hit) {
            EXPECT_FLOAT_EQ(fraction, c.fraction) << c.name;
        }
    }
}

struct tri_tri_case_t {
    const char* name;
    vec3_t b0, b1, b2;
    bool hit;
};

TEST(tri_tri_test, crossing_touching_apart_and_coplanar)
{
    const tri_tri_case_t cases[] = {
        {"upright triangle piercing it", {2, -5, 2}, {2, 5, 2}, {3, 5, 3}, true},
        {"upright triangle beside it", {20, -5, 2}, {20, 5, 2}, {21, 5, 3}, false},
        {"wholly above it", {0, 1, 0}, {10, 1, 0}, {0, 1, 10}, false},
        {"corner resting on its face", {2, 0, 2}, {2, 5, 2}, {3, 5, 3}, true},
        {"coplanar and overlapping", {1, 0, 1}, {12, 0, 1}, {1, 0, 12}, true},
        {"coplanar and inside it", {1, 0, 1}, {2, 0, 1}, {1, 0, 2}, true},
        {"coplanar and apart", {20, 0, 20}, {30, 0, 20}, {20, 0, 30}, false},
        {"coplanar, beyond the hypotenuse", {6, 0, 6}, {9, 0, 6}, {6, 0, 9}, false},
    };
    for (const tri_tri_case_t& c : cases) {
        EXPECT_EQ(cd_tri_tri_test(ground_a, ground_b, ground_c, c.b0, c.b1, c.b2), c.hit) << c.name;
        EXPECT_EQ(cd_tri_tri_test(c.b0, c.b1, c.b2, ground_a, ground_b, ground_c), c.hit) << c.name << " swapped";
    }
}

struct tri_box_case_t {
    const char* name;
    vec3_t a, b, c;
    bool hit;
};

TEST(tri_box_test, separating_axes)
{
    const vec3_t half(1, 1, 1);
    const tri_box_case_t cases[] = {
        {"large triangle through the centre", {-10, 0, -10}, {10, 0, -10}, {0, 0, 10}, true},
        {"small triangle inside", {-0.5f, 0, 0}, {0.5f, 0, 0}, {0, 0.5f, 0}, true},
        {"above the top face", {-10, 1.5f, -10}, {10, 1.5f, -10}, {0, 1.5f, 10}, false},
        {"lying on the top face", {-10, 1, -10}, {10, 1, -10}, {0, 1, 10}, true},
        {"past a corner (edge axis separates)", {1.5f, 0, 3}, {3, 0, 1.5f}, {3, 5, 3}, false},
        {"tilted plane missing the corner", {3.1f, 0, 0}, {0, 3.1f, 0}, {0, 0, 3.1f}, false},
        {"tilted plane cutting the corner", {2.9f, 0, 0}, {0, 2.9f, 0}, {0, 0, 2.9f}, true},
    };
    for (const tri_box_case_t& c : cases)
        EXPECT_EQ(cd_tri_box_test(c.a, c.b, c.c, half), c.hit) << c.name;
}

TEST(sphere_tests, spheres_that_only_touch_do_not_collide)
{
    EXPECT_FALSE(cd_sphere_sphere_test({0, 0, 0}, 1.0f, {3, 0, 0}, 2.0f));
    EXPECT_TRUE(cd_sphere_sphere_test({0, 0, 0}, 1.0f, {2.9f, 0, 0}, 2.0f));
    EXPECT_FALSE(cd_sphere_sphere_test({0, 0, 0}, 1.0f, {0, 4, 0}, 2.0f));
}

struct sphere_triangle_case_t {
    const char* name;
    vec3_t centre;
    float radius;
    bool hit;
};

TEST(sphere_tests, sphere_against_triangle)
{
    const sphere_triangle_case_t cases[] = {
        {"above the inside, reaching it", {2, 1, 2}, 1.5f, true},
        {"above the inside, touching", {2, 1, 2}, 1.0f, true},
        {"above the inside, short", {2, 1, 2}, 0.5f, false},
        {"near a corner outside", {-1, 0, -1}, 1.5f, true},
        {"near the hypotenuse outside", {6, 0, 6}, 1.5f, true},
        {"far outside", {20, 0, 20}, 5.0f, false},
        {"beside the edge, above the plane reach", {5, 3, -1}, 2.0f, false},
    };
    for (const sphere_triangle_case_t& c : cases)
        EXPECT_EQ(cd_sphere_triangle_test(ground_a, ground_b, ground_c, c.centre, c.radius), c.hit) << c.name;
}

TEST(sphere_tests, degenerate_triangle_is_tested_by_its_edges_only)
{
    const vec3_t a(0, 0, 0), b(10, 0, 0), c(20, 0, 0);
    EXPECT_TRUE(cd_sphere_triangle_test(a, b, c, {5, 1, 0}, 1.5f));
    EXPECT_FALSE(cd_sphere_triangle_test(a, b, c, {5, 3, 0}, 1.5f));
}

// A box from (0, 0, 0) to (10, 10, 10) on all five axes.
cd_bounds_t unit_box_bounds()
{
    cd_bounds_t bounds = cd_bounds_make_empty();
    const float minimum[3] = {0, 0, 0}, maximum[3] = {10, 10, 10};
    bounds.add_box(minimum, maximum);
    return bounds;
}

struct slab_case_t {
    const char* name;
    vec3_t start;
    vec3_t vector;
    bool hit;
};

TEST(segment_bounds_test, slabs_with_zero_and_tiny_direction_components)
{
    const cd_bounds_t bounds = unit_box_bounds();
    const float tiny = std::numeric_limits<float>::denorm_min();
    const slab_case_t cases[] = {
        {"axis-aligned through", {5, 5, -5}, {0, 0, 20}, true},
        {"axis-aligned beside", {15, 5, -5}, {0, 0, 20}, false},
        {"starting on the face plane, zero components", {0, 5, -5}, {0, 0, 20}, true},
        {"on the face plane, tiny component", {0, 5, -5}, {tiny, 0, 20}, true},
        {"tiny component, outside", {-1, 5, -5}, {tiny, 0, 20}, false},
        {"stopping short", {5, 5, -5}, {0, 0, 4}, false},
        {"diagonal passing outside the corner", {-4, 5, 8}, {6, 0, 6}, false},
        {"diagonal through the corner region", {-4, 5, 4}, {6, 0, 6}, true},
        {"zero-length inside", {5, 5, 5}, {0, 0, 0}, true},
        {"zero-length outside", {5, 15, 5}, {0, 0, 0}, false},
        {"still only on the u diagonal, through", {-5, 5, 15}, {20, 0, -20}, true},
        {"still only on the u diagonal, beyond the corner", {5, 5, 20}, {15, 0, -15}, false},
        {"still only on the v diagonal, through", {-5, 5, -5}, {20, 0, 20}, true},
    };
    for (const slab_case_t& c : cases)
        EXPECT_EQ(cd_segment_bounds_test(bounds, c.start, c.vector), c.hit) << c.name;
    EXPECT_FALSE(cd_segment_bounds_test(cd_bounds_make_empty(), {0, 0, 0}, {1, 1, 1}));
}

}  // namespace
