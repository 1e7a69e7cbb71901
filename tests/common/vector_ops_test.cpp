#include "common/vector_ops.h"

#include <gtest/gtest.h>

namespace {

TEST(vector_ops, compute_into_the_middle_argument_and_return_it)
{
    const vec3_t a{1.0f, 2.0f, 3.0f};
    const vec3_t b{10.0f, 20.0f, 30.0f};
    vec3_t out;
    EXPECT_EQ(vec3_add(&a, &out, &b), &out);
    EXPECT_EQ(out, (vec3_t{11.0f, 22.0f, 33.0f}));
    EXPECT_EQ(vec3_sub(&a, &out, &b), &out);
    EXPECT_EQ(out, (vec3_t{-9.0f, -18.0f, -27.0f}));
    EXPECT_EQ(vec3_scale(&a, &out, 0.5f), &out);
    EXPECT_EQ(out, (vec3_t{0.5f, 1.0f, 1.5f}));
    EXPECT_FLOAT_EQ(vec3_dot(&a, &b), 140.0f);
    EXPECT_EQ(vec3_lerp(&out, &a, &b, 0.5f), &out);
    EXPECT_EQ(out, (vec3_t{5.5f, 11.0f, 16.5f}));
}

TEST(vector_ops, allow_the_output_to_be_an_input)
{
    vec3_t a{1.0f, 2.0f, 3.0f};
    const vec3_t b{1.0f, 1.0f, 1.0f};
    vec3_sub(&a, &a, &b);
    EXPECT_EQ(a, (vec3_t{0.0f, 1.0f, 2.0f}));
    vec3_add(&a, &a, &a);
    EXPECT_EQ(a, (vec3_t{0.0f, 2.0f, 4.0f}));
    EXPECT_EQ(vec3_add_assign(&a, &b), &a);
    EXPECT_EQ(a, (vec3_t{1.0f, 3.0f, 5.0f}));
    vec3_lerp(&a, &a, &b, 1.0f);
    EXPECT_EQ(a, b);

    float q[4] = {1.0f, 2.0f, 3.0f, 4.0f};
    float copy[4] = {};
    EXPECT_EQ(vec4_copy(copy, q), copy);
    EXPECT_EQ(copy[3], 4.0f);
    EXPECT_EQ(vec4_copy(q, q), q);
    EXPECT_EQ(q[0], 1.0f);
}

}  // namespace
