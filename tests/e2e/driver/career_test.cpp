// A career played as a player plays it on the sample map: a new game set up from the main menu with the
// pointer, the scenario's truck turned round on Brenmoor's crossing and driven by the closed-loop driver
// round by the crossing east of it into Tarsk Quarry's yard by its back gate, where it pulls up ahead of
// a job's trailer and backs under it. Hitched, it tows the trailer out of the yard by its entry and round
// by Brenmoor's crossing onto the east road; half way there the game is saved from the in-game menu
// and quit, and a new run loads it from the main menu and finds the trailer hitched and the job's panel
// shown. The truck goes on over the weigh station's scales to Halvik's dock, where the trailer is
// unhitched and the job paid; the call-911 window closes the run. Every check reads what the game drew:
// the markup text of the frames photographed on the way (as the host's --drawn-text writes it) and the
// models the model library drew.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

#include "drive_fixture.h"
#include "engine/geometry.h"
#include "engine/host.h"
#include "engine/matrix.h"
#include "engine/psm.h"
#include "engine/psm_record.h"
#include "engine_testing/engine_test.h"
#include "route_driver.h"

namespace {

float ground_distance(const vec3_t& a, const vec3_t& b) { return std::hypot(a.x - b.x, a.z - b.z); }

// A trailer the newest frame drew: where its kingpin (its base model's "hook" bone) is and which way
// it faces.
struct drawn_trailer_t {
    vec3_t kingpin;
    vec3_t forward;
};

std::vector<drawn_trailer_t> drawn_trailers()
{
    const std::vector<psm_draw_record_t>& records = psm_draw_records();
    int newest = -1;
    for (const psm_draw_record_t& record : records)
        newest = std::max(newest, record.frame);
    std::vector<drawn_trailer_t> found;
    for (const psm_draw_record_t& record : records) {
        if (record.frame != newest)
            continue;
        const psm_info_t* const info = psm_get_info(const_cast<psm_t*>(record.model));
        if (!info || !info->path)
            continue;
        const std::string path = info->path;
        if (path.rfind("/makes/trailer/", 0) != 0 || path.find("/acc/base/") == std::string::npos)
            continue;
        for (int b = 0; b < info->bone_count; ++b) {
            if (std::string(info->bones[b].name) != "hook")
                continue;
            // Column vectors stored row by row.
            const mat4_t& hook = info->bones[b].global;
            const float* w = record.world;
            const vec3_t local{hook[0][3], hook[1][3], hook[2][3]};
            found.push_back({{w[0] * local.x + w[1] * local.y + w[2] * local.z + w[3],
                              w[4] * local.x + w[5] * local.y + w[6] * local.z + w[7],
                              w[8] * local.x + w[9] * local.y + w[10] * local.z + w[11]},
                             vec3_t{-w[2], 0.0f, -w[10]}.normalized()});
        }
    }
    return found;
}

// The amounts of money ("$12,345", "-$80") a text shows, in order.
std::vector<long> amounts_in(const std::string& text)
{
    std::vector<long> amounts;
    for (size_t at = text.find('$'); at != std::string::npos; at = text.find('$', at + 1)) {
        std::string digits;
        for (size_t i = at + 1;
             i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == ','); ++i)
            if (text[i] != ',')
                digits += text[i];
        if (!digits.empty())
            amounts.push_back((at > 0 && text[at - 1] == '-' ? -1 : 1) * std::stol(digits));
    }
    return amounts;
}

// The money the main HUD shows in a frame's drawn text: the amount drawn last before its prestige
// label (a dock's window and the job's panel draw amounts of their own before and after it).
long hud_money(const std::string& text)
{
    const std::vector<long> amounts = amounts_in(text.substr(0, text.find("Prestige")));
    return amounts.empty() ? 0 : amounts.back();
}

// True when a drawn text holds no template place mark ("%0") and no raw text key ("@@", "ui_...").
bool shows_plainly(const std::string& text)
{
    for (const char* raw : {"%0", "%1", "@@", "ui_", "sc_", "cargo_"})
        if (text.find(raw) != std::string::npos)
            return false;
    return !text.empty();
}

// A straight line of route points from `from` to `to`, about a metre apart, on edge `edge`.
std::vector<route_point_t> line_between(const vec3_t& from, const vec3_t& to, const int32_t edge)
{
    std::vector<route_point_t> out;
    const int steps = std::max(1, static_cast<int>(ground_distance(from, to) / 100.0f));
    for (int i = 1; i <= steps; ++i) {
        const vec3_t at = from + (to - from) * (static_cast<float>(i) / static_cast<float>(steps));
        out.push_back({at, at, 3000.0f, edge});
    }
    return out;
}

class career_test : public drive_fixture_t {
protected:
    // The junction whose bounds hold `where`, -1 when none does.
    int32_t junction_at(const vec3_t& where) const
    {
        const road_network_t& network = roads_.network();
        for (int32_t e = 0; e < network.edges.count; ++e)
            if (map_edge_kind_is_prefab(network.edges[e].kind) && inside(network.edges[e], where))
                return e;
        return -1;
    }

    // Takes a screenshot with the game's key (F10), keeps it as "<shots>/<name>.png" and answers the
    // markup text its frame drew, as the host's --drawn-text writes it down.
    std::string photograph(const std::string& name)
    {
        const std::string drawn = host_settings().drawn_text;
        std::ifstream before(drawn);
        size_t lines = 0;
        for (std::string line; std::getline(before, line);)
            ++lines;
        tap("F10");
        for (int i = 0; i < 60; ++i) {
            if (!game_.frame())
                break;
            std::ifstream after(drawn);
            std::vector<std::string> read;
            for (std::string line; std::getline(after, line);)
                read.push_back(line);
            if (read.size() <= lines)
                continue;
            // The newest picture is the one just taken.
            const std::filesystem::path folder = game_.home() + "/screenshots";
            std::filesystem::path newest;
            for (const auto& entry : std::filesystem::directory_iterator(folder))
                if (newest.empty() || entry.path().filename() > newest.filename())
                    newest = entry.path();
            std::filesystem::create_directories(shots_);
            const std::filesystem::path kept = shots_ / (name + ".png");
            std::filesystem::copy_file(newest, kept, std::filesystem::copy_options::overwrite_existing);
            std::printf("screenshot %s\n", kept.c_str());
            const std::string& text = read[lines];
            return text.substr(text.find(": ") + 2);
        }
        ADD_FAILURE() << "F10 photographed nothing for " << name;
        return {};
    }

    // Lets the truck stand for `count` frames, keeping track of it.
    void stand(truck_tracker_t& tracker, const int count)
    {
        for (int i = 0; i < count; ++i) {
            ASSERT_TRUE(game_.frame());
            tracker.update();
        }
    }

    // Follows `line` at a walking pace (at most `top_speed` m/s forwards), forwards or backing, until
    // `done` holds for the truck (or, without one, until the truck stands at the line's end); at most
    // `seconds`. The keys are let go then.
    void manoeuvre(const std::vector<route_point_t>& line, truck_tracker_t& tracker, const bool backwards,
                   const float seconds, const std::function<bool(const truck_pose_t&)>& done,
                   const float top_speed = 3.0f)
    {
        route_driver_t::settings_t settings;
        settings.backwards = backwards;
        settings.top_speed = backwards ? 1.0f : top_speed;
        route_driver_t driver(line, settings);
        const float dt = static_cast<float>(game_.frame_seconds());
        const auto finished = [&] { return done ? done(tracker.pose()) : driver.arrived(); };
        for (int i = 0; i < static_cast<int>(seconds / dt) && !finished(); ++i) {
            ASSERT_TRUE(game_.frame());
            ASSERT_TRUE(tracker.update());
            driver.step(tracker.pose(), dt);
        }
        driver.release_keys();
        ASSERT_TRUE(finished()) << "the manoeuvre did not end, at " << tracker.pose().position.x << " "
                                << tracker.pose().position.z;
    }

    // The junction the node `node` is an arm of, -1 when none.
    int32_t back_gate_edge(const int32_t node) const { return junction_at(roads_.network().nodes[node].position); }

    // A smooth line of points about a metre apart from the truck at `pose` to `to`, arriving along `heading`.
    static std::vector<route_point_t> curve_to(const truck_pose_t& pose, const vec3_t& to, const vec3_t& heading,
                                               const int32_t edge)
    {
        const float length = ground_distance(pose.position, to);
        const int steps = std::max(1, static_cast<int>(length / 100.0f));
        std::vector<route_point_t> out;
        for (int i = 1; i <= steps; ++i) {
            vec3_t point;
            smooth_curve(pose.position, pose.forward * (length / 2.0f), to, heading * (length / 2.0f),
                         static_cast<float>(i) / static_cast<float>(steps), point, nullptr);
            out.push_back({point, point, 3000.0f, edge});
        }
        return out;
    }

    // True when the newest frame drew a trailer's kingpin at the truck: a trailer hitched to it.
    static bool towing(const truck_tracker_t& tracker)
    {
        for (const drawn_trailer_t& trailer : drawn_trailers())
            if (ground_distance(trailer.kingpin, tracker.pose().position) < 200.0f)
                return true;
        return false;
    }

    // Leaves the lay-by or yard the truck stands in for the lane of `route` at its first point at least
    // `distance` from where the truck stands, at a walking pace, and drives the rest of `route` from there.
    void join_and_drive(std::vector<route_point_t> route, truck_tracker_t& tracker, const float distance,
                        const float seconds, const char* leg)
    {
        size_t join = 0;
        while (join + 2 < route.size() && ground_distance(route[join].lane, tracker.pose().position) < distance)
            ++join;
        const vec3_t along = (route[join + 1].lane - route[join].lane).normalized();
        manoeuvre(curve_to(tracker.pose(), route[join].lane, along, route[join].edge), tracker, false, 60.0f,
                  [&](const truck_pose_t& pose) { return ground_distance(pose.position, route[join].lane) < 300.0f; });
        if (HasFatalFailure())
            return;
        route.erase(route.begin(), route.begin() + static_cast<std::ptrdiff_t>(join + 1));
        drive(route, tracker, seconds, leg);
    }

    std::filesystem::path shots_ = std::filesystem::path(KAVRENTA_SHOTS_DIR) / "career";
};

TEST_F(career_test, a_new_career_hauls_a_jobs_trailer_from_tarsk_quarry_to_halvik_and_is_paid)
{
    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-default_controls"}, error)) << error;
    host_settings().drawn_text = (documents_ / "drawn.txt").string();
    ASSERT_TRUE(roads_.load(data_root, data_root + "/maps/mainland.mbd", error)) << error;
    const int32_t quarry = dock_of("tarsk_quarry.def");
    const int32_t halvik = dock_of("lumen_foods.def");
    ASSERT_GE(quarry, 0);
    ASSERT_GE(halvik, 0);

    // The main menu, then the new game's form: The first million, headquarters in Brenmoor.
    ASSERT_TRUE(run_until_drawn("New game", 600)) << drawn_text();
    EXPECT_TRUE(shows_plainly(photograph("01_main_menu")));
    ASSERT_TRUE(click_text("New game"));
    ASSERT_TRUE(run_until_drawn("Headquarters", 600)) << drawn_text();
    ASSERT_TRUE(frames(20));
    ASSERT_TRUE(click_text("The first million"));
    ASSERT_TRUE(click_text("Brenmoor"));
    photograph("02_new_game");
    ASSERT_TRUE(click_text("Start", true));

    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    // The scenario's truck.
    std::string make;
    const std::unique_ptr<truck_tracker_t> placed = placed_truck(&make);
    ASSERT_TRUE(placed);
    EXPECT_EQ(make, "tarrow");
    truck_tracker_t& tracker = *placed;
    const vec3_t start = tracker.pose().position;
    // The view from behind the truck.
    tap("2");
    stand(tracker, 120);
    // The HUD from the first frames: the company's money, the day and time, prestige and condition.
    const std::string at_start = photograph("03_brenmoor");
    EXPECT_TRUE(shows_plainly(at_start));
    const std::vector<long> start_money = amounts_in(at_start);
    ASSERT_EQ(start_money.size(), 1u) << at_start;
    for (const char* shown : {"Mon", "Prestige", "Condition"})
        EXPECT_NE(at_start.find(shown), std::string::npos) << shown << " is not shown: " << at_start;

    // The truck starts on Brenmoor's crossing facing west: it turns round on the crossing, as a player
    // would, and takes the east street; round by the lit crossing east of Brenmoor and up the road from
    // it into the quarry's yard, which the truck enters by its back gate heading north, the way the
    // trailers waiting there face.
    const int32_t crossing = junction_at(start);
    ASSERT_GE(crossing, 0) << "the truck does not start on a junction";
    const vec3_t ahead = tracker.pose().forward;
    const vec3_t left{ahead.z, 0.0f, -ahead.x};
    std::vector<route_point_t> turn = line_between(start, start + ahead * 1200.0f, crossing);
    const vec3_t centre = turn.back().lane + left * 900.0f;
    for (int i = 1; i <= 12; ++i) {
        const float angle = 3.14159265f * static_cast<float>(i) / 12.0f;
        const vec3_t at = centre - left * (900.0f * std::cos(angle)) + ahead * (900.0f * std::sin(angle));
        turn.push_back({at, at, 3000.0f, crossing});
    }
    const std::vector<route_point_t> way_back =
        line_between(turn.back().lane, turn.back().lane - ahead * 1000.0f, crossing);
    turn.insert(turn.end(), way_back.begin(), way_back.end());
    manoeuvre(turn, tracker, false, 60.0f, [&](const truck_pose_t& pose) { return pose.forward.dot(ahead) < -0.95f; });
    ASSERT_FALSE(HasFatalFailure());
    // Across the crossing from its west arm, so that the way onto the east street counts as on it.
    const int32_t west_arm = roads_.nearest_node({-2000.0f, 0.0f, 0.0f});
    const int32_t junction_north = roads_.nearest_node({80000.0f, 300.0f, -22000.0f});
    const int32_t back_gate = roads_.nearest_node({61500.0f, 100.0f, -77000.0f});
    std::vector<route_point_t> route;
    ASSERT_TRUE(roads_.route(west_arm, junction_north, 400.0f, route));
    route.pop_back();
    ASSERT_TRUE(roads_.route(junction_north, back_gate, 400.0f, route));
    drive(route, tracker, 600.0f, "Brenmoor to Tarsk Quarry's back gate");
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 30);
    // The dock's window lists its jobs: gravel for Halvik.
    const std::string at_gate = photograph("04_quarry_gate");
    EXPECT_NE(at_gate.find("GravelBrenmoorHalvik$"), std::string::npos) << at_gate;

    // The trailer waiting nearest ahead, facing the way the truck drives: the truck pulls up on its line
    // ahead of its nose and backs under it, a player's hand on the hitch key as the kingpin comes.
    const truck_pose_t gate = tracker.pose();
    const std::vector<drawn_trailer_t> trailers = drawn_trailers();
    const drawn_trailer_t* waiting = nullptr;
    for (const drawn_trailer_t& trailer : trailers)
        if (trailer.forward.dot(gate.forward) > 0.9f && (trailer.kingpin - gate.position).dot(gate.forward) > 0.0f &&
            (!waiting ||
             ground_distance(trailer.kingpin, gate.position) < ground_distance(waiting->kingpin, gate.position)))
            waiting = &trailer;
    ASSERT_TRUE(waiting) << "no trailer waits in the yard facing north";
    const vec3_t kingpin = waiting->kingpin;
    const vec3_t along = waiting->forward;
    const vec3_t pull_up = kingpin + along * 1500.0f;
    std::vector<route_point_t> ahead_of_it = curve_to(gate, pull_up, along, back_gate_edge(back_gate));
    const std::vector<route_point_t> on_line = line_between(pull_up, pull_up + along * 300.0f, ahead_of_it.back().edge);
    ahead_of_it.insert(ahead_of_it.end(), on_line.begin(), on_line.end());
    manoeuvre(ahead_of_it, tracker, false, 90.0f, nullptr);
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 30);
    photograph("05_pulled_up");
    const vec3_t from = kingpin + along * (tracker.pose().position - kingpin).dot(along);
    manoeuvre(line_between(from, kingpin - along * 300.0f, ahead_of_it.back().edge), tracker, true, 90.0f,
              [&](const truck_pose_t& pose) {
                  if (ground_distance(pose.position, kingpin) < 150.0f)
                      tap("t");
                  return !engine_log_matching("hitched the trailer of job").empty();
              });
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 60);
    // The job's panel: the cargo, where from and where to, the pay and the trailer's damage.
    const std::string hitched = photograph("06_hitched");
    EXPECT_TRUE(shows_plainly(hitched));
    const size_t job = hitched.find("GravelBrenmoorHalvik$");
    ASSERT_NE(job, std::string::npos) << "the job's panel is not shown: " << hitched;
    EXPECT_NE(hitched.find("#0 %", job), std::string::npos) << hitched;
    const long pay = amounts_in(hitched.substr(job)).at(0);
    EXPECT_GT(pay, 0);
    EXPECT_EQ(amounts_in(hitched.substr(0, job)), start_money) << hitched;

    // Hitched, the trailer goes with the truck: 10 m on, its kingpin is drawn at the truck.
    const vec3_t hitched_at = tracker.pose().position;
    manoeuvre(line_between(hitched_at, hitched_at + along * 1000.0f, ahead_of_it.back().edge), tracker, false, 60.0f,
              nullptr);
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 30);
    bool towed = false;
    for (const drawn_trailer_t& trailer : drawn_trailers())
        towed = towed || (ground_distance(trailer.kingpin, tracker.pose().position) < 200.0f &&
                          ground_distance(trailer.kingpin, kingpin) > 500.0f);
    EXPECT_TRUE(towed) << "no trailer drawn hitched to the truck";
    EXPECT_NE(photograph("07_towing").find("GravelBrenmoorHalvik$"), std::string::npos);

    // Loaded, the truck leaves the yard by its entry onto the quarry's road north, the way it faces,
    // and takes the roads round by Brenmoor's crossing and its east road to the junction east of it,
    // stopping half way along the east road.
    const vec3_t quarry_entry = roads_.network().nodes[quarry].position;
    const int32_t bend = roads_.nearest_node({56000.0f, 100.0f, -95000.0f});
    const int32_t brenmoor_north = roads_.nearest_node({0.0f, 0.0f, -2000.0f});
    const int32_t junction_west = roads_.nearest_node({78000.0f, 300.0f, -20000.0f});
    const int32_t junction_east = roads_.nearest_node({82000.0f, 300.0f, -20000.0f});
    const int32_t weigh_station = roads_.nearest_node({86000.0f, 300.0f, -20000.0f});
    std::vector<route_point_t> to_halvik;
    for (const auto& [from, to] :
         {std::pair{quarry, bend}, std::pair{bend, brenmoor_north}, std::pair{brenmoor_north, junction_west},
          std::pair{junction_west, junction_east}, std::pair{junction_east, weigh_station}}) {
        if (!to_halvik.empty())
            to_halvik.pop_back();
        ASSERT_TRUE(roads_.route(from, to, 400.0f, to_halvik));
    }
    // The first leg ends half way along the east road; the second 25 m short of the weigh station.
    const vec3_t east_road_middle =
        (roads_.network().nodes[junction_west].position + vec3_t(32000.0f, 0.0f, 0.0f)) * 0.5f;
    size_t half_way = 0;
    for (size_t i = 0; i < to_halvik.size(); ++i)
        if (ground_distance(to_halvik[i].lane, east_road_middle) <
            ground_distance(to_halvik[half_way].lane, east_road_middle))
            half_way = i;
    std::vector<route_point_t> second_leg(to_halvik.begin() + static_cast<std::ptrdiff_t>(half_way), to_halvik.end());
    to_halvik.resize(half_way + 1);
    const vec3_t weigh_in = roads_.network().nodes[weigh_station].position;
    while (second_leg.size() > 2 && ground_distance(second_leg.back().lane, weigh_in) < 2500.0f)
        second_leg.pop_back();
    size_t out_of_yard = 0;
    while (ground_distance(to_halvik[out_of_yard].lane, quarry_entry) < 3000.0f)
        ++out_of_yard;
    join_and_drive(
        std::vector<route_point_t>(to_halvik.begin() + static_cast<std::ptrdiff_t>(out_of_yard), to_halvik.end()),
        tracker, 0.0f, 900.0f, "Tarsk Quarry to half way along Brenmoor's east road");
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 30);
    const std::string half = photograph("08_half_way");
    EXPECT_TRUE(towing(tracker)) << "the trailer was lost on the way";
    EXPECT_NE(half.find("GravelBrenmoorHalvik$"), std::string::npos) << half;

    // Half way the player saves the game from the in-game menu, under a name typed into the save menu's
    // name line, and quits.
    tap("esc");
    ASSERT_TRUE(run_until_drawn("Save game", 120)) << drawn_text();
    ASSERT_TRUE(click_text("Save game"));
    ASSERT_TRUE(run_until_drawn("Delete", 120)) << drawn_text();
    // The empty name line, under the list (its middle on the 640 x 480 window).
    ASSERT_TRUE(click(320, 350));
    ASSERT_TRUE(type("half_way"));
    ASSERT_TRUE(press("enter"));
    ASSERT_TRUE(run_until_drawn("Quit", 120)) << drawn_text();
    EXPECT_TRUE(std::filesystem::exists(game_.home() + "/saves/half_way.sav"));
    ASSERT_TRUE(click_text("Quit", true));
    ASSERT_TRUE(run_until_drawn("Yes", 120)) << drawn_text();
    click_text("Yes", true);
    EXPECT_FALSE(frames(300)) << "the game did not quit";
    game_.stop();

    // A new run loads the save from the main menu: the truck stands where it was saved, the trailer is
    // hitched to it again and the job's panel shows the job.
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-default_controls"}, error)) << error;
    host_settings().drawn_text = (documents_ / "drawn.txt").string();
    ASSERT_TRUE(run_until_drawn("Load game", 600)) << drawn_text();
    ASSERT_TRUE(click_text("Load game"));
    ASSERT_TRUE(run_until_drawn("half_way", 600)) << drawn_text();
    ASSERT_TRUE(click_text("half_way"));
    ASSERT_TRUE(click_text("Load", true));
    ASSERT_TRUE(run_until_logged("placed at", 3000)) << log_tail();
    // The HUD's clock shows from the loaded game's first frames, while the truck's intro plays.
    ASSERT_TRUE(frames(2));
    EXPECT_NE(drawn_text().find(" : "), std::string::npos) << drawn_text();
    const vec3_t saved_at = tracker.pose().position;
    const vec3_t saved_heading = tracker.pose().forward;
    const std::unique_ptr<truck_tracker_t> loaded = placed_truck();
    ASSERT_TRUE(loaded);
    tracker = *loaded;
    EXPECT_LT(ground_distance(tracker.pose().position, saved_at), 100.0f);
    // The view from behind the truck once its intro has played.
    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000)) << log_tail();
    tap("2");
    stand(tracker, 60);
    EXPECT_GT(tracker.pose().forward.dot(saved_heading), 0.99f);
    bool hitched_again = false;
    for (const drawn_trailer_t& trailer : drawn_trailers())
        hitched_again = hitched_again || (ground_distance(trailer.kingpin, tracker.pose().position) < 200.0f &&
                                          trailer.forward.dot(tracker.pose().forward) > 0.99f);
    EXPECT_TRUE(hitched_again) << "the loaded game's trailer is not hitched behind the truck";
    const std::string reloaded = photograph("09_loaded");
    EXPECT_TRUE(shows_plainly(reloaded)) << reloaded;
    const size_t loaded_job = reloaded.find("GravelBrenmoorHalvik$");
    ASSERT_NE(loaded_job, std::string::npos) << "the loaded game shows no job's panel: " << reloaded;
    EXPECT_EQ(amounts_in(reloaded.substr(loaded_job)).at(0), pay) << reloaded;
    EXPECT_EQ(hud_money(reloaded), hud_money(half)) << reloaded;
    for (const char* shown : {" : ", "Prestige", "Condition"})
        EXPECT_NE(reloaded.find(shown), std::string::npos) << shown << " is not shown: " << reloaded;

    drive(second_leg, tracker, 300.0f, "half way to the weigh station");
    ASSERT_FALSE(HasFatalFailure());

    // A loaded truck is weighed: it pulls into the lay-by beside the road and over the scales at a
    // walking pace, where the weigh station's window shows.
    const int32_t weigh_edge = junction_at(weigh_in);
    ASSERT_GE(weigh_edge, 0);
    const map_edge_t& weigh = roads_.network().edges[weigh_edge];
    const vec3_t weigh_out = roads_.network().nodes[weigh.nodes[1]].position;
    const vec3_t weigh_along = (weigh_out - weigh_in).normalized();
    const vec3_t weigh_right{-weigh_along.z, 0.0f, weigh_along.x};
    const def_file_t station(data_root + "/prefabs/station_weigh.def", "station_weigh");
    ASSERT_TRUE(station.object);
    vec3_t scales;
    ASSERT_EQ(std::sscanf(station.object->get_value("weigh_station1"), "%f,%f,%f", &scales.x, &scales.y, &scales.z), 3);
    // The scales in the station's frame: z along its lane from its middle, x to the lane's left.
    const vec3_t on_scales = (weigh_in + weigh_out) * 0.5f - weigh_right * scales.x + weigh_along * scales.z;
    std::vector<route_point_t> lay_by =
        curve_to(tracker.pose(), on_scales - weigh_along * 1000.0f, weigh_along, weigh_edge);
    const std::vector<route_point_t> over =
        line_between(lay_by.back().lane, on_scales + weigh_along * 1500.0f, weigh_edge);
    lay_by.insert(lay_by.end(), over.begin(), over.end());
    manoeuvre(
        lay_by, tracker, false, 90.0f,
        [&](const truck_pose_t&) { return drawn_text().find("Weightcheck") != std::string::npos; }, 1.8f);
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 60);
    const std::string weighed = photograph("10_weigh_station");
    EXPECT_TRUE(shows_plainly(weighed));
    EXPECT_NE(weighed.find("Weigh station"), std::string::npos) << weighed;
    EXPECT_NE(weighed.find("WeightcheckpassedOK"), std::string::npos) << weighed;

    // On to Halvik's dock and into its yard, by the side away from the waiting trailers.
    const int32_t halvik_yard =
        roads_.nearest_node(roads_.network().nodes[halvik].position + vec3_t(1500.0f, 0.0f, 3000.0f));
    std::vector<route_point_t> last_leg;
    ASSERT_TRUE(roads_.route(weigh.nodes[1], halvik, 400.0f, last_leg));
    last_leg.pop_back();
    ASSERT_TRUE(roads_.route(halvik, halvik_yard, 400.0f, last_leg));
    join_and_drive(last_leg, tracker, 4000.0f, 900.0f, "the weigh station to Halvik's dock");
    ASSERT_FALSE(HasFatalFailure());
    stand(tracker, 60);
    const std::string arrived = photograph("11_halvik");
    EXPECT_TRUE(shows_plainly(arrived));
    EXPECT_TRUE(towing(tracker)) << "the trailer was lost on the way";
    const size_t panel = arrived.find("GravelBrenmoorHalvik$");
    ASSERT_NE(panel, std::string::npos) << arrived;
    // Undamaged, the trailer is paid in full.
    EXPECT_NE(arrived.find("#0 %", panel), std::string::npos) << arrived;
    EXPECT_EQ(amounts_in(arrived.substr(panel)).at(0), pay) << arrived;
    const long money_before = hud_money(arrived);
    ASSERT_GT(money_before, 0) << arrived;

    // The player unhitches the trailer at its destination: the job is paid, and the HUD shows it.
    tap("d");
    stand(tracker, 120);
    const std::string delivered = photograph("12_delivered");
    EXPECT_TRUE(shows_plainly(delivered));
    EXPECT_EQ(delivered.find("GravelBrenmoorHalvik$"), std::string::npos) << "the job's panel is still shown";
    EXPECT_EQ(hud_money(delivered), money_before + pay) << delivered;

    // Call 911: the window offers the roadside rescue at its price, and Cancel closes it. It holds the
    // game's keys, the screenshot key's among them: its text is read from the frame's drawn markup.
    tap("F9");
    ASSERT_TRUE(run_until_drawn("Call 911", 120)) << drawn_text();
    const std::string call911 = drawn_text();
    EXPECT_TRUE(shows_plainly(call911)) << call911;
    EXPECT_EQ(amounts_in(call911.substr(call911.find("Call 911"))).size(), 1u) << call911;
    ASSERT_TRUE(click_text("Cancel"));
    ASSERT_TRUE(frames(30));
    EXPECT_EQ(drawn_text().find("Call 911"), std::string::npos) << "the call-911 window stays open";
    EXPECT_TRUE(engine_log_matching("gcall911").empty()) << log_tail();
}

}  // namespace
