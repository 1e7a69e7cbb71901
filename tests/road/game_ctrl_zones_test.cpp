#include "engine/geometry.h"
#include "engine/log.h"
#include "game_ctrl_fixture.h"
#include "road/map_file.h"
#include "road/prefab.h"

namespace {

// A Prefab edge on node 0 with its semaphores from 0 and the dock of trader 2.
map_edge_t ctrl_edge_template()
{
    map_edge_t edge{};
    edge.kind = map_edge_prefab;
    edge.nodes[0] = 0;
    edge.nodes[1] = edge.nodes[2] = edge.nodes[3] = -1;
    edge.sign = edge.stamp = -1;
    edge.semaphore = 0;
    for (map_edge_side_t& side : edge.sides)
        side.profile = -1;
    edge.sides[0].vegetation = 2;
    return edge;
}

// A controller whose segment server holds prefabs but no map yet.
class zones_test : public game_ctrl_test_t {
protected:
    void SetUp() override
    {
        game_ctrl_test_t::SetUp();
        ctrl.bridge = bridge.get();
        ctrl.seg_server = new seg_server_t;
    }
    void TearDown() override
    {
        ctrl.destroy(0);
        game_ctrl_test_t::TearDown();
    }
    // A Prefab edge placed on a new node at `start`, turned by `turns`, of prefab `definition`.
    int32_t prefab_edge(const vec3_t& start, const uint32_t turns, const int32_t definition)
    {
        const int32_t node = ctrl.add_node(start);
        const int32_t index = ctrl.add_edge();
        map_edge_t& edge = ctrl.edges[index];
        edge.kind = map_edge_prefab;
        edge.nodes[0] = node;
        edge.nodes[1] = edge.nodes[2] = edge.nodes[3] = -1;
        edge.flags = turns;
        edge.definition = definition;
        edge.sign = -1;
        edge.segment_slot = -1;
        return index;
    }
    game_ctrl_e ctrl;
};

TEST_F(zones_test, a_prefab_of_seventeen_curves_gives_the_traffic_three_roads)
{
    road_network_t map;
    map.add_node({});
    map_edge_t& edge = map.edges[map.add_edge()];
    edge = ctrl_edge_template();
    map.semaphore_count = 17 + 16;
    ASSERT_GT(map_file_save(map, "/maps/one.mbd"), 0);
    bridge->set_map_path("one");
    ASSERT_EQ(init_ctrl(ctrl), 0);
    // The sample game's prefabs are not in this test's data: the prefab stands in for them.
    prefab_t big;
    big.curves.resize(17);
    ctrl.seg_server->prefab_table[seg_prefabs].push_back(big);
    ctrl.on_segment_built(0);
    EXPECT_EQ(parts->roads, (std::vector<int32_t>{6000 * 50, 6000 * 50 + 1, 6000 * 50 + 2}));
    ctrl.on_edge_built(0);
    EXPECT_EQ(parts->docks, (std::vector<std::pair<int32_t, int32_t>>{{0, 2}}));
    ctrl.on_edge_freed(0);
    EXPECT_TRUE(parts->docks.empty());
}

TEST_F(zones_test, service_points_become_station_items_placed_by_the_edge_turn)
{
    prefab_t site;
    site.nodes.resize(1);
    site.stations[0] = {5, {100, 0, 0}, {0, 0, 200}};
    site.stations[1] = {4, {0, 0, 0}, {}};
    ctrl.seg_server->prefab_table[seg_prefabs].push_back(site);
    prefab_edge({1000, 50, 1000}, 1, 0);
    ctrl.add_service_points();
    ASSERT_EQ(ctrl.miscitems.count, 3);
    EXPECT_EQ(ctrl.miscitems[0].type, map_misc_gas_station);
    EXPECT_EQ(ctrl.miscitems[1].type, map_misc_gas_station);
    EXPECT_EQ(ctrl.miscitems[2].type, map_misc_dealer);
    EXPECT_EQ(ctrl.miscitems[2].params[1], 0);
    // Turned by one quarter: (100, 0, 0) lies at the start node + (0, 0, -100).
    EXPECT_EQ(ctrl.miscitems[0].points[0], vec3_t(1000, 50, 900));
    EXPECT_EQ(ctrl.miscitems[1].points[0], vec3_t(1200, 50, 1000));
    EXPECT_EQ(ctrl.miscitems[0].bounds.minimum[0], 700.0f);
    EXPECT_EQ(ctrl.miscitems[2].bounds.maximum[0], 2000.0f);
}

TEST_F(zones_test, free_items_and_prefabs_keep_their_no_weather_boxes_dry_turned_and_moved)
{
    // Model 0 keeps a box dry, model 1 none; a free item of each, and one naming no model.
    ctrl.seg_server->freeitem_models.resize(2);
    ctrl.seg_server->freeitem_models[0].noweather[0] = {100, 0, 0};
    ctrl.seg_server->freeitem_models[0].noweather[1] = {300, 400, 200};
    for (const int32_t model : {0, 1, 7}) {
        map_freeitem_t& free = ctrl.freeitems[ctrl.add_freeitem()];
        free.model = model;
        free.position = {5000, 10, 5000};
        free.rotation = {0, 90, 0};
    }
    prefab_t shed;
    shed.nodes.resize(1);
    shed.noweather[1][0] = {50, 0, 0};
    shed.noweather[1][1] = {150, 300, 100};
    ctrl.seg_server->prefab_table[seg_prefabs].push_back(shed);
    prefab_edge({1000, 50, 1000}, 2, 0);
    ctrl.add_noweather_items();
    ASSERT_EQ(ctrl.miscitems.count, 2);
    const vec3_t a = point_rotate(vec3_t(100, 0, 0), vec3_t(0, 90, 0)) + vec3_t(5000, 10, 5000);
    const vec3_t b = point_rotate(vec3_t(300, 400, 200), vec3_t(0, 90, 0)) + vec3_t(5000, 10, 5000);
    const map_miscitem_t& free_box = ctrl.miscitems[0];
    EXPECT_EQ(free_box.type, map_misc_no_weather);
    EXPECT_NEAR(free_box.points[1].x, std::min(a.x, b.x), 0.01f);
    EXPECT_NEAR(free_box.points[2].z, std::max(a.z, b.z), 0.01f);
    EXPECT_NEAR(free_box.points[3].y, 210.0f, 0.01f);
    // The prefab's box turned by a half turn and moved to the edge's start node.
    EXPECT_EQ(ctrl.miscitems[1].points[1], vec3_t(850, 50, 900));
    EXPECT_EQ(ctrl.miscitems[1].points[2], vec3_t(950, 350, 1000));
}

TEST_F(zones_test, hazards_read_their_rows_refuse_unknown_prefabs_and_redraw_off_screen)
{
    ctrl.seg_server->prefab_table[seg_prefabs].resize(4);
    ctrl.seg_server->prefab_table[seg_prefabs][2].signs.emplace_back().model_id = 5;
    write_data_file("defs/seg_server/prefabs.def",
                    "prefabs { road_hazard_count = 3 hazard0 = \"0;1;2\" hazard1 = \"3;9;1\" hazard2 = \"1\" }\n");
    const int32_t works = prefab_edge({}, 0, 0);
    const int32_t plain = prefab_edge({}, 0, 3);
    prefab_edge({}, 0, 1);
    ctrl.hazards().load();
    ASSERT_EQ(ctrl.hazards().entries().size(), 3u);
    EXPECT_EQ(ctrl.hazards().entries()[0].count, 3);
    // Prefab 9 does not exist: its row ends before it.
    EXPECT_EQ(ctrl.hazards().entries()[1].edge, plain);
    EXPECT_EQ(ctrl.hazards().entries()[1].count, 1);
    EXPECT_FALSE(engine_log_matching("hazard1 names prefab 9, of 4").empty());
    EXPECT_EQ(ctrl.signs.count, 1);

    bool variant = true;
    EXPECT_EQ(ctrl.get_prefab_def(ctrl.edges[works], &variant), &ctrl.seg_server->prefab_table[seg_prefabs][0]);
    EXPECT_FALSE(variant);
    EXPECT_EQ(ctrl.edges[works].sign, -1);

    // Redraws come every 600 s and leave an edge on screen alone.
    std::vector<int> seen(3, 0);
    for (int draw = 0; draw < 200; ++draw) {
        ctrl.hazards().reshuffle(600.0f);
        seen[static_cast<size_t>(ctrl.hazards().entries()[0].chosen)] += 1;
        EXPECT_EQ(ctrl.hazards().entries()[1].chosen, 0);
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], seen[0]);
    EXPECT_GT(seen[2], 0);
    ctrl.edges[works].segment_slot = 3;
    const int32_t kept = ctrl.hazards().entries()[0].chosen;
    for (int draw = 0; draw < 20; ++draw)
        ctrl.hazards().reshuffle(600.0f);
    EXPECT_EQ(ctrl.hazards().entries()[0].chosen, kept);
}

TEST_F(zones_test, at_the_middle_of_a_sky_zone_the_far_sky_shows_unblended)
{
    const int32_t index = ctrl.add_miscitem();
    map_miscitem_t& zone = ctrl.miscitems[index];
    zone.type = map_misc_sky_swap;
    zone.points[0] = {0, 0, 0};
    zone.points[1] = {10000, 0, 0};
    zone.params[0] = 1;
    zone.params[1] = 2;
    ctrl.active_list(base_ctrl_sky_swaps).append(index);
    parts->position = {1000, 0, 0};
    ctrl.update_sky_swap();
    EXPECT_EQ(ctrl.sky_swap().saved().item, index);
    EXPECT_EQ(ctrl.sky_swap().saved().near_sky, 1);
    parts->position = {5000, 0, 0};
    ctrl.update_sky_swap();
    EXPECT_EQ(parts->sky, 2);
    EXPECT_FLOAT_EQ(parts->blend, 0.0f);
    parts->position = {-5000, 0, 0};
    ctrl.update_sky_swap();
    EXPECT_EQ(ctrl.sky_swap().saved().item, -1);
    // A zone naming a sky the environment does not have is never entered.
    zone.params[1] = 40;
    parts->position = {1000, 0, 0};
    ctrl.update_sky_swap();
    EXPECT_EQ(ctrl.sky_swap().saved().item, -1);
}

TEST_F(zones_test, a_headquarters_in_range_shows_its_companys_marker_or_none)
{
    parts->hq_city = 2;
    parts->hq_level = 1;
    parts->hq_colour = 4;
    map_miscitem_t item{};
    item.type = map_misc_headquarters;
    item.points[0] = {500.0f, 0.0f, 700.0f};
    item.params[0] = 1;
    item.params[1] = 2;
    item.model_words[0] = 1;
    ctrl.show_target(item);
    const target_marker_t& marker = ctrl.seg_server->target;
    ASSERT_TRUE(marker.shown);
    EXPECT_EQ(marker.position, item.points[0]);
    EXPECT_EQ(marker.model, 1);
    EXPECT_EQ(marker.colour, 0xFFCC00CCu);
    // A marker already shown stays as it is; a city without headquarters shows none from then on.
    map_miscitem_t other = item;
    other.params[1] = 3;
    ctrl.show_target(other);
    EXPECT_EQ(other.model_words[0], 1);
    ctrl.hide_target();
    ctrl.show_target(other);
    EXPECT_FALSE(marker.shown);
    EXPECT_EQ(other.model_words[0], 0);
}

}  // namespace
