// A career's visit to the truck dealer, played as a player plays it: the start script starts a new game,
// the closed-loop driver takes the truck from its start in Brenmoor over the crossing and down the
// south street until the dealer at the street's side opens the notebook, and the shop script does the
// business there (its screenshots write what they drew to the drawn-text file).
//
//     e2e_dealer_visit DATA HOME DRAWN_TEXT START_SCRIPT SHOP_SCRIPT
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/host.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine_testing/engine_test.h"
#include "engine_testing/ui_driver.h"
#include "drive_fixture.h"
#include "game_session.h"
#include "road/map_miscitem.h"
#include "road_route.h"
#include "route_driver.h"
#include "truck_tracker.h"

namespace {

// What the trucks page draws and no other screen does: the label of the slot truck's value.
constexpr const char* trucks_page_mark = "Truck value";

int fail(const char* what)
{
    std::fprintf(stderr, "e2e_dealer_visit: %s\n%s", what, logged_tail().c_str());
    return 1;
}

// The first truck dealer of the map, -1 when it has none.
int32_t first_dealer(const road_network_t& network)
{
    for (int32_t i = 0; i < network.miscitems.count; ++i)
        if (network.miscitems[i].type == map_misc_dealer)
            return i;
    return -1;
}

// `route` cut a little past the point nearest `target`, so that the driver slows down by it.
void end_past(std::vector<route_point_t>& route, const vec3_t& target, const size_t points_past)
{
    size_t nearest = 0;
    float best = std::numeric_limits<float>::max();
    for (size_t i = 0; i < route.size(); ++i) {
        const vec3_t d = route[i].lane - target;
        const float distance = d.x * d.x + d.z * d.z;
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    route.resize(std::min(route.size(), nearest + points_past + 1));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: e2e_dealer_visit DATA HOME DRAWN_TEXT START_SCRIPT SHOP_SCRIPT\n");
        return 2;
    }
    const std::string data_root = argv[1];
    game_session_t game;
    std::string error;
    if (!game.start(data_root, argv[2], {"-default_controls"}, error))
        return fail(error.c_str());
    host_settings().drawn_text = argv[3];
    road_route_t roads;
    if (!roads.load(data_root, data_root + "/maps/mainland.mbd", error))
        return fail(error.c_str());
    const int32_t dealer = first_dealer(roads.network());
    if (dealer < 0)
        return fail("the sample map has no truck dealer");
    const vec3_t dealer_at = roads.network().miscitems[dealer].points[0];

    // The new game, and what the start script does before the drive.
    if (!inp_script_load(argv[4]))
        return fail("the start script cannot be read");
    if (!run_until_logged(game, "<car_player_e> the drive starts", 3000))
        return fail("the career did not start");
    while (inp_queue_pending() > 0)
        if (!game.frame())
            return fail("the game ended in the start script");
    const std::unique_ptr<truck_tracker_t> placed = placed_truck_tracker();
    if (!placed)
        return fail("the truck's start was not logged");
    truck_tracker_t& tracker = *placed;
    const vec3_t start = tracker.pose().position;
    // The view from behind the truck.
    tap_key("2");
    if (!run_frames(game, 10) || !tracker.update())
        return fail("the truck is not drawn");

    // From the street behind the start over the crossing into the street of the dealer, ending a little
    // past the dealer.
    std::vector<route_point_t> route;
    const int32_t behind = roads.nearest_node(start - tracker.pose().forward * 10000.0f);
    const int32_t street_end = roads.nearest_node(dealer_at);
    if (!roads.route(behind, street_end, 400.0f, route))
        return fail("no road leads from the start to the dealer's street");
    end_past(route, dealer_at, 4);
    route_driver_t driver(route_driver_t::lead_in(tracker.pose(), route, 1200.0f));
    const float dt = static_cast<float>(game.frame_seconds());
    bool opened = false;
    int after_arrival = 0;
    for (int i = 0; i < static_cast<int>(120.0f / dt) && !opened && after_arrival < 300; ++i) {
        if (!game.frame())
            return fail("the game ended on the way");
        opened = ui_driver_drawn_text().find(trucks_page_mark) != std::string::npos;
        if (!opened && tracker.update())
            driver.step(tracker.pose(), dt);
        after_arrival += driver.arrived() ? 1 : 0;
    }
    driver.release_keys();
    if (!opened)
        return fail("driving past the dealer did not open the trucks page");
    // A dealer serves a truck within 10 m; the truck was last seen a frame before the page showed.
    const vec3_t off = tracker.pose().position - dealer_at;
    if (off.x * off.x + off.z * off.z > 1200.0f * 1200.0f)
        return fail("the trucks page opened away from the dealer");
    std::printf("the dealer opened the trucks page with the truck at %.0f %.0f\n", tracker.pose().position.x,
                tracker.pose().position.z);

    // A screenshot of the page as the dealer opened it, then the business at the dealer.
    tap_key("F10");
    if (!run_frames(game, 30) || !inp_script_load(argv[5]))
        return fail("the shop script cannot be read");
    while (inp_queue_pending() > 0)
        if (!game.frame())
            return fail("the game ended in the shop");
    if (!run_frames(game, 200))
        return fail("the game ended after the shop");
    game.stop();
    return 0;
}
