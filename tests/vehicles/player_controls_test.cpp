#include <gtest/gtest.h>

#include "player_fixture.h"
#include "common/engine_api.h"
#include "engine/cvar.h"
#include <memory>
#include <vector>

namespace {

class player_controls_test : public player_test_t {
protected:
    // Registers (or sets) a console variable for the truck to read.
    void set(const char* name, const char* value)
    {
        if (cvar_t* const variable = api::cvar_get(name)) {
            variable->set(value);
            return;
        }
        variables_.push_back(std::make_unique<cvar_t>(name, value, cvar_t::type_text, nullptr, 0u));
        api::cvar_register_variable(variables_.back().get(), 0);
    }

    std::vector<std::unique_ptr<cvar_t>> variables_;
};

TEST_F(player_controls_test, the_control_mode_follows_the_joystick_and_the_mouse_setting)
{
    car_player_e* truck = player();
    const struct {
        const char* joystick;
        const char* mouse;
        uint8_t mode;
    } cases[] = {{"-1", "1", 2}, {"-1", "0", 0}, {"0", "1", 1}, {"0", "0", 1}};
    for (const auto& c : cases) {
        set("i_joystick1", c.joystick);
        set("g_mouse_control", c.mouse);
        truck->apply_control_settings();
        EXPECT_EQ(truck->input().control_mode(), c.mode) << "joystick " << c.joystick << ", mouse " << c.mouse;
    }
}

TEST_F(player_controls_test, combined_axes_make_the_brake_the_throttle_axis_with_opposite_signs)
{
    car_player_e* truck = player();
    set("g_joy_axis_throttle", "1");
    set("g_joy_axis_brake", "2");
    set("g_joy_axis_combine", "1");
    truck->apply_control_settings();
    EXPECT_EQ(truck->input().brake_axis(), 1);
    EXPECT_EQ(truck->input().throttle_scale(), -1.0f);
    EXPECT_EQ(truck->input().brake_scale(), 1.0f);
    set("g_joy_axis_combine", "0");
    set("g_joy_axis_brake", "2");
    truck->apply_control_settings();
    EXPECT_EQ(truck->input().brake_axis(), 2);
    EXPECT_EQ(truck->input().throttle_offset(), 0.5f);
    EXPECT_EQ(truck->input().throttle_scale(), -0.5f) << "an axis at -1 gives a full pedal, at +1 none";
}

TEST_F(player_controls_test, the_friction_refresh_follows_the_speed_in_miles_per_hour)
{
    car_player_e* truck = player();
    truck->force_feedback = 1;
    truck->joystick = 0;
    const struct {
        float metres_per_second;
        int32_t word;
    } cases[] = {{0.0f, 2500}, {8.0f, 4473}, {30.0f, 10000}};
    for (const auto& c : cases) {
        truck->speed = c.metres_per_second;
        truck->ff_timer = 2.5f;
        truck->refresh_friction(0.0f);
        EXPECT_EQ(truck->ff_friction[5], c.word) << c.metres_per_second << " m/s";
        EXPECT_EQ(truck->ff_friction[6], c.word);
    }
    truck->force_feedback = 0;
}

TEST_F(player_controls_test, call_911_rescues_charges_and_repairs_only_above_half_damage)
{
    car_player_e* truck = player();
    truck->fuel = 70.0f;
    truck->car_phys_e::damage = 0.3f;
    truck->call911_repair();
    EXPECT_EQ(truck->fuel, 70.0f);
    EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.3f);
    EXPECT_FALSE(engine_log_has("<car_player_e> pager: @@ui_911_repaired@@"));
    EXPECT_EQ(traffic_->resets, 1);
    ASSERT_EQ(economy_->charges.size(), 1u);
    EXPECT_EQ(economy_->charges[0], -5000);

    truck->fuel = 10.0f;
    truck->car_phys_e::damage = 0.9f;
    truck->call911_repair();
    EXPECT_EQ(truck->fuel, 50.0f);
    EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.5f);
    EXPECT_TRUE(engine_log_has("<car_player_e> pager: @@ui_911_repaired@@"));
}

}  // namespace

namespace {

TEST_F(player_controls_test, automatic_wipers_finish_their_sweep_when_the_rain_stops_then_stay_off)
{
    car_player_e* truck = player();
    set("g_wipers_auto", "1");
    truck->set_windshield_rain(0.5f);
    truck->instruments().update_wipers(0.5f);
    EXPECT_EQ(truck->instruments().wiper_mode(), car_player_e::wipers_on);
    EXPECT_FLOAT_EQ(truck->instruments().wiper_angle(), 90.0f);
    truck->set_windshield_rain(0.0f);
    truck->instruments().update_wipers(0.5f);
    EXPECT_EQ(truck->instruments().wiper_mode(), car_player_e::wipers_finishing);
    EXPECT_FLOAT_EQ(truck->instruments().wiper_angle(), 120.0f) << "the sweep turns at 120 degrees";
    for (int i = 0; i < 10; ++i)
        truck->instruments().update_wipers(0.1f);
    EXPECT_EQ(truck->instruments().wiper_mode(), car_player_e::wipers_off);
    EXPECT_EQ(truck->instruments().wiper_angle(), 0.0f);
    truck->instruments().update_wipers(0.5f);
    EXPECT_EQ(truck->instruments().wiper_angle(), 0.0f);

    script("0 impulse 166 1\n");
    truck->input().set_switch_timer(1.0f);
    frames(1);
    EXPECT_TRUE(engine_log_has("<car_player_e> pager: @@ui_wipers_message@@"));
    set("g_wipers_auto", "0");
    truck->input().set_switch_timer(1.0f);
    frames(1);
    EXPECT_EQ(truck->instruments().wiper_mode(), car_player_e::wipers_on)
        << "by hand the switch steps off, on, finishing";
}

}  // namespace
