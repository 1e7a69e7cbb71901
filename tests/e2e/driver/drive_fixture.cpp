#include "drive_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "engine/host.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine/log.h"
#include "engine/pml_draw.h"
#include "engine_testing/engine_test.h"
#include "route_driver.h"

const std::string drive_fixture_t::data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";

def_file_t::def_file_t(const std::string& path, const char* name)
{
    std::ifstream file(path);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    pool = def_pool_t::parse(text, path);
    object = pool ? pool->find(name) : nullptr;
}

bool queue_input(const std::string& script)
{
    std::vector<inp_event_t> events;
    if (!inp_script_parse(script, "test input", events))
        return false;
    inp_queue_events(events);
    return true;
}

namespace {

// The items the markup drew in the newest frame that drew any, in drawing order.
std::vector<const pml_drawn_t*> newest_drawn()
{
    int newest = -1;
    for (const pml_drawn_t& drawn : pml_drawn())
        newest = std::max(newest, drawn.frame);
    std::vector<const pml_drawn_t*> items;
    for (const pml_drawn_t& drawn : pml_drawn())
        if (drawn.frame == newest)
            items.push_back(&drawn);
    return items;
}

std::string text_of(const std::vector<const pml_drawn_t*>& items)
{
    std::string text;
    for (const pml_drawn_t* drawn : items)
        text += drawn->item.id == pml_item_image ? '#' : static_cast<char>(drawn->item.id);
    return text;
}

}  // namespace

void drive_fixture_t::SetUp()
{
    documents_ = std::filesystem::temp_directory_path() /
                 ("kavrenta_drive_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                  std::to_string(getpid()));
    std::filesystem::create_directories(documents_);
}

void drive_fixture_t::TearDown()
{
    game_.stop();
    // A test that wrote down what its frames drew leaves the next one writing nothing.
    host_settings().drawn_text.clear();
    keep_screenshots();
    std::error_code ignored;
    std::filesystem::remove_all(documents_, ignored);
}

void tap_key(const char* key) { queue_input(std::string("0 press ") + key + "\n0.1 release " + key + "\n"); }

bool run_frames(game_session_t& game, const int count)
{
    for (int i = 0; i < count; ++i)
        if (!game.frame())
            return false;
    return true;
}

bool run_until_logged(game_session_t& game, const std::string& fragment, const int count)
{
    for (int i = 0; i < count; ++i) {
        if (!engine_log_matching(fragment).empty())
            return true;
        if (!game.frame()) {
            std::printf("frame %d ended the game (quit %d)\n", i, host_quit_requested());
            return false;
        }
    }
    return !engine_log_matching(fragment).empty();
}

std::string logged_tail()
{
    const std::vector<log_entry_t>& lines = log_captured();
    std::string tail;
    for (size_t i = lines.size() > 30 ? lines.size() - 30 : 0; i < lines.size(); ++i)
        tail += lines[i].text + "\n";
    return tail;
}

std::unique_ptr<truck_tracker_t> placed_truck_tracker(std::string* make)
{
    const std::vector<std::string> placed = engine_log_matching("placed at");
    char name[64] = "";
    vec3_t start;
    if (placed.empty() || std::sscanf(placed.back().c_str(), "<car_player_e> %63s placed at %f %f %f", name, &start.x,
                                      &start.y, &start.z) != 4)
        return nullptr;
    if (make)
        *make = name;
    return std::make_unique<truck_tracker_t>(name, start);
}

void drive_fixture_t::tap(const char* key) { tap_key(key); }

void drive_fixture_t::hold_key(const char* key, bool down)
{
    queue_input(std::string("0 ") + (down ? "press " : "release ") + key + "\n");
}

bool drive_fixture_t::frames(const int count) { return run_frames(game_, count); }

bool drive_fixture_t::press(const char* key)
{
    tap(key);
    return frames(12);
}

bool drive_fixture_t::type(const std::string& text)
{
    for (const char c : text) {
        if (c == '_') {
            hold_key("lshift", true);
            if (!frames(2))
                return false;
            if (!press("-"))
                return false;
            hold_key("lshift", false);
        } else if (!press(std::string(1, c).c_str())) {
            return false;
        }
    }
    return true;
}

bool drive_fixture_t::click(const int x, const int y)
{
    if (!queue_input("0 cursor " + std::to_string(x) + " " + std::to_string(y) +
                     "\n0.1 press mouse1\n0.15 release mouse1\n"))
        return false;
    return frames(20);
}

bool drive_fixture_t::run_until_logged(const std::string& fragment, int count)
{
    return ::run_until_logged(game_, fragment, count);
}

std::string drive_fixture_t::log_tail() { return logged_tail(); }

void drive_fixture_t::keep_screenshots(const std::string& under) const
{
    const char* const keep = std::getenv("KAVRENTA_DRIVE_SHOTS");
    if (!keep)
        return;
    const std::filesystem::path folder =
        under.empty() ? std::filesystem::path(keep) : std::filesystem::path(keep) / under;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    std::filesystem::copy(game_.home() + "/screenshots", folder,
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                          ignored);
}

std::string drive_fixture_t::drawn_text() { return text_of(newest_drawn()); }

bool drive_fixture_t::run_until_drawn(const std::string& text, int count)
{
    for (int i = 0; i < count; ++i) {
        if (drawn_text().find(text) != std::string::npos)
            return true;
        if (!game_.frame())
            return false;
    }
    return drawn_text().find(text) != std::string::npos;
}

bool drive_fixture_t::click_text(const std::string& text, const bool whole)
{
    const std::vector<const pml_drawn_t*> items = newest_drawn();
    const std::string line = text_of(items);
    if (text.empty())
        return false;
    const auto alone = [&](const size_t at) {
        return (at == 0 || line[at - 1] == '#') && (at + text.size() == line.size() || line[at + text.size()] == '#');
    };
    size_t at = line.find(text);
    while (whole && at != std::string::npos && !alone(at))
        at = line.find(text, at + 1);
    if (at == std::string::npos)
        return false;
    // The markup lays out on the 1024 x 768 reference screen, y up; the pointer moves in the window's
    // pixels, y down.
    const pml_rect_t& first = items[at]->item.box;
    const pml_rect_t& last = items[at + text.size() - 1]->item.box;
    const float x = (first.left + last.right) * 0.5f;
    const float y = (first.top + first.bottom) * 0.5f;
    return click(static_cast<int>(std::lround(x * 640.0f / 1024.0f)),
                 static_cast<int>(std::lround((768.0f - y) * 480.0f / 768.0f)));
}

std::unique_ptr<truck_tracker_t> drive_fixture_t::placed_truck(std::string* make) { return placed_truck_tracker(make); }

int32_t drive_fixture_t::dock_of(const char* trader_file)
{
    const def_file_t trader(data_root + "/defs/traders/" + trader_file, "trader");
    return trader.object ? roads_.dock_entry(trader.object->get_int("id", -1)) : -1;
}

bool drive_fixture_t::inside(const map_edge_t& edge, const vec3_t& where, const float margin)
{
    return where.x >= edge.bounds.minimum[0] - margin && where.x <= edge.bounds.maximum[0] + margin &&
           where.z >= edge.bounds.minimum[2] - margin && where.z <= edge.bounds.maximum[2] + margin;
}

bool drive_fixture_t::on_junction(const vec3_t& where) const
{
    const road_network_t& network = roads_.network();
    for (int32_t e = 0; e < network.edges.count; ++e)
        if (map_edge_kind_is_prefab(network.edges[e].kind) && inside(network.edges[e], where))
            return true;
    return false;
}

void drive_fixture_t::drive(std::vector<route_point_t> route, truck_tracker_t& tracker, float seconds, const char* leg)
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
            // At a junction's arm the truck crosses onto the road while the arm's point is still the
            // nearest: a road's half width past the junction's bounds still counts as on it.
            ASSERT_TRUE(inside(edge, where, at.half_width))
                << leg << ": off junction " << at.edge << " at " << where.x << " " << where.z;
        } else if (past_end) {
            ASSERT_TRUE(on_junction(where))
                << leg << ": past the route's end, off the junctions at " << where.x << " " << where.z;
        } else {
            worst = std::max(worst, driver.off_middle());
            ASSERT_LE(driver.off_middle(), at.half_width)
                << leg << ": off the road at " << where.x << " " << where.y << " " << where.z << " (edge " << at.edge
                << ", point " << driver.nearest_index() << " of " << driver.route().size() << ")";
        }
        ASSERT_LT(std::fabs(where.y - at.middle.y), 250.0f)
            << leg << ": not on the road's surface at " << where.x << " " << where.y << " " << where.z;
        if (i % 1800 == 900 && shots < 3) {
            tap("F10");
            ++shots;
        }
    }
    driver.release_keys();
    EXPECT_TRUE(driver.arrived()) << leg << ": not there after " << seconds << " s, at point " << driver.nearest_index()
                                  << " of " << driver.route().size();
    std::printf("%s: the truck kept within %.0f cm of the road's middle\n", leg, worst);
}
