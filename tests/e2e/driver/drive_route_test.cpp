// The player's truck driven over the sample map's roads by a closed-loop driver that presses the
// default keys, from Brenmoor to the Tarsk Quarry dock and on through the quarry's yard to Halvik.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "drive_fixture.h"
#include "editor/edit_ini.h"
#include "engine/gfx_view.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine_testing/engine_test.h"
#include "route_driver.h"

namespace {

using drive_route_test = drive_fixture_t;

TEST_F(drive_route_test, the_truck_drives_from_brenmoor_by_tarsk_quarry_to_halvik_on_the_road)
{
    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "mainland", "-default_controls"}, error)) << error;
    // The map is read with the module's own reader, which reports through the engine the module bound.
    ASSERT_TRUE(roads_.load(data_root, data_root + "/maps/mainland.mbd", error)) << error;
    const def_file_t quarry_def(data_root + "/defs/traders/tarsk_quarry.def", "trader");
    ASSERT_TRUE(quarry_def.object);
    const int32_t quarry = roads_.dock_entry(quarry_def.object->get_int("id", -1));
    ASSERT_GE(quarry, 0) << "the map has Tarsk Quarry's dock";
    const def_file_t halvik_def(data_root + "/defs/traders/lumen_foods.def", "trader");
    ASSERT_TRUE(halvik_def.object);
    const int32_t halvik = roads_.dock_entry(halvik_def.object->get_int("id", -1));
    ASSERT_GE(halvik, 0) << "the map has Halvik's dock";

    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    const std::unique_ptr<truck_tracker_t> placed = placed_truck();
    ASSERT_TRUE(placed);
    truck_tracker_t& tracker = *placed;
    const vec3_t start = tracker.pose().position;
    // The view from behind the truck.
    tap("2");
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(game_.frame());

    // The truck starts on Brenmoor's south street facing north: the route runs from the street's far end
    // behind it, across the crossing and up the north road to Tarsk Quarry's dock.
    std::vector<route_point_t> route;
    const vec3_t behind = start - tracker.pose().forward * 10000.0f;
    ASSERT_TRUE(roads_.route(roads_.nearest_node(behind), quarry, 400.0f, route));
    drive(route, tracker, 600.0f, "Brenmoor to Tarsk Quarry");
    if (HasFatalFailure())
        return;
    // Through the quarry's yard and down to the junction east of Brenmoor, then east to Halvik's dock.
    route.clear();
    ASSERT_TRUE(roads_.route(quarry, halvik, 400.0f, route));
    drive(route, tracker, 900.0f, "Tarsk Quarry to Halvik");
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
    // The map maker's defaults from an earlier session: the loading dock's trader is Greywell Timber.
    const def_file_t timber_def(data_root + "/defs/traders/greywell_timber.def", "trader");
    ASSERT_TRUE(timber_def.object);
    const int32_t timber = timber_def.object->get_int("id", -1);
    edit_ini_t ini;
    ini.defaults.edges[edit_default_fork].sides[0].vegetation = timber;
    const std::vector<uint8_t> ini_bytes = edit_ini_write(ini);
    std::filesystem::create_directories(documents_ / "Kavrenta");
    std::ofstream(documents_ / "Kavrenta" / "edit.ini", std::ios::binary)
        .write(reinterpret_cast<const char*>(ini_bytes.data()), static_cast<std::streamsize>(ini_bytes.size()));

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
    ASSERT_TRUE(frames(10));
    tap("F10");
    ASSERT_TRUE(frames(10));
    // Saved with its checks through the save dialog: the dialog reads the name the keys type after
    // the click.
    std::vector<inp_event_t> events;
    ASSERT_TRUE(inp_script_parse("0 cursor 209 11\n0.1 press mouse1\n0.15 release mouse1\n"
                                 "0.3 press e\n0.35 release e\n0.4 press d\n0.45 release d\n"
                                 "0.5 press i\n0.55 release i\n0.6 press t\n0.65 release t\n"
                                 "0.7 press e\n0.75 release e\n0.8 press d\n0.85 release d\n"
                                 "0.9 press enter\n0.95 release enter\n",
                                 "save", events));
    inp_queue_events(events);
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
    if (const char* keep = std::getenv("KAVRENTA_DRIVE_SHOTS")) {
        std::error_code ignored;
        std::filesystem::create_directories(std::string(keep) + "/editor", ignored);
        std::filesystem::copy(
            game_.home() + "/screenshots", std::string(keep) + "/editor",
            std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, ignored);
    }

    ASSERT_TRUE(roads_.load(data_root, maps + "edited.mbd", error)) << error;
    const int32_t north_end = roads_.nearest_node(vec3_t(0.0f, 0.0f, -6500.0f));
    ASSERT_GE(north_end, 0);
    ASSERT_GE(roads_.dock_entry(timber), 0) << "the map has Greywell Timber's dock";

    // The game on the edited map: the truck stands on the south road facing north.
    game_.stop();
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "edited", "-default_controls"}, error)) << error;
    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    const std::unique_ptr<truck_tracker_t> placed = placed_truck();
    ASSERT_TRUE(placed);
    truck_tracker_t& tracker = *placed;
    EXPECT_NEAR(tracker.pose().position.z, 4000.0f, 50.0f);
    tap("2");
    ASSERT_TRUE(frames(10));
    // From the dock's entry over the crossing and up the north road.
    std::vector<route_point_t> route;
    ASSERT_TRUE(roads_.route(roads_.nearest_node(vec3_t(0.0f, 0.0f, 5500.0f)), north_end, 400.0f, route));
    drive(route, tracker, 300.0f, "the dock to the north end");
    if (HasFatalFailure())
        return;
    for (int i = 0; i < 120; ++i)
        ASSERT_TRUE(game_.frame());
    tap("F10");
    ASSERT_TRUE(frames(30));
    EXPECT_TRUE(std::filesystem::exists(game_.home() + "/screenshots/aa_00002.png"));
}

}  // namespace
