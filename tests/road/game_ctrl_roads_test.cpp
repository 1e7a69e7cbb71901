#include <algorithm>

#include "engine/gfx_record.h"
#include "game_ctrl_fixture.h"
#include "road/map_file.h"
#include "road/road_section.h"

namespace {

using game_ctrl_roads_test = game_ctrl_test_t;

// A map of one straight Road edge 5000 long from the origin along -z, of road definition 0.
void write_one_road_map()
{
    road_network_t map;
    const int32_t start = map.add_node({0, 0, 0});
    const int32_t end = map.add_node({0, 0, -5000});
    map.nodes[start].direction = map.nodes[end].direction = vec3_t(0, 0, -1);
    map_edge_t& edge = map.edges[map.add_edge()];
    edge.kind = map_edge_road;
    edge.road_type = 0;
    edge.nodes[0] = start;
    edge.nodes[1] = end;
    edge.nodes[2] = edge.nodes[3] = -1;
    for (map_edge_side_t& side : edge.sides)
        side = map_edge_side_t{-1, -1, -1, 0, 2, 1.0f, -1};
    edge.length = 5000.0f;
    edge.centre_word = -1;
    edge.sign = edge.stamp = edge.semaphore = -1;
    edge.bounds.set_empty();
    edge.bounds.add_point(-2000, -100, -5000);
    edge.bounds.add_point(2000, 100, 0);
    map.nodes[start].links[1] = 0;
    map.nodes[end].links[0] = 0;
    ASSERT_GT(map_file_save(map, "/maps/one_road.mbd"), 0);
}

// A flat road definition 800 wide and 1000 long.
road_def_t flat_road_def()
{
    const vec3_t positions[4] = {{-400, 0, 0}, {400, 0, 0}, {-400, 0, 1000}, {400, 0, 1000}};
    const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
    const uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    psm_part_t part{};
    part.name = "road";
    part.vertex_count = 4;
    part.positions = positions;
    part.uvs = uvs;
    part.index_count = 6;
    part.indices = indices;
    road_def_t def;
    def.part_count = 1;
    road_section_import(part, {false, true, false, true, true, false, 0.0f}, def.parts[0], "flat", "road");
    road_section_import(part, {false, false, true, true, true, false, 0.0f}, def.collision, "flat", "coll");
    def.bytes = def.parts[0].bytes() + def.collision.bytes();
    return def;
}

TEST_F(game_ctrl_roads_test, the_draw_streams_the_road_near_the_camera_into_packets_and_tells_the_traffic)
{
    write_one_road_map();
    bridge->set_map_path("one_road");
    game_ctrl_e ctrl;
    ASSERT_EQ(init_ctrl(ctrl), 0);
    ASSERT_NE(ctrl.item_tree(), nullptr);
    ctrl.seg_server->road_defs.push_back(flat_road_def());
    // The camera stands at the origin (the reset view): the road is in reach.
    ctrl.draw();
    const std::vector<gfx_recorded_proto_t>& protos = gfx_record_current().protos;
    const auto road_packets = std::count_if(protos.begin(), protos.end(), [](const gfx_recorded_proto_t& proto) {
        return proto.vertex_declaration == "segment_vpd_vertex";
    });
    EXPECT_EQ(road_packets, 2);  // the road surface and the terrain strips
    EXPECT_EQ(ctrl.edges[0].segment_slot, 0);
    EXPECT_FALSE(parts->roads.empty());
    ctrl.destroy(0);
    ctrl.destroy(10);
}

}  // namespace
