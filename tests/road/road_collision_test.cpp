#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/clock.h"
#include "engine/gfx_record.h"
#include "physics/body_callback.h"
#include "physics/cd_geo_box.h"
#include "physics/cd_item.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"
#include "road/road_geo.h"
#include "road/road_item_id.h"
#include "road_geometry_fixture.h"

namespace {

using road_collision_test = road_geometry_test_t;

// Pulls its body down with the weight of its 100 kg each step.
class falling_t : public body_callback_t {
public:
    explicit falling_t(phys_body_t& body) : body_(body)
    {
        flags = flag_apply_forces;
        body.geometry->owner_callbacks = this;
    }
    void apply_forces() override { body_.add_force({0, -981.0f * 100.0f, 0}, nullptr); }

private:
    phys_body_t& body_;
};

// Triangles of `piece` with material `material`.
int32_t triangles_of(const road_coll_piece_t& piece, const uint32_t material)
{
    return static_cast<int32_t>(std::count(piece.materials, piece.materials + piece.index_count / 3, material));
}

TEST_F(road_collision_test, a_road_edge_gets_its_surface_and_a_skirt_with_a_wall_hanging_under_it_on_each_side)
{
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -4500}, 2, 0);
    road_coll_seg_t slot;
    ASSERT_TRUE(slot.build_edge(ctrl, ctrl.edges[index]));
    EXPECT_EQ(slot.owner, static_cast<uint32_t>(index));
    EXPECT_EQ(slot.step_count, 5);
    ASSERT_EQ(slot.piece_count, 1);
    const road_coll_piece_t& piece = slot.piece(0);
    // Two surface triangles per step with the model's own word; eight skirt and two wall triangles per
    // step and side, even on the side without a strip.
    EXPECT_EQ(triangles_of(piece, 7), 2 * 5);
    EXPECT_EQ(triangles_of(piece, road_coll_skirt), 2 * 8 * 5);
    EXPECT_EQ(triangles_of(piece, road_coll_wall), 2 * 2 * 5);
    for (uint32_t i = 0; i < piece.index_count; ++i)
        ASSERT_LT(piece.indices[i], piece.vertex_count);
    // Every skirt starts on the road's edge and its columns lie 100, 500, 900 and 1300 beyond it; the
    // wall hangs under the third column: nothing rises beside an open road.
    float highest = -1e9f, lowest = 1e9f, widest = 0.0f;
    for (uint32_t v = 0; v < piece.vertex_count; ++v) {
        highest = std::max(highest, piece.vertices[v].y);
        lowest = std::min(lowest, piece.vertices[v].y);
        widest = std::max(widest, std::fabs(piece.vertices[v].x));
    }
    EXPECT_FLOAT_EQ(highest, 0.0f);
    EXPECT_FLOAT_EQ(lowest, -500.0f);
    EXPECT_FLOAT_EQ(widest, half_width + 1300.0f);
    EXPECT_FLOAT_EQ(piece.bounds.minimum[2], -4500.0f);
    slot.release(ctrl);
    EXPECT_EQ(slot.owner, 0xFFFFFFFFu);
    EXPECT_EQ(ctrl.segment_blocks.live(), 0u);
}

TEST_F(road_collision_test, prefab_and_city_road_collision_keep_their_materials_and_refuse_what_does_not_fit)
{
    prefab_t prefab;
    prefab.nodes.resize(1);
    prefab_coll_part_t part;
    part.kind = 3;
    part.positions = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    part.indices = {0, 1, 2};
    prefab.coll_parts.push_back(part);
    part.indices = {0, 1, 9};  // an index past the part's vertices
    prefab.coll_parts.push_back(part);
    ctrl.seg_server->prefab_table[seg_crosses].push_back(prefab);
    const int32_t at = node({1000, 5, 1000}, {0, 0, -1});
    const int32_t index = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[index];
    edge.kind = map_edge_cross;
    edge.definition = 0;
    edge.nodes[0] = at;
    edge.flags = 1;
    road_coll_seg_t slot;
    EXPECT_FALSE(slot.build_edge(ctrl, edge));
    ctrl.seg_server->prefab_table[seg_crosses][0].coll_parts.pop_back();
    ASSERT_TRUE(slot.build_edge(ctrl, edge));
    ASSERT_EQ(slot.piece_count, 1);
    EXPECT_EQ(slot.piece(0).materials[0], 3u);
    // One quarter turn: (x, y, z) goes to (z, y, -x).
    EXPECT_EQ(slot.piece(0).vertices[1], vec3_t(1000, 5, 900));
    slot.release(ctrl);

    city_road_def_t city;
    city.bytes = 1;
    city.collision.positions.assign(road_coll_city_max_vertices + 1, vec3_t());
    city.collision.t.assign(road_coll_city_max_vertices + 1, 0.0f);
    ctrl.seg_server->city_road_defs.push_back(city);
    const int32_t street = road_edge({0, 0, 0}, {0, 0, -1000});
    ctrl.edges[street].kind = map_edge_city_road;
    EXPECT_FALSE(slot.build_edge(ctrl, ctrl.edges[street]));
    EXPECT_EQ(ctrl.segment_blocks.live(), 0u);
}

TEST_F(road_collision_test, queries_are_reused_inside_their_margin_and_freed_when_idle)
{
    const int32_t first = road_edge({0, 0, 0}, {0, 0, -4000});
    const int32_t strip = road_edge({20000, 0, 0}, {20000, 0, -4000});
    ctrl.edges[strip].flags |= map_edge_terrain_only;
    ctrl.build_item_tree();
    road_geo_t road(ctrl);
    tmr_set_for_test(1000);
    uint32_t handle = 0;
    cd_bvnode_t* tree = road.get_tree_in_box(&handle, {-100, -100, -2100}, {100, 100, -1900});
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(road.slot(0).owner, static_cast<uint32_t>(first));
    // A box inside the first one's margin takes the same tree; one sticking out builds another.
    uint32_t again = 0;
    EXPECT_EQ(road.get_tree_in_box(&again, {-100, -100, -2000}, {900, 100, -1500}), tree);
    EXPECT_EQ(again, handle);
    uint32_t other = 0;
    EXPECT_NE(road.get_tree_in_box(&other, {-100, -100, -2000}, {1101, 100, -1500}), nullptr);
    EXPECT_NE(other, handle);
    EXPECT_EQ(road.query_count(), 2u);
    // Both queries share the edge's slot.
    EXPECT_EQ(road.slot(0).use_count, 2u);
    EXPECT_EQ(road.slot(1).owner, 0xFFFFFFFFu);
    // Nothing but a terrain-only edge near the box: no triangles, no slot.
    uint32_t none = 7;
    EXPECT_EQ(road.get_tree_in_box(&none, {19900, -100, -2100}, {20100, 100, -1900}), nullptr);
    EXPECT_EQ(none, 0u);
    // The debug view draws the cached queries' triangles.
    road.debug_draw();
    EXPECT_FALSE(gfx_record_current().lines.empty());
    // The triangle ids name the slot and the owning edge.
    cd_item_t item;
    item.id = tree->leaf() ? tree->ids()[0] : road_coll_triangle_id(0, 0, 0);
    item.request = cd_item_t::request_vertices | cd_item_t::request_material | cd_item_t::request_plane;
    road.get_item(item, 0);
    EXPECT_EQ(item.vertex_count, 3);
    EXPECT_EQ(road.edge_of_contact(item.id), static_cast<uint32_t>(first));
    // The walls on the skirts are collision only: no decal is laid on them.
    const road_coll_piece_t& piece = road.slot(0).piece(0);
    for (uint32_t first_index = 0; first_index + 3 <= piece.index_count; first_index += 3) {
        cd_item_t triangle;
        triangle.id = road_coll_triangle_id(0, 0, first_index);
        triangle.request = cd_item_t::request_material;
        road.get_item(triangle, 0);
        EXPECT_EQ(triangle.drawn, triangle.material != road_coll_wall) << first_index;
    }
    // Released queries stay until they have been idle long enough.
    road.release_tree(handle);
    road.release_tree(handle);
    road.release_tree(other);
    tmr_set_for_test(1000 + road_geo_idle_ticks);
    road.expire_queries();
    EXPECT_EQ(road.query_count(), 2u);
    tmr_set_for_test(1001 + road_geo_idle_ticks);
    road.expire_queries();
    EXPECT_EQ(road.query_count(), 0u);
    EXPECT_EQ(road.slot(0).owner, 0xFFFFFFFFu);
    EXPECT_EQ(road.tree_bytes(), 0u);
    EXPECT_EQ(road.segs_in_use(), 0u);
    tmr_release_for_test();
}

TEST_F(road_collision_test, a_truck_sized_box_dropped_on_a_road_comes_to_rest_on_it)
{
    road_edge({0, 0, 0}, {0, 0, -20000});
    ctrl.build_item_tree();
    physproc_t physics;
    road_geo_t road(ctrl);
    physics.insert_geom(&road);
    // A truck-sized box (2.5 m wide, 3.5 m high, 8 m long) of 100 kg, 2 m above the road.
    const vec3_t size(250, 350, 800);
    cd_geo_box_t box(size, nullptr, -1, -1);
    phys_body_t body;
    body.set_mass_box(size, 100.0f);
    body.id = 1;
    body.set_geom(&box);
    box.set_position({0, 375, -10000});
    physics.insert_geom(&box);
    falling_t weight(body);
    for (int i = 0; i < 150; ++i)
        physics.step(0.02f);
    EXPECT_NEAR(body.current->position.y, 175.0f, 2.0f);
    EXPECT_NEAR(body.current->position.z, -10000.0f, 1.0f);
    physics.remove_geom(&box);
    physics.remove_geom(&road);
}

}  // namespace

namespace {

TEST_F(road_collision_test, triangle_ids_pack_slot_piece_and_first_index_without_overlap)
{
    const uint32_t id = road_coll_triangle_id(127, 255, 65532);
    EXPECT_EQ(id >> 24, 127u);
    EXPECT_EQ((id >> 16) & 0xFFu, 255u);
    EXPECT_EQ(id & 0xFFFFu, 65532u);
    EXPECT_EQ(road_coll_triangle_id(1, 0, 0), 1u << 24);
}

TEST_F(road_collision_test, a_free_item_collides_with_its_zcoll_mesh_where_it_stands)
{
    freeitem_model_t bare;
    std::strcpy(bare.name, "bench");
    ctrl.seg_server->freeitem_models.push_back(bare);
    freeitem_model_t solid;
    solid.collision.positions = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
    solid.collision.indices = {0, 1, 2};
    ctrl.seg_server->freeitem_models.push_back(solid);
    const int32_t index = ctrl.add_freeitem();
    map_freeitem_t& item = ctrl.freeitems[index];
    item.position = vec3_t(500, 0, 500);
    item.rotation = vec3_t(0, 90, 0);
    road_coll_seg_t slot;
    EXPECT_FALSE(slot.build_freeitem(ctrl, item));
    EXPECT_EQ(engine_log_matching("Freeitem bench has no 'zcoll' part!").size(), 1u);
    item.model = 1;
    ASSERT_TRUE(slot.build_freeitem(ctrl, item));
    EXPECT_EQ(slot.owner, road_item_freeitem_base + static_cast<uint32_t>(index));
    EXPECT_EQ(slot.piece(0).materials[0], uint32_t{road_coll_object});
    // Turned a quarter about the vertical axis, then moved to the item's place.
    const vec3_t corner = slot.piece(0).vertices[1];
    EXPECT_NEAR(corner.x, 500.0f, 1e-3f);
    EXPECT_NEAR(std::fabs(corner.z - 500.0f), 100.0f, 1e-3f);
    EXPECT_NE(slot.piece_tree(0), nullptr);
    slot.release(ctrl);
    EXPECT_EQ(ctrl.freeitem_blocks.live(), 0u);
}

}  // namespace

namespace {

TEST_F(road_collision_test, a_lit_cross_gets_its_traffic_lights_as_one_more_piece)
{
    prefab_t prefab;
    prefab.nodes.resize(2);
    prefab.nodes[0].position = vec3_t(0, 0, 0);
    prefab.nodes[1].position = vec3_t(1000, 0, 0);
    ctrl.seg_server->prefab_table[seg_crosses].push_back(prefab);
    tr_lights_model_t lights;
    lights.collision.positions = {{0, 0, 0}, {0, 500, 0}, {50, 0, 0}};
    lights.collision.indices = {0, 1, 2};
    ctrl.seg_server->tr_lights.push_back(lights);
    const int32_t at = node({2000, 0, 2000}, {0, 0, -1});
    const int32_t index = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[index];
    edge.kind = map_edge_cross;
    edge.definition = 0;
    edge.nodes[0] = at;
    edge.sides[0].railing = -1;        // node slot 0: no light
    edge.sides[0].railing_shader = 0;  // node slot 1: light model 0
    road_coll_seg_t slot;
    ASSERT_TRUE(slot.build_edge(ctrl, edge));
    EXPECT_EQ(slot.piece_count, 0);  // no traffic lights switched on
    slot.release(ctrl);
    edge.sides[0].strip_width = 1;
    ASSERT_TRUE(slot.build_edge(ctrl, edge));
    ASSERT_EQ(slot.piece_count, 1);
    const road_coll_piece_t& piece = slot.piece(0);
    EXPECT_EQ(piece.index_count, 3u);
    EXPECT_EQ(piece.materials[0], uint32_t{road_coll_object});
    // Node 1 without a placement of its own: turned 90 degrees, standing on its node.
    EXPECT_NEAR(piece.vertices[0].x, 3000.0f, 1e-3f);
    EXPECT_NEAR(piece.vertices[1].y, 500.0f, 1e-3f);
    EXPECT_NEAR((piece.vertices[2] - piece.vertices[0]).length(), 50.0f, 1e-3f);
    slot.release(ctrl);
}

}  // namespace

namespace {

TEST_F(road_collision_test, a_city_road_stands_its_lamps_every_4000_from_the_middle)
{
    city_road_def_t city;
    city.bytes = 1;
    city.collision.positions = {{-400, 0, 0}, {400, 0, 0}, {-400, 0, 100}, {400, 0, 100}};
    city.collision.t = {0, 0, 1, 1};
    city.collision.indices = {0, 1, 2, 2, 1, 3};
    ctrl.seg_server->city_road_defs.push_back(city);
    cityblock_lamp_t lamp;
    lamp.collision.positions = {{0, 0, 0}, {0, 600, 0}, {20, 0, 0}};
    lamp.collision.indices = {0, 1, 2};
    ctrl.seg_server->cityblock_lamps.push_back(lamp);
    const struct {
        float length;
        int32_t objects;
    } cases[] = {
        {4000.0f, 1},   // first side at 2000; the second side's middle (0) is not above 0
        {10000.0f, 5},  // first side at 5000, 1000, 9000; second side at 3000, 7000
    };
    for (const auto& c : cases) {
        const int32_t street = road_edge({0, 0, 0}, {0, 0, -c.length});
        map_edge_t& edge = ctrl.edges[street];
        edge.kind = map_edge_city_road;
        edge.sides[0].vegetation = edge.sides[1].vegetation = 0;
        road_coll_seg_t slot;
        ASSERT_TRUE(slot.build_edge(ctrl, edge));
        const road_coll_piece_t& piece = slot.piece(0);
        EXPECT_EQ(triangles_of(piece, road_coll_city_road), 2);
        EXPECT_EQ(triangles_of(piece, road_coll_object), c.objects) << c.length;
        for (uint32_t i = 0; i < piece.index_count; ++i)
            ASSERT_LT(piece.indices[i], piece.vertex_count);
        slot.release(ctrl);
    }
}

}  // namespace
