#include "road/road_network.h"
#include "road/seg_server.h"
#include "road_fixture.h"

namespace {

class seg_map_check_test : public road_test_t {};

TEST_F(seg_map_check_test, a_map_naming_definitions_the_server_lacks_is_reported_record_by_record)
{
    seg_server_t server;
    server.road_defs.resize(1);
    server.prefab_table[seg_crosses].resize(2);
    road_network_t network;
    const struct {
        int32_t kind;
        int32_t definition;
    } edges[] = {
        {map_edge_road, 0}, {map_edge_road, 1}, {map_edge_cross, 1}, {map_edge_fork, 0}, {map_edge_city_road, -1}};
    for (const auto& e : edges) {
        const int32_t index = network.add_edge();
        network.edges[index].kind = e.kind;
        network.edges[index].definition = e.definition;
    }
    EXPECT_EQ(server.check_map_indices(network, "/maps/other.mbd"), 3);
    EXPECT_EQ(engine_log_matching("Map /maps/other.mbd names definitions").size(), 1u);
    EXPECT_EQ(engine_log_matching("edge 1 names definition 1").size(), 1u);
    EXPECT_EQ(engine_log_matching("edge 3 names definition 0").size(), 1u);
    EXPECT_EQ(engine_log_matching("edge 4 names definition -1").size(), 1u);
}

}  // namespace
