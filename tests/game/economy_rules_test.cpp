#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/mbio.h"
#include "common/format.h"
#include "common/game_context.h"
#include "common/hud_components.h"
#include "economy_fixture.h"
#include "game/economy/economy_money_range.h"
#include "game/economy/economy_record_io.h"

// The set-up of a scenario, the opponents, the special offer, the docks' slots and the computer
// drivers' walk along their routes.

namespace {

// A route table image of two docks joined by one route over `edges` (listed from dock 1's edge back),
// edge i at running length 100 x i metres, `distance` metres in all.
std::vector<uint8_t> two_dock_routes(const std::vector<uint16_t>& edges, const uint32_t distance)
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
    u32(0);
    u32(24);
    u32(0);
    u32(0);
    u16(0xFFFF);
    u16(0xFFFF);
    u16(static_cast<uint32_t>(edges.size()));
    u32(distance);
    for (const uint16_t e : edges)
        u16(e);
    for (size_t i = 0; i < edges.size(); ++i)
        u16(static_cast<uint32_t>(i * 100));
    u16(0xFFFF);
    return out;
}

}  // namespace

class economy_rules_test : public economy_test {
protected:
    void SetUp() override
    {
        economy_test::SetUp();
        game_context_create();
    }
    void TearDown() override
    {
        game_context_release();
        economy_test::TearDown();
    }
    // Writes scenario `name` and puts the player's choices into the game context.
    void choose_scenario(const char* name, const char* win, const char* time_limit, const int level)
    {
        write_data_file(std::string("defs/scenarios/") + name,
                        std::string("scenario {\n money = 5000\n prestige = 10\n loan = 300\n time_limit = ") +
                            time_limit + "\n win = \"" + win + "\"\n instructions = \"go\"\n}\n");
        def_obj_t* const context = game_context_get();
        context->set_value("scenario_def", name);
        context->set_value("player_name", "Kit");
        context->set_value("headq_name", "birch town");
        context->set_int("level", level);
    }
};

TEST_F(economy_rules_test, a_scenario_sets_goal_time_money_and_three_opponents_on_three_cities)
{
    struct {
        const char* win;
        const char* time_limit;
        int level;
        int32_t goal_kind, goal_target;
        float time_left;
    } cases[] = {
        {"delivered:nowhere", "36000", 2, goal_delivered, -1, 36000.0f},
        {"delivered:CEDAR", "36000", 0, goal_delivered, 2, 43200.0f},
        {"money:250000", "-1", 1, goal_money, 250000, -1.0f},
        {"none", "-1", 0, goal_none, 0, -1.0f},
    };
    int scenario = 0;
    for (const auto& c : cases) {
        const std::string name = "test" + std::to_string(scenario++) + ".def";
        choose_scenario(name.c_str(), c.win, c.time_limit, c.level);
        economy_ctrl_e economy;
        load(economy);
        economy.generate_jobs();
        economy.init_driver_jobs();
        economy.load_scenario();
        EXPECT_EQ(economy.goal_kind, c.goal_kind) << c.win;
        EXPECT_EQ(economy.goal_target, c.goal_target) << c.win;
        EXPECT_FLOAT_EQ(economy.time_left, c.time_left) << c.win;
        EXPECT_EQ(economy.companies[0].money, 5000);
        EXPECT_EQ(economy.companies[0].loan, 300);
        EXPECT_EQ(economy.companies[1].loan, 0);
        EXPECT_STREQ(economy.companies[0].name, "Kit");
        EXPECT_EQ(economy.companies[0].headquarters, 1);
        EXPECT_GE(economy.companies[0].trucks[0], 0);
        // Three cities for four companies: the draws end, each opponent has a city, a colour of its
        // own and a first truck that no other company holds.
        for (int32_t c1 = 1; c1 < economy_company_count; ++c1) {
            const company_t& company = economy.companies[c1];
            EXPECT_GE(company.headquarters, 0);
            EXPECT_LT(company.headquarters, 3);
            EXPECT_GE(company.trucks[0], 0);
            for (int32_t c2 = 0; c2 < c1; ++c2) {
                EXPECT_NE(company.colour, economy.companies[c2].colour);
                EXPECT_NE(company.trucks[0], economy.companies[c2].trucks[0]);
            }
            // The player's city is never given away: the free cities go first, then an opponent's.
            EXPECT_NE(company.headquarters, economy.companies[0].headquarters) << c1;
        }
        EXPECT_NE(economy.companies[1].headquarters, economy.companies[2].headquarters)
            << "both free cities are taken before one is shared";
    }
    // Without drivers or trucks no company gets a truck and no draw picks index -1.
    economy_ctrl_e empty;
    load(empty);
    empty.drivers.clear();
    empty.trucks.clear();
    empty.load_scenario();
    for (const company_t& company : empty.companies)
        EXPECT_EQ(company.trucks[0], -1);
}

TEST_F(economy_rules_test, the_player_drives_the_scenarios_truck_in_his_company_colour)
{
    const struct {
        const char* truck_line;
        int colour;
        const char* expected;
    } cases[] = {
        {"", 0, "rig motor cab #006699ff kept"},  // no truck of its own: the player's driver's truck
        {"", 9, nullptr},                         // a colour index out of the table keeps the truck's paint
        {" truck = hauler\n", 3, "hauler big_motor #00009900 kept"},
    };
    int scenario = 0;
    for (const auto& c : cases) {
        const std::string name = "truck" + std::to_string(scenario++) + ".def";
        // The scenario's own make exists only for its case, so it never stands first among the makes
        // the driver's truck is taken from.
        if (c.truck_line[0] != '\0') {
            write_data_file("makes/truck/hauler/description.def", "truck {\n price = 90000\n access0 = big_motor\n}\n");
            write_data_file("makes/truck/hauler/acc/big_motor/!desc.def",
                            "accessory {\n type = engine\n power = 80\n}\n");
        }
        write_data_file(std::string("defs/scenarios/") + name,
                        std::string("scenario {\n money = 5000\n") + c.truck_line + " win = none\n}\n");
        def_obj_t* const context = game_context_get();
        context->set_value("scenario_def", name.c_str());
        context->set_int("comp_color", c.colour);
        economy_ctrl_e economy;
        load(economy);
        economy.generate_jobs();
        economy.init_driver_jobs();
        economy.load_scenario();
        const company_truck_t& own = economy.trucks[static_cast<size_t>(economy.companies[0].trucks[0])];
        const uint32_t paint = own.colour;
        world.rebuilds.clear();
        economy.open_main_hud(1);
        ASSERT_EQ(world.rebuilds.size(), 1u);
        if (c.expected) {
            EXPECT_EQ(world.rebuilds[0], c.expected);
        } else {
            char kept[16];
            std::snprintf(kept, sizeof kept, "#%08x", paint);
            EXPECT_NE(world.rebuilds[0].find(kept), std::string::npos) << world.rebuilds[0];
        }
    }
}

TEST_F(economy_rules_test, a_scenario_without_its_object_or_with_numbers_past_their_ranges_is_not_taken_as_it_is)
{
    choose_scenario("other.def", "none", "-1", 0);
    write_data_file("defs/scenarios/other.def", "mission {\n money = 5000\n win = none\n}\n");
    economy_ctrl_e without;
    load(without);
    without.load_scenario();
    EXPECT_TRUE(engine_log_has(
        "<economy_ctrl_e> /defs/scenarios/other.def holds no \"scenario\" object; the career starts without its set-up"));
    EXPECT_EQ(without.companies[0].money, 0);

    choose_scenario("huge.def", "none", "nan", 0);
    write_data_file(
        "defs/scenarios/huge.def",
        "scenario {\n money = 2147483647\n loan = -5\n prestige = 1e30\n time_limit = nan\n win = none\n}\n");
    economy_ctrl_e huge;
    load(huge);
    huge.load_scenario();
    EXPECT_EQ(huge.companies[0].money, economy_money_limit);
    EXPECT_EQ(huge.companies[0].loan, 0);
    EXPECT_EQ(huge.companies[0].prestige, 100.0f);
    EXPECT_EQ(huge.time_left, -1.0f);
}

TEST_F(economy_rules_test, money_and_the_weeks_settlement_stay_within_the_economys_range)
{
    economy_ctrl_e economy;
    load(economy);
    economy.companies[0].money = economy_money_limit - 50000;
    for (int i = 0; i < 3; ++i)
        economy.cheat(3);
    EXPECT_EQ(economy.companies[0].money, economy_money_limit) << "cheat money repeated stops at the limit";

    // Eight trucks of drivers on the highest wage and a haul score at the limit: the week's costs are
    // summed wide, and the money stops at the lower limit instead of wrapping round to a fortune.
    economy.companies[0].money = -economy_money_limit + 10;
    economy.companies[0].haul_score_second = economy_money_limit;
    for (int slot = 0; slot < company_truck_slots; ++slot)
        economy.companies[0].trucks[slot] = 0;
    economy.drivers[0].salary = economy_salary_limit;
    economy.trucks[0].owner = 0;
    economy.weekly_report();
    EXPECT_EQ(economy.companies[0].week_costs, economy_money_limit);
    EXPECT_EQ(economy.companies[0].money, -economy_money_limit);
    economy.add_money(-economy_money_limit, 1);
    EXPECT_EQ(economy.companies[0].money, -economy_money_limit);
}

TEST_F(economy_rules_test, the_special_offer_is_made_reminded_and_expires_and_never_loops_on_one_city)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    world.city = 0;
    economy.offer.countdown = 0.0f;
    economy.announce_special_offer(30000.0f);
    ASSERT_EQ(economy.offer.active, 1);
    const job_t& spare = economy.jobs[static_cast<size_t>(economy.spare_job())];
    EXPECT_EQ(spare.cargo, economy.spare_cargo());
    EXPECT_NE(economy.job_source_city(economy.spare_job()), 0);
    EXPECT_NE(economy.job_source_city(economy.spare_job()), economy.job_dest_city(economy.spare_job()));
    EXPECT_GT(economy.offer.deadline, 30000.0f);
    EXPECT_LT(economy.offer.deadline, 604800.0f);
    EXPECT_NE(std::strstr(economy.offer.text, "@@ui_special_cargo_offer1@@"), nullptr);
    EXPECT_EQ(world.pages.size(), 1u);

    economy.announce_special_offer(economy.offer.next_reminder);
    EXPECT_EQ(economy.offer.reminders, 1);
    economy.announce_special_offer(economy.offer.deadline);
    EXPECT_EQ(economy.offer.active, 0);
    EXPECT_EQ(economy.jobs[static_cast<size_t>(economy.spare_job())].cargo, -1);
    EXPECT_EQ(world.pages.back(), "@@ui_special_cargo_offer_expired@@");

    // One city: no offer and no endless redraw; the countdown starts again.
    economy.cities.resize(1);
    economy.offer.countdown = 0.0f;
    economy.announce_special_offer(30000.0f);
    EXPECT_EQ(economy.offer.active, 0);
    EXPECT_GT(economy.offer.countdown, 0.0f);
    // A deadline past the week's end makes no offer.
    economy.offer.countdown = 0.0f;
    economy.announce_special_offer(600000.0f);
    EXPECT_EQ(economy.offer.active, 0);
}

TEST_F(economy_rules_test, dock_slots_open_take_jobs_place_trailers_near_the_truck_and_release)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    // Trader 0 with four slots and three jobs of its own (jobs 0 to 2), trader 1 with one job.
    economy.jobs.assign(5, job_t{});
    for (int32_t j = 0; j < 3; ++j)
        economy.jobs[static_cast<size_t>(j)] = {0, 0, 1, 100000.0f, 0};
    economy.jobs[3] = {1, 1, 0, 100000.0f, 0};
    economy.jobs[4] = {-1, 0, 0, 0.0f, 0};
    economy.traders[0].first_job = 0;
    economy.traders[1].first_job = 3;
    economy.docks.assign(1, dock_t{});
    dock_t& dock = economy.docks[0];
    dock.id = 40;
    dock.slot_count = 4;
    dock.trader = 0;
    for (int i = 0; i < 4; ++i)
        dock.slot_positions[i] = {static_cast<float>(i) * 20000.0f, 0.0f, 0.0f};
    economy.traders[0].dock = 0;
    economy.special_cargos.clear();  // no one-off job on slot 0

    economy.dock_activate(40, 0);
    EXPECT_EQ(dock.slot_states[0], slot_job_ready);
    EXPECT_EQ(dock.slot_states[1], slot_job_ready);
    EXPECT_EQ(dock.slot_states[2], slot_job_ready);
    EXPECT_EQ(dock.slot_states[3], slot_open);
    EXPECT_EQ(dock.slot_jobs[3], slot_no_job);

    // The yard is the 60 m around the dock's position, of a dock in reach only.
    dock.position = {5000.0f, 0.0f, 0.0f};
    EXPECT_EQ(economy.dock_at({10000.0f, 0.0f, 0.0f}), 40);
    EXPECT_EQ(economy.dock_at({5000.0f, 0.0f, 6001.0f}), -1);
    // Slots 0 and 1 lie within 120 m of the truck, slot 2 (400 m) does not.
    economy.set_current_dock(40);
    world.truck = {10000.0f, 0.0f, 0.0f};
    economy.place_near_trailers();
    EXPECT_EQ(dock.slot_states[0], slot_trailer_standing);
    EXPECT_EQ(dock.slot_states[1], slot_trailer_standing);
    EXPECT_EQ(dock.slot_states[2], slot_job_ready);
    EXPECT_EQ(world.trailers, 2u);

    // A trailer driven off: its job gets a new trailer when the player comes near again.
    economy.dock_slot_release(0, 1);
    EXPECT_EQ(dock.slot_states[1], slot_job_ready);
    // A slot that held the spare job is left open.
    dock.slot_jobs[0] = static_cast<uint16_t>(economy.spare_job());
    economy.dock_slot_release(0, 0);
    EXPECT_EQ(dock.slot_states[0], slot_open);

    economy.dock_deactivate(40, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dock.slot_states[i], slot_idle);
    EXPECT_TRUE(economy.docks_in_reach().active().empty());
    EXPECT_EQ(economy.dock_at({10000.0f, 0.0f, 0.0f}), -1) << "a dock out of reach has no yard";
}

TEST_F(economy_rules_test, a_driver_walks_his_route_in_its_direction_and_stops_at_its_ends)
{
    economy_ctrl_e economy;
    load(economy);
    const std::vector<uint8_t> rte = two_dock_routes({7, 8, 9, 10}, 300);
    std::string error;
    ASSERT_TRUE(economy.routes.parse(rte.data(), rte.size(), error)) << error;
    economy.traders[0].dock = 0;
    economy.traders[1].dock = 1;
    economy.jobs.assign(3, job_t{});
    economy.jobs[0] = {0, 0, 1, 30000.0f, 0};  // dock 0 to dock 1: forward, walked from the last node
    economy.jobs[1] = {0, 1, 0, 30000.0f, 0};  // back again
    economy.jobs[2] = {-1, 0, 0, 0.0f, 0};

    struct {
        int32_t job;
        int32_t first, second;
        float covered_after_one;
    } cases[] = {
        {0, 10, 9, 100.0f},  // covered = 300 - running length of node 2
        {1, 7, 8, 100.0f},
    };
    for (const auto& c : cases) {
        driver_t& driver = economy.drivers[0];
        driver.jobs[0] = c.job;
        economy.start_driver_leg(0);
        ASSERT_TRUE(driver.state & driver_has_route);
        int32_t node = -1;
        ASSERT_TRUE(economy.driver_route_node(0, node));
        EXPECT_EQ(node, c.first);
        ASSERT_TRUE(economy.driver_next_node(0, node));
        EXPECT_EQ(node, c.second);
        driver.flags &= ~driver_loading;
        economy.driver_route_step(0);
        EXPECT_FLOAT_EQ(driver.covered, c.covered_after_one);
        // Far more progress than the route holds: the walk ends on the last node, not past it.
        driver.progress = 5.0f;
        vec3_t at{};
        economy.driver_place_on_route(0, &at);
        ASSERT_TRUE(economy.driver_route_node(0, node));
        EXPECT_EQ(node, c.first == 10 ? 7 : 10);
        EXPECT_FALSE(economy.driver_next_node(0, node));
        economy.driver_route_step(0);
        ASSERT_TRUE(economy.driver_route_node(0, node));
        EXPECT_EQ(node, c.first == 10 ? 7 : 10);
    }
}

TEST_F(economy_rules_test, a_leg_of_no_time_is_delivered_without_nan_progress)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    economy.init_driver_jobs();
    driver_t& driver = economy.drivers[0];
    driver.truck = -1;  // no truck: the leg takes no time
    economy.start_driver_leg(0);
    driver.flags &= ~driver_loading;
    EXPECT_EQ(driver.leg_time, 0.0f);
    const int32_t queued = driver.jobs[1];
    world.now = 5.0;
    economy.computer_drivers().step_driver(0);
    EXPECT_FALSE(std::isnan(driver.progress));
    EXPECT_EQ(driver.jobs[0], queued);
}

TEST_F(economy_rules_test, ai_data_links_each_trader_to_its_dock_record_after_sorting_and_refuses_bad_files)
{
    economy_ctrl_e economy;
    load(economy);
    // Two docks stored against their id order: the trader of each must name the record it ends up in.
    mbio_t out;
    out.open_grow();
    out.write_u32(2);
    out.write_u32(2);
    for (const auto& [id, trader] : {std::pair{9, 0}, std::pair{4, 2}}) {
        dock_t dock{};
        dock.id = id;
        dock.slot_count = 1;
        dock.trader = trader;
        write_record(out, dock);
    }
    write_data_file("maps/unsorted.aid", std::string(reinterpret_cast<const char*>(out.data()), out.size()));
    ASSERT_EQ(economy.load_ai_data("/maps/unsorted.mbd"), 1);
    ASSERT_EQ(economy.docks.size(), 2u);
    EXPECT_EQ(economy.docks[0].id, 4);
    EXPECT_EQ(economy.traders[0].dock, 1);
    EXPECT_EQ(economy.traders[2].dock, 0);
    EXPECT_EQ(economy.traders[1].dock, -1);
    EXPECT_EQ(economy.docks[1].slot_jobs[0], slot_no_job);
    EXPECT_EQ(economy.routes.node_count(), 0);

    // A missing file or another version leaves no docks and every trader dockless.
    std::string wrong(reinterpret_cast<const char*>(out.data()), out.size());
    wrong[0] = 3;
    write_data_file("maps/wrong.aid", wrong);
    for (const char* map : {"/maps/missing.mbd", "/maps/wrong.mbd"}) {
        EXPECT_EQ(economy.load_ai_data(map), -1) << map;
        EXPECT_TRUE(economy.docks.empty()) << map;
        for (const trader_t& trader : economy.traders)
            EXPECT_EQ(trader.dock, -1) << map;
    }
}

TEST_F(economy_rules_test, an_opponent_on_level_2_hires_a_known_driver_at_each_check_and_grows)
{
    struct {
        int filled_before;
        int32_t level_after;
    } cases[] = {{3, 1}, {6, 2}};
    for (const auto& c : cases) {
        economy_ctrl_e economy;
        load(economy);
        economy.set_ai_level(2);
        company_t& company = economy.companies[1];
        company.money = 1000000;
        company.prestige = 50.0f;
        for (int slot = 1; slot <= c.filled_before; ++slot)
            company.trucks[slot] = (slot - 1) % 4;
        for (int32_t d = 0; d < 4; ++d)
            economy.drivers[static_cast<size_t>(d)].company = 1;
        for (driver_t& driver : economy.drivers)
            driver.flags &= ~driver_unknown_bit(1);
        // Companies 1, 2 and 3 are stepped in turn, never the player's.
        world.now = 301.0;
        economy.company_ai_step();
        EXPECT_EQ(economy.company_ai().last_stepped(), 1);
        EXPECT_EQ(company.trucks[c.filled_before + 1], 4);
        EXPECT_EQ(economy.drivers[4].company, 1);
        EXPECT_EQ(company.money, 1000000 - economy.truck_value_at(4));
        EXPECT_EQ(company.level, c.level_after);
        EXPECT_EQ(world.pages.back(), "Unknown @@ui_gained_level@@ " + std::to_string(c.level_after));
        economy.company_ai_step();
        economy.company_ai_step();
        economy.company_ai_step();
        EXPECT_EQ(economy.company_ai().last_stepped(), 1);
        EXPECT_EQ(economy.companies[0].last_step_time, 0.0);
    }
}

TEST_F(economy_rules_test, the_main_hud_shows_time_left_money_and_a_day_time_at_most_every_61_seconds)
{
    economy_ctrl_e economy;
    economy.set_world(&world);
    economy.time_left = 90061.0f;
    economy.companies[0].money = 1234;
    economy.open_main_hud(1);
    EXPECT_EQ(world.hud_windows, 1);
    char money[128];
    format_money(1234, money, sizeof money, 0xFFFFFFFFu);
    const auto shown = [&](const std::string& line) {
        return std::find(world.hud.begin(), world.hud.end(), line) != world.hud.end();
    };
    EXPECT_TRUE(shown("120:1 @@ui_day@@   01 : 01"));
    EXPECT_TRUE(shown(std::string("110:") + money));
    EXPECT_TRUE(shown("130:0.000000"));

    world.hud.clear();
    for (const float t : {100.0f, 130.0f, 170.0f}) {
        world.clock = t;
        economy.handler();
    }
    int day_times = 0;
    for (const std::string& line : world.hud)
        day_times += line.rfind("100:", 0) == 0;
    EXPECT_EQ(day_times, 2);
}

TEST_F(economy_rules_test, a_game_loaded_from_a_save_builds_no_records_but_its_target_marker)
{
    write_data_file("models/free_items/target/target.psm",
                    "psm 1\npart ring { positions { 0 0 0 1 0 0 0 0 1 } indices { 0 1 2 } }\n");
    game_context_get()->set_value("load_game_name", "/saves/monday.sav");
    economy_ctrl_e economy;
    economy.set_world(&world);
    for (const int phase : {0, 10})
        EXPECT_EQ(economy.init(phase), 0);
    EXPECT_TRUE(economy.cities.empty());
    EXPECT_TRUE(economy.drivers.empty());
    EXPECT_EQ(economy.job_count(), 0);
    EXPECT_NE(economy.target_marker(), nullptr);
}

TEST_F(economy_rules_test, the_damage_warning_takes_the_gauges_place_and_leaves_the_pager_lines_alone)
{
    economy_ctrl_e economy;
    economy.set_world(&world);
    economy.open_main_hud(1);
    EXPECT_FALSE(world.hud_shown.at(main_hud_damage_warning));
    EXPECT_TRUE(world.hud_shown.at(main_hud_condition));
    const struct {
        float damage;
        bool warning;
    } cases[] = {{0.79f, false}, {0.8f, true}, {1.0f, true}, {0.2f, false}};
    for (const auto& c : cases) {
        economy.set_hud_damage(c.damage);
        EXPECT_EQ(world.hud_shown.at(main_hud_damage_warning), c.warning) << c.damage;
        EXPECT_EQ(world.hud_shown.at(main_hud_condition), !c.warning) << c.damage;
    }
    // The main HUD's pager writes its lines into component 150: the economy never shows or hides it.
    EXPECT_EQ(world.hud_shown.count(150), 0u);
}

TEST_F(economy_rules_test, the_cargos_trailers_base_shaders_are_held_from_their_folder_or_the_shared_one)
{
    write_data_file("makes/trailer/flatbed/description.def", "trailer {\n access0 = lamp\n access1 = deck\n}\n");
    write_data_file("makes/trailer/flatbed/acc/deck/!desc.def",
                    "accessory {\n type = base\n shader0 = \"own.shd:common.shd\"\n}\n");
    write_data_file("makes/trailer/flatbed/acc/deck/own.shd", "texture 4 4\n");
    write_data_file("makes/trailer/flatbed/acc/shared/common.shd", "texture 4 4\n");
    write_data_file("makes/trailer/flatbed/acc/lamp/!desc.def", "accessory {\n type = base\n shader0 = lamp.shd\n}\n");
    economy_ctrl_e economy;
    load(economy);
    // The "access0" accessory is not read; "logs" names the flatbed, "milk" and "gold" a make that is missing.
    EXPECT_EQ(economy.trailer_shaders.size(), 2u);
    economy.destroy(0);
    EXPECT_EQ(economy.trailer_shaders.size(), 0u);
}

TEST_F(economy_rules_test, a_hired_drivers_delivery_names_the_damage_from_6_percent_on)
{
    struct {
        float damage;
        bool names_damage;
    } cases[] = {{0.05f, false}, {0.06f, true}};
    for (const auto& c : cases) {
        economy_ctrl_e economy;
        load(economy);
        economy.jobs.assign(2, job_t{});
        economy.jobs[0] = {0, 0, 1, 100000.0f, 0};
        economy.jobs[1] = {-1, 0, 0, 0.0f, 0};
        driver_t& driver = economy.drivers[2];
        driver.company = 0;
        driver.jobs[0] = 0;
        world.pages.clear();
        economy.delivery_result(2, c.damage, true);
        ASSERT_FALSE(world.pages.empty());
        const std::string& page = world.pages.back();
        EXPECT_EQ(page.rfind("@@ui_Driver@@ ", 0), 0u) << page;
        EXPECT_EQ(page.find("6% @@ui_damage@@") != std::string::npos, c.names_damage) << page;
        EXPECT_EQ(economy.companies[0].deliveries, 1);
    }
}

TEST_F(economy_rules_test, a_driver_without_a_route_drives_his_leg_by_time_and_is_never_shown)
{
    economy_ctrl_e economy;
    load(economy);
    economy.generate_jobs();
    economy.init_driver_jobs();
    driver_t& driver = economy.drivers[0];
    ASSERT_EQ(driver.state & driver_has_route, 0);
    driver.flags &= ~driver_loading;
    ASSERT_GT(driver.leg_time, 0.0f);
    world.now = static_cast<double>(driver.leg_time) * 0.5;
    economy.computer_drivers().step_driver(0);
    EXPECT_NEAR(driver.progress, 0.5f, 1e-3f);
    EXPECT_EQ(world.driver_trucks, 0);
}
