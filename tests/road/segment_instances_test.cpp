#include <algorithm>
#include <cmath>
#include <vector>

#include "road_geometry_fixture.h"

namespace {

// Render slots of prefab and city-road edges with the instances their builds place: traffic lights,
// sign boards, street lights, city blocks and lane arrows.
class segment_instances_test : public road_geometry_test_t {
protected:
    void SetUp() override
    {
        road_geometry_test_t::SetUp();
        seg_server_t& server = *ctrl.seg_server;
        server.tr_lights.resize(2);
        server.cityblock_lamps.resize(1);
        server.sign_models.resize(1);
        server.sign_models[0].board_count = 1;
        server.sign_boards.resize(1);
        server.sign_boards[0].model = 0;
        for (int32_t kind = 0; kind < seg_arrow_kinds; ++kind) {
            arrow_positions[kind].resize(seg_arrow_quad_capacity * seg_arrow_quad_vertices);
            arrow_uvs[kind].resize(2 * seg_arrow_quad_capacity * seg_arrow_quad_vertices);
            arrows[kind] = seg_arrow_packet_t{{}, 0, 0, arrow_positions[kind].data(), arrow_uvs[kind].data()};
        }
        server.arrow_packets = arrows;
    }

    void TearDown() override
    {
        ctrl.release_render_slots();
        ctrl.seg_server->arrow_packets = nullptr;
        road_geometry_test_t::TearDown();
    }

    // A Cross of four arms 1000 from its centre at `centre`, one triangle drawn, placed with no turn;
    // node slot k's traffic-light entry is `lights[k]`.
    int32_t cross_edge(const vec3_t& centre, const int32_t (&lights)[4], const bool has_lights)
    {
        prefab_t prefab;
        const vec3_t arms[4] = {{0, 0, 1000}, {1000, 0, 0}, {0, 0, -1000}, {-1000, 0, 0}};
        for (const vec3_t& arm : arms) {
            prefab.nodes.emplace_back();
            prefab.nodes.back().position = arm;
        }
        prefab_part_t part;
        part.positions = {{0, 0, 0}, {100, 0, 0}, {0, 0, 100}};
        part.normals.assign(3, vec3_t(0, 1, 0));
        part.uvs.assign(6, 0.0f);
        part.indices = {0, 1, 2};
        prefab.parts.push_back(part);
        prefab_sign_t sign;
        sign.model_id = 0;
        sign.position = vec3_t(300, 0, 300);
        sign.destinations[0] = 1;
        prefab.signs.push_back(sign);
        ctrl.seg_server->prefab_table[seg_crosses].push_back(prefab);
        int32_t node_of[4];
        for (int32_t k = 0; k < 4; ++k)
            node_of[k] = node(centre + arms[k], {0, 0, -1});
        const int32_t index = ctrl.add_edge();
        map_edge_t& edge = ctrl.edges[index];
        edge = map_edge_t{};
        edge.kind = map_edge_cross;
        edge.definition = static_cast<int32_t>(ctrl.seg_server->prefab_table[seg_crosses].size()) - 1;
        edge.road_type = -1;
        edge.segment_slot = -1;
        std::copy(std::begin(node_of), std::end(node_of), edge.nodes);
        edge.sides[0] = map_edge_side_t{lights[0], lights[1], lights[2], lights[3], has_lights ? 1 : 0, 1.0f, -1};
        edge.sides[1] = map_edge_side_t{-1, -1, -1, -1, 0, 1.0f, -1};
        edge.sign = ctrl.add_sign();
        ctrl.signs[edge.sign] = map_sign_t{0, index, 0, {-1, -1, -1}, {-1, -1, -1}, 0, 0.0f};
        edge.stamp = edge.semaphore = -1;
        return index;
    }

    // City road 0: the flat road quad as its surface, 1000 long.
    void add_city_road_def()
    {
        const flat_road::flat_quad_t quad;
        const psm_part_t part = quad.part("road0");
        city_road_def_t def;
        def.part_count = 1;
        ASSERT_TRUE(
            road_section_import(part, {false, true, false, true, true, false, 0.0f}, def.parts[0], "flat", "road0"));
        def.bytes = def.parts[0].bytes();
        ctrl.seg_server->city_road_defs.push_back(def);
    }

    // A City Road along -z from the origin, 10000 long, with street lamp 0 on both sides and city block
    // `block` on its second side.
    int32_t city_road_edge(const int32_t block)
    {
        add_city_road_def();
        const int32_t index = road_edge({0, 0, 0}, {0, 0, -10000});
        map_edge_t& edge = ctrl.edges[index];
        edge.kind = map_edge_city_road;
        edge.sides[0].vegetation = edge.sides[1].vegetation = 0;
        edge.sides[1].profile = block;
        return index;
    }

    // A City Road along -z from (x, 0, 0) ending at node slot 0 of a Cross whose lanes 0, 1 and 2 reach
    // its left, straight and right exits.
    int32_t road_into_cross(const float x)
    {
        const int32_t road = city_road_edge(-1);
        map_edge_t& built = ctrl.edges[road];
        for (int32_t n = 0; n < 2; ++n)
            ctrl.nodes[built.nodes[n]].position.x += x;
        const int32_t lights[4] = {-1, -1, -1, -1};
        const int32_t cross = cross_edge({x, 0, -11000}, lights, false);
        map_edge_t& junction = ctrl.edges[cross];
        const int32_t end = ctrl.edges[road].nodes[1];
        junction.nodes[0] = end;
        ctrl.nodes[end].links[1] = cross;
        ctrl.nodes[end].link_kinds[1] = map_edge_cross;
        prefab_t& prefab = ctrl.seg_server->prefab_table[seg_crosses][static_cast<size_t>(junction.definition)];
        const int32_t exits[3] = {3, 1, 2};
        prefab.curves.resize(3);
        for (int32_t lane = 0; lane < 3; ++lane) {
            prefab.nodes[0].slots[lane][0] = lane;
            prefab.curves[static_cast<size_t>(lane)].exit_arms[exits[lane]] = 1;
        }
        return road;
    }

    seg_arrow_packet_t arrows[seg_arrow_kinds]{};
    std::vector<vec3_t> arrow_positions[seg_arrow_kinds];
    std::vector<float> arrow_uvs[seg_arrow_kinds];
};

TEST_F(segment_instances_test, a_built_cross_places_its_lamps_and_boards_and_gives_them_back_on_release)
{
    const int32_t index = cross_edge({5000, 0, 5000}, {1, -1, 0, -1}, true);
    seg_server_t& server = *ctrl.seg_server;
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    // Node slots 0 and 2 have light entries: lamps of models 1 and 0, the far node's flagged.
    ASSERT_EQ(slot.lamp_instances().size(), 2u);
    const lamp_instance_t& first = slot.lamp_instances()[0]->value();
    EXPECT_EQ(first.model, 1);
    EXPECT_EQ(first.flags, 0);
    // With no light places of its own a lamp stands opposite its node: node 0 at +z lights from -z.
    EXPECT_EQ(first.position, vec3_t(5000, 0, 4000));
    EXPECT_EQ(slot.lamp_instances()[1]->value().flags, 1);
    // The sign board stands at its place, keeps its sign record and was announced.
    ASSERT_EQ(slot.placed_count(), 1);
    EXPECT_EQ(slot.placed_items()[0]->value().position, vec3_t(5300, 0, 5300));
    EXPECT_EQ(ctrl.placed_boards, std::vector<int32_t>{ctrl.edges[index].sign});
    // Hiding the slot hides what it placed.
    slot.set_visible(false);
    EXPECT_EQ(slot.lamp_instances()[1]->value().visible, 0);
    EXPECT_EQ(slot.placed_items()[0]->value().visible, 0);
    slot.set_visible(true);
    EXPECT_EQ(slot.lamp_instances()[0]->value().visible, 1);
    slot.release(ctrl);
    EXPECT_EQ(slot.instance_count(), 0);
    EXPECT_EQ(server.lamps.count(), 0u);
    EXPECT_EQ(server.boards.count(), 0u);
    EXPECT_EQ(ctrl.removed_boards, ctrl.placed_boards);
}

TEST_F(segment_instances_test, a_cross_without_lights_or_a_preview_build_places_nothing)
{
    const int32_t unlit = cross_edge({0, 0, 0}, {0, 0, 0, 0}, false);
    const int32_t lit = cross_edge({20000, 0, 0}, {0, 0, 0, 0}, true);
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[unlit], false));
    EXPECT_TRUE(slot.lamp_instances().empty());
    EXPECT_EQ(slot.placed_count(), 1);
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[lit], true));
    EXPECT_EQ(slot.instance_count(), 0);
    EXPECT_EQ(slot.placed_count(), 0);
    EXPECT_EQ(ctrl.seg_server->lamps.count(), 0u);
    EXPECT_EQ(ctrl.seg_server->boards.count(), 0u);
    slot.release(ctrl);
}

TEST_F(segment_instances_test, a_city_road_places_lights_both_sides_and_holds_its_block_while_built)
{
    const int32_t block = ctrl.add_cityblock();
    ctrl.cityblocks[block] = map_cityblock_t{};
    const int32_t index = city_road_edge(block);
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    // 10000 long: the first side's lights at 5000, 1000 and 9000, the second side's at 3000 and 7000,
    // each 1300 beside the centre line.
    std::vector<float> first;
    std::vector<float> second;
    for (const light_instance_node_t* light : slot.light_instances())
        (light->value().position.x < 0.0f ? first : second).push_back(-light->value().position.z);
    EXPECT_EQ(first, (std::vector<float>{5000, 1000, 9000}));
    EXPECT_EQ(second, (std::vector<float>{3000, 7000}));
    EXPECT_FLOAT_EQ(slot.light_instances()[0]->value().position.x, -1300.0f);
    EXPECT_NE(ctrl.cityblocks[block].instance, 0u);
    slot.set_visible(false);
    EXPECT_EQ(slot.light_instances()[4]->value().visible, 0);
    slot.release(ctrl);
    EXPECT_EQ(ctrl.seg_server->lights.count(), 0u);
    EXPECT_EQ(ctrl.cityblocks[block].instance, 0u);
    // A preview build builds only the surface.
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], true));
    EXPECT_EQ(slot.instance_count(), 0);
    EXPECT_EQ(ctrl.cityblocks[block].instance, 0u);
    slot.release(ctrl);
}

TEST_F(segment_instances_test, lanes_before_a_cross_get_the_arrows_of_the_exits_they_reach)
{
    const int32_t road = road_into_cross(0.0f);
    prefab_t& prefab = ctrl.seg_server->prefab_table[seg_crosses].back();
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[road], false));
    EXPECT_EQ(slot.arrow_ids[0], -1);
    EXPECT_EQ(slot.arrow_ids[3], 0 << 24);
    EXPECT_EQ(slot.arrow_ids[4], 1 << 24);
    EXPECT_EQ(slot.arrow_ids[5], 3 << 24);
    // The left lane's arrow lies on the road 50 to 600 before the end node, 100 to 300 to its side.
    const vec3_t* quad = arrows[0].positions;
    EXPECT_FLOAT_EQ(quad[0].z, -9950.0f);
    EXPECT_FLOAT_EQ(quad[5].z, -9400.0f);
    EXPECT_FLOAT_EQ(std::min(std::fabs(quad[0].x), std::fabs(quad[1].x)), 100.0f);
    slot.release(ctrl);
    for (const seg_arrow_packet_t& packet : arrows)
        EXPECT_EQ(packet.quad_count, 0);
    EXPECT_EQ(slot.arrow_ids[5], -1);
    // When all three lanes lead the same way nothing is painted.
    for (int32_t lane = 0; lane < 3; ++lane)
        prefab.nodes[0].slots[lane][0] = 1;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[road], false));
    EXPECT_EQ(std::count(std::begin(slot.arrow_ids), std::end(slot.arrow_ids), -1), segment_arrow_ids);
    slot.release(ctrl);
}

// Where the plants of `slot` stand, in the order they were placed.
std::vector<vec3_t> plant_positions(const segment_t& slot)
{
    std::vector<vec3_t> positions;
    for (const model_instance_node_t* plant : slot.model_instances())
        positions.push_back(plant->value().position);
    return positions;
}

TEST_F(segment_instances_test, vegetation_is_scattered_on_its_columns_and_the_same_on_a_rebuild)
{
    seg_server_t& server = *ctrl.seg_server;
    server.veg_models.resize(1);
    veg_look_t look;
    look.models[0] = look.models[1] = look.models[2] = look.models[3] = 0;
    look.first_column = 1;
    look.column_count = 2;
    look.spacing = 300.0f;
    server.veg_looks.push_back(look);
    // A look whose columns all lie beyond its strip scatters nothing.
    look.first_column = 5;
    server.veg_looks.push_back(look);
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -9500});
    ctrl.edges[index].sides[1].vegetation = 0;
    ctrl.edges[index].sides[0].vegetation = 1;
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    const std::vector<vec3_t> first = plant_positions(slot);
    // Nine rows of 1000 (none on the last) at about one plant per 300.
    EXPECT_GT(first.size(), 20u);
    EXPECT_LT(first.size(), 40u);
    for (const vec3_t& at : first) {
        // Columns 1 and 2 of the second side's strip: from 100 to 900 beyond the road's edge.
        EXPECT_GE(std::fabs(at.x), half_width + 100.0f - 1e-2f);
        EXPECT_LE(std::fabs(at.x), half_width + 900.0f + 1e-2f);
        EXPECT_GE(at.z, -9000.0f - 1e-2f);
    }
    slot.set_visible(false);
    EXPECT_EQ(slot.model_instances().back()->value().visible, 0);
    slot.release(ctrl);
    EXPECT_EQ(server.veg_models[0].instances->count(), 0u);
    ASSERT_TRUE(slot.build(ctrl, ctrl.edges[index], false));
    EXPECT_EQ(plant_positions(slot), first);
    slot.release(ctrl);
}

TEST_F(segment_instances_test, a_road_places_its_run_of_signs_and_no_sign_of_another_edge)
{
    const int32_t index = road_edge({0, 0, 0}, {0, 0, -10000});
    const int32_t other = road_edge({50000, 0, 0}, {50000, 0, -10000});
    map_edge_t& edge = ctrl.edges[index];
    edge.sign = ctrl.add_sign();
    ctrl.signs[edge.sign] = map_sign_t{0, index, 600, {-1, -1, -1}, {-1, -1, -1}, 0, 0.5f};
    const int32_t second = ctrl.add_sign();
    ctrl.signs[second] = map_sign_t{0, index, -600, {-1, -1, -1}, {-1, -1, -1}, 1u << 28, 0.25f};
    ctrl.signs[ctrl.add_sign()] = map_sign_t{0, other, 0, {-1, -1, -1}, {-1, -1, -1}, 0, 0.5f};
    segment_t slot;
    ASSERT_TRUE(slot.build(ctrl, edge, false));
    ASSERT_EQ(slot.placed_count(), 2);
    const vec3_t middle = slot.placed_items()[0]->value().position;
    EXPECT_NEAR(middle.z, -5000.0f, 1e-2f);
    EXPECT_NEAR(std::fabs(middle.x), 600.0f, 1e-2f);
    // The second faces back along the road, so its offset lies on the same side as the first's.
    const vec3_t quarter = slot.placed_items()[1]->value().position;
    EXPECT_NEAR(quarter.z, -2500.0f, 1e-2f);
    EXPECT_NEAR(quarter.x, middle.x, 1e-2f);
    EXPECT_EQ(ctrl.placed_boards, (std::vector<int32_t>{edge.sign, second}));
    slot.release(ctrl);
    EXPECT_EQ(ctrl.seg_server->boards.count(), 0u);
    EXPECT_EQ(ctrl.removed_boards.size(), 2u);
}

TEST_F(segment_instances_test, a_slot_keeps_at_most_512_instances_and_gives_back_what_it_kept_without_an_edge)
{
    seg_server_t& server = *ctrl.seg_server;
    server.veg_models.resize(1);
    segment_t slot;
    for (int32_t i = 0; i < segment_max_instances; ++i)
        ASSERT_TRUE(slot.keep_instance(server.add_model_instance(0, {}, {0, 1, 0}, 0)));
    model_instance_node_t* const extra = server.add_model_instance(0, {}, {0, 1, 0}, 0);
    EXPECT_FALSE(slot.keep_instance(extra));
    EXPECT_FALSE(slot.keep_instance(static_cast<light_instance_node_t*>(nullptr)));
    server.remove_model_instance(extra);
    // A slot that holds no edge (a build that failed half way) still gives back what it kept.
    slot.release(ctrl);
    EXPECT_EQ(slot.instance_count(), 0);
    EXPECT_EQ(server.veg_models[0].instances->count(), 0u);
}

TEST_F(segment_instances_test, freeing_an_arrow_rewrites_the_id_of_the_slot_whose_quad_took_its_place)
{
    const int32_t first = road_into_cross(0.0f);
    const int32_t second = road_into_cross(50000.0f);
    segment_t& a = *ctrl.segment_slot(0);
    segment_t& b = *ctrl.segment_slot(1);
    ASSERT_TRUE(a.build(ctrl, ctrl.edges[first], false));
    ctrl.edges[first].segment_slot = 0;
    ASSERT_TRUE(b.build(ctrl, ctrl.edges[second], false));
    ctrl.edges[second].segment_slot = 1;
    EXPECT_EQ(b.arrow_ids[3], (0 << 24) + 6);
    // The second road's left arrow moves into the first's freed place and its slot follows it.
    a.release(ctrl);
    ctrl.edges[first].segment_slot = -1;
    EXPECT_EQ(b.arrow_ids[3], 0 << 24);
    EXPECT_EQ(b.arrow_ids[4], 1 << 24);
    EXPECT_FLOAT_EQ(arrows[0].positions[0].x, 50000.0f + 100.0f);
    // Removing the last quads moves nothing.
    b.release(ctrl);
    for (const seg_arrow_packet_t& packet : arrows)
        EXPECT_EQ(packet.quad_count, 0);
}

}  // namespace
