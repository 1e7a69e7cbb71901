#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "../frame/frame_fixture.h"
#include "vehicle_fixture.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "engine/psm.h"
#include "engine/log.h"
#include "engine/snd_record.h"
#include "road/ctrl_parts.h"
#include "vehicles/traffic/car_police.h"
#include "vehicles/links/police_player.h"
#include "vehicles/traffic/traffic.h"

namespace {

// The player's truck as the police sees it: a position and speed the test sets, a position history
// along the x axis, and the tickets, pager lines and radar it was given.
class pursued_player_e : public entity_t,
                         public ctrl_truck_t,
                         public police_player_t,
                         public ticket_owner_t,
                         public pager_owner_t {
public:
    vec3_t truck_position() const override { return at; }
    float truck_speed() const override { return 0.0f; }
    float truck_speed_mph() const override { return mph; }
    void get_fuel(float& out_capacity, float& out_percent) const override { out_capacity = out_percent = 0.0f; }
    void set_fuel(float) override {}
    float damage() const override { return 0.0f; }
    void repair(float) override {}
    int32_t trailer_job() const override { return -1; }
    void show_hud(bool) override {}
    void get_history(int i, vec3_t& out_position, quat_t& out_orientation) const override
    {
        out_position = history[static_cast<size_t>(i)];
        out_orientation = quat_t();
    }
    int32_t get_history_index() const override { return newest; }
    void set_radar_interval(float seconds) override { radar = seconds; }
    void end_police() override { ++police_ends; }
    float offence_clock() const override { return 0.0f; }
    bool recovery_active() const override { return false; }
    void show_ticket(int32_t offence, int32_t car) override { tickets.push_back({offence, car}); }
    void pager_message(const char* text, int) override { pages.emplace_back(text); }

    vec3_t at;
    float mph = 0.0f;
    std::vector<vec3_t> history = std::vector<vec3_t>(history_entries);
    int32_t newest = 0;
    float radar = -1.0f;
    int police_ends = 0;
    std::vector<std::pair<int32_t, int32_t>> tickets;
    std::vector<std::string> pages;
};

// A police truck with its body (outside any physics world), registered in a bridge with the traffic
// and the player's truck.
class police_truck_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        traffic = std::make_unique<traffic_e>();
        player = std::make_unique<pursued_player_e>();
        police = std::make_unique<car_police_e>();
        bridge = std::make_unique<game_bridge_t>(nullptr, game_mode_game);
        bridge->register_traffic(traffic->handle());
        bridge->set_avatar(player->handle());
        bridge->register_police(police->handle());
        traffic->bridge = bridge.get();
        police->bridge = bridge.get();
        police->player = player->handle();
        police->create_body(0);
        police->built = true;
        for (int i = 0; i < police_player_t::history_entries; ++i)
            player->history[static_cast<size_t>(i)] = {1000.0f * static_cast<float>(i), 0.0f, 0.0f};
    }
    void TearDown() override
    {
        bridge.reset();
        police.reset();
        traffic.reset();
        player.reset();
        frame_test_t::TearDown();
    }

    std::unique_ptr<traffic_e> traffic;
    std::unique_ptr<pursued_player_e> player;
    std::unique_ptr<car_police_e> police;
    std::unique_ptr<game_bridge_t> bridge;
};

TEST_F(police_truck_test, a_pursuit_chases_the_player_within_3536_and_stops_it_with_a_ticket_within_2500)
{
    traffic->offences().set_pending(150);
    player->at = {0.0f, 0.0f, 20000.0f};
    police->begin_pursuit(150, 3, false, 9);
    EXPECT_FLOAT_EQ(police->give_up_distance, 4e8f);
    EXPECT_EQ(player->pages, std::vector<std::string>{"@@ui_begin_pursuit@@"});

    // Distances from the police truck at the origin: still following, chasing, caught.
    player->at = {0.0f, 0.0f, 4000.0f};
    police->pursue();
    EXPECT_TRUE(police->pursuit_on);
    EXPECT_FALSE(police->direct_chase) << "4000 is beyond the chase distance";
    player->at = {0.0f, 0.0f, 3000.0f};
    police->pursue();
    EXPECT_TRUE(police->direct_chase) << "within about 3536 the player is chased directly";
    EXPECT_TRUE(player->tickets.empty());
    player->at = {0.0f, 0.0f, 2400.0f};
    police->pursue();
    EXPECT_FALSE(police->pursuit_on);
    EXPECT_EQ(player->tickets, (std::vector<std::pair<int32_t, int32_t>>{{150, 9}}));
    EXPECT_FLOAT_EQ(police->controls.brake, 2.0f);
    EXPECT_EQ(traffic->offences().pending(), -1) << "the traffic's offence is settled";
    EXPECT_EQ(player->police_ends, 1);
}

TEST_F(police_truck_test, a_player_beyond_five_times_the_starting_distance_escapes_and_the_truck_leaves)
{
    traffic->offences().set_pending(120);
    player->at = {0.0f, 0.0f, 20000.0f};
    police->begin_pursuit(120, 3, false, -1);
    player->at = {0.0f, 0.0f, 44000.0f};  // 1.936e9, below 5 x 4e8
    police->pursue();
    EXPECT_FALSE(police->removed);
    player->at = {0.0f, 0.0f, 45000.0f};  // 2.025e9
    police->pursue();
    EXPECT_TRUE(police->removed);
    EXPECT_EQ(player->pages.back(), "@@ui_cancel_pursuit@@");
    EXPECT_EQ(traffic->offences().pending(), -1);
    EXPECT_FALSE(bridge->has_police()) << "the police slot is given back";
    EXPECT_FLOAT_EQ(player->radar, 0.0f) << "the radar lamp is off";
    EXPECT_TRUE(player->tickets.empty());
}

TEST_F(police_truck_test, a_pursuit_lagging_10_s_behind_a_far_player_jumps_onto_its_history_entry)
{
    player->at = {0.0f, 0.0f, 20000.0f};
    police->begin_pursuit(150, 5, false, -1);
    police->pursuit_timer = 10.5f;
    police->pursue();
    EXPECT_EQ(police->get_position(), player->history[5]) << "the player is more than 10000 away";

    player->at = {0.0f, 0.0f, 9000.0f};
    police->set_transform({}, quat_t());
    police->pursuit_timer = 10.5f;
    police->pursue();
    EXPECT_EQ(police->get_position(), vec3_t()) << "within 10000 the pursuit drives on";
}

TEST_F(police_truck_test, a_pursuit_sent_by_the_traffic_starts_on_the_history_three_entries_after_the_newest)
{
    player->newest = 13;
    player->at = {0.0f, 0.0f, 30000.0f};
    police->begin_pursuit(180, -1, false, 1000);
    EXPECT_EQ(police->get_position(), player->history[1]) << "(13 + 3) mod 15";
    EXPECT_EQ(police->history_index, 2);
    EXPECT_TRUE(police->pursuit_on);
}

TEST_F(police_truck_test, a_post_sees_a_speeder_and_begins_the_pursuit_once_the_player_drives_away)
{
    player->at = {0.0f, 0.0f, 20000.0f};
    police->set_pose({}, quat_t(), false);
    EXPECT_EQ(police->contact_owner.tag, contact_kind_police);
    player->at = {0.0f, 0.0f, 9000.0f};
    police->handler();
    EXPECT_FALSE(police->pursuit_pending);
    player->mph = 66.0f;
    player->at = {0.0f, 0.0f, 8900.0f};
    police->handler();
    EXPECT_TRUE(police->pursuit_pending) << "66 mph within 10000";
    EXPECT_NEAR(player->radar, 0.4f, 1e-6f) << "the radar at its shortest interval";
    player->at = {0.0f, 0.0f, 2000.0f};
    police->handler();
    police->handler();
    EXPECT_FALSE(police->pursuit_on) << "the player comes closer";
    player->at = {0.0f, 0.0f, 2400.0f};
    police->handler();
    police->handler();
    EXPECT_FALSE(police->pursuit_on) << "moving away, but within 2500";
    player->at = {0.0f, 0.0f, 2600.0f};
    police->handler();
    police->handler();
    EXPECT_TRUE(police->pursuit_on);
    EXPECT_FALSE(police->standing);
}

TEST_F(police_truck_test, a_post_that_must_see_ignores_an_offence_behind_it_and_leaves_when_the_player_is_far)
{
    player->at = {0.0f, 0.0f, 5000.0f};  // behind: the truck faces -z
    police->set_pose({}, quat_t(), true);
    police->note_offence(130, -1);
    EXPECT_FALSE(police->pursuit_pending);
    player->at = {0.0f, 0.0f, -5000.0f};
    police->note_offence(130, -1);
    EXPECT_TRUE(police->pursuit_pending);

    player->at = {0.0f, 0.0f, 5300.0f};  // 2.809e7, beyond 1.1 x 2.5e7
    police->handler();
    EXPECT_TRUE(police->removed);
    police->handler();
    EXPECT_FALSE(bridge->has_police());
}

TEST_F(police_truck_test, a_police_truck_that_is_not_in_the_bridge_says_so_and_leaves_the_slot_alone)
{
    car_police_e second;
    second.bridge = bridge.get();
    second.remove();
    EXPECT_TRUE(second.removed);
    EXPECT_TRUE(engine_log_has("<game_bridge_t> police not registered"));
    EXPECT_EQ(bridge->police(), police->handle()) << "the registered police keeps its slot";
}

// The police truck in a world on the sample game's data.
class police_sample_test : public vehicle_test_t {
protected:
    bool sample_data() const override { return true; }
};

TEST_F(police_sample_test, a_post_builds_the_police_make_in_its_first_frame_where_it_was_placed)
{
    car_police_e* const police = add(std::make_unique<car_police_e>());
    quat_t turn;
    turn.set({0.0f, 1.0f, 0.0f}, 90.0f);
    police->set_pose({2000.0f, 150.0f, 5000.0f}, turn, true);
    EXPECT_FALSE(police->built);
    run(1);
    ASSERT_TRUE(police->built);
    EXPECT_STREQ(police->make_name, "police");
    EXPECT_GT(police->model_count, 2) << "the make's models were loaded";
    EXPECT_NE(police->siren_sound, nullptr);
    EXPECT_EQ(police->contact_owner.tag, contact_kind_police);
    EXPECT_NEAR(police->get_position().x, 2000.0f, 1.0f);
    EXPECT_NEAR(police->get_position().z, 5000.0f, 1.0f);
    EXPECT_FALSE(engine_log_has("Unable to load model"));
}

TEST_F(police_sample_test, a_pursuit_sent_before_the_build_sounds_its_siren_once_built)
{
    car_police_e* const police = add(std::make_unique<car_police_e>());
    police->begin_pursuit(150, 2, false, -1);
    run(1);
    ASSERT_NE(police->siren_sound, nullptr);
    snd_state_t siren;
    ASSERT_TRUE(snd_record_state(police->siren_sound, siren));
    EXPECT_TRUE(siren.playing);
}

TEST_F(police_sample_test, the_siren_lamps_beams_sweep_at_two_speeds_and_the_angle_wraps)
{
    car_police_e* const police = add(std::make_unique<car_police_e>());
    run(1);
    ASSERT_TRUE(police->built);
    ASSERT_GE(police->cabin_slot, 0);
    const psm_info_t* const info = api::psm_get_info(police->models[police->cabin_slot].model);
    ASSERT_NE(info, nullptr);
    // 1.25 s at a full turn a second: the angle wraps to 90 degrees.
    police->turn_siren_lamps(1.0f);
    police->turn_siren_lamps(0.25f);
    EXPECT_NEAR(police->siren_angle, 90.0f, 1e-3f);
    for (const int32_t part : police->siren_parts) {
        ASSERT_LT(part, info->part_count);
        const psm_part_t& mesh = info->parts[part];
        ASSERT_EQ(mesh.direction_count, 4) << "siren lamp part " << part;
        for (int i = 0; i < mesh.direction_count; ++i) {
            const float sweep = (i % 2 == 1) ? 90.0f : 99.0f;
            const float degrees = 50.0f * static_cast<float>(i) + sweep;
            const float radians = degrees * 3.14159265f / 180.0f;
            EXPECT_NEAR(mesh.directions[i].x, std::sin(radians), 1e-4f) << "beam " << i;
            EXPECT_NEAR(mesh.directions[i].y, 0.0f, 1e-4f) << "beam " << i;
            EXPECT_NEAR(mesh.directions[i].z, std::cos(radians), 1e-4f) << "beam " << i;
        }
    }
}

}  // namespace
