#include <cmath>

#include "engine/geometry.h"
#include "engine/quat.h"
#include "maths_expect.h"

namespace {

quat_t about(const vec3_t& axis, float degrees)
{
    quat_t q;
    q.set(axis, degrees);
    return q;
}

TEST(quat_slerp, gives_the_ends_and_the_halfway_turn)
{
    const quat_t a = about({0, 1, 0}, 10.0f);
    const quat_t b = about({0, 1, 0}, 100.0f);
    EXPECT_TRUE(same_rotation(quat_t::slerp(a, b, 0.0f), a));
    EXPECT_TRUE(same_rotation(quat_t::slerp(a, b, 1.0f), b));
    EXPECT_TRUE(same_rotation(quat_t::slerp(a, b, 0.5f), about({0, 1, 0}, 55.0f)));
    EXPECT_TRUE(same_rotation(quat_t::slerp(a, a, 0.3f), a));
}

TEST(quat_slerp, takes_the_shorter_arc)
{
    // 170 and -170 degrees are 20 apart through 180, not 340 through 0.
    const quat_t a = about({0, 1, 0}, 170.0f);
    const quat_t b = about({0, 1, 0}, -170.0f);
    EXPECT_TRUE(same_rotation(quat_t::slerp(a, b, 0.5f), about({0, 1, 0}, 180.0f)));
    // The sign of a quaternion does not change the path.
    const quat_t c = about({1, 0, 0}, 60.0f);
    const quat_t minus_c{-c.x, -c.y, -c.z, -c.w};
    EXPECT_TRUE(same_rotation(quat_t::slerp(a, minus_c, 0.25f), quat_t::slerp(a, c, 0.25f)));
}

TEST(quat_product, turns_by_the_right_operand_first_like_matrices)
{
    const quat_t a = about({1, 2, 3}, 40.0f);
    const quat_t b = about({0, 1, 0}, -75.0f);
    mat4_t ma, mb, mab;
    a.get_matrix(ma);
    b.get_matrix(mb);
    (a * b).get_matrix(mab);
    EXPECT_TRUE(mat_near(mab, ma * mb));
    const vec3_t p{3, -4, 5};
    EXPECT_TRUE(vec_near((a * b).rotate(p), a.rotate(b.rotate(p))));
}

TEST(quat_get_delta, is_the_turn_from_one_orientation_to_the_other)
{
    const quat_t from = about({0, 1, 1}, 30.0f);
    const quat_t to = about({1, 0, 0}, -50.0f);
    const quat_t delta = quat_t::get_delta(from, to);
    EXPECT_TRUE(same_rotation(delta * from, to));
    EXPECT_TRUE(quat_t::get_delta(to, to).is_zero());
    EXPECT_FALSE(delta.is_zero());
}

TEST(quat, is_zero_and_rotation_angle)
{
    EXPECT_TRUE(quat_t{}.is_zero());
    EXPECT_TRUE((quat_t{0, 0, 0, 0}).is_zero());
    EXPECT_TRUE((quat_t{0, 0, 0, -1}).is_zero());
    EXPECT_NEAR(about({0, 0, 1}, 90.0f).get_rotation_rad(), 1.5707963f, 1e-6f);
    // 270 one way is 90 the other.
    EXPECT_NEAR(about({0, 0, 1}, 270.0f).get_rotation_rad(), 1.5707963f, 1e-5f);
    EXPECT_EQ(about({0, 0, 0}, 45.0f), quat_t{});
}

TEST(quat, normalize_scales_to_unit_length_and_repairs_zero)
{
    quat_t q{0, 3, 0, 4};
    EXPECT_FLOAT_EQ(q.normalize(), 5.0f);
    EXPECT_TRUE(same_rotation(q, quat_t{0, 0.6f, 0, 0.8f}));
    quat_t zero{0, 0, 0, 0};
    EXPECT_EQ(zero.normalize(), 0.0f);
    EXPECT_EQ(zero, quat_t{});
}

TEST(quat, matrix_pair_holds_the_inverse)
{
    mat4_t m, inverse;
    about({2, -1, 0.5f}, 123.0f).get_matrix_pair(m, inverse);
    EXPECT_TRUE(mat_near(m * inverse, mat4_t::identity()));
}

TEST(quat, angle_triple_round_trips)
{
    const vec3_t triples[] = {{0, 0, 0}, {-90, 0, 0}, {30, 60, 0}, {-45, -170, 20}, {10, 179, -135}, {89, 5, 3}};
    for (const vec3_t& angles : triples) {
        SCOPED_TRACE(testing::Message() << angles.x << " " << angles.y << " " << angles.z);
        quat_t q;
        q.set_ypr(angles);
        mat4_t from_quat, from_angles;
        q.get_matrix(from_quat);
        matrix_set_rotate(from_angles, angles);
        EXPECT_TRUE(mat_near(from_quat, from_angles));
        quat_t again;
        again.set_ypr(q.get_ypr());
        EXPECT_TRUE(same_rotation(again, q));
        if (std::fabs(angles.x) < 90.0f) {
            EXPECT_TRUE(vec_near(q.get_ypr(), angles, 2e-3f));
        }
    }
}

TEST(quat_set_cartes, faces_forward_along_the_direction)
{
    const vec3_t directions[] = {{0, 0, -1}, {1, 0, 0}, {0, 0, 7}, {3, 4, -5}, {0, -2, 0}};
    for (const vec3_t& d : directions) {
        quat_t q;
        q.set_cartes(d);
        EXPECT_TRUE(vec_near(q.rotate({0, 0, -1}), d.normalized()));
    }
}

}  // namespace
