#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "../common/recorded_loading_screen.h"
#include "engine/gfx_view.h"
#include "engine/mbio.h"
#include "engine/psm_record.h"
#include "common/format.h"
#include "common/loading_screen.h"
#include "economy_fixture.h"
#include "frame/save_game.h"
#include "game/economy/economy_defs.h"

namespace {

// An economy with one job of `km` kilometres of cargo 0 (income 100 after loading: 80 here).
void one_job(economy_ctrl_e& economy, const float km)
{
    economy.jobs.assign(2, job_t{});
    economy.jobs[0] = {0, 0, 1, km * 100000.0f, 0};
    economy.jobs[1] = {-1, 0, 0, 0.0f, 0};
}

// A route table image of three docks: routes (0, 1), (0, 2) and (1, 2) over a few edges each.
std::vector<uint8_t> three_dock_routes()
{
    struct route_build_t {
        std::vector<uint16_t> edges, lengths;
        uint32_t total;
    };
    const route_build_t pool[] = {{{10, 11, 12}, {0, 1200, 2900}, 3000},
                                  {{10, 20, 21, 22}, {0, 900, 2500, 4400}, 4500},
                                  {{12, 30, 22}, {0, 1300, 2450}, 2500}};
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
    u16(3);
    uint32_t offsets[9] = {};
    uint32_t at = 4 + 9 * 4 + 4;
    const int entries[] = {1, 2, 5};
    for (int r = 0; r < 3; ++r) {
        offsets[entries[r]] = at;
        at += 8 + 4 * static_cast<uint32_t>(pool[r].edges.size());
    }
    for (const uint32_t offset : offsets)
        u32(offset);
    u16(0xFFFF);
    u16(0xFFFF);
    for (const route_build_t& route : pool) {
        u16(static_cast<uint32_t>(route.edges.size()));
        u32(route.total);
        for (const uint16_t e : route.edges)
            u16(e);
        for (const uint16_t l : route.lengths)
            u16(l);
        u16(0xFFFF);
    }
    return out;
}

// A section of the save game that holds nothing: the economy's neighbours in a save file.
class empty_section_t : public save_section_owner_t {
public:
    int32_t save(int) override { return 0; }
    int32_t check(int, int32_t) override { return 0; }
    int32_t load(int, int32_t) override { return 0; }
};

}  // namespace

TEST_F(economy_test, the_seven_loading_steps_report_progress_0_to_6_of_7)
{
    recorded_loading_screen_t screen;
    loading_screen_install(&screen);
    loading_screen_open(1);
    economy_ctrl_e economy;
    load(economy);
    loading_screen_close();
    loading_screen_install(nullptr);
    EXPECT_EQ(screen.steps, (std::vector<std::string>{"0/7", "1/7", "2/7", "3/7", "4/7", "5/7", "6/7"}));
}

TEST_F(economy_test, definitions_fill_cities_cargos_traders_drivers_and_trucks)
{
    economy_ctrl_e economy;
    load(economy);
    ASSERT_EQ(economy.cities.size(), 3u);
    EXPECT_EQ(economy.cargo_count(), 2);
    ASSERT_EQ(economy.special_cargos.size(), 1u);
    EXPECT_EQ(economy.traders.size(), 3u);
    EXPECT_EQ(economy.drivers.size(), 5u);
    EXPECT_EQ(economy.trucks.size(), 5u);
    EXPECT_EQ(economy.dealer_stock.size(), 2u);
    EXPECT_EQ(economy.trucks[0].prestige, 15);
    EXPECT_STREQ(economy.trucks[0].accessories[1], "cab");
    // 30 + 0.25 x 60 + 0.1 x 20.
    EXPECT_FLOAT_EQ(economy.trucks[0].rating, 47.0f);
    for (const trader_t& trader : economy.traders) {
        if (std::strcmp(trader.name, "depot") == 0) {
            EXPECT_EQ(trader.accepted_count, -1);
        }
    }
}

TEST_F(economy_test, seeded_job_generation_makes_no_duplicates_and_never_ends_at_a_trader_of_all)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    ASSERT_GT(economy.job_count(), 0);
    std::set<std::tuple<int32_t, int32_t, int32_t>> seen;
    for (int32_t j = 0; j < economy.job_count(); ++j) {
        const job_t& job = economy.jobs[static_cast<size_t>(j)];
        EXPECT_TRUE(seen.insert({job.cargo, economy.job_source_city(j), economy.job_dest_city(j)}).second);
        EXPECT_NE(economy.traders[static_cast<size_t>(job.destination)].accepted_count, -1);
        // No route table: the fallback of 1 to 2 km.
        EXPECT_GE(job.distance, 100000.0f);
        if (j > 0) {
            EXPECT_LE(economy.jobs[static_cast<size_t>(j - 1)].source, job.source);
        }
    }
    EXPECT_EQ(economy.jobs.back().cargo, -1);
}

TEST_F(economy_test, pay_follows_prestige_damage_city_bonus_and_overweight)
{
    economy_ctrl_e economy;
    economy.set_world(&world);
    economy.cargos.assign(2, cargo_t{});
    economy.cargos[0].income = 100;
    economy.trucks.assign(1, company_truck_t{});
    economy.cities.assign(1, city_t{});
    economy.cities[0].master = -1;
    struct {
        float prestige;
        int32_t truck_prestige;
        float damage;
        bool master;
        bool overweight;
        int32_t pay, cut, bonus;
    } cases[] = {
        {0.0f, 0, 0.0f, false, false, 100, 0, 0},
        // 100 + nearest(50 x 0.01 x 100 x 0.3 = 15) = 115; + nearest(0.5 x 115 x 0.2 = 11.5) = 127 (tie to even).
        {50.0f, 50, 0.0f, false, false, 127, 0, 0},
        {0.0f, 0, 0.5f, false, false, 60, 40, 0},
        {0.0f, 0, 0.0f, true, false, 110, 0, 10},
        {0.0f, 0, 0.0f, false, true, 200, 0, 0},
    };
    for (const auto& c : cases) {
        one_job(economy, 1.0f);
        economy.companies[0].prestige = c.prestige;
        economy.trucks[0].prestige = c.truck_prestige;
        economy.cities[0].master = c.master ? 0 : -1;
        economy.jobs[0].flags = c.overweight ? job_flag_overweight : 0;
        int32_t cut = -1, bonus = -1;
        EXPECT_EQ(economy.job_pay(0, 0, 0, c.damage, true, &cut, &bonus), c.pay) << c.prestige << " " << c.damage;
        EXPECT_EQ(cut, c.cut);
        EXPECT_EQ(bonus, c.bonus);
    }
    // Opponents are not paid double.
    EXPECT_EQ(economy.job_pay(0, 1, 0, 0.0f, false, nullptr, nullptr), 100);
}

// Prestige and income come from saved files: a finite value far past the whole numbers' range rounds to
// the range's end, and a career holding one still pays a number.
TEST(economy_rounding_test, nearest_stops_at_the_whole_numbers_ends)
{
    const struct {
        float value;
        int32_t expected;
    } cases[] = {{2.5f, 2}, {-3.5f, -4}, {1e32f, INT32_MAX}, {-2.3e32f, INT32_MIN}, {NAN, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(nearest(c.value), c.expected) << c.value;
}

TEST_F(economy_test, prestige_steps_shrink_above_ten_and_overweight_costs_prestige)
{
    economy_ctrl_e economy;
    economy.set_world(&world);
    economy.cargos.assign(2, cargo_t{});
    economy.trucks.assign(1, company_truck_t{});
    economy.companies[0].trucks[0] = 0;
    one_job(economy, 1.0f);
    struct {
        float start;
        int32_t truck_prestige;
        bool overweight;
        float after;
    } cases[] = {
        {10.0f, 50, false, 13.0f},  // 2 x (1 + 0.5)
        {50.0f, 0, false, 50.4f},   // 2 / 5
        {50.0f, 50, true, 50.0f},   // 0.2 - 0.4 = -0.2, then nothing of the city term
        {99.9f, 0, false, 100.0f},
    };
    for (const auto& c : cases) {
        economy.companies[0].prestige = c.start;
        economy.trucks[0].prestige = c.truck_prestige;
        economy.jobs[0].flags = c.overweight ? job_flag_overweight : 0;
        economy.pay(0, 0, 0, 0.0f, nullptr, nullptr);
        EXPECT_NEAR(economy.companies[0].prestige, c.overweight ? 49.8f : c.after, 1e-4f) << c.start;
    }
    EXPECT_EQ(world.cash, 4);
}

TEST_F(economy_test, the_week_settles_wages_maintenance_and_loans)
{
    economy_ctrl_e economy;
    load(economy);
    economy.companies[0].money = 10000;
    economy.companies[0].loan = 15;
    economy.companies[0].haul_score_second = 1000;
    economy.companies[0].trucks[0] = 0;
    economy.drivers[0].salary = 700;
    economy.drivers[0].week_income = 500;
    economy.companies[1].loan = 9;
    economy.offer.active = 1;
    economy.weekly_report();
    // 700 + 0.3 x 1000 = 1000; maintenance 40 x 9 + 100 = 460.
    EXPECT_EQ(economy.companies[0].week_costs, 1460);
    EXPECT_EQ(economy.companies[0].week_driver_income, 500);
    EXPECT_EQ(economy.companies[0].week_loan_repayment, 1);
    EXPECT_EQ(economy.companies[0].loan, 14);
    EXPECT_EQ(economy.companies[0].money, 10000 - 1460 - 1);
    // A loan below 10 is never repaid.
    EXPECT_EQ(economy.companies[1].loan, 9);
    EXPECT_EQ(economy.week, 1);
    EXPECT_EQ(economy.drivers[0].week_income, 0);
    EXPECT_EQ(economy.offer.active, 0);
    EXPECT_EQ(world.pages.front(), "@@ui_week_report@@");
}

TEST_F(economy_test, game_over_is_set_once_and_cheats_mark_the_game)
{
    economy_ctrl_e economy;
    economy.set_world(&world);
    economy.goal_kind = goal_money;
    economy.goal_target = 5000;
    economy.companies[2].money = 6000;
    economy.update_clock(30000.0f);
    EXPECT_EQ(economy.game_over_reason, 3);
    EXPECT_EQ(economy.outcome, -1);
    economy.show_game_over(false);
    EXPECT_EQ(economy.outcome, -1);
    EXPECT_EQ(world.game_over_windows, std::vector<bool>{true});
    economy.cheat(5);
    EXPECT_EQ(economy.cheated, 0);
    economy.cheat(3);
    EXPECT_EQ(economy.companies[0].money, 100000);
    EXPECT_EQ(economy.cheated, 1);
}

TEST_F(economy_test, cheats_1_to_4_open_drivers_and_dealers_and_raise_money_and_prestige)
{
    economy_ctrl_e economy;
    load(economy);
    economy.cheat(1);
    for (const driver_t& driver : economy.drivers)
        EXPECT_EQ(driver.flags & driver_unknown_bit(0), 0u);
    economy.cheat(2);
    for (const dealer_t& dealer : economy.dealers)
        EXPECT_EQ(dealer.flags & 1u, 1u);
    economy.cheat(4);
    EXPECT_EQ(economy.companies[0].prestige, 100.0f);
    for (const char* message : {"\\yAccess to all free drivers was granted.",
                                "\\yAccess to all truck dealers was granted.", "\\yYour prestige was set to max."})
        EXPECT_EQ(engine_log_matching(message).size(), 1u) << message;
    EXPECT_EQ(economy.cheated, 1);
}

TEST_F(economy_test, pending_instructions_hold_the_economy_until_they_are_shown)
{
    economy_ctrl_e economy;
    load(economy);
    economy.instruction_delay = 1.0f;
    std::snprintf(economy.instructions, sizeof economy.instructions, "go north");
    economy.cheated = 1;
    world.dt = 0.6f;
    world.clock = 10.0f;
    economy.open_main_hud(1);
    world.hud.clear();
    economy.handler();
    EXPECT_TRUE(world.pages.empty());
    // The HUD's clock is written from its first frame on, instructions pending or not.
    ASSERT_EQ(world.hud.size(), 1u);
    EXPECT_EQ(world.hud[0].rfind("100:", 0), 0u) << world.hud[0];
    EXPECT_EQ(economy.computer_drivers().last_stepped(), 0);
    economy.handler();
    EXPECT_EQ(world.pages, (std::vector<std::string>{"go north", "@@ui_game_cheated@@"}));
    EXPECT_EQ(economy.computer_drivers().last_stepped(), 0);
    EXPECT_EQ(economy.instruction_delay, 0.0f);
    economy.handler();
    EXPECT_NE(economy.computer_drivers().last_stepped(), 0);
}

TEST_F(economy_test, the_section_reads_back_and_version_13_keeps_the_fresh_offer)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    economy.week = 3;
    economy.offer.countdown = 123.0f;
    std::snprintf(economy.offer.text, sizeof economy.offer.text, "offer");
    mbio_t out;
    out.open_grow();
    ASSERT_TRUE(economy.write_section(out));
    const size_t expected = 18 + 576 + 4 + 5 * 168 + 4 + 3 * 108 + 4 + 3 * 92 + 4 + 92 + 4 + 3 * 376 + 4 + 36 + 4 +
                            5 * 2104 + 4 + static_cast<size_t>(economy.job_count() + 1) * 20 + 4 + 16 + 4 * 6 + 256 +
                            4 + 1 + 4 + 4 + 4 + 2048;
    EXPECT_EQ(out.size(), expected);

    economy_ctrl_e copy;
    copy.set_world(&world);
    std::string error;
    // Checked only (as a save game's whole-file check does), the section is read through and nothing changes.
    mbio_t checked(out.data(), out.size());
    ASSERT_TRUE(copy.read_section(checked, 14, error, false)) << error;
    EXPECT_EQ(checked.remaining(), 0u);
    EXPECT_NE(copy.week, 3);
    mbio_t in(out.data(), out.size());
    ASSERT_TRUE(copy.read_section(in, 14, error)) << error;
    EXPECT_EQ(in.remaining(), 0u);
    EXPECT_EQ(copy.dealer_stock.size(), 2u) << "the loaded dealer has his two trucks to sell";
    mbio_t again;
    again.open_grow();
    copy.write_section(again);
    EXPECT_EQ(std::vector<uint8_t>(again.data(), again.data() + again.size()),
              std::vector<uint8_t>(out.data(), out.data() + out.size()));

    economy_ctrl_e old;
    old.set_world(&world);
    const float fresh = old.offer.countdown;
    mbio_t v13(out.data(), out.size() - (4 + 1 + 4 + 4 + 4 + 2048));
    ASSERT_TRUE(old.read_section(v13, 13, error)) << error;
    EXPECT_EQ(old.offer.countdown, fresh);
    EXPECT_EQ(old.week, 3);
}

TEST_F(economy_test, a_save_file_ends_with_the_trailer_of_week_and_clock_and_reads_back)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    economy.week = 7;
    economy.companies[1].last_step_time = 12345.0;
    world.clock = 90061.0f;
    std::filesystem::create_directories(home_ / "saves");
    empty_section_t others[3];
    save_game_owners_t owners;
    for (int section = 0; section < 3; ++section)
        owners.sections[section] = &others[section];
    owners.sections[save_section_economy] = &economy;
    owners.timestamp = &economy;
    ASSERT_TRUE(save_game_write(owners, "/saves/career.sav"));
    int32_t week = 0;
    float clock = 0.0f;
    ASSERT_TRUE(save_game_read_timestamp("/saves/career.sav", &week, &clock));
    EXPECT_EQ(week, 7);
    EXPECT_EQ(clock, 90061.0f);

    // The loaded game's world clock starts again: the companies' step times start with it.
    world.now = 7.0;
    economy_ctrl_e copy;
    copy.set_world(&world);
    owners.sections[save_section_economy] = &copy;
    owners.timestamp = &copy;
    ASSERT_TRUE(save_game_read(owners, "/saves/career.sav"));
    EXPECT_EQ(copy.week, 7);
    EXPECT_EQ(copy.job_count(), economy.job_count());
    EXPECT_EQ(copy.drivers.size(), economy.drivers.size());
    EXPECT_EQ(copy.companies[1].last_step_time, 7.0);
}

TEST_F(economy_test, a_game_saved_while_towing_loads_with_the_jobs_trailer_its_damage_and_the_trucks)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    ASSERT_GT(economy.job_count(), 0);
    const int32_t job = 0;
    const vec3_t target{1.0f, 2.0f, 3.0f};
    economy.set_player_job(job, &target);
    world.state.has_trailer = true;
    world.state.trailer_position = {100.0f, 0.0f, 900.0f};
    world.state.trailer_orientation = quat_t{0.0f, 0.70710677f, 0.0f, 0.70710677f};
    world.state.trailer_damage = 0.25f;
    std::filesystem::create_directories(home_ / "saves");
    empty_section_t others[3];
    save_game_owners_t owners;
    for (int section = 0; section < 3; ++section)
        owners.sections[section] = &others[section];
    owners.sections[save_section_economy] = &economy;
    owners.timestamp = &economy;
    ASSERT_TRUE(save_game_write(owners, "/saves/towing.sav"));

    world.truck_damage = 0.3f;
    world.hud.clear();
    economy_ctrl_e copy;
    copy.set_world(&world);
    owners.sections[save_section_economy] = &copy;
    owners.timestamp = &copy;
    ASSERT_TRUE(save_game_read(owners, "/saves/towing.sav"));
    // The job's trailer stands where it was towed, with the job's cargo and the saved damage.
    ASSERT_EQ(world.towed.size(), 1u);
    const trailer_order_t& towed = world.towed[0];
    const cargo_t& cargo = copy.cargos[static_cast<size_t>(copy.jobs[job].cargo)];
    EXPECT_STREQ(towed.make, cargo.trailer);
    EXPECT_EQ(towed.variant, cargo.variant);
    EXPECT_EQ(towed.job, job);
    EXPECT_EQ(towed.dock, -1);
    EXPECT_EQ(towed.position.z, 900.0f);
    EXPECT_FLOAT_EQ(towed.orientation.y, 0.70710677f);  // normalised on load
    EXPECT_EQ(world.towed_damage[0], 0.25f);
    EXPECT_EQ(copy.player_job.job, job);
    // The truck is the company's, and the condition gauge shows the truck's loaded damage.
    ASSERT_FALSE(world.rebuilds.empty());
    EXPECT_EQ(world.rebuilds.back().rfind("rig ", 0), 0u) << world.rebuilds.back();
    ASSERT_FALSE(world.hud.empty());
    EXPECT_EQ(world.hud.back(), "140:0.700000");

    // A trailer towed without a job (nothing says which trailer it was) is left out; the load goes on.
    world.towed.clear();
    economy.set_player_job(job, nullptr);
    owners.sections[save_section_economy] = &economy;
    owners.timestamp = &economy;
    ASSERT_TRUE(save_game_write(owners, "/saves/towing.sav"));
    economy_ctrl_e odd;
    odd.set_world(&world);
    owners.sections[save_section_economy] = &odd;
    owners.timestamp = &odd;
    ASSERT_TRUE(save_game_read(owners, "/saves/towing.sav"));
    EXPECT_TRUE(world.towed.empty());
    EXPECT_EQ(engine_log_matching("belongs to no job with a cargo (job -1)").size(), 1u);
}

TEST_F(economy_test, a_section_with_bad_counts_texts_or_indices_is_refused_and_changes_nothing)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    mbio_t out;
    out.open_grow();
    economy.write_section(out);
    const std::vector<uint8_t> good(out.data(), out.data() + out.size());
    const size_t drivers_at = 18 + 576;
    struct {
        const char* what;
        size_t at;
        uint8_t value;
    } cases[] = {
        {"magic", 0, 'x'},
        {"huge driver count", drivers_at + 3, 0x7F},
        {"driver of company 9", drivers_at + 4 + 72, 9},
        {"player truck past the trucks", 18, 0x40},
    };
    for (const auto& c : cases) {
        auto bad = good;
        bad[c.at] = c.value;
        economy_ctrl_e target;
        target.set_world(&world);
        mbio_t in(bad.data(), bad.size());
        std::string error;
        EXPECT_FALSE(target.read_section(in, 14, error)) << c.what;
        EXPECT_TRUE(target.drivers.empty()) << c.what;
    }
}

TEST_F(economy_test, a_time_limit_of_90061_seconds_shows_one_day_one_hour_one_minute)
{
    char text[64];
    format_game_time(90061.0f, text, sizeof text, 0xFFFFFFFFu);
    EXPECT_STREQ(text, "1 @@ui_day@@   01 : 01");
}

TEST_F(economy_test, a_seeded_career_of_ten_weeks_ends_on_a_fixed_hash)
{
    economy_ctrl_e economy;
    load(economy);
    // Each trader has a dock; the drivers' legs run along the routes between them.
    const std::vector<uint8_t> routes = three_dock_routes();
    std::string error;
    ASSERT_TRUE(economy.routes.parse(routes.data(), routes.size(), error)) << error;
    for (int32_t t = 0; t < 3; ++t)
        economy.traders[static_cast<size_t>(t)].dock = t;
    economy.generate_jobs();
    economy.init_driver_jobs();
    economy.set_ai_level(2);
    for (int c = 1; c < economy_company_count; ++c) {
        economy.companies[c].money = 300000;
        economy.companies[c].prestige = 50.0f;
        economy.companies[c].trucks[0] = c;
        economy.drivers[static_cast<size_t>(c)].company = static_cast<int8_t>(c);
    }
    // Ten game weeks at 80 game seconds per real second, one frame a second.
    const int frames_per_week = 604800 / 80;
    for (int week = 0; week < 10; ++week) {
        for (int frame = 0; frame < frames_per_week; ++frame) {
            world.now += 1.0;
            world.dt = 1.0f;
            world.clock = 28800.0f + static_cast<float>(frame) * 80.0f;
            if (world.clock >= 604800.0f)
                world.clock -= 604800.0f;
            economy.handler();
        }
        economy.weekly_report();
    }
    mbio_t out;
    out.open_grow();
    economy.write_section(out);
    uint64_t hash = 1469598103934665603ull;
    for (size_t i = 0; i < out.size(); ++i)
        hash = (hash ^ out.data()[i]) * 1099511628211ull;
    EXPECT_EQ(economy.week, 10);
    EXPECT_GT(economy.companies[1].deliveries + economy.companies[2].deliveries + economy.companies[3].deliveries, 0);
    EXPECT_GT(world.driver_trucks, 0);
    EXPECT_EQ(hash, 2021140121715811414ull);
}

namespace {

TEST_F(economy_test, the_target_marker_stands_lit_at_the_players_destination_only_while_he_has_a_job)
{
    economy_ctrl_e economy;
    economy.set_world(&world);
    economy.load_target_marker();
    EXPECT_EQ(economy.target_marker(), nullptr) << "a missing marker model leaves no marker";
    economy.player_job = {0, {100.0f, 0.0f, 200.0f}};
    economy.draw();
    EXPECT_TRUE(psm_draw_records().empty());

    write_data_file("models/free_items/target/target.psm",
                    "psm 1\npart ring { positions { 0 0 0 1 0 0 0 0 1 } indices { 0 1 2 } }\n"
                    "part arrow { positions { 0 5 0 1 6 0 0 6 1 } indices { 0 1 2 } }\n");
    write_data_file("models/free_items/target/target.psa", "psa 1\nframes 2\nlength 1.0\n");
    write_data_file("models/free_items/target/target.shd", "texture 4 4\n");
    economy.load_target_marker();
    ASSERT_NE(economy.target_marker(), nullptr);
    EXPECT_EQ(world.lit_models, std::vector<psm_t*>{economy.target_marker()});
    economy.player_job = {-1, {}};
    economy.draw();
    EXPECT_TRUE(psm_draw_records().empty()) << "no job, no marker";
    economy.player_job = {0, {100.0f, 0.0f, 200.0f}};
    economy.draw();
    ASSERT_EQ(psm_draw_records().size(), 2u);
    for (const psm_draw_record_t& record : psm_draw_records())
        EXPECT_EQ(record.shader_path, "/models/free_items/target/target.shd") << record.part_name;
    EXPECT_EQ(gfx_world_matrix()[3], 0.0f) << "the marker's place is popped after it is drawn";
}

}  // namespace
