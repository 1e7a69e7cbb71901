#include <cstring>

#include "engine/axial.h"
#include "engine/geometry.h"
#include "engine/matrix.h"
#include "engine_testing/engine_test.h"
#include "maths_expect.h"

namespace {

struct turn_case_t {
    vec3_t angles;
    vec3_t input;
    vec3_t expected;
};

// The angle triple: degrees, first about X, applied roll (Z) first, then pitch (X), then yaw (Y).
const turn_case_t turn_cases[] = {
    {{-90, 0, 0}, {0, 0, -1}, {0, -1, 0}},  // rain falls
    {{90, 0, 0}, {0, 0, -1}, {0, 1, 0}},    // smoke rises
    {{0, 90, 0}, {0, 0, -1}, {-1, 0, 0}},   // a positive yaw turns forward to the left
    {{0, 0, 90}, {1, 0, 0}, {0, 1, 0}},     // a positive roll lifts +X
    {{90, 90, 0}, {1, 0, 0}, {0, 0, -1}},   // pitch before yaw
    {{90, 0, 90}, {1, 0, 0}, {0, 0, 1}},    // roll before pitch
    {{0, 0, 0}, {1, 2, 3}, {1, 2, 3}},
};

TEST(angle_triple, turns_about_x_then_y_after_z_in_every_form)
{
    for (const turn_case_t& c : turn_cases) {
        SCOPED_TRACE(testing::Message() << "angles " << c.angles.x << " " << c.angles.y << " " << c.angles.z);
        mat4_t r;
        matrix_set_rotate(r, c.angles);
        EXPECT_TRUE(vec_near(mult_point_matrix_fast(r, c.input), c.expected));
        EXPECT_TRUE(vec_near(point_rotate(c.input, c.angles), c.expected));
        EXPECT_TRUE(vec_near(normal_rotate(c.input, c.angles), c.expected));
        quat_t q;
        q.set_ypr(c.angles);
        EXPECT_TRUE(vec_near(point_rotate(c.input, q), c.expected));
        axial_t frame;
        frame.rotate(c.angles);
        EXPECT_TRUE(vec_near(mult_point_matrix(frame.matrix, c.input), c.expected));
        EXPECT_TRUE(vec_near(mult_point_matrix(frame.inverse, c.expected), c.input));
    }
}

TEST(matrix_product, applies_the_right_operand_first)
{
    // A prefab placement: turn a quarter about the up axis, then move.
    quat_t quarter;
    quarter.set({0, 1, 0}, 90.0f);
    mat4_t rotation, translation, placement;
    matrix_set_quat(rotation, quarter);
    matrix_set_translate(translation, {10, 0, 0});
    mult_matrix_matrix_no(placement, translation, rotation);
    EXPECT_TRUE(vec_near(mult_point_matrix_fast(placement, {1, 0, 0}), {10, 0, -1}));
    EXPECT_TRUE(vec_near(mult_zero_matrix(placement), {10, 0, 0}));
    EXPECT_TRUE(vec_near(mult_normal_matrix_fast(placement, {1, 0, 0}), {0, 0, -1}));

    mat4_t left = translation;
    mult_matrix_matrix_lo(left, rotation);
    EXPECT_TRUE(mat_near(left, placement));
    mat4_t right = rotation;
    mult_matrix_matrix_ro(translation, right);
    EXPECT_TRUE(mat_near(right, placement));
}

TEST(matrix_inverse, times_the_matrix_is_the_identity)
{
    mat4_t rigid, turn, scaled, projection;
    matrix_set_rotate(turn, {30, -120, 45});
    matrix_set_translate(rigid, {100, -20, 3000});
    rigid = rigid * turn;
    scaled = mat4_t::identity();
    scaled.m[0][0] = 0.001f;
    scaled.m[1][1] = 250.0f;
    scaled.m[2][1] = 4.0f;
    scaled.m[0][3] = -7.0f;
    ASSERT_TRUE(matrix_set_perspective(projection, 60.0f, 4.0f / 3.0f, 2.0f, 10000.0f));
    for (const mat4_t& m : {rigid, scaled, projection, mat4_t::identity()}) {
        mat4_t inverse;
        ASSERT_TRUE(matrix_inverse(inverse, m));
        // Float rounding of translations in the thousands allows about 1e-3.
        EXPECT_TRUE(mat_near(inverse * m, mat4_t::identity(), 1e-3f));
        EXPECT_TRUE(mat_near(m * inverse, mat4_t::identity(), 1e-3f));
    }
}

TEST(matrix_inverse, of_a_singular_matrix_fails_with_the_identity)
{
    mat4_t flat = mat4_t::identity();
    flat.m[1][1] = 0.0f;
    mat4_t out;
    out.m[0][0] = 5.0f;
    EXPECT_FALSE(matrix_inverse(out, flat));
    EXPECT_EQ(out, mat4_t::identity());
    EXPECT_FALSE(matrix_inverse(out, mat4_t{}));
}

TEST(matrix_set_mirror, reflects_across_the_plane_of_its_normal)
{
    mat4_t mirror;
    matrix_set_mirror(mirror, {3, 0, 0});
    EXPECT_TRUE(vec_near(mult_point_matrix_fast(mirror, {2, 3, 4}), {-2, 3, 4}));
    matrix_set_mirror(mirror, {0, 0, 0});
    EXPECT_EQ(mirror, mat4_t::identity());
}

// A camera at (0, 100, 500) turned 90 degrees to the left, so it looks down -X.
class camera_test_t : public ::testing::Test {
protected:
    void SetUp() override
    {
        camera_.translate({0, 100, 500});
        camera_.rotate({0, 90, 0});
        ASSERT_TRUE(matrix_set_perspective(projection_, 90.0f, 2.0f, 10.0f, 1000.0f));
        // World to view is the camera frame's inverse; the projection comes after it.
        mult_matrix_matrix_no(view_projection_, projection_, camera_.inverse);
    }

    axial_t camera_;
    mat4_t projection_;
    mat4_t view_projection_;
};

TEST_F(camera_test_t, eye_and_forward_come_from_the_frame)
{
    EXPECT_TRUE(vec_near(mult_zero_matrix(camera_.matrix), {0, 100, 500}));
    EXPECT_TRUE(vec_near(mult_point_matrix(camera_.matrix, {0, 0, -1}), {-1, 100, 500}));
}

TEST_F(camera_test_t, projects_points_to_the_view_square_and_depth)
{
    struct {
        vec3_t world;
        vec3_t screen;
    } const cases[] = {
        {{-10, 100, 500}, {0, 0, 0}},              // on the near plane, centre
        {{-1000, 100, 500}, {0, 0, 1}},            // on the far plane
        {{-100, 200, 500}, {0, 1, 0.909091f}},     // top edge: 45 degrees up at 100 ahead
        {{-100, 100, 400}, {0.5f, 0, 0.909091f}},  // the camera's right is -Z; aspect 2 halves x
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "world " << c.world.x << " " << c.world.y << " " << c.world.z);
        EXPECT_TRUE(vec_near(mult_point_matrix(view_projection_, c.world), c.screen, 1e-4f));
    }
}

TEST_F(camera_test_t, picking_inverts_the_projection)
{
    mat4_t unproject;
    ASSERT_TRUE(matrix_inverse(unproject, view_projection_));
    const vec3_t world{-321, 150, 460};
    const vec3_t screen = mult_point_matrix(view_projection_, world);
    EXPECT_TRUE(vec_near(mult_point_matrix(unproject, screen), world, 0.05f));
}

class mult_point_matrix_test_t : public engine_test_t {};

TEST_F(mult_point_matrix_test_t, refuses_a_missing_array)
{
    vec3_t points[1] = {{1, 2, 3}};
    mult_point_matrix(mat4_t::identity(), nullptr, 12, points, 12, 1);
    mult_point_matrix_fast(mat4_t::identity(), points, 12, nullptr, 12, 1);
    EXPECT_TRUE(engine_log_has("transforming 1 points: no input array"));
    EXPECT_TRUE(engine_log_has("transforming 1 points: no output array"));
    mult_point_matrix(mat4_t::identity(), nullptr, 12, nullptr, 12, 0);
    EXPECT_EQ(engine_log_matching("transforming").size(), 2u);
}

TEST(mult_point_matrix, transforms_strided_records_in_place)
{
    // Records of four floats: a point and a word the transform must leave alone.
    float records[2][4] = {{1, 2, 3, 99}, {-1, 0, 5, 98}};
    mat4_t move;
    matrix_set_translate(move, {10, 20, 30});
    mult_point_matrix(move, records, 16, records, 16, 2);
    const float expected[2][4] = {{11, 22, 33, 99}, {9, 20, 35, 98}};
    EXPECT_EQ(std::memcmp(records, expected, sizeof records), 0);
    vec3_t packed[2] = {{1, 1, 1}, {2, 2, 2}};
    vec3_t out[2];
    mult_point_matrix_fast(move, packed, 12, out, 12, 2);
    EXPECT_TRUE(vec_near(out[1], {12, 22, 32}));
}

TEST(axial, moves_then_turns_about_the_new_origin)
{
    axial_t frame;
    frame.translate({10, 0, 0});
    frame.rotate({0, 90, 0});
    EXPECT_TRUE(vec_near(mult_point_matrix(frame.matrix, {0, 0, -1}), {9, 0, 0}));
    EXPECT_TRUE(vec_near(mult_point_matrix(frame.inverse, {9, 0, 0}), {0, 0, -1}));

    axial_t offset;
    offset.translate({0, 0, -5});
    frame.mult(offset);
    EXPECT_TRUE(vec_near(mult_zero_matrix(frame.matrix), {5, 0, 0}));
    EXPECT_TRUE(mat_near(frame.matrix * frame.inverse, mat4_t::identity()));

    quat_t half;
    half.set({0, 1, 0}, 180.0f);
    frame.qrotate(half);
    EXPECT_TRUE(vec_near(mult_point_matrix(frame.matrix, {0, 0, -1}), {6, 0, 0}));
    EXPECT_TRUE(mat_near(frame.inverse * frame.matrix, mat4_t::identity()));
    frame.identity();
    EXPECT_EQ(frame.matrix, mat4_t::identity());
    EXPECT_EQ(frame.inverse, mat4_t::identity());
}

}  // namespace
