#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/command_line.h"
#include "engine_testing/test_entity_type.h"
#include "common/bridge_parts.h"
#include "common/game_bridge.h"
#include "common/game_context.h"
#include "frame/game_process.h"
#include "frame/world_process.h"
#include "frame_fixture.h"
#include "physics/cd_geo_box.h"
#include "physics/contact_owner.h"
#include "physics/dynamic_object.h"
#include "physics/phys_body.h"
#include "physics/phys_contact.h"

namespace {

// What the test economy and truck were asked, in order.
std::vector<std::string> calls;

// An economy controller that registers in the bridge as the real one does and records what it is asked.
class test_economy_e : public object_e, public economy_commands_t {
public:
    int init(const int phase) override
    {
        const int result = object_e::init(phase);
        if (phase == 0 && get_game_bridge())
            get_game_bridge()->register_economy(handle());
        return result;
    }
    void cheat(const int n) override { calls.push_back("cheat " + std::to_string(n)); }
    void open_main_hud(const int keep_position) override
    {
        calls.push_back("open_main_hud " + std::to_string(keep_position));
    }
};

// An environment that registers in the bridge and records the commands it is given.
class test_environment_e : public object_e, public environment_commands_t {
public:
    int init(const int phase) override
    {
        const int result = object_e::init(phase);
        if (phase == 0 && get_game_bridge())
            get_game_bridge()->register_environment(handle());
        return result;
    }
    void set_time(const int32_t seconds) override { calls.push_back("set_time " + std::to_string(seconds)); }
    void set_fov(const int32_t degrees) override { calls.push_back("set_fov " + std::to_string(degrees)); }
};

// The player's truck, with its pager.
class test_truck_e : public object_e, public pager_owner_t, public ticket_owner_t {
public:
    void show_ticket(const int32_t offence, const int32_t amount) override
    {
        calls.push_back("ticket " + std::to_string(offence) + " " + std::to_string(amount));
    }
    void pager_message(const char* text, const int flag) override
    {
        calls.push_back(std::string("pager ") + text + " " + std::to_string(flag));
    }
};

class game_bridge_calls_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        static const entity_reg_t records[] = {test_entity_type<test_economy_e>("test.economy"),
                                               test_entity_type<test_truck_e>("test.truck"),
                                               test_entity_type<test_environment_e>("test.environment")};
        for (const entity_reg_t& record : records)
            if (!entity_find_type(record.type_name))
                entity_register(&record);
        write_data_file("scripts/game/game.esc", "entity test.economy { name = \"economy\"; }\n"
                                                 "entity test.environment { name = \"environment\"; }\n");
        write_data_file("scripts/game/car_actor.esc", "entity test.truck { name = \"truck\"; }\n");
        cdl_set({"kavrenta"});
        game_ = game_process_t::create_and_start();
        calls.clear();
    }

    game_process_t* game_ = nullptr;
};

TEST_F(game_bridge_calls_test, cheat_words_reach_the_economy_controller)
{
    api::cmd_execute("map xyz");
    calls.clear();
    for (const char* command : {"cheat drivers", "cheat DEALERS", "cheat money", "cheat Stars", "cheat gold", "cheat"})
        api::cmd_execute(command);
    EXPECT_EQ(calls, (std::vector<std::string>{"cheat 1", "cheat 2", "cheat 3", "cheat 4"}));
}

TEST_F(game_bridge_calls_test, cheat_without_a_game_world_or_economy_does_nothing)
{
    api::cmd_execute("cheat money");  // the menu world has no economy controller
    api::cmd_execute("map nowhere");  // no world at all
    api::cmd_execute("cheat money");
    EXPECT_TRUE(calls.empty());
}

TEST_F(game_bridge_calls_test, time_and_field_of_view_commands_reach_the_environment_with_one_argument)
{
    api::cmd_execute("g_set_time 20");  // the menu world has no environment
    api::cmd_execute("map xyz");
    calls.clear();
    for (const char* command : {"g_set_time 20", "g_set_fov 90", "g_set_time", "g_set_fov 90 1"})
        api::cmd_execute(command);
    EXPECT_EQ(calls, (std::vector<std::string>{"set_time 72000", "set_fov 90"}));
}

TEST_F(game_bridge_calls_test, a_new_game_or_a_preview_with_its_truck_opens_the_main_hud)
{
    const struct {
        const char* command;
        std::vector<std::string> expected;
    } cases[] = {
        {"map xyz", {"open_main_hud 1"}},
        {"map xyz extra", {"open_main_hud 1"}},
        {"preview xyz", {"open_main_hud 1"}},
        {"preview xyz extra", {}},
    };
    for (const auto& c : cases) {
        calls.clear();
        api::cmd_execute(c.command);
        EXPECT_EQ(calls, c.expected) << c.command;
    }
}

TEST_F(game_bridge_calls_test, a_game_with_a_save_to_load_reads_it_instead_of_opening_the_hud)
{
    game_context_get()->set_value("load_game_name", "/save/slot1.sav");
    api::cmd_execute("map xyz");
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(engine_log_has("[save_game] /save/slot1.sav: the world has no environment to save or load"));
}

TEST_F(game_bridge_calls_test, pause_shows_its_state_on_the_pager)
{
    api::cmd_execute("map xyz");
    game_->world()->set_pausable(true);
    calls.clear();
    api::cmd_execute("pause");
    api::cmd_execute("pause");
    EXPECT_EQ(calls, (std::vector<std::string>{"pager @@ui_game_paused@@ 0", "pager @@ui_game_unpaused@@ 0"}));

    // A world that cannot pause keeps running, so every "pause" says it paused.
    game_->world()->set_pausable(false);
    calls.clear();
    api::cmd_execute("pause");
    api::cmd_execute("pause");
    EXPECT_FALSE(game_->world()->paused());
    EXPECT_EQ(calls, (std::vector<std::string>{"pager @@ui_game_paused@@ 0", "pager @@ui_game_paused@@ 0"}));
}

}  // namespace

namespace {

TEST_F(game_bridge_calls_test, running_into_the_police_truck_asks_the_players_truck_for_the_ticket_of_offence_120)
{
    api::cmd_execute("map xyz");
    calls.clear();
    dynamic_object_e mover;
    mover.geometry = new cd_geo_box_t({100.0f, 100.0f, 100.0f}, nullptr, -1, -1);
    mover.body = new phys_body_t;
    mover.body->set_mass_box({100.0f, 100.0f, 100.0f}, 100.0f);
    mover.link_geom();
    cd_geo_box_t police({100.0f, 100.0f, 100.0f}, nullptr, -1, -1);
    police.set_position({99.0f, 0.0f, 0.0f});
    contact_owner_t police_record{0, -30, 0.0f};
    police.owner_record = &police_record;
    phys_contact_t contact;
    contact.first = mover.geometry;
    contact.second = &police;
    mover.on_contact(contact, true);
    EXPECT_EQ(calls, (std::vector<std::string>{"ticket 120 -1"}));
}

}  // namespace
