#include "ui/components/ui_comp_area_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/pml_draw.h"
#include "road/base_ctrl.h"
#include "road/prefab.h"
#include "road/seg_server.h"
#include "ui/components/area_map_economy.h"
#include "ui_drawn.h"
#include "ui_fixture.h"

namespace {

// The economy as the map reads it: city names, dealers opened by the test, one trader's icon and the
// player's delivery point.
class fake_map_economy_t : public ctrl_economy_t, public area_map_economy_t {
public:
    void weekly_report() override {}
    int32_t dealer_count() const override { return 1; }
    int32_t headquarters_city() const override { return -1; }
    const char* city_name(int32_t index) const override { return index == 0 ? "brenmoor" : "halvik"; }
    const char* city_display_name(int32_t index) const override { return index == 0 ? "Brenmoor" : "Halvik"; }
    void city_headquarters(int32_t, int32_t& out_level, int32_t& out_colour) const override
    {
        out_level = -1;
        out_colour = 0;
    }
    int32_t money() const override { return 0; }
    void add_money(int32_t, int32_t) override {}
    int32_t current_truck_value() const override { return 0; }
    void driver_route_ahead(int32_t, route_t&) override {}
    void driver_route_node6(route_t&) override {}
    bool job_overweight(int32_t) const override { return false; }
    int32_t job_pay(int32_t) override { return 0; }
    void mark_dealer_known(int32_t) override {}
    void dock_activate(int32_t, int32_t) override {}
    void dock_deactivate(int32_t, int32_t) override {}

    bool dealer_open(int32_t dealer) const override { return dealer == 0 && open; }
    const char* trader_icon(int32_t trader) const override
    {
        return trader == 3 ? "/shaders/traders/mill.shd" : nullptr;
    }
    bool player_target(vec3_t& out) const override
    {
        out = target;
        return has_job;
    }

    bool open = false;
    bool has_job = false;
    vec3_t target;
};

// A map controller whose edges all carry a road hazard while `hazards` is set.
class hazard_ctrl_t : public base_ctrl_e {
public:
    const prefab_t* get_prefab_def(map_edge_t& edge, bool* out_variant) override
    {
        const prefab_t* const definition = base_ctrl_e::get_prefab_def(edge, out_variant);
        if (out_variant && hazards)
            *out_variant = true;
        return definition;
    }
    bool hazards = false;
};

class ui_comp_area_map_test : public ui_test_t {
protected:
    void SetUp() override
    {
        ui_test_t::SetUp();
        window_ = make_window("    entity ui.comp.area_map { id = 1000; rect = 0 1024 768 0; }\n");
        map_ = dynamic_cast<ui_comp_area_map_t*>(ui_driver_find(window_, 1000));
        ASSERT_NE(map_, nullptr);
        ctrl_.seg_server = new seg_server_t;
        ctrl_.seg_server->place_names.resize(2);
        std::strcpy(ctrl_.seg_server->place_names[0].name, "I5");
        std::strcpy(ctrl_.seg_server->place_names[1].name, "Coast");
        map_->city_mode = 0;
    }
    void TearDown() override
    {
        // The cities are the test's own; the controller lets go of the rest before the engine goes.
        ctrl_.seg_server->cities = nullptr;
        ctrl_.seg_server->city_count = 0;
        ctrl_.destroy(0);
        ctrl_.destroy(10);
        ui_test_t::TearDown();
    }

    // A Road edge between two new nodes; the first node shows road name `name` (-1 none).
    int32_t road(const vec3_t& from, const vec3_t& to, const int32_t name = -1)
    {
        const int32_t a = ctrl_.add_node(from);
        const int32_t b = ctrl_.add_node(to);
        ctrl_.nodes[a].road_name = name;
        ctrl_.nodes[a].flags = name != -1 ? 2u : 0u;
        const int32_t index = ctrl_.add_edge();
        map_edge_t& edge = ctrl_.edges[index];
        edge.kind = map_edge_road;
        edge.nodes[0] = a;
        edge.nodes[1] = b;
        edge.nodes[2] = edge.nodes[3] = -1;
        edge.sides[0].vegetation = edge.sides[1].railing = -1;
        return index;
    }
    // A Fork edge of three nodes from fork prefab `definition`.
    int32_t fork(const vec3_t& at, const int32_t definition)
    {
        const int32_t index = road(at, at + vec3_t(4000.0f, 0.0f, 0.0f));
        map_edge_t& edge = ctrl_.edges[index];
        edge.kind = map_edge_fork;
        edge.definition = definition;
        edge.nodes[2] = ctrl_.add_node(at + vec3_t(2000.0f, 0.0f, 3000.0f));
        return index;
    }
    static std::vector<float> corner(const area_map_chunk_t& chunk, const int i)
    {
        return {chunk.positions[3 * i], chunk.positions[3 * i + 1], chunk.positions[3 * i + 2]};
    }
    static int count_kind(const std::vector<area_map_marker_t>& markers, const int32_t kind)
    {
        int count = 0;
        for (const area_map_marker_t& marker : markers)
            count += marker.kind == kind ? 1 : 0;
        return count;
    }

    c_item_t* window_ = nullptr;
    ui_comp_area_map_t* map_ = nullptr;
    hazard_ctrl_t ctrl_;
    fake_map_economy_t economy_;
};

TEST_F(ui_comp_area_map_test, roads_are_wide_quads_coloured_by_their_name_and_hidden_edges_draw_nothing)
{
    road({0.0f, 0.0f, 0.0f}, {10000.0f, 0.0f, 0.0f});
    road({0.0f, 0.0f, 50000.0f}, {0.0f, 0.0f, 60000.0f}, 0);
    road({0.0f, 0.0f, 90000.0f}, {0.0f, 0.0f, 99000.0f}, 1);
    ctrl_.edges[road({1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f})].kind = 5;
    ctrl_.edges[road({1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f})].flags = 0x100000u;
    map_->build_from(ctrl_, &economy_);

    ASSERT_EQ(map_->chunks().size(), 1u);
    const area_map_chunk_t& chunk = map_->chunks()[0];
    ASSERT_EQ(chunk.vertex_count(), 12) << "three quads; the hidden kinds and the flagged edge draw none";
    // 100 m to each side of a road running east: (start + side, start - side, end + side, end - side).
    EXPECT_EQ(corner(chunk, 0), (std::vector<float>{0.0f, 0.0f, -10000.0f}));
    EXPECT_EQ(corner(chunk, 1), (std::vector<float>{0.0f, 0.0f, 10000.0f}));
    EXPECT_EQ(corner(chunk, 3), (std::vector<float>{10000.0f, 0.0f, 10000.0f}));
    EXPECT_EQ(std::vector<uint16_t>(chunk.indices.begin(), chunk.indices.begin() + 12),
              (std::vector<uint16_t>{0, 1, 2, 2, 1, 3, 4, 5, 6, 6, 5, 7}));
    EXPECT_EQ(chunk.colours[0], 0x2fffffffu) << "a road without a name";
    EXPECT_EQ(chunk.colours[4], 0xff2198f9u) << "an interstate";
    EXPECT_EQ(chunk.colours[8], 0xffcfcfcfu) << "a named road";
    ASSERT_EQ(map_->markers().size(), 2u) << "the named roads' first nodes show their names";
    EXPECT_EQ(map_->markers()[0].kind, area_marker_road_sign);
    EXPECT_EQ(map_->markers()[0].index, 0);
}

TEST_F(ui_comp_area_map_test, a_chunk_holds_410_quads_and_the_411th_starts_another)
{
    for (int i = 0; i < 411; ++i)
        road({0.0f, 0.0f, 100.0f * static_cast<float>(i)}, {1000.0f, 0.0f, 100.0f * static_cast<float>(i)});
    map_->build_from(ctrl_, nullptr);
    ASSERT_EQ(map_->chunks().size(), 2u);
    EXPECT_EQ(map_->chunks()[0].vertex_count(), 1640);
    EXPECT_EQ(map_->chunks()[0].index_count(), 2460);
    EXPECT_EQ(map_->chunks()[1].vertex_count(), 4);
    EXPECT_EQ(map_->chunks()[1].indices[0], 0) << "a new chunk counts its vertices from 0";
}

TEST_F(ui_comp_area_map_test, over_the_country_a_city_is_one_point_where_its_roads_meet)
{
    city_area_t city{-5000.0f, 5000.0f, 5000.0f, -5000.0f, 0.0f, {}, 0.0f};
    ctrl_.seg_server->cities = &city;
    ctrl_.seg_server->city_count = 1;
    road({-2000.0f, 0.0f, 0.0f}, {2000.0f, 0.0f, 1000.0f}, 1);
    road({2000.0f, 0.0f, 0.0f}, {30000.0f, 0.0f, 0.0f}, 1);
    map_->build_from(ctrl_, nullptr);
    ASSERT_EQ(map_->chunks().size(), 1u);
    ASSERT_EQ(map_->chunks()[0].vertex_count(), 4) << "a road inside the city is not drawn";
    EXPECT_EQ(corner(map_->chunks()[0], 0), (std::vector<float>{0.0f, 0.0f, -10000.0f}))
        << "the road leaving the city starts at its middle";
    EXPECT_TRUE(map_->markers().empty()) << "a collapsed road shows no name";

    // In the close city view the roads are drawn as they are, narrower.
    map_->city_mode = 1;
    map_->build_from(ctrl_, nullptr);
    ASSERT_EQ(map_->chunks()[0].vertex_count(), 8);
    const std::vector<float> inside = corner(map_->chunks()[0], 4);
    EXPECT_NEAR(inside[0], 2000.0f, 0.5f);
    EXPECT_NEAR(inside[2], -2000.0f, 0.5f);
}

TEST_F(ui_comp_area_map_test, service_points_mark_their_stations_and_a_dealer_once_it_is_open)
{
    prefab_t stations;
    stations.stations[0].kind = 1;
    stations.stations[1].kind = 7;
    prefab_t dealer_and_pump;
    dealer_and_pump.stations[0].kind = 4;
    dealer_and_pump.stations[1].kind = 5;
    ctrl_.seg_server->prefab_table[seg_forks] = {stations, dealer_and_pump};
    fork({0.0f, 0.0f, 0.0f}, 0);
    const int32_t dealer = fork({100000.0f, 0.0f, 0.0f}, 1);
    ctrl_.edges[dealer].sides[1].railing = 0;

    map_->build_from(ctrl_, &economy_);
    EXPECT_EQ(count_kind(map_->markers(), area_marker_gas), 2);
    EXPECT_EQ(count_kind(map_->markers(), area_marker_weigh), 1);
    EXPECT_EQ(count_kind(map_->markers(), area_marker_dealer), 0) << "a dealer closed to the player";
    ASSERT_EQ(map_->chunks()[0].vertex_count(), 16) << "a fork is its road and its branch";
    std::vector<float> pumps;
    for (const area_map_marker_t& marker : map_->markers())
        if (marker.kind == area_marker_gas)
            pumps.push_back(marker.position.x);
    EXPECT_EQ(pumps, (std::vector<float>{0.0f, 80000.0f})) << "a prefab's second pump stands 200 m to the west";

    economy_.open = true;
    map_->build_from(ctrl_, &economy_);
    EXPECT_EQ(count_kind(map_->markers(), area_marker_dealer), 1);

    // In the close city view a fork's loading dock shows its trader beside the road instead.
    ctrl_.edges[dealer].sides[0].vegetation = 3;
    map_->city_mode = 1;
    map_->build_from(ctrl_, &economy_);
    ASSERT_EQ(count_kind(map_->markers(), area_marker_trader), 1);
    EXPECT_EQ(count_kind(map_->markers(), area_marker_gas), 0);
}

TEST_F(ui_comp_area_map_test, the_map_is_drawn_from_above_with_the_arrow_at_the_truck_and_pins_in_view_only)
{
    city_area_t cities[2] = {{-5000.0f, 5000.0f, 5000.0f, -5000.0f, 0.0f, {}, 0.0f},
                             {4.0e6f, 4.1e6f, 1000.0f, 0.0f, 0.0f, {}, 0.0f}};
    ctrl_.seg_server->cities = cities;
    ctrl_.seg_server->city_count = 2;
    road({20000.0f, 0.0f, 0.0f}, {90000.0f, 0.0f, 0.0f}, 1);
    map_->build_from(ctrl_, &economy_);
    map_->set_map_view(1, 0, 890000.0f);
    economy_.has_job = true;
    economy_.target = {0.0f, 0.0f, 0.0f};

    const size_t mark = ui_drawn_mark();
    pml_draw_clear();
    map_->draw_map(&ctrl_, &economy_, &economy_, {0.0f, 0.0f, 0.0f}, quat_t());
    const std::vector<gfx_recorded_data_t> roads = ui_drawn_with("/shaders/ui/map/road.shd", mark);
    ASSERT_EQ(roads.size(), 1u);
    EXPECT_EQ(roads[0].primitive, gfx_triangle_list);
    EXPECT_EQ(roads[0].geometry.indices.size(), 6u);
    EXPECT_NE(roads[0].flags & gfx_data_world, 0u);
    EXPECT_FALSE(roads[0].place.in_ui) << "drawn through the map's own camera and view";
    // The camera stands 8900 m above the truck looking straight down: the truck lies ahead of it.
    const float* const camera = roads[0].place.camera;
    EXPECT_FLOAT_EQ(camera[11], -890000.0f);
    EXPECT_FLOAT_EQ(camera[9], 1.0f) << "world y becomes the camera's depth";
    EXPECT_FLOAT_EQ(camera[6], -1.0f) << "north is up on the map";

    const std::vector<gfx_recorded_data_t> arrows = ui_drawn_with("/shaders/ui/map/arrow_gps.shd", mark);
    ASSERT_EQ(arrows.size(), 1u);
    ASSERT_EQ(arrows[0].geometry.vertex_count(), 4);
    EXPECT_EQ(arrows[0].geometry.positions[0], -24000.0f);
    EXPECT_EQ(arrows[0].geometry.positions[2], -30000.0f) << "the arrow's tip points along the truck";

    // One pin for the city in view (the far one has none), the delivery point and the road's name.
    int city_pins = 0;
    int delivery_pins = 0;
    for (const pml_drawn_t& drawn : pml_drawn()) {
        if (drawn.item.shader == "/shaders/ui/map/city_pin.shd") {
            ++city_pins;
            EXPECT_NEAR((drawn.item.box.left + drawn.item.box.right) * 0.5f, 512.0f, 1.0f);
            EXPECT_NEAR((drawn.item.box.top + drawn.item.box.bottom) * 0.5f, 384.0f, 1.0f);
        }
        delivery_pins += drawn.item.shader == "/shaders/ui/map/unload_point.shd" ? 1 : 0;
    }
    EXPECT_EQ(city_pins, 1);
    EXPECT_EQ(delivery_pins, 1);
    EXPECT_GT(map_->label_texts().count(), 0u) << "the city's name";
    std::string shown;
    for (const pml_drawn_t& drawn : pml_drawn())
        if (drawn.item.id > 0 && drawn.item.id < 256)
            shown += static_cast<char>(drawn.item.id);
    EXPECT_NE(shown.find("Brenmoor"), std::string::npos) << "spelt as its definition spells it: " << shown;

    // Without the city bit the names go but the pins stay.
    map_->set_label_filter(area_label_gas, 0xff00ff00u);
    pml_draw_clear();
    map_->draw_map(&ctrl_, &economy_, &economy_, {0.0f, 0.0f, 0.0f}, quat_t());
    EXPECT_EQ(map_->label_texts().count(), 0u);
    EXPECT_EQ(map_->icon_items().count(), 2u);
}

// A road hazard shows its icon at its edge's first node with the road signs, and not without them.
TEST_F(ui_comp_area_map_test, a_road_hazard_shows_its_icon_with_the_road_signs)
{
    ctrl_.hazards = true;
    road({20000.0f, 0.0f, 0.0f}, {90000.0f, 0.0f, 0.0f});
    map_->build_from(ctrl_, &economy_);
    ASSERT_EQ(count_kind(map_->markers(), area_marker_hazard), 1);
    map_->set_map_view(1, 0, 890000.0f);
    const auto hazard_icons = [this](const uint32_t mask) {
        map_->set_label_filter(mask, 0xff00ff00u);
        pml_draw_clear();
        map_->draw_map(&ctrl_, &economy_, &economy_, {0.0f, 0.0f, 0.0f}, quat_t());
        return std::count_if(pml_drawn().begin(), pml_drawn().end(), [](const pml_drawn_t& drawn) {
            return drawn.item.shader == "/shaders/ui/map/hazard_ico.shd";
        });
    };
    EXPECT_EQ(hazard_icons(area_label_road_signs), 1);
    EXPECT_EQ(hazard_icons(area_label_gas), 0);
}

TEST_F(ui_comp_area_map_test, a_camera_that_does_not_follow_stands_above_the_origin_and_a_followed_one_keeps_to_the_map)
{
    map_->set_map_view(0, 0, 69000.0f);
    EXPECT_EQ(map_->camera_position({5000.0f, 10.0f, 5000.0f}), vec3_t(0.0f, 69000.0f, 0.0f));
    map_->set_map_view(1, 0, 69000.0f);
    EXPECT_EQ(map_->camera_position({900000.0f, 10.0f, -300000.0f}), vec3_t(700000.0f, 69010.0f, -259000.0f));
    map_->set_map_view(1, 1, 69000.0f);
    EXPECT_EQ(map_->camera_position({900000.0f, 10.0f, -300000.0f}), vec3_t(900000.0f, 69010.0f, -300000.0f));
}

}  // namespace
