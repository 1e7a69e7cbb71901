#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "../frame/frame_fixture.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_settings.h"
#include "engine/log.h"
#include "physics/cd_geo_box.h"
#include "physics/contact_owner.h"
#include "physics/phys_body.h"
#include "physics/phys_contact.h"
#include "vehicles/body/car_phys.h"
#include "vehicles/links/police_player.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/links/traffic_player.h"
#include "vehicles/links/vehicle_links.h"

namespace {

// The player's truck as the traffic's offence rules read it: the tickets it was shown, how often the
// wrong-road check was restarted, its offence clock and the trailer it tows.
class offence_player_e : public car_phys_e, public traffic_player_t, public police_player_t {
public:
    float traffic_speed_mph() const override { return 0.0f; }
    float traffic_speed() const override { return 0.0f; }
    vec3_t traffic_viewer_position() const override { return {}; }
    void show_ticket(int32_t offence, int32_t value) override { tickets.push_back({offence, value}); }
    void get_history(int, vec3_t&, quat_t&) const override {}
    int32_t get_history_index() const override { return 0; }
    void set_radar_interval(float) override {}
    void end_police() override { ++police_ends; }
    float offence_clock() const override { return clock; }
    bool recovery_active() const override { return false; }

    struct ticket_t {
        int32_t offence, value;
        bool operator==(const ticket_t&) const = default;
    };
    std::vector<ticket_t> tickets;
    int police_ends = 0;
    float clock = 0.0f;
};

// The economy as the traffic's contacts reach it: the prestige it was told to change.
class prestige_economy_e : public entity_t, public vehicle_economy_t {
public:
    void set_hud_damage(float) override {}
    void set_player_job(int32_t, const vec3_t*) override {}
    void deliver_player_job(int32_t, float) override {}
    void dock_slot_release(int32_t, int32_t) override {}
    void set_current_road(int32_t) override {}
    int32_t dock_at(const vec3_t&) const override { return -1; }
    void set_current_dock(int32_t) override {}
    void add_prestige(float delta, bool) override { prestige += delta; }
    float prestige = 0.0f;
};

// A body of the contacts: a 1 m box with an owner record carrying `tag`.
struct tagged_box_t {
    explicit tagged_box_t(int32_t tag, const vec3_t& at = {}) : box({100.0f, 100.0f, 100.0f}, nullptr, -1, -1)
    {
        record.tag = tag;
        box.owner_record = &record;
        box.set_position(at);
        box.pose.update_matrices();
    }
    cd_geo_box_t box;
    contact_owner_t record;
};

// A traffic with a police car model (0) and a plain one (1), in a bridge whose player's truck records
// what the traffic tells it; cars are put straight into slots.
class traffic_offence_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        traffic = std::make_unique<traffic_e>();
        player = std::make_unique<offence_player_e>();
        bridge = std::make_unique<game_bridge_t>(nullptr, game_mode_game);
        bridge->register_traffic(traffic->handle());
        bridge->set_avatar(player->handle());
        traffic->bridge = bridge.get();
        traffic->load_resources();
        ai_car_def_t car;
        car.length = 400.0f;
        car.width = 180.0f;
        car.half_height = 70.0f;
        for (int i = 0; i < 2; ++i)
            traffic->catalogue().add(car);
    }
    void TearDown() override
    {
        set_game_detail_level(1);
        bridge.reset();
        traffic.reset();
        player.reset();
        frame_test_t::TearDown();
    }

    // A spawned car of `model`.
    int32_t car(uint8_t model = 1)
    {
        const int32_t slot = traffic->free_slots.back();
        traffic->free_slots.pop_back();
        traffic->spawned.push_back(slot);
        traffic->cars[static_cast<size_t>(slot)].model = model;
        return slot;
    }

    // The body tagged `mover` moved into car `hit`: the traffic, as the hit body's owner, is told.
    void hit(int32_t car_index, int32_t mover = -20)
    {
        tagged_box_t moving(mover);
        hit_by(moving.box, car_index);
    }
    void hit_by(cd_geo_t& moving, int32_t car_index)
    {
        tagged_box_t struck(car_index, {150.0f, 0.0f, 0.0f});
        phys_contact_t contact;
        contact.first = &moving;
        contact.second = &struck.box;
        traffic->on_contact(contact, false);
    }

    std::unique_ptr<traffic_e> traffic;
    std::unique_ptr<offence_player_e> player;
    std::unique_ptr<game_bridge_t> bridge;
};

TEST_F(traffic_offence_test, three_different_cars_hit_by_the_player_call_the_police_and_one_car_hit_again_counts_once)
{
    const int32_t first = car(), second = car(), third = car();
    hit(first);
    hit(first);
    hit(first);
    EXPECT_EQ(traffic->offences().hits(), 1) << "the same car hit three times counts once";
    EXPECT_EQ(traffic->offences().pending(), -1);
    EXPECT_TRUE(traffic->is_knocked(first));

    hit(second);
    EXPECT_EQ(traffic->offences().pending(), -1);
    hit(third);
    EXPECT_EQ(traffic->offences().pending(), 120) << "the third different car brings the police";
    EXPECT_EQ(traffic->offences().hits(), 0);
    EXPECT_TRUE(player->tickets.empty()) << "the police truck gives the ticket";

    const int32_t fourth = car(), fifth = car(), sixth = car();
    for (const int32_t later : {fourth, fifth, sixth})
        hit(later);
    EXPECT_EQ(traffic->offences().hits(), 0) << "no offence counts while one is pending";
}

TEST_F(traffic_offence_test, without_the_police_truck_the_third_car_gives_the_ticket_at_once)
{
    set_game_detail_level(0);
    for (int i = 0; i < 3; ++i)
        hit(car());
    EXPECT_EQ(player->tickets, (std::vector<offence_player_e::ticket_t>{{120, -1}}));
    EXPECT_EQ(traffic->offences().pending(), -1);
    EXPECT_EQ(traffic->offences().hits(), 0);
}

TEST_F(traffic_offence_test, only_the_player_and_the_trailer_it_tows_commit_the_offence_of_hitting_a_car)
{
    // Untagged bodies, other vehicles, a loose trailer and the police truck knock the cars they hit
    // but are no offence of the player's.
    for (const int32_t mover : {-1, -2, -10, -30}) {
        for (int i = 0; i < 3; ++i) {
            const int32_t struck = car();
            hit(struck, mover);
            EXPECT_TRUE(traffic->is_knocked(struck)) << mover;
        }
        EXPECT_EQ(traffic->offences().hits(), 0) << mover;
        EXPECT_EQ(traffic->offences().pending(), -1) << mover;
    }
    // A body that knocks no car.
    const int32_t spared = car();
    hit(spared, -3);
    EXPECT_FALSE(traffic->is_knocked(spared));

    entity_t trailer;
    player->hitched_trailer = trailer.handle();
    tagged_box_t towed(-10);
    towed.box.owner_word = trailer.handle().word();
    hit_by(towed.box, car());
    EXPECT_EQ(traffic->offences().hits(), 1) << "the player's own trailer counts";
}

TEST_F(traffic_offence_test, hitting_the_economy_drivers_truck_costs_prestige_and_counts_as_a_hit)
{
    prestige_economy_e economy;
    bridge->register_economy(economy.handle());
    traffic->cars[0].model = 3;
    hit(0, -2);
    EXPECT_FLOAT_EQ(economy.prestige, 0.0f) << "another vehicle";
    hit(0);
    EXPECT_FLOAT_EQ(economy.prestige, -10.0f);
    EXPECT_EQ(traffic->offences().hits(), 1);
    EXPECT_TRUE(player->tickets.empty());
    bridge.reset();
}

TEST_F(traffic_offence_test, hitting_the_police_car_of_the_traffic_gives_the_ticket_at_once)
{
    const int32_t police = car(0);
    hit(police);
    EXPECT_EQ(player->tickets, (std::vector<offence_player_e::ticket_t>{{120, -1}}));
    EXPECT_EQ(traffic->cars[static_cast<size_t>(police)].siren_bits & 1, 1);
    EXPECT_EQ(traffic->offences().pending(), -1);
}

TEST_F(traffic_offence_test, the_player_truck_reports_call_the_police_by_their_rules)
{
    struct case_t {
        int32_t code;
        int32_t value;
        float offence_clock;
        int32_t pending;
    } const cases[] = {
        {150, 0, 0.0f, 150},     // driving against the traffic
        {160, 0, 299.0f, -1},    // no headlights, but a ticket was given less than 300 s ago
        {160, 0, 301.0f, 160},   // no headlights
        {180, 1000, 0.0f, 180},  // a weigh station passed by
        {130, 0, 0.0f, -1},      // not the traffic's to report
    };
    for (const case_t& c : cases) {
        traffic->cancel_offence();
        player->clock = c.offence_clock;
        traffic->report_offence(c.code, c.value);
        EXPECT_EQ(traffic->offences().pending(), c.pending) << c.code << " at " << c.offence_clock;
    }
    const int ends = player->police_ends;
    traffic->cancel_offence();
    EXPECT_EQ(player->police_ends, ends + 1) << "a settled offence restarts the wrong-road check";

    set_game_detail_level(0);
    traffic->report_offence(180, 1500);
    EXPECT_EQ(player->tickets.back(), (offence_player_e::ticket_t{180, 1500})) << "the weigh station's fine";
}

TEST_F(traffic_offence_test, a_reset_removes_every_car_and_forgets_the_knocked_ones_and_the_hits)
{
    const int32_t knocked = car();
    car();
    hit(knocked);
    ASSERT_EQ(traffic->knocked, std::vector<int32_t>{knocked});
    traffic->reset();
    EXPECT_TRUE(traffic->spawned.empty());
    EXPECT_TRUE(traffic->knocked.empty());
    EXPECT_EQ(traffic->offences().hits(), 0);
    EXPECT_EQ(traffic->free_slots.size(), 127u);
    EXPECT_TRUE(engine_log_has("Reseting traffic"));
}

// A car body moving into another car 1 cm away along x, with its contact response.
class traffic_response_test : public traffic_offence_test {
protected:
    // Runs the response of car 5 moving at `speed` along x into car 7; answers the speeds of the two
    // cars afterwards.
    std::pair<float, float> respond(float speed)
    {
        tagged_box_t car_box(5, {0.0f, 0.0f, 0.0f});
        tagged_box_t other(7, {101.0f, 0.0f, 0.0f});
        phys_body_t car_body, other_body;
        car_body.set_mass_box({100.0f, 100.0f, 100.0f}, 700.0f);
        other_body.set_mass_box({100.0f, 100.0f, 100.0f}, 700.0f);
        car_body.set_geom(&car_box.box);
        other_body.set_geom(&other.box);
        car_body.current->linear_velocity = {speed, 0.0f, 0.0f};
        car_body.next = *car_body.current;
        phys_contact_t contact;
        contact.first = &car_box.box;
        contact.second = &other.box;
        traffic->on_contact(contact, true);
        const std::pair<float, float> speeds{car_body.current->linear_velocity.x,
                                             other_body.current->linear_velocity.x};
        car_body.clear_geom();
        other_body.clear_geom();
        return speeds;
    }
};

TEST_F(traffic_response_test, a_car_running_into_a_body_is_stopped_and_pushes_it_while_a_separating_one_is_left_alone)
{
    const auto [stopped, pushed] = respond(1000.0f);
    EXPECT_LT(stopped, 1000.0f) << "the impulse works against the approach";
    EXPECT_GT(pushed, 0.0f) << "the body that was hit is pushed on";
    EXPECT_TRUE(traffic->is_knocked(5) && traffic->is_knocked(7));

    const auto [leaving, left] = respond(-1000.0f);
    EXPECT_FLOAT_EQ(leaving, -1000.0f) << "bodies moving apart are not pulled together";
    EXPECT_FLOAT_EQ(left, 0.0f);

    const auto [resting, untouched] = respond(0.0f);
    EXPECT_FLOAT_EQ(resting, 0.0f) << "no approach, no impulse to raise to the shortest push";
    EXPECT_FLOAT_EQ(untouched, 0.0f);
}

TEST_F(traffic_offence_test, the_save_section_is_its_magic_and_a_wrong_magic_is_refused)
{
    const int out = api::vfs_open("/traffic.bin", 0x301, 0x1b6);
    ASSERT_GE(out, 0);
    EXPECT_EQ(traffic->save(out), 14);
    api::vfs_write(out, "tr4ff1ch34d3R", 14);
    api::vfs_close(out);

    const int in = api::vfs_open("/traffic.bin", 0, 0);
    ASSERT_GE(in, 0);
    EXPECT_EQ(traffic->check(in, 14), 14);
    api::vfs_seek(in, 0, 0);
    EXPECT_EQ(traffic->load(in, 14), 14);
    EXPECT_EQ(traffic->load(in, 14), -1) << "one letter differs";
    EXPECT_EQ(traffic->load(in, 14), -1) << "the file ends";
    api::vfs_close(in);
}

}  // namespace
