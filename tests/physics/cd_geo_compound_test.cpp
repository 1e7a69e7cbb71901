#include "physics/cd_geo_compound.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/axial.h"
#include "engine_testing/engine_test.h"
#include "physics/cd_geo_box.h"
#include "physics/cd_geo_mesh.h"
#include "physics/cd_query_context.h"
#include "physics/tri_tests.h"
#include "triangle_soup.h"

namespace {

using cd_geo_compound_test = engine_test_t;

// A box that counts its destruction.
class counted_box_t : public cd_geo_box_t {
public:
    counted_box_t(const vec3_t& dimensions, const axial_t* local_frame, int* destroyed)
        : cd_geo_box_t(dimensions, local_frame, -1, -1), destroyed_(destroyed)
    {}
    ~counted_box_t() override { ++*destroyed_; }

private:
    int* destroyed_;
};

// The compound's item id of item `id` of part `index`.
uint32_t part_id(uint32_t index, uint32_t id) { return ((index + 1) << 26) | id; }

// A triangle-soup geometry built over `soup` (its arrays must outlive it).
cd_geo_mesh_t* build_soup_mesh(const triangle_soup_t& soup, uint8_t copy_vertices)
{
    auto* const mesh = new cd_geo_mesh_t(1);
    mesh->build_begin(copy_vertices);
    EXPECT_TRUE(mesh->build_mesh(soup.vertices.data(), static_cast<uint32_t>(soup.vertices.size()), soup.indices.data(),
                                 static_cast<uint32_t>(soup.indices.size()), nullptr, 0, nullptr, 0));
    mesh->build_end(0.0f, 2);
    return mesh;
}

// Every id in the tree below `node`.
void collect_ids(const cd_bvnode_t* node, std::set<uint32_t>& ids)
{
    if (!node->leaf()) {
        collect_ids(node->first, ids);
        collect_ids(node->second, ids);
        return;
    }
    ids.insert(node->ids(), node->ids() + node->count());
}

TEST_F(cd_geo_compound_test, parts_are_refused_past_the_capacity_twice_or_when_they_cannot_be_parts)
{
    int destroyed = 0;
    cd_geo_compound_t compound(3);
    EXPECT_STREQ(compound.name(), "cd_geo_compound_t");
    EXPECT_EQ(compound.kind, cd_geo_t::kind_compound);
    cd_geo_t* const parts[3] = {new counted_box_t({100, 100, 100}, nullptr, &destroyed),
                                new counted_box_t({100, 100, 100}, nullptr, &destroyed),
                                new counted_box_t({100, 100, 100}, nullptr, &destroyed)};
    EXPECT_TRUE(compound.build_object(parts[0]));
    EXPECT_FALSE(compound.build_object(parts[0]));
    EXPECT_FALSE(engine_log_matching("<cd_geo_compound_t> <cd_mesh_t> build_object 0x").empty());
    EXPECT_FALSE(engine_log_matching(": is already there").empty());
    EXPECT_TRUE(compound.build_object(parts[1]));
    EXPECT_TRUE(compound.build_object(parts[2]));

    cd_geo_box_t fourth({100, 100, 100}, nullptr, -1, -1);
    EXPECT_FALSE(compound.build_object(&fourth));
    EXPECT_FALSE(engine_log_matching(": limit (3) overflow").empty());
    EXPECT_EQ(fourth.parent, nullptr);

    // What can never be a part, in a compound with room.
    cd_geo_compound_t roomy(4);
    cd_geo_compound_t inner(1);
    cd_geo_mesh_t never_built(1);
    const vec3_t vertices[3] = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    const uint16_t indices[3] = {0, 1, 2};
    cd_geo_mesh_t many_meshes(32);
    for (int m = 0; m < 17; ++m)
        many_meshes.build_mesh(vertices, 3, indices, 3, nullptr, 0, nullptr, 0);
    many_meshes.build_end(0.0f, 1);
    struct case_t {
        const char* what;
        cd_geo_t* geometry;
        const char* message;  // null: refused without a message
    };
    const case_t cases[] = {
        {"a compound", &inner, nullptr},
        {"a part of another compound", parts[1], ": is a part of another compound"},
        {"a mesh never built", &never_built, ": has no tree"},
        {"a mesh of 17 meshes", &many_meshes, ": item ids do not fit in 24 bits"},
        {"no geometry", nullptr, "build_object: no geometry"},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        const size_t logged = engine_log_matching("<cd_geo_compound_t> <cd_mesh_t> build_object").size();
        EXPECT_FALSE(roomy.build_object(c.geometry));
        EXPECT_EQ(roomy.part_count(), 0u);
        if (c.message)
            EXPECT_FALSE(engine_log_matching(c.message).empty());
        else
            EXPECT_EQ(engine_log_matching("<cd_geo_compound_t> <cd_mesh_t> build_object").size(), logged);
    }
    EXPECT_EQ(never_built.parent, nullptr);
    EXPECT_EQ(many_meshes.parent, nullptr);
}

TEST_F(cd_geo_compound_test, item_ids_carry_the_part_number_and_reach_that_part)
{
    cd_geo_compound_t compound(2);
    auto* const first = new cd_geo_box_t({100, 100, 100}, nullptr, -1, -1);
    auto* const second = new cd_geo_box_t({200, 100, 400}, nullptr, -1, -1);
    ASSERT_TRUE(compound.build_object(first));
    ASSERT_TRUE(compound.build_object(second));
    compound.build_end();
    EXPECT_EQ(second->parent, &compound);

    // The part's own tree now holds the tagged ids.
    std::set<uint32_t> ids;
    collect_ids(second->get_tree(nullptr), ids);
    EXPECT_EQ(*ids.begin(), part_id(1, 0));
    EXPECT_EQ(part_id(1, 5), (2u << 26) | 5);

    cd_item_t item;
    item.id = part_id(1, 5);
    item.request = cd_item_t::request_vertices | cd_item_t::request_bounds;
    compound.get_item(item, 1);
    EXPECT_EQ(item.id, part_id(1, 5));
    ASSERT_EQ(item.vertex_count, 3);
    EXPECT_EQ(item.vertex[0], &second->corners()[4]);
    EXPECT_EQ(item.vertex[1], &second->corners()[6]);
    EXPECT_EQ(item.vertex[2], &second->corners()[7]);

    // A part asked with the redirect flag hands the question to the compound.
    cd_item_t through_part;
    through_part.id = part_id(0, 5);
    through_part.request = cd_item_t::request_vertices;
    second->get_item(through_part, 1);
    EXPECT_EQ(through_part.vertex[0], &first->corners()[4]);

    for (const uint32_t bad : {5u, part_id(2, 5), 0xFFFFFFFFu}) {
        cd_item_t missing;
        missing.id = bad;
        missing.request = cd_item_t::request_vertices;
        compound.get_item(missing, 1);
        EXPECT_EQ(missing.vertex_count, 0) << bad;
        EXPECT_EQ(missing.request, 0u) << bad;
        EXPECT_EQ(compound.segment_test({0, 0, -500}, {0, 0, 1000}, bad, nullptr, 0), 0) << bad;
    }
    EXPECT_FALSE(engine_log_matching("<cd_geo_compound_t> get_item: no part for item").empty());
}

TEST_F(cd_geo_compound_test, a_box_and_a_mesh_answer_each_for_itself_and_name_the_part_hit)
{
    // The box sits 500 in front of the body by its local frame; the mesh's triangles lie beside it.
    axial_t in_front;
    in_front.translate({0, 0, -500});
    auto* const box = new cd_geo_box_t({200, 100, 400}, &in_front, -1, -1);
    const triangle_soup_t soup(100, 1500.0f, 3);
    cd_geo_mesh_t* const mesh = build_soup_mesh(soup, 0);
    cd_geo_compound_t compound(2);
    ASSERT_TRUE(compound.build_object(box));
    ASSERT_TRUE(compound.build_object(mesh));
    compound.build_end();

    // Brute force over both parts' triangles, each named in the compound's numbering.
    struct triangle_t {
        uint32_t id;
        vec3_t corner[3];
    };
    std::vector<triangle_t> triangles;
    for (uint32_t t = 0; t < 12; ++t) {
        cd_item_t item;
        item.id = t;
        item.request = cd_item_t::request_vertices;
        box->get_item(item, 0);
        triangles.push_back({part_id(0, t), {*item.vertex[0], *item.vertex[1], *item.vertex[2]}});
    }
    for (uint32_t t = 0; t < soup.triangle_count(); ++t)
        triangles.push_back({part_id(1, 3 * t), {soup.corner(t, 0), soup.corner(t, 1), soup.corner(t, 2)}});

    struct probe_t {
        vec3_t a, b;
    };
    std::vector<probe_t> probes = {
        {{0, 0, -1000}, {0, 0, 0}},           // through the box along z
        {{-300, 20, -500}, {300, 20, -500}},  // through the box along x
        {{-200, -200, -200}, {1700, 1700, 1700}},
        {{0, 750, 0}, {1500, 750, 1500}},
    };
    // Down through the middle of a few of the mesh's triangles.
    for (uint32_t t = 0; t < soup.triangle_count(); t += 25) {
        const vec3_t middle = (soup.corner(t, 0) + soup.corner(t, 1) + soup.corner(t, 2)) / 3.0f;
        probes.push_back({middle + vec3_t(0, 400, 0), middle - vec3_t(0, 400, 0)});
    }
    size_t box_hits = 0, mesh_hits = 0;
    for (const probe_t& probe : probes) {
        std::set<uint32_t> in_box, on_segment;
        for (const triangle_t& t : triangles) {
            cd_bounds_t bounds = cd_bounds_make_empty();
            for (const vec3_t& c : t.corner)
                bounds.add_point(c.x, c.y, c.z);
            if (bounds.overlaps_by_axis(box_bounds(probe.a, probe.b)))
                in_box.insert(t.id);
            float fraction = 0.0f;
            if (cd_triangle_segment_test(t.corner[0], t.corner[1], t.corner[2], probe.a, probe.b - probe.a, &fraction))
                on_segment.insert(t.id);
        }
        EXPECT_EQ(box_query_ids(compound, probe.a, probe.b), in_box);
        EXPECT_EQ(segment_query_ids(compound, probe.a, probe.b), on_segment);
        for (const uint32_t id : on_segment)
            ++((id >> 26) == 1 ? box_hits : mesh_hits);
    }
    EXPECT_GE(box_hits, 4u);
    EXPECT_GE(mesh_hits, 4u);

    // A sphere in the box is the box's; one far away touches nothing (the mesh has no primitive test).
    const vec3_t centre(0, 0, -500);
    const float radius = 10.0f;
    cd_item_t sphere;
    sphere.kind = cd_item_t::kind_sphere;
    sphere.vertex[0] = &centre;
    sphere.radius = &radius;
    cd_query_context_t context;
    cd_geo_t* hit = nullptr;
    uint32_t hit_item = 0;
    EXPECT_TRUE(compound.pri_collide(context, sphere, &hit, &hit_item));
    EXPECT_EQ(hit, box);
    EXPECT_EQ(hit_item, cd_item_none);
    context.matrix = mat4_t::identity();
    context.matrix.m[0][3] = 5000.0f;
    EXPECT_FALSE(compound.pri_collide(context, sphere, &hit, &hit_item));
    EXPECT_EQ(hit, &compound);
    EXPECT_EQ(hit_item, cd_item_none);
    EXPECT_TRUE(engine_log_has("<cd_geo_mesh_t> pri_collide NOT IMPLEMENTED!"));
}

TEST_F(cd_geo_compound_test, tree_shape_flags_and_bounds_follow_the_parts)
{
    const triangle_soup_t soup(20, 500.0f, 1);
    struct case_t {
        const char* what;
        int boxes;
        bool mesh;
        uint8_t flag;
    };
    const case_t cases[] = {
        {"no parts", 0, false, 1},        {"one box", 1, false, 1},     {"two boxes", 2, false, 1},
        {"a box and a mesh", 1, true, 0}, {"three boxes", 3, false, 1},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        cd_geo_compound_t compound(4);
        std::vector<cd_geo_t*> parts;
        for (int b = 0; b < c.boxes; ++b) {
            axial_t frame;
            frame.translate({b * 300.0f, 0, 0});
            parts.push_back(new cd_geo_box_t({100, 100, 100}, &frame, -1, -1));
        }
        if (c.mesh)
            parts.push_back(build_soup_mesh(soup, 0));
        for (cd_geo_t* part : parts)
            ASSERT_TRUE(compound.build_object(part));
        compound.build_end();
        EXPECT_EQ(compound.flags & 1, c.flag);
        const cd_bvnode_t* const root = compound.get_tree(nullptr);
        if (parts.empty()) {
            EXPECT_EQ(root, nullptr);
            EXPECT_TRUE(compound.get_bounds()->bounds.empty());
            compound.set_rotation(quat_t(0, 0, 0, 0));
            continue;
        }
        ASSERT_NE(root, nullptr);
        if (parts.size() == 1) {
            EXPECT_EQ(root, parts[0]->get_tree(nullptr));
        }
        // The compound's bounds are the union of its parts', with no margin of its own.
        cd_bounds_t expected = cd_bounds_make_empty();
        for (cd_geo_t* part : parts)
            expected.add_bounds(part->get_tree(nullptr)->bounds);
        for (int axis = 0; axis < cd_bound_axes; ++axis) {
            EXPECT_FLOAT_EQ(compound.get_bounds()->bounds.minimum[axis], expected.minimum[axis]);
            EXPECT_FLOAT_EQ(compound.get_bounds()->bounds.maximum[axis], expected.maximum[axis]);
        }
        // Every part's items are reachable through the one tree.
        std::set<uint32_t> ids;
        collect_ids(root, ids);
        size_t items = 0;
        for (cd_geo_t* part : parts) {
            std::set<uint32_t> own;
            collect_ids(part->get_tree(nullptr), own);
            items += own.size();
        }
        EXPECT_EQ(ids.size(), items);
    }
}

TEST_F(cd_geo_compound_test, a_rotation_turns_every_part_and_refits_the_compound_above_them)
{
    const triangle_soup_t soup(40, 600.0f, 4);
    auto* const box = new cd_geo_box_t({200, 100, 400}, nullptr, -1, -1);
    cd_geo_mesh_t* const mesh = build_soup_mesh(soup, 1);
    auto* const other = new cd_geo_box_t({50, 50, 50}, nullptr, -1, -1);
    cd_geo_compound_t compound(3);
    ASSERT_TRUE(compound.build_object(box));
    ASSERT_TRUE(compound.build_object(mesh));
    ASSERT_TRUE(compound.build_object(other));
    compound.build_end();

    quat_t turn;
    turn.set({0, 1, 0}, 90.0f);
    compound.set_rotation(turn);
    EXPECT_TRUE(box->rotated());
    // The box's long side now runs along x.
    EXPECT_NEAR(box->get_bounds()->bounds.maximum[0], 201.0f, 1e-3f);
    for (uint32_t t = 0; t < soup.triangle_count(); t += 5) {
        cd_item_t item;
        item.id = part_id(1, 3 * t);
        item.request = cd_item_t::request_vertices;
        compound.get_item(item, 1);
        ASSERT_EQ(item.vertex_count, 3);
        EXPECT_LT((*item.vertex[0] - turn.rotate(soup.corner(t, 0))).length(), 1e-2f);
    }
    cd_bounds_t expected = cd_bounds_make_empty();
    for (cd_geo_t* part : {static_cast<cd_geo_t*>(box), static_cast<cd_geo_t*>(mesh), static_cast<cd_geo_t*>(other)})
        expected.add_bounds(part->get_tree(nullptr)->bounds);
    for (int axis = 0; axis < cd_bound_axes; ++axis) {
        EXPECT_FLOAT_EQ(compound.get_tree(nullptr)->bounds.minimum[axis], expected.minimum[axis]);
        EXPECT_FLOAT_EQ(compound.get_bounds()->bounds.maximum[axis], expected.maximum[axis]);
    }
    // The turned box is found where it now lies.
    const std::set<uint32_t> hits = segment_query_ids(compound, {150, 0, -1000}, {150, 0, 1000});
    EXPECT_EQ(hits.count(part_id(0, 8)) + hits.count(part_id(0, 9)) + hits.count(part_id(0, 10)) +
                  hits.count(part_id(0, 11)) + hits.count(part_id(0, 0)) + hits.count(part_id(0, 1)) +
                  hits.count(part_id(0, 2)) + hits.count(part_id(0, 3)),
              2u);
}

TEST_F(cd_geo_compound_test, clear_destroys_parts_it_alone_holds_and_hands_back_the_others_whole)
{
    int destroyed = 0;
    auto* const sole = new counted_box_t({100, 100, 100}, nullptr, &destroyed);
    auto* const shared = new counted_box_t({100, 100, 100}, nullptr, &destroyed);
    shared->use_count = 2;
    {
        cd_geo_compound_t compound(2);
        ASSERT_TRUE(compound.build_object(sole));
        ASSERT_TRUE(compound.build_object(shared));
        compound.build_end();
        compound.build_begin();
        EXPECT_EQ(compound.part_count(), 0u);
        EXPECT_EQ(compound.get_tree(nullptr), nullptr);
    }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(shared->use_count, 1u);
    EXPECT_EQ(shared->parent, nullptr);
    std::set<uint32_t> ids;
    collect_ids(shared->get_tree(nullptr), ids);
    EXPECT_EQ(*ids.rbegin(), 11u);
    cd_item_t item;
    item.id = 11;
    item.request = cd_item_t::request_vertices;
    shared->get_item(item, 1);
    EXPECT_EQ(item.vertex_count, 3);

    // It can join another compound, which then destroys it.
    {
        cd_geo_compound_t again(1);
        EXPECT_TRUE(again.build_object(shared));
    }
    EXPECT_EQ(destroyed, 2);
}

TEST_F(cd_geo_compound_test, a_capacity_past_the_part_numbers_is_cut)
{
    cd_geo_compound_t compound(100);
    EXPECT_EQ(compound.capacity(), cd_geo_compound_t::part_limit);
    EXPECT_TRUE(engine_log_has("<cd_geo_compound_t> error: capacity 100 cut to the part limit (63)"));
}

}  // namespace
