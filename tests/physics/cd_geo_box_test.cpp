#include "physics/cd_geo_box.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/log.h"
#include "engine_testing/engine_test.h"
#include "physics/cd_query_context.h"
#include "physics/phys_body.h"

namespace {

using cd_geo_box_test = engine_test_t;

TEST_F(cd_geo_box_test, box_200_100_400_has_its_corners_bounds_and_sphere)
{
    cd_geo_box_t box({200, 100, 400}, nullptr, -1, -1);
    EXPECT_STREQ(box.name(), "cd_geo_box_t");
    EXPECT_EQ(box.kind, cd_geo_t::kind_box);
    EXPECT_EQ(box.flags & 1, 1);
    EXPECT_FALSE(box.rotated());
    EXPECT_EQ(box.corners()[6], vec3_t(100, 50, 200));
    EXPECT_EQ(box.corners()[0], vec3_t(-100, -50, -200));
    const cd_bvnode_t* bounds = box.get_bounds();
    const float expected_min[3] = {-101, -51, -201}, expected_max[3] = {101, 51, 201};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_FLOAT_EQ(bounds->bounds.minimum[axis], expected_min[axis]);
        EXPECT_FLOAT_EQ(bounds->bounds.maximum[axis], expected_max[axis]);
    }
    EXPECT_EQ(box.get_sphere()->centre, vec3_t(0, 0, 0));
    EXPECT_FLOAT_EQ(box.get_sphere()->radius, std::sqrt(101.0f * 101 + 51 * 51 + 201 * 201) + 1.0f);
    uint32_t handle = 7;
    const cd_bvnode_t* root = box.get_tree(&handle);
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->leaf());
    EXPECT_EQ(root->count(), 12);
}

TEST_F(cd_geo_box_test, face_planes_point_outwards_through_their_faces)
{
    cd_geo_box_t box({200, 100, 400}, nullptr, -1, -1);
    const vec4_t expected[6] = {{1, 0, 0, -100}, {-1, 0, 0, -100}, {0, 1, 0, -50},
                                {0, -1, 0, -50}, {0, 0, -1, -200}, {0, 0, 1, -200}};
    for (int f = 0; f < 6; ++f)
        EXPECT_EQ(box.planes()[f], expected[f]) << f;
    // Each triangle's corners lie on its face plane.
    for (uint32_t id = 0; id < 12; ++id) {
        cd_item_t item;
        item.id = id;
        item.request = cd_item_t::request_vertices | cd_item_t::request_plane;
        box.get_item(item, 1);
        ASSERT_EQ(item.vertex_count, 3);
        for (const vec3_t* corner : item.vertex)
            EXPECT_FLOAT_EQ(item.plane.xyz().dot(*corner) + item.plane.w, 0.0f) << id;
    }
}

TEST_F(cd_geo_box_test, rotations_never_accumulate_and_the_zero_quaternion_undoes_them)
{
    cd_geo_box_t box({200, 100, 400}, nullptr, -1, -1);
    quat_t turn;
    turn.set({0, 1, 0}, 30.0f);
    box.set_rotation(turn);
    EXPECT_TRUE(box.rotated());
    vec3_t once[8];
    std::copy(box.corners(), box.corners() + 8, once);
    box.set_rotation(turn);
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(box.corners()[c], once[c]) << c;
    box.set_rotation(quat_t(0, 0, 0, 0));
    EXPECT_FALSE(box.rotated());
    EXPECT_EQ(box.corners()[6], vec3_t(100, 50, 200));
}

TEST_F(cd_geo_box_test, quarter_turn_swaps_the_bounds_of_x_and_z)
{
    cd_geo_box_t box({200, 100, 400}, nullptr, -1, -1);
    quat_t turn;
    turn.set({0, 1, 0}, 90.0f);
    box.set_rotation(turn);
    EXPECT_NEAR(box.get_bounds()->bounds.maximum[0], 201.0f, 1e-3f);
    EXPECT_NEAR(box.get_bounds()->bounds.maximum[2], 101.0f, 1e-3f);
}

TEST_F(cd_geo_box_test, missing_material_and_user_word_answer_none_and_clear_the_request)
{
    cd_geo_box_t without({10, 10, 10}, nullptr, -1, -5);
    cd_item_t item;
    item.id = 3;
    item.request = cd_item_t::request_material | cd_item_t::request_user;
    without.get_item(item, 1);
    EXPECT_EQ(item.material, 0xFFFFFFFFu);
    EXPECT_EQ(item.user, 0xFFFFFFFFu);
    EXPECT_EQ(item.request, 0u);

    cd_geo_box_t with({10, 10, 10}, nullptr, 7, 99);
    item.request = cd_item_t::request_material | cd_item_t::request_user;
    with.get_item(item, 1);
    EXPECT_EQ(item.material, 7u);
    EXPECT_EQ(item.user, 99u);
    EXPECT_EQ(item.request, static_cast<uint32_t>(cd_item_t::request_material | cd_item_t::request_user));
}

TEST_F(cd_geo_box_test, item_id_beyond_the_twelve_triangles_is_refused)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    cd_item_t item;
    item.id = 12;
    item.request = cd_item_t::request_vertices;
    box.get_item(item, 1);
    EXPECT_EQ(item.vertex_count, 0);
    EXPECT_EQ(item.vertex[0], nullptr);
    EXPECT_TRUE(engine_log_has("<cd_geo_box_t> get_item: no triangle 12"));
}

// A sphere primitive record over a centre and a radius that outlive it.
cd_item_t sphere_item(const vec3_t& centre, const float& radius)
{
    cd_item_t item;
    item.kind = cd_item_t::kind_sphere;
    item.vertex[0] = &centre;
    item.radius = &radius;
    return item;
}

TEST_F(cd_geo_box_test, sphere_touching_a_face_collides)
{
    cd_geo_box_t box({200, 100, 400}, nullptr, -1, -1);
    cd_query_context_t context;
    cd_geo_t* hit = nullptr;
    uint32_t item_out = 0;
    const float radius = 10.0f;
    struct {
        vec3_t centre;
        bool hit;
    } const cases[] = {
        {{110, 0, 0}, true}, {{110.5f, 0, 0}, false}, {{0, 0, 0}, true}, {{107, 57, 0}, true}, {{108, 58, 0}, false}};
    for (const auto& c : cases) {
        const vec3_t centre = c.centre;
        EXPECT_EQ(box.pri_collide(context, sphere_item(centre, radius), &hit, &item_out), c.hit)
            << centre.x << " " << centre.y;
        EXPECT_EQ(hit, &box);
        EXPECT_EQ(item_out, cd_item_none);
    }
}

TEST_F(cd_geo_box_test, triangle_primitive_is_tested_in_the_turned_box_frame)
{
    cd_geo_box_t box({200, 20, 20}, nullptr, -1, -1);
    cd_query_context_t context;
    matrix_set_translate(context.matrix, {0, 0, 0});
    // A small triangle at (0, 0, 90): outside the unturned long box, inside it once turned 90 degrees.
    const vec3_t a(-2, 0, 88), b(2, 0, 88), c(0, 0, 92);
    cd_item_t triangle;
    triangle.kind = cd_item_t::kind_triangle;
    triangle.vertex[0] = &a;
    triangle.vertex[1] = &b;
    triangle.vertex[2] = &c;
    cd_geo_t* hit = nullptr;
    uint32_t item_out = 0;
    EXPECT_FALSE(box.pri_collide(context, triangle, &hit, &item_out));
    quat_t turn;
    turn.set({0, 1, 0}, 90.0f);
    box.set_rotation(turn);
    EXPECT_TRUE(box.pri_collide(context, triangle, &hit, &item_out));
}

TEST_F(cd_geo_box_test, unsupported_primitive_kind_reports_and_misses)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    cd_item_t odd;
    odd.kind = 1;
    cd_geo_t* hit = nullptr;
    uint32_t item_out = 0;
    EXPECT_FALSE(box.pri_collide(cd_query_context_t{}, odd, &hit, &item_out));
    EXPECT_TRUE(engine_log_has("<cd_geo_box_t> pri_collide NOT FULLY IMPLEMENTED!"));
}

TEST_F(cd_geo_box_test, local_frame_moves_the_polyhedron_and_the_corners)
{
    axial_t frame;
    frame.translate({0, 50, 0});
    cd_geo_box_t box({20, 20, 20}, &frame, 1, 2);
    EXPECT_TRUE(box.rotated());
    EXPECT_EQ(box.corners()[6], vec3_t(10, 60, 10));
    EXPECT_EQ(*box.get_polyhedron()->vertices().front().position, vec3_t(-10, 40, -10));
    EXPECT_FLOAT_EQ(box.get_sphere()->centre.y, 50.0f);
}

TEST_F(cd_geo_box_test, setup_again_resizes_the_box_and_keeps_its_leaf)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    uint32_t handle = 0;
    const cd_bvnode_t* leaf = box.get_tree(&handle);
    box.setup({40, 10, 10}, nullptr, -1, -1);
    EXPECT_EQ(box.get_tree(&handle), leaf);
    EXPECT_FLOAT_EQ(box.get_bounds()->bounds.maximum[0], 21.0f);
}

TEST_F(cd_geo_box_test, attached_geometry_moves_its_body_not_its_own_pose_record)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    phys_body_t body;
    body.set_mass_box({10, 10, 10}, 5.0f);
    body.set_geom(&box);
    box.frame_dirty = 0;
    box.set_position({1, 2, 3});
    EXPECT_EQ(body.current->position, vec3_t(1, 2, 3));
    EXPECT_EQ(body.next.position, vec3_t(1, 2, 3));
    EXPECT_EQ(box.frame_dirty, 1);
    quat_t turn;
    turn.set({0, 0, 1}, 45.0f);
    box.set_orientation(turn);
    EXPECT_NEAR(body.next.orientation.z, turn.z, 1e-6f);
    EXPECT_NEAR(body.current->orientation.w, turn.w, 1e-6f);
    EXPECT_NEAR(body.next.rotation[1][0], std::sqrt(0.5f), 1e-6f);
}

TEST_F(cd_geo_box_test, free_geometry_keeps_its_own_pose_and_frame)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    box.frame_dirty = 0;
    box.set_position({5, 0, -5});
    EXPECT_EQ(box.pose.position, vec3_t(5, 0, -5));
    EXPECT_EQ(box.frame_dirty, 1);
    box.update_axial();
    EXPECT_EQ(mult_zero_matrix(box.frame.matrix), vec3_t(5, 0, -5));
}

TEST_F(cd_geo_box_test, destroying_the_geometry_detaches_its_body)
{
    phys_body_t body;
    {
        cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
        body.set_geom(&box);
        EXPECT_EQ(box.body, &body);
    }
    EXPECT_EQ(body.geometry, nullptr);
    EXPECT_EQ(body.current, nullptr);
}

TEST_F(cd_geo_box_test, reports_carry_the_name_and_long_texts_are_cut)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    box.set_name("truck_box");
    box.report("hit %d", 3);
    EXPECT_TRUE(engine_log_has("<truck_box> hit 3"));
    box.report_error("bad %s", "item");
    EXPECT_TRUE(engine_log_has("<truck_box> \\r*** ERROR ***  bad item"));
    const std::string huge(20000, 'x');
    box.report("%s", huge.c_str());
    const auto lines = engine_log_matching("<truck_box> xxx");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_LT(lines[0].size(), static_cast<size_t>(cd_report_capacity));
}

TEST_F(cd_geo_box_test, segment_test_hits_a_face_triangle)
{
    cd_geo_box_t box({10, 10, 10}, nullptr, -1, -1);
    float fraction = -1.0f;
    // Triangle 4 lies in the top face (y = 5).
    EXPECT_EQ(box.segment_test({1, 10, 1}, {0, -10, 0}, 4, &fraction, 0), 1);
    EXPECT_FLOAT_EQ(fraction, 0.5f);
    EXPECT_EQ(box.segment_test({1, 10, 1}, {0, -10, 0}, 0, &fraction, 0), 0);
}

}  // namespace
