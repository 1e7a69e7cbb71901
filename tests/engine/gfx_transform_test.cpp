#include <cmath>

#include "engine/gfx.h"
#include "engine/gfx_record.h"
#include "gfx_screen_fixture.h"

namespace {

// A 640 x 480 screen with a 90 degree vertical view, so edges fall on round numbers: at distance d
// the view reaches d up and d * 4/3 sideways.
class gfx_transform_test : public gfx_screen_test_t {
protected:
    void SetUp() override
    {
        gfx_screen_test_t::SetUp();
        ASSERT_NO_FATAL_FAILURE(open_screen(640, 480));
        gfx_view_t view;
        view.near_plane = 10.0f;
        view.far_plane = 5000.0f;
        view.fov = 90.0f;
        view.rect[2] = view.clip[2] = 640.0f;
        view.rect[3] = view.clip[3] = 480.0f;
        gfx_view_push(&view);
    }

    // A camera at `position` looking down -Z (its frame is a plain translation).
    static void place_camera(float x, float y, float z)
    {
        const float frame[16] = {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1};
        const float inverse[16] = {1, 0, 0, -x, 0, 1, 0, -y, 0, 0, 1, -z, 0, 0, 0, 1};
        gfx_camera_load(inverse, frame);
    }

    // Projects a world point through world, camera and view matrices to screen pixels and depth.
    static void project(const float* point, float* out)
    {
        const float* stages[] = {gfx_world_matrix(), gfx_camera_matrix(), gfx_view_matrix()};
        float p[4] = {point[0], point[1], point[2], 1.0f};
        for (const float* m : stages) {
            float q[4];
            for (int r = 0; r < 4; ++r)
                q[r] = m[r * 4] * p[0] + m[r * 4 + 1] * p[1] + m[r * 4 + 2] * p[2] + m[r * 4 + 3] * p[3];
            std::copy(q, q + 4, p);
        }
        for (int i = 0; i < 3; ++i)
            out[i] = p[i] / p[3];
    }
};

TEST_F(gfx_transform_test, matrix_stack_returns_to_where_it_was_and_refuses_to_empty)
{
    gfx_push();
    const float offset[3] = {5, 6, 7};
    gfx_translate(offset);
    gfx_push_identity();
    EXPECT_EQ(gfx_record_world_depth(), 3);
    gfx_pop();
    EXPECT_FLOAT_EQ(gfx_world_matrix()[3], 5.0f);
    EXPECT_FLOAT_EQ(gfx_world_matrix()[11], 7.0f);
    gfx_pop();
    EXPECT_FLOAT_EQ(gfx_world_matrix()[3], 0.0f);
    EXPECT_EQ(gfx_record_world_depth(), 1);

    gfx_pop();
    EXPECT_EQ(gfx_record_world_depth(), 1);
    EXPECT_TRUE(engine_log_has("gfx_pop: the matrix stack is empty"));
}

TEST_F(gfx_transform_test, local_transforms_apply_before_the_current_matrix)
{
    // Translate then rotate: a point is rotated first, then moved.
    const float offset[3] = {100, 0, 0};
    const float down[3] = {-90, 0, 0};
    gfx_translate(offset);
    gfx_rotate(down);
    const float forward[3] = {0, 0, -1};
    const float* m = gfx_world_matrix();
    float out[3];
    for (int r = 0; r < 3; ++r)
        out[r] = m[r * 4] * forward[0] + m[r * 4 + 1] * forward[1] + m[r * 4 + 2] * forward[2] + m[r * 4 + 3];
    EXPECT_NEAR(out[0], 100.0f, 1e-4);
    EXPECT_NEAR(out[1], -1.0f, 1e-6);
    EXPECT_NEAR(out[2], 0.0f, 1e-6);
}

TEST_F(gfx_transform_test, points_project_through_a_known_camera_to_expected_pixels)
{
    place_camera(0, 0, 1000);
    struct case_t {
        float point[3];
        float x, y;
    } const cases[] = {
        {{0, 0, 0}, 320, 240},             // straight ahead: the centre
        {{1000, 0, 0}, 320 + 240, 240},    // 45 degrees right of a 90 degree vertical view
        {{0, 1000, 0}, 320, 0},            // the top edge
        {{-1333.3333f, -1000, 0}, 0, 480}  // the bottom left corner
    };
    for (const case_t& c : cases) {
        float screen[3];
        project(c.point, screen);
        EXPECT_NEAR(screen[0], c.x, 1e-2) << c.point[0] << "," << c.point[1];
        EXPECT_NEAR(screen[1], c.y, 1e-2) << c.point[0] << "," << c.point[1];
    }
    const float at_near[3] = {0, 0, 990};
    const float at_far[3] = {0, 0, -4000};
    float screen[3];
    project(at_near, screen);
    EXPECT_NEAR(screen[2], 0.0f, 1e-5);
    project(at_far, screen);
    EXPECT_NEAR(screen[2], 1.0f, 1e-5);
}

TEST_F(gfx_transform_test, sphere_visibility_follows_the_view_volume)
{
    place_camera(0, 0, 1000);
    struct case_t {
        const char* name;
        float centre[3];
        float radius;
        bool visible;
    } const cases[] = {
        {"in front", {0, 0, 0}, 10, true},
        {"behind", {0, 0, 2000}, 10, false},
        {"behind but reaching past the near plane", {0, 0, 1000}, 20, true},
        {"beyond the far plane", {0, 0, -4100}, 10, false},
        {"far right", {2000, 0, 0}, 10, false},
        {"far right but large enough to reach in", {2000, 0, 0}, 600, true},
        {"above", {0, 1100, 0}, 10, false},
    };
    for (const case_t& c : cases)
        EXPECT_EQ(gfx_sphere_visible(c.centre, c.radius), c.visible) << c.name;

    const float ahead[3] = {0, 0, 0};
    EXPECT_TRUE(gfx_sphere_visible_dist(ahead, 10, 1000));
    EXPECT_FALSE(gfx_sphere_visible_dist(ahead, 10, 900));

    gfx_record_set_all_visible(true);
    const float behind[3] = {0, 0, 2000};
    EXPECT_TRUE(gfx_sphere_visible(behind, 1));
}

TEST_F(gfx_transform_test, the_sphere_centre_is_taken_in_the_current_world_frame)
{
    place_camera(0, 0, 1000);
    const float behind_camera[3] = {0, 0, 1500};
    gfx_push();
    gfx_translate(behind_camera);
    const float origin[3] = {0, 0, 0};
    EXPECT_FALSE(gfx_sphere_visible(origin, 10));
    gfx_pop();
    EXPECT_TRUE(gfx_sphere_visible(origin, 10));
}

TEST_F(gfx_transform_test, camera_is_reported_from_the_current_object_frame)
{
    place_camera(10, 20, 1000);
    gfx_camera_t camera{};
    gfx_get_camera(&camera);
    EXPECT_FLOAT_EQ(camera.position[0], 10.0f);
    EXPECT_FLOAT_EQ(camera.position[2], 1000.0f);
    EXPECT_FLOAT_EQ(camera.direction[2], -1.0f);
    EXPECT_FLOAT_EQ(camera.far_plane, 5000.0f);

    const float offset[3] = {10, 0, 0};
    gfx_push();
    gfx_translate(offset);
    gfx_get_camera(&camera);
    EXPECT_NEAR(camera.position[0], 0.0f, 1e-4);
    gfx_pop();

    // The translation of the camera's inverse is its position.
    EXPECT_FLOAT_EQ(gfx_camera_inverse()[3], 10.0f);
    EXPECT_FLOAT_EQ(gfx_camera_inverse()[7], 20.0f);
}

TEST_F(gfx_transform_test, camera_and_view_stacks_restore_what_they_saved)
{
    place_camera(0, 0, 1000);
    gfx_camera_push();
    gfx_camera_identity();
    EXPECT_FLOAT_EQ(gfx_camera_inverse()[11], 0.0f);
    gfx_camera_pop();
    EXPECT_FLOAT_EQ(gfx_camera_inverse()[11], 1000.0f);
    EXPECT_EQ(gfx_record_camera_depth(), 0);

    gfx_view_t view{};
    gfx_view_get(&view);
    view.near_plane += 1.5f;
    gfx_view_push(&view);
    gfx_view_get(&view);
    EXPECT_FLOAT_EQ(view.near_plane, 11.5f);
    gfx_view_pop();
    gfx_view_pop();
    EXPECT_EQ(gfx_record_view_depth(), 0);

    // With no view pushed the view is the default one over the whole screen.
    gfx_view_get(&view);
    EXPECT_FLOAT_EQ(view.near_plane, 64.0f);
    EXPECT_FLOAT_EQ(view.far_plane, 20000.0f);
    EXPECT_FLOAT_EQ(view.fov, 70.0f);
    EXPECT_FLOAT_EQ(view.rect[2], 640.0f);
    EXPECT_FLOAT_EQ(view.rect[3], 480.0f);
    gfx_view_pop();
    EXPECT_TRUE(engine_log_has("gfx_view_pop: the view stack is empty"));

    gfx_params_t params{};
    gfx_get_params(&params);
    EXPECT_EQ(params.width, 640);
    EXPECT_EQ(params.height, 480);
    EXPECT_FLOAT_EQ(params.fov, 70.0f);
}

}  // namespace
