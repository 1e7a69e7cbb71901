#include "physics/polyhedron.h"

#include <gtest/gtest.h>

#include "engine_testing/engine_test.h"
#include "physics/cd_geo_box.h"

namespace {

using polyhedron_test = engine_test_t;

TEST_F(polyhedron_test, box_has_8_vertices_12_shared_edges_and_6_outward_faces)
{
    cd_geo_box_t box({200, 100, 400}, nullptr, -1, -1);
    const cd_polyhedron_t& poly = *box.get_polyhedron();
    EXPECT_EQ(poly.vertices().size(), 8u);
    EXPECT_EQ(poly.edges().size(), 12u);
    ASSERT_EQ(poly.faces().size(), 6u);
    for (const cd_poly_vertex_t& vertex : poly.vertices()) {
        EXPECT_EQ(vertex.type, cd_feature_t::type_vertex);
        EXPECT_EQ(vertex.cone.size(), 3u);
    }
    for (const cd_poly_edge_t& edge : poly.edges()) {
        EXPECT_EQ(edge.type, cd_feature_t::type_edge);
        ASSERT_NE(edge.face0, nullptr);
        ASSERT_NE(edge.face1, nullptr);
        EXPECT_NE(edge.face0, edge.face1);
        EXPECT_FLOAT_EQ(edge.direction.length(), 1.0f);
        // The Voronoi planes at the ends hold the edge between them.
        EXPECT_FLOAT_EQ(edge.tail_plane.xyz().dot(*edge.head->position) + edge.tail_plane.w, edge.vector.length());
        EXPECT_FLOAT_EQ(edge.head_plane.xyz().dot(*edge.tail->position) + edge.head_plane.w, edge.vector.length());
    }
    for (const cd_poly_face_t& face : poly.faces()) {
        EXPECT_EQ(face.type, cd_feature_t::type_face);
        EXPECT_EQ(face.vertex_count, 4);
        ASSERT_EQ(face.ring.size(), 4u);
        // Outward: the centre lies behind the plane, every corner of the face on it.
        EXPECT_LT(face.plane.w, 0.0f);
        EXPECT_FLOAT_EQ(face.plane.xyz().length(), 1.0f);
        for (const cd_ring_entry_t& entry : face.ring)
            EXPECT_FLOAT_EQ(face.plane.xyz().dot(*entry.vertex->position) + face.plane.w, 0.0f);
    }
    // The first face (0, 3, 2, 1) is the bottom one.
    EXPECT_EQ(poly.faces().front().plane, vec4_t(0, -1, 0, -50));
}

TEST_F(polyhedron_test, face_planes_of_an_edge_face_away_from_both_faces_into_its_region)
{
    cd_geo_box_t box({2, 2, 2}, nullptr, -1, -1);
    for (const cd_poly_edge_t& edge : box.get_polyhedron()->edges()) {
        // Each face's interior lies behind that face's plane of the edge; the edge's region in front.
        for (const cd_poly_face_t* face : {edge.face0, edge.face1}) {
            vec3_t centre;
            for (const cd_ring_entry_t& entry : face->ring)
                centre += *entry.vertex->position * 0.25f;
            const vec4_t& plane = face == edge.face0 ? edge.face0_plane : edge.face1_plane;
            EXPECT_LT(plane.xyz().dot(centre) + plane.w, -0.5f);
        }
    }
}

TEST_F(polyhedron_test, building_the_same_faces_twice_reuses_the_edges)
{
    const vec3_t corners[4] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const int faces[12] = {0, 1, 2, 0, 3, 1, 0, 2, 3, 1, 3, 2};
    cd_polyhedron_t poly;
    poly.set_vertices(corners, 4);
    ASSERT_TRUE(poly.build_faces(faces, 3, 4));
    EXPECT_EQ(poly.edges().size(), 6u);
    ASSERT_TRUE(poly.build_faces(faces, 3, 4));
    EXPECT_EQ(poly.edges().size(), 6u);
    EXPECT_EQ(poly.vertices().size(), 4u);
    EXPECT_EQ(poly.faces().size(), 8u);
    poly.clear();
    EXPECT_TRUE(poly.faces().empty());
    EXPECT_TRUE(poly.edges().empty());
}

TEST_F(polyhedron_test, triangle_seen_from_both_sides_shares_its_three_edges)
{
    const vec3_t corners[3] = {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}};
    const int faces[6] = {0, 1, 2, 0, 2, 1};
    cd_polyhedron_t poly;
    poly.set_vertices(corners, 3);
    ASSERT_TRUE(poly.build_faces(faces, 3, 2));
    poly.prepare();
    EXPECT_EQ(poly.edges().size(), 3u);
    EXPECT_EQ(poly.faces()[0].plane.xyz(), -poly.faces()[1].plane.xyz());
}

TEST_F(polyhedron_test, vertex_index_outside_the_array_is_refused)
{
    const vec3_t corners[3] = {{0, 0, 0}, {10, 0, 0}, {0, 0, 10}};
    const int faces[3] = {0, 1, 3};
    cd_polyhedron_t poly;
    poly.set_vertices(corners, 3);
    EXPECT_FALSE(poly.build_faces(faces, 3, 1));
    EXPECT_TRUE(poly.faces().empty());
    EXPECT_EQ(engine_log_matching("face 0 names vertex 3 of 3").size(), 1u);
}

}  // namespace
