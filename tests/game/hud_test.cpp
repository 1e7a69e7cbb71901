#include "game/ui_handler_hud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <string>
#include <vector>

#include "engine/entity_reg.h"
#include "engine/evalue.h"
#include "engine/ui.h"
#include "engine_testing/ui_driver.h"
#include "economy_fixture.h"
#include "frame/type_registry.h"
#include "common/format.h"
#include "common/hud_components.h"
#include "game/markup_alpha.h"
#include "game/suggested_route.h"
#include "game/ui_handler_hud_job.h"
#include "game/ui_handler_hud_job3d.h"
#include "road/road_network.h"
#include "ui/components/ui_comp_common_text.h"

namespace {

TEST(markup_alpha_test, rewrites_the_alpha_or_the_whole_colour_and_never_past_the_end)
{
    const struct {
        const char* text;
        int alpha;
        bool whole;
        const char* expected;
    } cases[] = {
        {"<color value=FFFFFFFF>a<color value=FF00FF00>", 0x7f, false, "<color value=7fFFFFFF>a<color value=7f00FF00>"},
        {"<color value=FF0000FF>b", 0xff, true, "<color value=ff000000>b"},
        {"<color value=FF00FF00>", 300, false, "<color value=ff00FF00>"},
        {"<color value=FF00FF00>", -5, false, "<color value=0000FF00>"},
        {"cut value=F", 0x10, false, "cut value=F"},       // one digit left: not rewritten
        {"cut value=FFFF", 0x10, true, "cut value=FFFF"},  // four of eight: not rewritten
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        text.push_back('\0');
        set_markup_alpha(c.alpha, text.data(), text.size(), c.whole);
        EXPECT_STREQ(text.c_str(), c.expected) << c.text;
    }
}

// A bound engine with the module's UI types, a main HUD window and a job HUD window, and the small
// economy of the economy tests.
class hud_test : public economy_test {
protected:
    void SetUp() override
    {
        economy_test::SetUp();
        const entity_reg_t* const rows = entity_type_rows();
        for (int i = 0; i < entity_type_row_count(); ++i)
            if (std::string(rows[i].type_name).rfind("ui.", 0) == 0 && !entity_find_type(rows[i].type_name))
                entity_register(&rows[i]);
        ui_init();
        write_data_file("ui/gmainhud.esc", "entity ui.handler.hud { }\nentity ui.window { rect = 0 1024 768 0;\n"
                                           "    entity ui.comp.text { id = 20; rect = 0 1024 400 300; }\n"
                                           "    entity ui.comp.common.text { id = 150; rect = 0 1024 100 0; }\n}\n");
        write_data_file("defs/ui/txt.def", "a : template { text = \"%0\" }\nb : template { text = \"%0\" }\n"
                                           "c : template { text = \"%0\" }\nd : template { text = \"%0\" }\n"
                                           "e : template { text = \"%0\" }\nf : template { text = \"%0\" }\n"
                                           "g : template { text = \"%0\" }\nh : template { text = \"%0\" }\n");
        write_data_file("ui/gjobhud.esc",
                        "entity ui.handler.hud.job3d { }\nentity ui.window { rect = 0 1024 768 0;\n"
                        "    entity ui.comp.common.text { id = 100; rect = 0 200 700 680; }\n"
                        "    entity ui.comp.common.text { id = 110; rect = 0 200 680 660; }\n"
                        "    entity ui.comp.common.text { id = 120; rect = 0 200 660 640; }\n"
                        "    entity ui.comp.common.text { id = 130; rect = 0 200 640 620; }\n"
                        "    entity ui.comp.text { id = 150; rect = 0 200 620 600; }\n"
                        "    entity ui.comp.common.text { id = 160; rect = 0 200 600 580; look = 3; }\n"
                        "    entity ui.comp.text { id = 200; rect = 0 200 580 560; }\n}\n");
        hud_window_ = ui_winsert("game", "mainhud", 0, "/ui/gmainhud.esc", true);
        ASSERT_NE(hud_window_, nullptr);
        hud_ = dynamic_cast<ui_handler_hud_t*>(
            static_cast<entity_t*>(ui_driver_window(hud_window_)->handler_item->object));
        ASSERT_NE(hud_, nullptr);
    }

    // Frames of `seconds` until `total` seconds have passed.
    static void run(double total, double seconds = 0.5)
    {
        for (double t = 0.0; t < total - 1e-6; t += seconds) {
            engine_run_frames(1, seconds);
            ui_process();
        }
    }

    std::string lines() const { return ui_driver_get(ui_driver_find(hud_window_, 150), "value"); }

    c_item_t* hud_window_ = nullptr;
    ui_handler_hud_t* hud_ = nullptr;
};

TEST_F(hud_test, a_message_holds_then_moves_up_at_half_alpha_then_fades_away)
{
    hud_->push_message("first <color value=FF00FF00>green");
    EXPECT_STREQ(hud_->newest_line, "<color value=ffFFFFFF>first <color value=ff00FF00>green");
    EXPECT_STREQ(hud_->shadow_line, "<color value=ff000000>first <color value=ff000000>green")
        << "the shadow is black throughout";
    hud_->push_message("second");
    EXPECT_STREQ(hud_->older_line, "<color value=7fFFFFFF>first <color value=7f00FF00>green");
    EXPECT_FLOAT_EQ(hud_->message_timer, -10.0f);
    EXPECT_EQ(lines(), std::string(hud_->older_line) + "|" + hud_->newest_line + "|" + hud_->shadow_line);
    run(10.5);
    EXPECT_STREQ(hud_->older_line, "<color value=7fFFFFFF>second") << "after the hold the message moves up";
    EXPECT_STREQ(hud_->newest_line, "<color value=ffFFFFFF>");
    run(10.5);
    EXPECT_GT(hud_->message_timer, 0.0f) << "fading";
    run(3.5);
    EXPECT_STREQ(hud_->older_line, "<color value=00FFFFFF>") << "the faded line is gone";
}

TEST_F(hud_test, the_trailer_lost_notice_fades_in_its_last_three_seconds_then_hides)
{
    ui_view_t* notice = ui_driver_find(hud_window_, 20);
    notice->show(false);
    hud_->start_notice();
    EXPECT_TRUE(notice->visible);
    run(0.5);
    EXPECT_EQ(ui_driver_get(notice, "text"), "") << "nothing new in the first second";
    run(1.5);
    EXPECT_NE(ui_driver_get(notice, "text").find("color value=aa000000"), std::string::npos);
    run(2.5);
    EXPECT_FLOAT_EQ(hud_->notice_timer, 0.0f);
    EXPECT_FALSE(notice->visible);
}

TEST_F(hud_test, the_job_lines_show_cargo_cities_pay_and_the_special_look)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    ASSERT_GT(economy.job_count(), 0);
    c_item_t* window = ui_winsert("game2", "jobhud", 0, "/ui/gjobhud.esc", true);
    ASSERT_NE(window, nullptr);
    auto* job_hud =
        dynamic_cast<ui_handler_hud_job_t*>(static_cast<entity_t*>(ui_driver_window(window)->handler_item->object));
    ASSERT_NE(job_hud, nullptr);
    EXPECT_STREQ(job_hud->get_type_name(), "ui.handler.hud.job3d");
    economy.jobs[0].flags |= 1;
    job_hud->show_job_of(economy, 0);
    const auto text = [&](int id, const char* property = "value") {
        if (std::string(property) == "look")
            return std::to_string(dynamic_cast<ui_comp_common_text_t*>(ui_driver_find(window, id))->look);
        return ui_driver_get(ui_driver_find(window, id), property);
    };
    EXPECT_EQ(text(110), economy.cities[static_cast<size_t>(economy.job_source_city(0))].display_name);
    EXPECT_EQ(text(120), economy.cities[static_cast<size_t>(economy.job_dest_city(0))].display_name);
    char pay[128];
    format_money(economy.job_pay(0, 0, 0, 0.0f, true, nullptr, nullptr), pay, sizeof pay, 0xFFFFFFFF);
    EXPECT_EQ(text(130), pay);
    EXPECT_TRUE(ui_driver_find(window, 150)->visible) << "a special job shows its mark";
    EXPECT_EQ(text(160, "look"), "3");
    job_hud->show_job_of(economy, economy.job_count());
    EXPECT_EQ(text(160, "look"), "7") << "the special offer's job takes the special look";
    economy.jobs[0].flags &= ~1u;
    job_hud->show_job_of(economy, 0);
    EXPECT_EQ(text(160, "look"), "3");
    EXPECT_FALSE(ui_driver_find(window, 150)->visible);
}

// A route table image of two docks joined by one route over `edges`, in the table's order.
std::vector<uint8_t> two_dock_routes(const std::vector<uint16_t>& edges)
{
    std::vector<uint8_t> out;
    const auto u16 = [&](const uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    const auto u32 = [&](const uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    u16(1);
    u16(2);
    for (const uint32_t offset : {0u, 24u, 0u, 0u})
        u32(offset);
    u16(0xFFFF);
    u16(0xFFFF);
    u16(static_cast<uint32_t>(edges.size()));
    u32(1000);
    for (const uint16_t e : edges)
        u16(e);
    for (size_t i = 0; i < edges.size(); ++i)
        u16(static_cast<uint32_t>(i));
    return out;
}

// A road network of one edge per entry of `edges`: its kind and the place name of its start node.
void build_network(road_network_t& network, const std::vector<std::pair<int32_t, int32_t>>& edges)
{
    for (size_t i = 0; i < edges.size(); ++i) {
        const int32_t node = network.add_node({static_cast<float>(i) * 1000.0f, 0.0f, 0.0f});
        network.nodes[node].road_name = edges[i].second;
        const int32_t edge = network.add_edge();
        network.edges[edge].kind = edges[i].first;
        network.edges[edge].nodes[0] = node;
        network.edges[edge].nodes[1] = -1;
    }
}

std::vector<place_name_t> place_names(const std::vector<std::string>& names)
{
    std::vector<place_name_t> out(names.size());
    for (size_t i = 0; i < names.size(); ++i)
        std::memcpy(out[i].name, names[i].data(), std::min(names[i].size(), sizeof out[i].name));
    return out;
}

TEST_F(hud_test, the_suggested_route_names_the_roads_between_the_docks_in_the_jobs_direction)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    ASSERT_GT(economy.job_count(), 0);
    const job_t& job = economy.jobs[0];
    ASSERT_NE(job.source, job.destination);
    trader_t& source = economy.traders[static_cast<size_t>(job.source)];
    trader_t& destination = economy.traders[static_cast<size_t>(job.destination)];
    // A twelve-character name fills its entry without an end mark.
    const std::vector<place_name_t> names =
        place_names({"Brenmoor", "Halvik", "Old city", "Ostervale", "ABCDEFGHIJKL"});
    road_network_t network;
    build_network(network, {{map_edge_road, 0},
                            {map_edge_road, 0},       // the same road again
                            {map_edge_city_road, 2},  // a city's own name
                            {map_edge_fork, 3},       // a junction names nothing
                            {map_edge_road, -1},
                            {map_edge_city_road, 1},
                            {map_edge_road, 4},
                            {map_edge_road, 9}});  // outside the name table
    std::string error;
    const std::vector<uint8_t> rte = two_dock_routes({0, 1, 2, 3, 4, 5, 6, 7, 99});
    ASSERT_TRUE(economy.routes.parse(rte.data(), rte.size(), error)) << error;

    c_item_t* window = ui_winsert("game2", "jobhud", 0, "/ui/gjobhud.esc", true);
    ASSERT_NE(window, nullptr);
    auto* job_hud =
        dynamic_cast<ui_handler_hud_job_t*>(static_cast<entity_t*>(ui_driver_window(window)->handler_item->object));
    ASSERT_NE(job_hud, nullptr);
    const std::string picture = std::string("<img width=100 height=50 src=") + destination.icon_shader + ">";
    const struct {
        int32_t source_dock;
        int32_t destination_dock;
        size_t size;
        const char* expected;
    } cases[] = {
        // From the lower dock the route's list is walked from its end, from the higher from its start.
        {0, 1, 512, "@@ui_suggested_route@@ - ABCDEFGHIJKL, Halvik, Brenmoor"},
        {1, 0, 512, "@@ui_suggested_route@@ - Brenmoor, Halvik, ABCDEFGHIJKL"},
        {1, 0, 30, "@@ui_suggested_route@@ - Bren"},  // cut at the caller's size
        {-1, 0, 512, "untouched"},
        {1, -1, 512, "untouched"},
        {5, 0, 512, "untouched"},  // no route between these docks
    };
    for (const auto& c : cases) {
        source.dock = c.source_dock;
        destination.dock = c.destination_dock;
        evalue_set(ui_driver_find(window, job_hud_picture), "text", 0, "none");
        char text[512] = "untouched";
        job_hud->show_suggested_route_of(economy, &network, names, 0, text, c.size);
        EXPECT_STREQ(text, c.expected) << c.source_dock << " to " << c.destination_dock;
        EXPECT_EQ(ui_driver_get(ui_driver_find(window, job_hud_picture), "text"), picture)
            << "the destination's picture shows in every case";
    }
}

TEST_F(hud_test, a_long_route_stops_at_the_last_name_that_fits_whole)
{
    const std::vector<place_name_t> names = place_names({"Brenmoor", "Halvik"});
    road_network_t network;
    build_network(network, {{map_edge_road, 0}, {map_edge_road, 1}});
    std::vector<uint16_t> edges;
    for (int i = 0; i < 400; ++i)
        edges.push_back(static_cast<uint16_t>(i % 2));
    route_table_t routes;
    std::string error;
    const std::vector<uint8_t> rte = two_dock_routes(edges);
    ASSERT_TRUE(routes.parse(rte.data(), rte.size(), error)) << error;
    route_view_t route;
    ASSERT_TRUE(routes.get(0, 1, route));
    const std::string text = suggested_route_names(routes, route, false, network, names);
    EXPECT_LE(text.size(), suggested_route_text_max);
    EXPECT_GT(text.size(), suggested_route_text_max - 10);
    EXPECT_EQ(text.substr(0, 18), "Brenmoor, Halvik, ");
    const std::string tail = text.substr(text.size() - 8);
    EXPECT_TRUE(tail == "Brenmoor" || tail.substr(2) == "Halvik") << tail;
}

}  // namespace
