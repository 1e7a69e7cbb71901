#include "physics/cd_geo_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/geometry.h"
#include "engine/mem.h"
#include "engine_testing/engine_test.h"
#include "physics/tri_tests.h"
#include "triangle_soup.h"

namespace {

using cd_geo_mesh_test = engine_test_t;

// Item id of triangle `t` of mesh `m`.
uint32_t mesh_id(uint32_t m, uint32_t t) { return (m << 20) | (3 * t); }

// Asks the geometry for one item with the given request.
cd_item_t fetch(cd_geo_t& geometry, uint32_t id, uint32_t request)
{
    cd_item_t item;
    item.id = id;
    item.request = request;
    geometry.get_item(item, 1);
    return item;
}

// Builds `mesh` over the one triangle of `vertices`.
void build_one_triangle(cd_geo_mesh_t& mesh, const vec3_t (&vertices)[3], uint8_t copy_vertices)
{
    static const uint16_t indices[3] = {0, 1, 2};
    mesh.build_begin(copy_vertices);
    ASSERT_TRUE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
    mesh.build_end(0.0f, 1);
}

// A mesh of two soups, built with the given leaf settings, without copies.
struct two_soups_t {
    triangle_soup_t soups[2] = {triangle_soup_t(150, 2000.0f, 7), triangle_soup_t(90, 2000.0f, 11)};
    cd_geo_mesh_t mesh{4};

    two_soups_t(float threshold, uint16_t leaf_size)
    {
        mesh.build_begin(0);
        for (triangle_soup_t& soup : soups)
            EXPECT_TRUE(mesh.build_mesh(soup.vertices.data(), static_cast<uint32_t>(soup.vertices.size()),
                                        soup.indices.data(), static_cast<uint32_t>(soup.indices.size()), nullptr, 0,
                                        nullptr, 0));
        mesh.build_end(threshold, leaf_size);
    }
};

TEST_F(cd_geo_mesh_test, box_and_segment_queries_equal_brute_force_over_every_triangle)
{
    struct leaf_settings_t {
        float threshold;
        uint16_t leaf_size;
    };
    for (const leaf_settings_t settings : {leaf_settings_t{0.0f, 1}, {0.0f, 4}, {10.0f, 4}, {600.0f, 16}}) {
        SCOPED_TRACE(::testing::Message() << "threshold " << settings.threshold << " leaf " << settings.leaf_size);
        two_soups_t fixture(settings.threshold, settings.leaf_size);
        ASSERT_TRUE(fixture.mesh.built());
        triangle_soup_t probes(40, 2000.0f, 99);
        // The probes must meet triangles, or the comparison proves nothing.
        size_t boxed = 0, crossed = 0;
        for (int q = 0; q < 40; ++q) {
            const vec3_t a = probes.corner(static_cast<uint32_t>(q), 0);
            const vec3_t b = a + vec3_t(probes.next() * 800.0f, probes.next() * 800.0f, probes.next() * 800.0f);
            // Every other segment is aimed through the middle of a triangle of the first soup, from above.
            const triangle_soup_t& aimed = fixture.soups[0];
            const uint32_t target = static_cast<uint32_t>(q) * 3;
            const vec3_t through = (aimed.corner(target, 0) + aimed.corner(target, 1) + aimed.corner(target, 2)) / 3.0f;
            const vec3_t start = q % 2 ? through + vec3_t(probes.next() * 80.0f, 400.0f, probes.next() * 80.0f) : a;
            const vec3_t end = q % 2
                                   ? through * 2.0f - start
                                   : vec3_t(probes.next() * 2000.0f, probes.next() * 2000.0f, probes.next() * 2000.0f);
            const cd_bounds_t box = box_bounds(a, b);
            std::set<uint32_t> in_box, on_segment;
            for (uint32_t m = 0; m < 2; ++m) {
                const triangle_soup_t& soup = fixture.soups[m];
                for (uint32_t t = 0; t < soup.triangle_count(); ++t) {
                    if (soup.bounds(t).overlaps_by_axis(box))
                        in_box.insert(mesh_id(m, t));
                    float fraction = 0.0f;
                    if (cd_triangle_segment_test(soup.corner(t, 0), soup.corner(t, 1), soup.corner(t, 2), start,
                                                 end - start, &fraction))
                        on_segment.insert(mesh_id(m, t));
                }
            }
            EXPECT_EQ(box_query_ids(fixture.mesh, a, b), in_box) << q;
            EXPECT_EQ(segment_query_ids(fixture.mesh, start, end), on_segment) << q;
            boxed += in_box.size();
            crossed += on_segment.size();
        }
        EXPECT_GT(boxed, 40u);
        EXPECT_GT(crossed, 15u);
    }
}

TEST_F(cd_geo_mesh_test, items_name_the_callers_triangles_with_their_materials_and_user_words)
{
    const vec3_t vertices[4] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}, {100, 0, 100}};
    const uint16_t indices[9] = {0, 1, 2, 2, 1, 3, 0, 2, 3};
    const uint8_t one_material[1] = {7};
    const uint8_t materials[2] = {3, 5};
    const uint32_t users[1] = {42};
    cd_geo_mesh_t mesh(1);
    mesh.build_begin(0);
    ASSERT_TRUE(mesh.build_mesh(vertices, 4, indices, 9, one_material, 1, nullptr, 0));
    ASSERT_TRUE(mesh.build_mesh(vertices, 4, indices, 9, materials, 2, users, 1));
    mesh.build_end(0.0f, 1);
    EXPECT_STREQ(mesh.name(), "cd_geo_mesh_t");
    EXPECT_EQ(mesh.kind, cd_geo_t::kind_mesh);

    const uint32_t all =
        cd_item_t::request_vertices | cd_item_t::request_plane | cd_item_t::request_material | cd_item_t::request_user;
    struct expected_t {
        uint32_t id;
        uint32_t material;  // 0xFFFFFFFF: none, and the request flag cleared
        uint32_t user;
    };
    const expected_t table[] = {
        {mesh_id(0, 0), 7, 0xFFFFFFFFu},
        {mesh_id(0, 2), 7, 0xFFFFFFFFu},  // one material for all
        {mesh_id(1, 0), 3, 42},
        {mesh_id(1, 1), 5, 0xFFFFFFFFu},            // past the user words
        {mesh_id(1, 2), 0xFFFFFFFFu, 0xFFFFFFFFu},  // past both arrays
    };
    for (const expected_t& row : table) {
        SCOPED_TRACE(row.id);
        const cd_item_t item = fetch(mesh, row.id, all);
        EXPECT_EQ(item.kind, cd_item_t::kind_triangle);
        ASSERT_EQ(item.vertex_count, 3);
        const uint32_t p = row.id & 0xFFFFF;
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(item.vertex[k], &vertices[indices[p + k]]);
        EXPECT_EQ(item.material, row.material);
        EXPECT_EQ((item.request & cd_item_t::request_material) != 0, row.material != 0xFFFFFFFFu);
        EXPECT_EQ(item.user, row.user);
        EXPECT_EQ((item.request & cd_item_t::request_user) != 0, row.user != 0xFFFFFFFFu);
    }
    // The plane runs through the corners taken first, third, second: (0,0,0) (0,0,100) (100,0,0) faces up.
    EXPECT_EQ(fetch(mesh, mesh_id(0, 0), cd_item_t::request_plane).plane, vec4_t(0, 1, 0, 0));
}

TEST_F(cd_geo_mesh_test, ids_that_name_no_triangle_get_nothing)
{
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    const uint16_t indices[3] = {0, 1, 2};
    cd_geo_mesh_t mesh(1);
    ASSERT_TRUE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
    mesh.build_end(0.0f, 1);
    for (const uint32_t id : {mesh_id(1, 0), mesh_id(0, 1), 1u, 0xFFFFFFFFu}) {
        const cd_item_t item = fetch(mesh, id, cd_item_t::request_vertices | cd_item_t::request_bounds);
        EXPECT_EQ(item.vertex_count, 0) << id;
        EXPECT_EQ(item.request, 0u) << id;
    }
    EXPECT_FALSE(engine_log_matching("<cd_geo_mesh_t> get_item: no triangle").empty());
}

TEST_F(cd_geo_mesh_test, build_mesh_refuses_arrays_that_do_not_hold_their_counts)
{
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    const uint16_t indices[6] = {0, 1, 2, 0, 1, 3};
    const uint8_t material = 1;
    struct case_t {
        const char* what;
        const vec3_t* vertices;
        uint32_t vertex_count;
        const uint16_t* indices;
        uint32_t index_count;
        const uint8_t* materials;
        uint32_t material_count;
        const char* message;
    };
    const case_t cases[] = {
        {"index past the vertices", vertices, 3, indices, 6, nullptr, 0, "index 5 names vertex 3 of 3"},
        {"part of a triangle", vertices, 3, indices, 4, nullptr, 0, "4 indices are not whole triangles"},
        {"too many indices", vertices, 3, indices, 0x100002, nullptr, 0,
         "1048578 indices are not whole triangles within the limit"},
        {"no vertices", nullptr, 3, indices, 3, nullptr, 0, "an array is missing"},
        {"no indices", vertices, 3, nullptr, 3, nullptr, 0, "an array is missing"},
        {"no materials", vertices, 3, indices, 3, nullptr, 2, "an array is missing"},
        {"vertices fewer than indices need", vertices, 2, indices, 3, &material, 1, "index 2 names vertex 2 of 2"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t before = engine_log_matching(c.message).size();
        cd_geo_mesh_t mesh(1);
        EXPECT_FALSE(mesh.build_mesh(c.vertices, c.vertex_count, c.indices, c.index_count, c.materials,
                                     c.material_count, nullptr, 0));
        EXPECT_EQ(mesh.mesh_count(), 0u);
        EXPECT_GT(engine_log_matching(c.message).size(), before);
    }
}

TEST_F(cd_geo_mesh_test, build_order_and_mesh_limit_are_enforced)
{
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    const uint16_t indices[3] = {0, 1, 2};
    cd_geo_mesh_t mesh(64);
    for (uint32_t m = 0; m < 0xFFF; ++m)
        ASSERT_TRUE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0)) << m;
    EXPECT_FALSE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
    EXPECT_TRUE(engine_log_has("<cd_geo_mesh_t> error: cannot build another mesh, mesh limit (0xfff) hit"));
    EXPECT_EQ(mesh.mesh_count(), 0xFFFu);

    mesh.build_end(0.0f, 8);
    ASSERT_NE(mesh.get_tree(nullptr), nullptr);
    EXPECT_EQ(fetch(mesh, mesh_id(0xFFE, 0), cd_item_t::request_vertices).vertex_count, 3);
    EXPECT_FALSE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
    EXPECT_TRUE(engine_log_has("<cd_geo_mesh_t> error: cannot build mesh, missing build_begin"));

    mesh.build_begin(0);
    EXPECT_FALSE(mesh.built());
    EXPECT_EQ(mesh.get_tree(nullptr), nullptr);
    EXPECT_TRUE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
}

TEST_F(cd_geo_mesh_test, a_full_mesh_array_that_cannot_grow_refuses_the_mesh)
{
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    const uint16_t indices[3] = {0, 1, 2};
    cd_geo_mesh_t mesh(1);
    ASSERT_TRUE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
    mem_fail_after(1);
    EXPECT_FALSE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
    mem_fail_after(0);
    EXPECT_TRUE(engine_log_has("<cd_geo_mesh_t> error: cannot allocate enough memory for mesh"));
    EXPECT_EQ(mesh.mesh_count(), 1u);
    EXPECT_TRUE(mesh.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0));
}

TEST_F(cd_geo_mesh_test, bounds_carry_the_build_margins_and_an_empty_build_has_no_tree)
{
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 50, 200}};
    cd_geo_mesh_t mesh(1);
    build_one_triangle(mesh, vertices, 1);
    // The leaf is widened by 1.0 and the local bounds by a further 0.5.
    const float low[3] = {0, 0, 0}, high[3] = {100, 50, 200};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_FLOAT_EQ(mesh.get_tree(nullptr)->bounds.minimum[axis], low[axis] - 1.0f);
        EXPECT_FLOAT_EQ(mesh.get_bounds()->bounds.minimum[axis], low[axis] - 1.5f);
        EXPECT_FLOAT_EQ(mesh.get_bounds()->bounds.maximum[axis], high[axis] + 1.5f);
    }
    EXPECT_EQ(mesh.get_sphere()->centre, vec3_t(50, 25, 100));
    EXPECT_FLOAT_EQ(mesh.get_sphere()->radius, std::sqrt(51.5f * 51.5f + 26.5f * 26.5f + 101.5f * 101.5f) + 1.0f);
    // A rotation refits tight: no margin at all.
    mesh.set_rotation(quat_t(0, 0, 0, 0));
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_FLOAT_EQ(mesh.get_bounds()->bounds.minimum[axis], low[axis]);
        EXPECT_FLOAT_EQ(mesh.get_bounds()->bounds.maximum[axis], high[axis]);
    }

    cd_geo_mesh_t empty(1);
    empty.build_end(0.0f, 1);
    EXPECT_TRUE(empty.built());
    EXPECT_EQ(empty.get_tree(nullptr), nullptr);
    EXPECT_TRUE(empty.get_bounds()->bounds.empty());
    empty.refit_node(nullptr);
    EXPECT_TRUE(segment_query_ids(empty, {0, 0, 0}, {100, 100, 100}).empty());
}

TEST_F(cd_geo_mesh_test, a_rotated_copy_answers_in_its_own_frame_and_never_accumulates)
{
    triangle_soup_t soup(120, 1000.0f, 5);
    std::vector<vec3_t> source = soup.vertices;
    cd_geo_mesh_t mesh(2);
    mesh.build_begin(1);
    ASSERT_TRUE(mesh.build_mesh(source.data(), static_cast<uint32_t>(source.size()), soup.indices.data(),
                                static_cast<uint32_t>(soup.indices.size()), nullptr, 0, nullptr, 0));
    mesh.build_end(0.0f, 2);
    // The caller may reuse its vertex array once the geometry copied it.
    std::fill(source.begin(), source.end(), vec3_t(9999, 9999, 9999));

    quat_t turn;
    turn.set({0, 1, 0}, 90.0f);
    mesh.set_rotation(turn);
    mesh.set_rotation(turn);
    triangle_soup_t turned = soup;
    for (vec3_t& v : turned.vertices)
        v = turn.rotate(v);
    for (uint32_t t = 0; t < soup.triangle_count(); ++t) {
        const cd_item_t item = fetch(mesh, mesh_id(0, t), cd_item_t::request_vertices);
        ASSERT_EQ(item.vertex_count, 3);
        for (int k = 0; k < 3; ++k)
            EXPECT_LT((*item.vertex[k] - turned.corner(t, k)).length(), 1e-2f) << t;
    }
    // The refitted tree finds exactly the turned triangles.
    for (uint32_t t = 0; t < turned.triangle_count(); t += 7) {
        const vec3_t centre = (turned.corner(t, 0) + turned.corner(t, 1) + turned.corner(t, 2)) / 3.0f;
        const vec3_t a = centre - vec3_t(30, 30, 30), b = centre + vec3_t(30, 30, 30);
        std::set<uint32_t> expected;
        for (uint32_t u = 0; u < turned.triangle_count(); ++u)
            if (turned.bounds(u).overlaps_by_axis(box_bounds(a, b)))
                expected.insert(mesh_id(0, u));
        EXPECT_EQ(box_query_ids(mesh, a, b), expected) << t;
        EXPECT_TRUE(expected.count(mesh_id(0, t)));
    }

    mesh.set_rotation(quat_t(0, 0, 0, 0));
    for (uint32_t t = 0; t < soup.triangle_count(); ++t) {
        const cd_item_t item = fetch(mesh, mesh_id(0, t), cd_item_t::request_vertices);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(*item.vertex[k], soup.corner(t, k)) << t;
    }
}

TEST_F(cd_geo_mesh_test, a_mesh_that_refers_to_the_callers_vertices_refuses_a_rotation)
{
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    cd_geo_mesh_t mesh(1);
    build_one_triangle(mesh, vertices, 0);
    const cd_bounds_t before = mesh.get_bounds()->bounds;
    quat_t turn;
    turn.set({0, 1, 0}, 90.0f);
    mesh.set_rotation(turn);
    EXPECT_TRUE(engine_log_has("<cd_geo_mesh_t> WARNING: cd_geo_mesh_t collision data rotation not supported"));
    const cd_item_t item = fetch(mesh, 0, cd_item_t::request_vertices);
    EXPECT_EQ(item.vertex[1], &vertices[1]);
    EXPECT_EQ(*item.vertex[1], vec3_t(100, 0, 0));
    EXPECT_EQ(mesh.get_bounds()->bounds.maximum[0], before.maximum[0]);
}

}  // namespace
