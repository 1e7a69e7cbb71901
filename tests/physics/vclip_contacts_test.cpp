#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "physics/vclip.h"
#include "physics/vclip_steps.h"
#include "vclip_fixture.h"

namespace {

// Angles that turn a cube so that one corner points straight down.
vec3_t corner_down_angles() { return {std::atan(1.0f / std::sqrt(2.0f)) * 180.0f / 3.14159265f, 0.0f, 45.0f}; }

// Half the diagonal of a cube of edge 100.
const float half_diagonal = 50.0f * std::sqrt(3.0f);

class vclip_contacts_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }

    // Contacts of two placed boxes, with room for `maximum`.
    std::vector<vclip_contact_t> contacts(const placed_box_t& a, const placed_box_t& b, float tolerance,
                                          int maximum = 16)
    {
        std::vector<vclip_contact_t> out(static_cast<size_t>(maximum));
        const int count = vclip_test(a.polyhedron(), a.frame, b.polyhedron(), b.frame, tolerance, out.data(), maximum);
        out.resize(static_cast<size_t>(count));
        return out;
    }

    // One edge step of `edge` of `a` against `feature` of `b`.
    static vclip_answer_t edge_step(const placed_box_t& a, const cd_poly_edge_t& edge, const placed_box_t& b,
                                    const cd_feature_t* feature, float tolerance, vclip_step_points_t& points)
    {
        const vclip_frames_t frames = vclip_frames_t::between(a.frame, b.frame);
        const vec3_t tail = mult_point_matrix_fast(frames.first_to_second, *edge.tail->position);
        const vec3_t head = mult_point_matrix_fast(frames.first_to_second, *edge.head->position);
        return vclip_edge_step(edge, {tail, head, head - tail}, frames, tolerance, feature, points);
    }
};

TEST_F(vclip_contacts_test, corner_near_a_face_touches_within_the_tolerance_but_not_five_inside)
{
    // The ground's first face is its bottom one: the corner's walk has to find the top face.
    const placed_box_t ground({1000, 100, 1000}, {0, 0, 0});
    for (const float depth : {-0.5f, 0.5f, 5.0f}) {
        SCOPED_TRACE(depth);
        const placed_box_t cube({100, 100, 100}, {0, 50 + half_diagonal - depth, 0}, corner_down_angles());
        const std::vector<vclip_contact_t> found = contacts(cube, ground, 1.0f);
        if (depth > 1.0f) {
            EXPECT_TRUE(found.empty());
            continue;
        }
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0].from_first, 1);
        EXPECT_NEAR(cube.to_world(found[0].point_on_first).y, 50 - depth, 1e-3f);
        EXPECT_NEAR(ground.to_world(found[0].point_on_second).y, 50 - depth, 1e-3f);
        EXPECT_NEAR(found[0].normal.y, 1.0f, 1e-6f);
    }
}

TEST_F(vclip_contacts_test, box_resting_on_a_turned_ground_gets_its_corners_with_the_ground_normal_in_the_world)
{
    const vec3_t angles(0, 0, 30);
    const placed_box_t ground({1000, 100, 1000}, {0, 0, 0}, angles);
    placed_box_t box({100, 100, 100}, {0, 0, 0}, angles);
    box.frame.identity();
    box.frame.rotate(angles);
    box.frame.translate({10, 99.5f, 20});
    const std::vector<vclip_contact_t> found = contacts(box, ground, 4.0f, 3);
    ASSERT_EQ(found.size(), 3u);
    const vec3_t up = mult_normal_matrix_fast(ground.frame.matrix, {0, 1, 0});
    for (const vclip_contact_t& contact : found) {
        EXPECT_EQ(contact.from_first, 1);
        EXPECT_NEAR(contact.point_on_first.y, -50.0f, 1e-3f);
        EXPECT_NEAR(contact.point_on_second.y, 49.5f, 1e-3f);
        EXPECT_NEAR((contact.normal - up).length(), 0.0f, 1e-5f);
    }
}

TEST_F(vclip_contacts_test, corner_of_the_second_gives_a_normal_pointing_away_from_it)
{
    const placed_box_t ground({1000, 100, 1000}, {0, 0, 0});
    const placed_box_t cube({100, 100, 100}, {0, 50 + half_diagonal - 0.5f, 0}, corner_down_angles());
    const std::vector<vclip_contact_t> found = contacts(ground, cube, 1.0f);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].from_first, 0);
    EXPECT_NEAR(found[0].point_on_first.y, 49.5f, 1e-3f);
    EXPECT_NEAR(cube.to_world(found[0].point_on_second).y, 49.5f, 1e-3f);
    EXPECT_NEAR(found[0].normal.y, -1.0f, 1e-6f);
}

TEST_F(vclip_contacts_test, the_count_stops_at_the_room_given)
{
    const placed_box_t ground({1000, 100, 1000}, {0, 0, 0});
    const placed_box_t box({100, 100, 100}, {0, 99.5f, 0});
    vclip_contact_t room[3];
    room[1].from_first = 7;
    EXPECT_EQ(vclip_test(box.polyhedron(), box.frame, ground.polyhedron(), ground.frame, 4.0f, room, 1), 1);
    EXPECT_EQ(room[0].from_first, 1);
    EXPECT_EQ(room[1].from_first, 7);
    // No room, or no array, writes nothing.
    EXPECT_EQ(vclip_test(box.polyhedron(), box.frame, ground.polyhedron(), ground.frame, 4.0f, room, 0), 0);
    EXPECT_EQ(vclip_test(box.polyhedron(), box.frame, ground.polyhedron(), ground.frame, 4.0f, nullptr, 3), 0);
    EXPECT_EQ(engine_log_matching("vclip_test: no array for 3 contacts").size(), 1u);
    EXPECT_EQ(room[1].from_first, 7);
}

TEST_F(vclip_contacts_test, far_apart_or_empty_polyhedra_have_no_contacts)
{
    const placed_box_t a({100, 100, 100}, {0, 0, 0});
    const placed_box_t far({100, 100, 100}, {0, 105, 0});
    EXPECT_TRUE(contacts(a, far, 4.0f).empty());
    cd_polyhedron_t empty;
    vclip_contact_t room[3];
    EXPECT_EQ(vclip_test(empty, a.frame, a.polyhedron(), a.frame, 4.0f, room, 3), 0);
    EXPECT_EQ(vclip_test(a.polyhedron(), a.frame, empty, a.frame, 4.0f, room, 3), 0);
}

TEST_F(vclip_contacts_test, edge_against_face_touches_only_where_it_crosses_the_plane)
{
    const placed_box_t cube({100, 100, 100}, {0, 0, 0});
    const cd_poly_face_t* const top = cube.face_toward({0, 1, 0});
    // A pin through the top face; a slab's edge above it, parallel; a tilted pin's edge wholly above;
    // a slab's edge just under it.
    const placed_box_t pin({10, 200, 10}, {0, 60, 0});
    const placed_box_t slab_above({20, 10, 20}, {0, 60, 0});
    const placed_box_t slab_under({20, 10, 20}, {0, 40, 0});
    const placed_box_t tilted({10, 100, 10}, {0, 110, 0}, {0, 0, 30});
    struct case_t {
        const char* name;
        const placed_box_t* owner;
        vec3_t tail;
        vec3_t head;
        float tolerance;
        vclip_answer_t answer;
    } cases[] = {
        {"pin, no tolerance", &pin, {5, -40, 5}, {5, 160, 5}, 0.0f, vclip_touch},
        {"pin, wide tolerance", &pin, {5, -40, 5}, {5, 160, 5}, 100.0f, vclip_touch},
        {"parallel above", &slab_above, {-10, 55, 10}, {10, 55, 10}, 10.0f, vclip_apart},
        {"parallel under", &slab_under, {-10, 45, 10}, {10, 45, 10}, 10.0f, vclip_apart},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        const cd_poly_edge_t* const edge = c.owner->edge_near(c.tail, c.head);
        vclip_step_points_t points;
        EXPECT_EQ(edge_step(*c.owner, *edge, cube, top, c.tolerance, points), c.answer);
        if (c.answer == vclip_touch) {
            EXPECT_NEAR(cube.to_world(points.on_second).y, 50.0f, 1e-4f);
            EXPECT_NEAR(c.owner->to_world(points.on_first).y, -40.0f, 1e-4f);
        }
    }
    // Walked to its end, an edge wholly above the face never touches it.
    for (const cd_poly_edge_t& edge : tilted.polyhedron().edges()) {
        const cd_feature_t* feature = top;
        vclip_step_points_t points;
        const vclip_frames_t frames = vclip_frames_t::between(tilted.frame, cube.frame);
        const vec3_t tail = mult_point_matrix_fast(frames.first_to_second, *edge.tail->position);
        const vec3_t head = mult_point_matrix_fast(frames.first_to_second, *edge.head->position);
        vclip_answer_t answer = vclip_continue;
        for (int step = 0; step < 100 && answer == vclip_continue; ++step)
            answer = vclip_edge_step(edge, {tail, head, head - tail}, frames, 1000.0f, feature, points);
        EXPECT_NE(answer, vclip_touch);
    }
}

TEST_F(vclip_contacts_test, edges_crossing_at_right_angles_half_apart_touch_within_the_tolerance)
{
    // The cube's top front edge runs along x; the turned box's lowest edge runs along z 0.5 above it.
    const placed_box_t cube({100, 100, 100}, {0, 0, 0});
    const placed_box_t turned({100, 100, 200}, {0, 50.5f + 50.0f * std::sqrt(2.0f), 0}, {0, 0, 45});
    const cd_poly_edge_t* const e = cube.edge_near({-50, 50, 50}, {50, 50, 50});
    const cd_poly_edge_t* const g = turned.edge_near({0, 50.5f, -100}, {0, 50.5f, 100});
    for (const float tolerance : {1.0f, 0.25f}) {
        SCOPED_TRACE(tolerance);
        vclip_step_points_t points;
        EXPECT_EQ(edge_step(cube, *e, turned, g, tolerance, points), tolerance > 0.5f ? vclip_touch : vclip_apart);
        EXPECT_NEAR((cube.to_world(points.on_first) - vec3_t(0, 50, 50)).length(), 0.0f, 1e-3f);
        EXPECT_NEAR((turned.to_world(points.on_second) - vec3_t(0, 50.5f, 50)).length(), 0.0f, 1e-3f);
    }
}

TEST_F(vclip_contacts_test, edge_against_a_vertex_never_touches)
{
    const placed_box_t cube({100, 100, 100}, {0, 0, 0});
    const cd_poly_vertex_t* corner = nullptr;
    for (const cd_poly_vertex_t& vertex : cube.polyhedron().vertices())
        if (*vertex.position == vec3_t(50, 50, 50))
            corner = &vertex;
    ASSERT_NE(corner, nullptr);
    // Edges of a small box placed through, beside and away from the corner.
    for (const vec3_t& centre : {vec3_t(50, 50, 50), vec3_t(50.5f, 50.5f, 50.5f), vec3_t(55, 52, 51)}) {
        const placed_box_t probe({4, 4, 4}, centre, {10, 20, 30});
        for (const cd_poly_edge_t& edge : probe.polyhedron().edges()) {
            vclip_step_points_t points;
            EXPECT_NE(edge_step(probe, edge, cube, corner, 1000.0f, points), vclip_touch);
        }
    }
}

}  // namespace
