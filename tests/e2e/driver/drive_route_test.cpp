// The player's truck driven over the sample map's roads by a closed-loop driver that presses the
// default keys, from Brenmoor to the Tarsk Quarry dock and on through the quarry's yard to Halvik.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "drive_fixture.h"
#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/host.h"
#include "engine_testing/engine_test.h"

namespace {

// A point written "x,y,z"; false when `text` is not one.
bool read_point(const char* text, vec3_t& out)
{
    return text && std::sscanf(text, "%f,%f,%f", &out.x, &out.y, &out.z) == 3;
}

class drive_route_test : public drive_fixture_t {
protected:
    // The Prefab edge of the map laid with the prefab whose model prefabs.def lists as `model`; -1 when
    // there is none.
    int32_t prefab_edge(const std::string& model) const
    {
        const def_file_t prefabs(data_root + "/defs/seg_server/prefabs.def", "prefabs");
        if (!prefabs.object)
            return -1;
        int32_t definition = -1;
        for (int i = 0; i < prefabs.object->get_int("prefab_count"); ++i) {
            const char* const listed = prefabs.object->get_value(("prefab" + std::to_string(i)).c_str());
            if (listed && model == listed)
                definition = i;
        }
        const road_network_t& network = roads_.network();
        for (int32_t e = 0; e < network.edges.count; ++e)
            if (network.edges[e].kind == map_edge_prefab && network.edges[e].definition == definition)
                return e;
        return -1;
    }

    // Route points on from the entry of Prefab edge `edge`, a prefab laid into a road whose two nodes
    // stand either end of its own middle: along its lane, then over into the lay-by to the prefab's
    // point `point` (its own frame: +z from the entry to the exit, -x to the right), where they end.
    void append_lay_by(const int32_t edge, const vec3_t& point, std::vector<route_point_t>& route) const
    {
        const road_network_t& network = roads_.network();
        const vec3_t entry = network.nodes[network.edges[edge].nodes[0]].position;
        const vec3_t exit = network.nodes[network.edges[edge].nodes[1]].position;
        const vec3_t ahead = (exit - entry).normalized();
        const vec3_t right = ahead.cross({0.0f, 1.0f, 0.0f}).normalized();
        const float lane = (route.back().lane - route.back().middle).length();
        const float along = (exit - entry).length() * 0.5f + point.z;
        // The last 15 m lead from the lane to the point beside it.
        const float turn_in = 1500.0f;
        for (float s = 400.0f; s < along + 1.0f; s += 250.0f) {
            const float blend = std::clamp((s - (along - turn_in)) / turn_in, 0.0f, 1.0f);
            const float across = lane + (-point.x - lane) * (3.0f - 2.0f * blend) * blend * blend;
            const vec3_t middle = entry + ahead * std::min(s, along);
            route.push_back({middle + right * across, middle, -point.x + lane, edge});
        }
    }
};

TEST_F(drive_route_test, the_truck_drives_from_brenmoor_by_tarsk_quarry_to_halvik_on_the_road)
{
    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "mainland", "-default_controls"}, error)) << error;
    // The map is read with the module's own reader, which reports through the engine the module bound.
    ASSERT_TRUE(roads_.load(data_root, data_root + "/maps/mainland.mbd", error)) << error;
    const int32_t quarry = dock_of("tarsk_quarry.def");
    ASSERT_GE(quarry, 0) << "the map has Tarsk Quarry's dock";
    const int32_t halvik = dock_of("lumen_foods.def");
    ASSERT_GE(halvik, 0) << "the map has Halvik's dock";

    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    const std::unique_ptr<truck_tracker_t> tracker = placed_truck();
    ASSERT_TRUE(tracker) << log_tail();
    const vec3_t start = tracker->pose().position;
    // The view from behind the truck.
    tap("2");
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(game_.frame());

    // The truck starts on Brenmoor's south street facing north: the route runs from the street's far end
    // behind it, across the crossing and up the north road to Tarsk Quarry's dock.
    std::vector<route_point_t> route;
    const vec3_t behind = start - tracker->pose().forward * 10000.0f;
    ASSERT_TRUE(roads_.route(roads_.nearest_node(behind), quarry, 400.0f, route));
    drive(route, *tracker, 600.0f, "Brenmoor to Tarsk Quarry");
    if (HasFatalFailure())
        return;
    // Through the quarry's yard and down to the junction east of Brenmoor, then east to Halvik's dock.
    route.clear();
    ASSERT_TRUE(roads_.route(quarry, halvik, 400.0f, route));
    drive(route, *tracker, 900.0f, "Tarsk Quarry to Halvik");
    if (HasFatalFailure())
        return;
    // A look at Halvik's dock, Lumen Foods', once the truck stands.
    for (int i = 0; i < 120; ++i)
        ASSERT_TRUE(game_.frame());
    tap("F10");
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(game_.frame());
    // Screenshots the driver took on the way, as a player's F10 writes them.
    std::error_code ignored;
    EXPECT_TRUE(std::filesystem::exists(game_.home() + "/screenshots/aa_00000.png", ignored));
}

// A new free game on the sample map: the truck is driven from its start on Brenmoor's south street
// over the crossing, out along the east road and into the service station's lay-by, where it stops;
// the station's window opens and is drawn.
TEST_F(drive_route_test, the_truck_driven_into_the_service_stations_lay_by_stops_and_the_window_opens)
{
    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "mainland", "-default_controls"}, error)) << error;
    // What the screenshot's frame draws is written down, as the host's --drawn-text does.
    const std::string drawn = (documents_ / "drawn.txt").string();
    host_settings().drawn_text = drawn;
    ASSERT_TRUE(roads_.load(data_root, data_root + "/maps/mainland.mbd", error)) << error;
    const int32_t station = prefab_edge("/prefabs/station_service.pmd");
    ASSERT_GE(station, 0) << "the map lays the service station into a road";
    const def_file_t station_def(data_root + "/prefabs/station_service.def", "station_service");
    ASSERT_TRUE(station_def.object);
    vec3_t service_point;
    ASSERT_TRUE(read_point(station_def.object->get_value("service_station0"), service_point));

    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    const std::unique_ptr<truck_tracker_t> tracker = placed_truck();
    ASSERT_TRUE(tracker) << log_tail();
    tap("2");
    ASSERT_TRUE(frames(10));

    // From the south street's far end behind the truck to the station's entry, then along its lane
    // and into the lay-by beside the service point.
    std::vector<route_point_t> route;
    const vec3_t behind = tracker->pose().position - tracker->pose().forward * 10000.0f;
    const int32_t entry = roads_.network().edges[station].nodes[0];
    ASSERT_TRUE(roads_.route(roads_.nearest_node(behind), entry, 400.0f, route));
    append_lay_by(station, service_point, route);
    drive(route, *tracker, 240.0f, "Brenmoor to the service station");
    if (HasFatalFailure())
        return;
    ASSERT_TRUE(frames(60));
    tap("F10");
    ASSERT_TRUE(frames(30));
    // The drive took one screenshot on the way; this is the second.
    ASSERT_TRUE(std::filesystem::exists(game_.home() + "/screenshots/aa_00001.png"));
    // The text the screenshot's frame drew: the last capture's first line.
    std::ifstream file(drawn);
    std::string line;
    std::string text;
    while (std::getline(file, line))
        if (line.rfind("frame ", 0) == 0 && line.find(" models:") == std::string::npos)
            text = line;
    // The window's title, its lines and the truck's damage, as the player reads them.
    for (const char* word : {"Service", "Repair", "Damage", "0 %"})
        EXPECT_NE(text.find(word), std::string::npos) << "\"" << word << "\" is not drawn: " << text;
}

// The editor's top camera looks straight down from `height` over the origin with the game's vertical
// view of 70 degrees on the 640 x 480 window: the pixel over a ground point.
struct top_view_t {
    float height;
    float units_per_pixel() const { return height * std::tan(35.0f * 3.14159265f / 180.0f) / 240.0f; }
    int x_of(const float x) const { return 320 + static_cast<int>(std::lround(x / units_per_pixel())); }
    int y_of(const float z) const { return 240 + static_cast<int>(std::lround(z / units_per_pixel())); }
};

// A map maker builds a map in the editor with the pointer: a crossing, a road from its north arm to
// the map's north end, a road from its south arm to a loading dock, and the start in the dock's yard;
// saves it with its checks (the AI data names the dock), asks "g_info" for its statistics; then the
// game started on that map drives the truck from the dock over the crossing to the north end.
TEST_F(drive_route_test, a_map_built_in_the_editor_is_driven_from_its_dock_over_its_crossing_to_its_far_end)
{
    // The loading dock's trader is Greywell Timber: the first of the shippers the dock's dialog lists.
    const def_file_t timber_def(data_root + "/defs/traders/greywell_timber.def", "trader");
    ASSERT_TRUE(timber_def.object);
    const int32_t timber = timber_def.object->get_int("id", -1);
    ASSERT_EQ(timber, 0);
    int32_t traders = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data_root + "/defs/traders"))
        traders += entry.path().filename().string()[0] != '!' ? 1 : 0;

    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-edit", "-default_controls"}, error)) << error;
    ASSERT_TRUE(frames(30));
    // Zoom out: pgup held for a tenth of a second; the pointer is then placed by the height the top
    // camera was drawn from.
    hold_key("pgup", true);
    ASSERT_TRUE(frames(6));
    hold_key("pgup", false);
    ASSERT_TRUE(frames(5));
    gfx_camera_t camera{};
    gfx_get_camera(&camera);
    ASSERT_GT(camera.position[1], 5000.0f);
    const top_view_t view{camera.position[1]};

    // The crossing's east arm at (2000, 0, 0): its middle at the origin, its arms 2000 away.
    ASSERT_TRUE(press("e"));
    ASSERT_TRUE(press("4"));
    ASSERT_TRUE(click(view.x_of(2000.0f), view.y_of(0.0f)));
    // Roads: from the north end to the north arm, then (after a fresh start) from the south arm south.
    ASSERT_TRUE(press("1"));
    ASSERT_TRUE(click(view.x_of(0.0f), view.y_of(-6500.0f)));
    ASSERT_TRUE(click(view.x_of(0.0f), view.y_of(-2000.0f)));
    ASSERT_TRUE(press("esc"));
    ASSERT_TRUE(press("e"));
    ASSERT_TRUE(click(view.x_of(0.0f), view.y_of(2000.0f)));
    ASSERT_TRUE(click(view.x_of(0.0f), view.y_of(5500.0f)));
    // The loading dock at the south road's end, its yard to the south.
    ASSERT_TRUE(press("3"));
    ASSERT_TRUE(click(view.x_of(0.0f), view.y_of(5500.0f)));
    // The start on the south road, just out of the dock.
    ASSERT_TRUE(press("s"));
    ASSERT_TRUE(click(view.x_of(0.0f), view.y_of(4000.0f)));
    ASSERT_TRUE(press("esc"));
    // Its shipper is chosen in its property dialog. With the view zoomed back in,
    // "Find Edge" (the field at pixel 354, 234) puts the view over the dock's first node (edge 3), where
    // in "Item Properties" a click opens the dialog; a click on "Shipper" (at pixel 356, 257), which
    // shows "---" below the traders, Up once per trader to the first one, a screenshot of the dialog
    // over the map, and Enter.
    hold_key("pgdn", true);
    ASSERT_TRUE(frames(6));
    hold_key("pgdn", false);
    ASSERT_TRUE(frames(5));
    ASSERT_TRUE(queue_input("0 press f\n0.05 release f\n0.3 cursor 354 234\n0.4 press mouse1\n"
                            "0.45 release mouse1\n0.6 press 3\n0.65 release 3\n0.8 press enter\n"
                            "0.85 release enter\n"));
    ASSERT_TRUE(frames(90));
    ASSERT_TRUE(press("p"));
    std::string shipper = "0 cursor 320 240\n0.3 press mouse1\n0.35 release mouse1\n0.8 cursor 356 257\n"
                          "0.9 press mouse1\n0.95 release mouse1\n";
    double at = 1.1;
    for (int32_t row = 0; row < traders; ++row, at += 0.1)
        shipper += std::to_string(at) + " press up\n" + std::to_string(at + 0.05) + " release up\n";
    shipper += std::to_string(at) + " press F10\n" + std::to_string(at + 0.05) + " release F10\n";
    shipper += std::to_string(at + 0.1) + " press enter\n" + std::to_string(at + 0.15) + " release enter\n";
    ASSERT_TRUE(queue_input(shipper));
    ASSERT_TRUE(frames(60));
    ASSERT_TRUE(frames(10));
    tap("F10");
    ASSERT_TRUE(frames(10));
    // Saved with its checks through the save dialog: the dialog reads the name the keys type after
    // the click.
    ASSERT_TRUE(queue_input("0 cursor 209 11\n0.1 press mouse1\n0.15 release mouse1\n"
                            "0.3 press e\n0.35 release e\n0.4 press d\n0.45 release d\n"
                            "0.5 press i\n0.55 release i\n0.6 press t\n0.65 release t\n"
                            "0.7 press e\n0.75 release e\n0.8 press d\n0.85 release d\n"
                            "0.9 press enter\n0.95 release enter\n"));
    ASSERT_TRUE(frames(90));
    ASSERT_TRUE(press("`"));
    ASSERT_TRUE(type("g_info"));
    ASSERT_TRUE(press("enter"));
    ASSERT_TRUE(press("`"));
    // The free camera's view.
    ASSERT_TRUE(press("c"));
    ASSERT_TRUE(frames(10));
    tap("F10");
    ASSERT_TRUE(frames(10));
    EXPECT_FALSE(engine_log_matching("Map successfuly saved").empty()) << log_tail();
    EXPECT_FALSE(engine_log_matching("This map has 1 loading docks").empty()) << log_tail();
    EXPECT_FALSE(engine_log_matching("Edge count : 4").empty());
    EXPECT_FALSE(engine_log_matching("Node count : 8").empty());
    const std::string maps = game_.home() + "/maps/";
    ASSERT_TRUE(std::filesystem::exists(maps + "edited.mbd"));
    EXPECT_GT(std::filesystem::file_size(maps + "edited.aid"), 8u);
    EXPECT_GT(std::filesystem::file_size(maps + "edited.rte"), 8u);
    keep_screenshots("editor");

    ASSERT_TRUE(roads_.load(data_root, maps + "edited.mbd", error)) << error;
    const int32_t north_end = roads_.nearest_node(vec3_t(0.0f, 0.0f, -6500.0f));
    ASSERT_GE(north_end, 0);
    ASSERT_GE(roads_.dock_entry(timber), 0) << "the map has Greywell Timber's dock";

    // The game on the edited map: the truck stands on the south road facing north.
    game_.stop();
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "edited", "-default_controls"}, error)) << error;
    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    const std::unique_ptr<truck_tracker_t> tracker = placed_truck();
    ASSERT_TRUE(tracker) << log_tail();
    EXPECT_NEAR(tracker->pose().position.z, 4000.0f, 50.0f);
    tap("2");
    ASSERT_TRUE(frames(10));
    // From the dock's entry over the crossing and up the north road.
    std::vector<route_point_t> route;
    ASSERT_TRUE(roads_.route(roads_.nearest_node(vec3_t(0.0f, 0.0f, 5500.0f)), north_end, 400.0f, route));
    drive(route, *tracker, 300.0f, "the dock to the north end");
    if (HasFatalFailure())
        return;
    for (int i = 0; i < 120; ++i)
        ASSERT_TRUE(game_.frame());
    tap("F10");
    ASSERT_TRUE(frames(30));
    EXPECT_TRUE(std::filesystem::exists(game_.home() + "/screenshots/aa_00003.png"));
}

// What a map maker does in one go while a dialog runs (the dialog takes its input from the queue): an
// input script built step by step, each step a tenth of a second after the one before.
struct input_steps_t {
    std::string text;
    double at = 0.0;

    input_steps_t& tap(const std::string& key)
    {
        text += std::to_string(at) + " press " + key + "\n" + std::to_string(at + 0.05) + " release " + key + "\n";
        at += 0.1;
        return *this;
    }
    input_steps_t& taps(const std::string& key, int count)
    {
        for (int i = 0; i < count; ++i)
            tap(key);
        return *this;
    }
    // Types lower-case letters and digits.
    input_steps_t& type(const std::string& keys)
    {
        for (const char c : keys)
            tap(std::string(1, c));
        return *this;
    }
    // Moves the pointer to pixel (x, y) of the 640 x 480 window, lets it rest there, and clicks.
    input_steps_t& click(int x, int y)
    {
        text += std::to_string(at) + " cursor " + std::to_string(x) + " " + std::to_string(y) + "\n";
        at += 0.3;
        return tap("mouse1");
    }
    bool queue() const { return queue_input(text); }
};

// The pixel of the middle of control (x, y, cx, cy) of a dialog cx by cy (dialog units, as its template
// lays them out) on the 640 x 480 window: dialogs stand in the middle of the screen at two reference
// units per dialog unit, under a caption bar of 22.
struct dialog_layout_t {
    int cx, cy;
    int x_of(int x, int width) const
    {
        const double left = (1024.0 - cx * 2.0) / 2.0;
        return static_cast<int>(std::lround((left + 2.0 * (x + width / 2.0)) * 640.0 / 1024.0));
    }
    int y_of(int y, int height) const
    {
        const double top = (768.0 + cy * 2.0 + 22.0) / 2.0 - 22.0;
        return static_cast<int>(std::lround((768.0 - (top - 2.0 * (y + height / 2.0))) * 480.0 / 768.0));
    }
};

// A map maker places every kind of item in the editor through its dialogs, with the pointer and keys
// only: a sign on a road, a city block beside a city road, a free item, a mover, a ground stamp beside
// the road and a map of their own imported at the pointer; saves the map; the game started on it
// draws them all.
TEST_F(drive_route_test, items_placed_through_the_editors_dialogs_are_saved_and_drawn_in_the_game)
{
    std::string error;
    // A small map to import later: one road, saved and put among the map maker's prefab maps.
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-edit", "-default_controls"}, error)) << error;
    ASSERT_TRUE(frames(30));
    ASSERT_TRUE(press("e"));
    ASSERT_TRUE(press("1"));
    ASSERT_TRUE(click(200, 240));
    ASSERT_TRUE(click(440, 240));
    ASSERT_TRUE(press("esc"));
    ASSERT_TRUE(input_steps_t{}.click(209, 11).type("piece").tap("enter").queue());
    ASSERT_TRUE(frames(90));
    const std::string home = game_.home();
    game_.stop();
    ASSERT_TRUE(std::filesystem::exists(home + "/maps/piece.mbd")) << log_tail();
    std::filesystem::create_directories(home + "/prefabs");
    std::filesystem::copy_file(home + "/maps/piece.mbd", home + "/prefabs/piece.mbd");

    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-edit", "-default_controls"}, error)) << error;
    ASSERT_TRUE(frames(30));
    gfx_camera_t camera{};
    gfx_get_camera(&camera);
    const top_view_t view{camera.position[1]};
    const float unit = view.units_per_pixel();
    // A Road down the left of the view and a City Road down the right.
    ASSERT_TRUE(press("e"));
    ASSERT_TRUE(press("1"));
    ASSERT_TRUE(click(120, 80));
    ASSERT_TRUE(click(120, 420));
    ASSERT_TRUE(press("esc"));
    ASSERT_TRUE(press("e"));
    ASSERT_TRUE(press("2"));
    ASSERT_TRUE(click(540, 80));
    ASSERT_TRUE(click(540, 420));
    ASSERT_TRUE(press("esc"));

    // A sign: the road's dialog (a click on its first node in "Item Properties"), "Edit Signs", "Add",
    // the sign moved half way along the road, a look at the two dialogs, "Close", then OK.
    const dialog_layout_t road_dialog{370, 256};
    const dialog_layout_t signs_dialog{320, 244};
    ASSERT_TRUE(press("p"));
    ASSERT_TRUE(input_steps_t{}
                    .click(120, 80)
                    .click(road_dialog.x_of(100, 60), road_dialog.y_of(210, 14))
                    .click(signs_dialog.x_of(10, 34), signs_dialog.y_of(172, 14))
                    .click(signs_dialog.x_of(130, 150), signs_dialog.y_of(16, 14))
                    .taps("pgdn", 5)
                    .tap("F10")
                    .click(signs_dialog.x_of(256, 60), signs_dialog.y_of(224, 14))
                    .click(road_dialog.x_of(150, 60), road_dialog.y_of(236, 14))
                    .queue());
    ASSERT_TRUE(frames(150));
    // A city block on the City Road's first side: its dialog, the check box, OK.
    const dialog_layout_t city_dialog{300, 200};
    ASSERT_TRUE(input_steps_t{}
                    .click(540, 80)
                    .click(city_dialog.x_of(16, 120), city_dialog.y_of(80, 10))
                    .tap("F10")
                    .click(city_dialog.x_of(8, 60), city_dialog.y_of(180, 14))
                    .queue());
    ASSERT_TRUE(frames(90));
    // A stamp: the brush opens "Select Stamp", where the sand takes the place of the grass; then a
    // click on the ground beside the road, 20 metres from its middle, and a look at it.
    const dialog_layout_t stamp_dialog{244, 142};
    ASSERT_TRUE(input_steps_t{}
                    .tap("b")
                    .click(stamp_dialog.x_of(126, 110), stamp_dialog.y_of(16, 100))
                    .tap("down")
                    .tap("enter")
                    .queue());
    ASSERT_TRUE(frames(60));
    ASSERT_TRUE(click(120 + static_cast<int>(std::lround(2000.0f / unit)), 250));
    tap("F10");
    ASSERT_TRUE(frames(10));
    // A free item, the shelter: the next model and look in its dialog, then Enter.
    const dialog_layout_t free_dialog{220, 134};
    ASSERT_TRUE(press("e"));
    ASSERT_TRUE(press("6"));
    ASSERT_TRUE(input_steps_t{}
                    .click(330, 140)
                    .click(free_dialog.x_of(74, 130), free_dialog.y_of(50, 12))
                    .tap("down")
                    .click(free_dialog.x_of(74, 130), free_dialog.y_of(66, 12))
                    .tap("down")
                    .tap("enter")
                    .queue());
    ASSERT_TRUE(frames(90));
    // A mover: "Mover" is the eighth type its dialog lists.
    const dialog_layout_t misc_dialog{220, 142};
    ASSERT_TRUE(press("8"));
    ASSERT_TRUE(input_steps_t{}
                    .click(330, 330)
                    .click(misc_dialog.x_of(74, 130), misc_dialog.y_of(8, 12))
                    .taps("down", 7)
                    .tap("enter")
                    .queue());
    ASSERT_TRUE(frames(90));
    // The small map imported at the pointer: the open dialog reads the name typed.
    ASSERT_TRUE(press("i"));
    ASSERT_TRUE(input_steps_t{}.click(330, 440).type("piece").tap("enter").queue());
    ASSERT_TRUE(frames(60));
    // The start near the road's south end; a look at the map; saved as "items".
    ASSERT_TRUE(press("s"));
    ASSERT_TRUE(click(120, 380));
    ASSERT_TRUE(press("esc"));
    tap("F10");
    ASSERT_TRUE(frames(10));
    ASSERT_TRUE(input_steps_t{}.click(209, 11).type("items").tap("enter").queue());
    ASSERT_TRUE(frames(90));
    EXPECT_FALSE(engine_log_matching("map piece.mbd was imported").empty()) << log_tail();
    ASSERT_TRUE(press("`"));
    ASSERT_TRUE(type("g_info"));
    ASSERT_TRUE(press("enter"));
    ASSERT_TRUE(press("`"));
    EXPECT_FALSE(engine_log_matching("Sign count : 1").empty()) << log_tail();
    EXPECT_FALSE(engine_log_matching("Cityblock count : 1").empty());
    EXPECT_FALSE(engine_log_matching("Freeitem count : 1").empty());
    EXPECT_FALSE(engine_log_matching("Miscitem count : 1").empty());
    EXPECT_FALSE(engine_log_matching("Edge count : 3").empty()) << "the two roads and the imported one";
    keep_screenshots("editor");
    game_.stop();

    // The game on that map draws the sign's board, the block's houses, the shelter, the mover's gate
    // and, in the road's ground, the stamp's blend of grass into sand.
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "items", "-default_controls"}, error)) << error;
    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    std::set<std::string> drawn;
    for (int i = 0; i < 120; ++i) {
        ASSERT_TRUE(game_.frame());
        for (const gfx_recorded_model_t& model : gfx_record_last().models)
            drawn.emplace(model.shader_path);
        for (const gfx_recorded_proto_t& proto : gfx_record_last().protos)
            drawn.emplace(proto.shader_path);
    }
    tap("F10");
    ASSERT_TRUE(frames(30));
    std::string seen;
    for (const std::string& path : drawn)
        seen += path + " ";
    for (const char* shader : {"/shaders/signs/board.shd", "/shaders/scenery/walls.shd", "/shaders/scenery/roof.shd",
                               "/shaders/scenery/metal.shd"})
        EXPECT_TRUE(drawn.count(shader)) << shader << " is not among " << seen;
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(),
                            [](const std::string& path) { return path.find("/shaders/blend/grass_sand_") == 0; }))
        << "no blend of the stamp among " << seen;
}

}  // namespace
