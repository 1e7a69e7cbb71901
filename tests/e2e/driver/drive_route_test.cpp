// The player's truck driven over the sample map's roads by a closed-loop driver that presses the
// default keys, from Brenmoor to the Tarsk Quarry dock and on through the quarry's yard to Halvik.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/host.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"
#include "game_session.h"
#include "road_route.h"
#include "route_driver.h"
#include "truck_tracker.h"

namespace {

const std::string data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";

// The first object named `object` of the definition file at the host path `path`, kept with its pool.
struct def_file_t {
    std::unique_ptr<def_pool_t> pool;
    const def_obj_t* object = nullptr;

    def_file_t(const std::string& path, const char* name)
    {
        std::ifstream file(path);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        pool = def_pool_t::parse(text, path);
        object = pool ? pool->find(name) : nullptr;
    }
};

class drive_route_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        documents_ = std::filesystem::temp_directory_path() /
                     ("kavrenta_drive_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                      std::to_string(getpid()));
        std::filesystem::create_directories(documents_);
    }
    void TearDown() override
    {
        game_.stop();
        // KAVRENTA_DRIVE_SHOTS names a folder that keeps the drive's screenshots for a look.
        if (const char* keep = std::getenv("KAVRENTA_DRIVE_SHOTS")) {
            std::error_code ignored;
            std::filesystem::copy(
                game_.home() + "/screenshots", keep,
                std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, ignored);
        }
        std::error_code ignored;
        std::filesystem::remove_all(documents_, ignored);
    }

    // Presses and releases a key, as a player's tap.
    static void tap(const char* key)
    {
        std::vector<inp_event_t> events;
        if (inp_script_parse(std::string("0 press ") + key + "\n0.1 release " + key + "\n", "tap", events))
            inp_queue_events(events);
    }

    // Runs frames until a log line holds `fragment`; false when `frames` pass first.
    bool run_until_logged(const std::string& fragment, int frames)
    {
        for (int i = 0; i < frames; ++i) {
            if (!engine_log_matching(fragment).empty())
                return true;
            if (!game_.frame()) {
                std::printf("frame %d ended the game (quit %d)\n", i, host_quit_requested());
                return false;
            }
        }
        return !engine_log_matching(fragment).empty();
    }

    // The last lines the game logged.
    static std::string log_tail()
    {
        const std::vector<log_entry_t>& lines = log_captured();
        std::string tail;
        for (size_t i = lines.size() > 30 ? lines.size() - 30 : 0; i < lines.size(); ++i)
            tail += lines[i].text + "\n";
        return tail;
    }

    // True when `where` lies within edge `edge`'s bounds in the ground plane.
    static bool inside(const map_edge_t& edge, const vec3_t& where)
    {
        return where.x >= edge.bounds.minimum[0] && where.x <= edge.bounds.maximum[0] &&
               where.z >= edge.bounds.minimum[2] && where.z <= edge.bounds.maximum[2];
    }

    // True when `where` lies on one of the map's junctions (within its bounds).
    bool on_junction(const vec3_t& where) const
    {
        const road_network_t& network = roads_.network();
        for (int32_t e = 0; e < network.edges.count; ++e)
            if (map_edge_kind_is_prefab(network.edges[e].kind) && inside(network.edges[e], where))
                return true;
        return false;
    }

    // Drives `route` to its end; every frame the truck must be on the road's surface. At most `seconds`.
    void drive(std::vector<route_point_t> route, truck_tracker_t& tracker, float seconds, const char* leg)
    {
        route_driver_t driver(route_driver_t::lead_in(tracker.pose(), route, 1200.0f));
        const float dt = static_cast<float>(game_.frame_seconds());
        const int frames = static_cast<int>(seconds / dt);
        int shots = 0;
        float worst = 0.0f;
        // Frames in a row the truck has stood still on its way: a stop the driver did not ask for (a
        // police ticket, a snag) shows as a long one.
        int standing = 0;
        for (int i = 0; i < frames && !driver.arrived(); ++i) {
            ASSERT_TRUE(game_.frame());
            ASSERT_TRUE(tracker.update()) << leg << ": the truck was not drawn at frame " << i;
            driver.step(tracker.pose(), dt);
            standing = std::fabs(driver.speed()) < 0.3f && !driver.arrived() ? standing + 1 : 0;
            ASSERT_LT(standing * dt, 3.0f) << leg << ": the truck stood still at " << tracker.pose().position.x << " "
                                           << tracker.pose().position.z;
            const route_point_t& at = driver.nearest();
            const map_edge_t& edge = roads_.network().edges[at.edge];
            const vec3_t where = tracker.pose().position;
            // Past the route's last point the truck rolls onto the junction the route ends at.
            const std::vector<route_point_t>& line = driver.route();
            const size_t last = line.size() - 1;
            const bool past_end = driver.nearest_index() == last && last > 0 &&
                                  (where - line[last].middle).dot(line[last].middle - line[last - 1].middle) > 0.0f;
            if (map_edge_kind_is_prefab(edge.kind)) {
                ASSERT_TRUE(inside(edge, where))
                    << leg << ": off junction " << at.edge << " at " << where.x << " " << where.z;
            } else if (past_end) {
                ASSERT_TRUE(on_junction(where))
                    << leg << ": past the route's end, off the junctions at " << where.x << " " << where.z;
            } else {
                worst = std::max(worst, driver.off_middle());
                ASSERT_LE(driver.off_middle(), at.half_width)
                    << leg << ": off the road at " << where.x << " " << where.y << " " << where.z << " (edge "
                    << at.edge << ", point " << driver.nearest_index() << " of " << driver.route().size() << ")";
            }
            ASSERT_LT(std::fabs(where.y - at.middle.y), 250.0f)
                << leg << ": not on the road's surface at " << where.x << " " << where.y << " " << where.z;
            if (i % 1800 == 900 && shots < 3) {
                tap("F10");
                ++shots;
            }
        }
        driver.release_keys();
        EXPECT_TRUE(driver.arrived()) << leg << ": not there after " << seconds << " s, at point "
                                      << driver.nearest_index() << " of " << driver.route().size();
        std::printf("%s: the truck kept within %.0f cm of the road's middle\n", leg, worst);
    }

    std::filesystem::path documents_;
    game_session_t game_;
    road_route_t roads_;
};

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
    const std::vector<std::string> placed = engine_log_matching("placed at");
    ASSERT_FALSE(placed.empty());
    char make[64] = "";
    vec3_t start;
    ASSERT_EQ(std::sscanf(placed.front().c_str(), "<car_player_e> %63s placed at %f %f %f", make, &start.x, &start.y,
                          &start.z),
              4);
    truck_tracker_t tracker(make, start);
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

}  // namespace
