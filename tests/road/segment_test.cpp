#include "road/segment.h"

#include <algorithm>

#include "road/road_coll_seg.h"

#include <cmath>

#include "engine/cache.h"
#include "engine/gfx_record.h"
#include "road_geometry_fixture.h"
#include "world/environment_colour.h"

namespace {

using segment_test = road_geometry_test_t;

// The position in `layer` farthest along -z.
vec3_t farthest_along_minus_z(const segment_layer_t& layer)
{
    vec3_t best = layer.positions[0];
    for (int32_t v = 1; v < layer.vertex_count; ++v)
        if (layer.positions[v].z < best.z)
            best = layer.positions[v];
    return best;
}

TEST_F(segment_test, a_road_edge_is_swept_row_by_row_with_its_terrain_meeting_the_road)
{
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -9500});
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    EXPECT_EQ(slot.edge_index, index);
    EXPECT_EQ(ctrl.built, std::vector<int32_t>{index});
    // 9500 / 1000 rounds up to 10 rows; one road layer and one terrain layer (every shader the fallback).
    EXPECT_EQ(slot.subdivision_count, 10);
    EXPECT_EQ(slot.piece_count, 1);
    ASSERT_EQ(slot.layer_count, 2);
    const segment_layer_t& road = slot.layer_at(0, 0);
    // Row 0 writes all four template vertices, every later row only the two at its end.
    EXPECT_EQ(road.vertex_count, 4 + 2 * 9);
    EXPECT_EQ(road.index_count, 6 * 10);
    for (int32_t i = 0; i < road.index_count; ++i)
        ASSERT_LT(road.indices[i], road.vertex_count);
    // The last row ends on the end node exactly.
    EXPECT_FLOAT_EQ(farthest_along_minus_z(road).z, -9500.0f);
    // Terrain: (2 + 3) cells per row, four vertices each.
    const segment_layer_t& terrain = slot.layer_at(0, 1);
    EXPECT_EQ(terrain.vertex_count, 4 * 5 * 10);
    // Column 0 of each strip is the road's own outer vertex on every row.
    for (int side = 0; side < 2; ++side) {
        const int32_t width = side == 0 ? 2 : 3;
        for (int32_t row = 0; row <= 10; ++row) {
            const vec3_t edge_point = slot.grid_positions[side][static_cast<size_t>(row * (width + 1))];
            bool on_road = false;
            for (int32_t v = 0; v < road.vertex_count; ++v)
                on_road |= (road.positions[v] - edge_point).length() < 1e-3f;
            EXPECT_TRUE(on_road) << "side " << side << " row " << row;
            EXPECT_NEAR(std::fabs(edge_point.x), half_width, 1e-3f);
        }
    }
    // Flat terrain with flat profiles faces up.
    for (int32_t v = 0; v < terrain.vertex_count; ++v)
        ASSERT_GT(terrain.normals[v].y, 0.0f);
    slot.release(ctrl);
    EXPECT_EQ(ctrl.freed, std::vector<int32_t>{index});
    EXPECT_EQ(ctrl.segment_blocks.live(), 0u);
}

TEST_F(segment_test, a_long_wide_road_is_cut_into_pieces_that_fit_their_blocks)
{
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -150000}, 32, 32);
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    ASSERT_GT(slot.piece_count, 1);
    int32_t rows = 0;
    for (int32_t piece = 0; piece < slot.piece_count; ++piece) {
        const segment_layer_t& road = slot.layer_at(piece, 0);
        const segment_layer_t& terrain = slot.layer_at(piece, 1);
        EXPECT_LE(32 * (road.vertex_count + terrain.vertex_count) + 2 * (road.index_count + terrain.index_count),
                  segment_block_bytes);
        rows += road.index_count / 6;
        EXPECT_FALSE(slot.piece_at(piece).bounds.empty());
    }
    EXPECT_EQ(rows, 150);
    EXPECT_FLOAT_EQ(farthest_along_minus_z(slot.layer_at(slot.piece_count - 1, 0)).z, -150000.0f);
    slot.release(ctrl);
}

TEST_F(segment_test, failed_and_terrain_only_builds_tell_the_controller_nothing)
{
    const int32_t broken = road_edge({0, 0, 0}, {0, 0, -5000});
    ctrl.edges[broken].definition = -1;
    const int32_t strip = road_edge({0, 0, -5000}, {0, 0, -10000});
    ctrl.edges[strip].flags |= map_edge_terrain_only;
    segment_t slot;
    EXPECT_FALSE(slot.build(ctrl, ctrl.edges[broken], false));
    EXPECT_EQ(slot.edge_index, -1);
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[strip], false));
    // Only the second side: 3 cells per row of 400, no transition layer, no road layer.
    EXPECT_EQ(slot.subdivision_count, 13);
    EXPECT_EQ(slot.layer_count, 1);
    EXPECT_EQ(slot.layer_at(0, 0).vertex_count, 4 * 3 * 13);
    EXPECT_EQ(slot.grid_points[0], 0u);
    slot.release(ctrl);
    EXPECT_TRUE(ctrl.built.empty());
    EXPECT_TRUE(ctrl.freed.empty());
}

TEST_F(segment_test, a_preview_build_keeps_the_sign_and_never_holds_the_edge)
{
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -3000});
    ctrl.edges[index].sign = 5;
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], true));
    EXPECT_EQ(ctrl.edges[index].sign, 5);
    EXPECT_EQ(slot.edge_index, -1);
    EXPECT_TRUE(ctrl.built.empty());
    slot.release(ctrl);
    EXPECT_TRUE(ctrl.freed.empty());
}

TEST_F(segment_test, a_prefab_turned_twice_is_mirrored_about_its_anchor_node)
{
    prefab_t prefab;
    prefab.nodes.resize(2);
    prefab.nodes[0].position = vec3_t(0, 0, 0);
    prefab.nodes[1].position = vec3_t(1000, 50, 0);
    prefab_part_t part;
    part.positions = {{1000, 50, 0}, {1500, 80, 300}, {1000, 50, 600}};
    part.normals.assign(3, vec3_t(0, 1, 0));
    part.uvs.assign(6, 0.0f);
    part.indices = {0, 1, 2};
    part.radius = 500.0f;
    prefab.parts.push_back(part);
    ctrl.seg_server->prefab_table[seg_prefabs].push_back(prefab);
    const int32_t anchor = node({5000, 10, 5000}, {0, 0, -1});
    const int32_t other = node({6000, 10, 5000}, {0, 0, -1});
    const int32_t index = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[index];
    edge.kind = map_edge_prefab;
    edge.definition = 0;
    edge.road_type = -1;
    edge.nodes[0] = anchor;
    edge.nodes[1] = other;
    edge.nodes[2] = edge.nodes[3] = -1;
    edge.centre_word = 1;  // prefab node 1 sits on the edge's start node
    edge.flags = 2;        // two quarter turns
    edge.sign = -1;
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, edge, false));
    const segment_layer_t& layer = slot.layer_at(0, 0);
    ASSERT_EQ(layer.vertex_count, 3);
    // Point-mirrored in x and z about the anchor; heights are moved, never turned.
    EXPECT_EQ(layer.positions[0], vec3_t(5000, 10, 5000));
    EXPECT_EQ(layer.positions[1], vec3_t(4500, 40, 4700));
    EXPECT_EQ(layer.positions[2], vec3_t(5000, 10, 4400));
    EXPECT_FLOAT_EQ(layer.radius, 500.0f);
    slot.release(ctrl);
}

// A prefab part whose shader entry is plain is lit by the world's lights; any other is drawn with the
// environment's light colour on every vertex and no lights.
TEST_F(segment_test, prefab_parts_are_lit_by_the_lights_or_coloured_by_the_environment_by_their_shader)
{
    prefab_t prefab;
    prefab.nodes.resize(1);
    for (const int32_t slot : {0, 1}) {
        prefab_part_t part;
        part.positions = {{0, 0, 0}, {500, 0, 300}, {0, 0, 600}};
        part.normals.assign(3, vec3_t(0, 1, 0));
        part.uvs.assign(6, 0.0f);
        part.indices = {0, 1, 2};
        part.shader_slot = slot;
        prefab.parts.push_back(part);
    }
    ctrl.seg_server->prefab_table[seg_prefabs].push_back(prefab);
    ctrl.seg_server->prefab_shaders.reset(2);
    ctrl.seg_server->prefab_shaders[0].flag = 1;
    prefab_look_t look;
    look.slots[0] = 0;
    look.slots[1] = 1;
    ctrl.seg_server->prefab_looks.push_back(look);
    const int32_t index = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[index];
    edge.kind = map_edge_prefab;
    edge.definition = 0;
    edge.road_type = 0;
    edge.nodes[0] = node({0, 0, 0}, {0, 0, -1});
    edge.nodes[1] = edge.nodes[2] = edge.nodes[3] = -1;
    edge.centre_word = 0;
    edge.sign = -1;
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, edge, false));
    set_environment_light(vec3_t(0, 1, 0), vec3_t(0.25f, 0.25f, 0.25f), vec3_t(0.25f, 0.5f, 0.0f));
    r_light_t light;
    c_item_t item{};
    item.object = &light;
    const std::vector<c_item_t*> lights{&item};
    slot.draw(nullptr, &lights);
    const std::vector<gfx_recorded_proto_t>& protos = gfx_record_current().protos;
    ASSERT_EQ(protos.size(), 2u);
    EXPECT_TRUE(protos[0].lit_by_light);
    EXPECT_TRUE(protos[0].geometry.colours.empty());
    EXPECT_FALSE(protos[1].lit_by_light);
    EXPECT_EQ(protos[1].geometry.colours, std::vector<uint32_t>(3, 0xFF7FBF3Fu));
    reset_environment_light_colour();
    slot.release(ctrl);
}

TEST_F(segment_test, a_shown_slot_queues_one_prototype_per_filled_layer)
{
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -3000});
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    slot.draw(nullptr, nullptr);
    const gfx_frame_record_t& frame = gfx_record_current();
    ASSERT_EQ(frame.protos.size(), 2u);
    EXPECT_EQ(frame.protos[0].vertex_declaration, "segment_vpd_vertex");
    EXPECT_EQ(frame.protos[0].index_declaration, "segment_ipd");
    EXPECT_EQ(frame.protos[0].geometry.vertex_count(), slot.layer_at(0, 0).vertex_count);
    // A box away from the edge draws nothing of it.
    const cd_bounds_t far_box = box_at({100000, 0, 100000}, 100);
    slot.draw(&far_box, nullptr);
    EXPECT_EQ(gfx_record_current().protos.size(), 2u);
    slot.release(ctrl);
}

}  // namespace

namespace {

TEST_F(segment_test, railings_start_and_end_their_run_unless_the_next_edge_goes_on_with_them)
{
    add_railing();
    const int32_t first = road_edge({0, 0, 0}, {0, 0, -5000}, 0, 0);
    const int32_t next = road_edge({0, 0, -5000}, {0, 0, -9000}, 0, 0);
    for (const int32_t edge : {first, next})
        ctrl.edges[edge].sides[1].railing = 0;
    ctrl.edges[first].sides[0].railing = 0;
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[first], false));
    // Road, first side's railing, second side's railing, the (empty) transition terrain.
    ASSERT_EQ(slot.layer_count, 1 + 2 + 1);
    const segment_layer_t& first_side = slot.layer_at(0, 1);
    const segment_layer_t& second_side = slot.layer_at(0, 2);
    // First side: begin and end pieces (4 each) and three swept rows (4, then 2 a row).
    EXPECT_EQ(first_side.vertex_count, 4 + 4 + 8);
    // Second side: the next edge carries the same railing there, so no end piece: 4 swept rows.
    EXPECT_EQ(second_side.vertex_count, 4 + 10);
    for (const segment_layer_t* layer : {&first_side, &second_side}) {
        EXPECT_EQ(layer->index_count, 6 * 5);
        for (int32_t i = 0; i < layer->index_count; ++i)
            ASSERT_LT(layer->indices[i], layer->vertex_count);
        for (int32_t v = 0; v < layer->vertex_count; ++v)
            ASSERT_NEAR(std::fabs(layer->positions[v].x), half_width, 1e-3f);
    }
    slot.release(ctrl);

    // The collision of the same edge has the railings' triangles, two per row and side.
    road_coll_seg_t coll;
    ASSERT_TRUE(coll.build_edge(ctrl, ctrl.edges[first]));
    const road_coll_piece_t& piece = coll.piece(0);
    EXPECT_EQ(std::count(piece.materials, piece.materials + piece.index_count / 3, uint32_t{road_coll_railing}),
              2 * 5 * 2);
    for (uint32_t i = 0; i < piece.index_count; ++i)
        ASSERT_LT(piece.indices[i], piece.vertex_count);
    coll.release(ctrl);
}

}  // namespace

namespace {

TEST_F(segment_test, a_stamp_paints_its_brush_cells_with_blend_layers_but_never_the_transition_column)
{
    write_data_file("defs/seg_server/road_segs.def", R"(road_segs {
    road_shader_count = 1
    road_shader0 = /shaders/road/asphalt.shd
    terrain_shader_count = 2
    terrain_shader0 = /shaders/terrain/grass.shd
    terrain_shader1 = /shaders/terrain/sand.shd
    trans_shader_count = 1
    trans_shader0 = /shaders/trans/asphalt_grass.shd
    ter_trans_count = 1
    ter_trans_prefix = /shaders/blend/
    tt0 = "grass;sand"
})");
    ctrl.seg_server->unload();
    ASSERT_GT(ctrl.seg_server->load(), 0);
    add_flat_road_def();
    // A brush of 2 rows by 3 columns whose cells step from grass to sand.
    static int32_t cells[6] = {0, 5, 15, 5, 10, 15};
    brush_t brush;
    brush.width = 2;
    brush.height = 3;
    brush.cells = cells;
    ctrl.seg_server->brushes.push_back(brush);
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -6000}, 0, 3);
    map_edge_t& edge = ctrl.edges[index];
    edge.road_type = 0;
    edge.sides[0].terrain = edge.sides[1].terrain = 0;
    edge.stamp = ctrl.add_stamp_group();
    ASSERT_GE(edge.stamp, 0);
    ctrl.stamps[edge.stamp] = map_stamp_t{0, 1, 3, 1};  // centre row 3, column 1 of the second side
    for (int32_t i = 1; i < map_stamp_group_size; ++i)
        ctrl.stamps[edge.stamp + i] = map_stamp_t{-1, -1, 0, 0};
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, edge, false));
    // Road; the transition of both sides, grass; then the brush's shaders in cell order: step 5, sand
    // (step 15), step 10.
    ASSERT_EQ(slot.layer_count, 1 + 2 + 3);
    int32_t terrain_vertices = 0;
    for (int32_t layer = 1; layer < slot.layer_count; ++layer)
        terrain_vertices += slot.layer_at(0, layer).vertex_count;
    EXPECT_EQ(terrain_vertices, 4 * 3 * 6);
    // The brush covers rows 2 and 3 and columns 0 to 2, but column 0 stays the transition: row 2 gets
    // cells 5 and 15, row 3 cells 10 and 15.
    EXPECT_EQ(slot.layer_at(0, 1).vertex_count, 4 * 6);
    EXPECT_EQ(slot.layer_at(0, 3).vertex_count, 4 * 1);
    EXPECT_EQ(slot.layer_at(0, 4).vertex_count, 4 * 2);
    EXPECT_EQ(slot.layer_at(0, 5).vertex_count, 4 * 1);
    slot.release(ctrl);
}

}  // namespace

namespace {

TEST_F(segment_test, strip_widths_from_a_map_are_held_to_the_profile_and_bad_prefab_data_is_not_built)
{
    // A width far past the profile's 32 columns, and a negative one.
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -1000}, 1000, -5);
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    EXPECT_EQ(slot.layer_at(0, 1).vertex_count, 4 * 32);
    EXPECT_EQ(slot.grid_points[1], 0u);
    slot.release(ctrl);

    // A prefab part whose index names no vertex, and one whose look slot is unset (fallback shader).
    prefab_t prefab;
    prefab_part_t part;
    part.positions = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
    part.normals.assign(3, vec3_t(0, 1, 0));
    part.uvs.assign(6, 0.0f);
    part.indices = {0, 1, 3};
    prefab.parts.push_back(part);
    ctrl.seg_server->prefab_table[seg_forks].push_back(prefab);
    const int32_t at = node({0, 0, 0}, {0, 0, -1});
    const int32_t fork = ctrl.add_edge();
    map_edge_t& edge = ctrl.edges[fork];
    edge.kind = map_edge_fork;
    edge.definition = 0;
    edge.road_type = 7;  // no such look
    edge.nodes[0] = edge.nodes[1] = at;
    edge.sides[0].vegetation = -1;
    edge.sign = -1;
    EXPECT_FALSE(slot.build(ctrl, edge, false));
    EXPECT_EQ(ctrl.segment_blocks.live(), 0u);
    ctrl.seg_server->prefab_table[seg_forks][0].parts[0].indices = {0, 1, 2};
    ASSERT_TRUE(slot.build(ctrl, edge, false));
    EXPECT_EQ(slot.layer_at(0, 0).vertex_count, 3);
    slot.release(ctrl);
}

}  // namespace

namespace {

using seg_scratch_test = road_test_t;

TEST_F(seg_scratch_test, grows_in_64_kb_steps_and_is_trimmed_back_to_128_kb)
{
    seg_scratch_t scratch;
    vec3_t* arrays[4];
    // Requests in bytes of 24 per point: 70000, 10000, 200000, then 1000.
    const struct {
        int32_t points;
        size_t capacity;
    } steps[] = {{2917, 131072}, {417, 131072}, {8334, 262144}, {42, 131072}};
    for (const auto& step : steps) {
        ASSERT_TRUE(scratch.request(step.points, 0, arrays));
        EXPECT_EQ(scratch.capacity(), step.capacity) << step.points;
    }
    ASSERT_TRUE(scratch.request(3, 2, arrays));
    EXPECT_EQ(arrays[1] - arrays[0], 3);
    EXPECT_EQ(arrays[2] - arrays[1], 2);
    EXPECT_EQ(arrays[3] - arrays[2], 3);
    EXPECT_EQ(arrays[0][0], vec3_t());
    EXPECT_FALSE(scratch.request(-1, 0, arrays));
}

}  // namespace
