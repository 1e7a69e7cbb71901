#include <gtest/gtest.h>

#include <cmath>

#include "player_fixture.h"
#include "common/input_actions.h"

namespace {

using player_drive_test = player_test_t;

TEST_F(player_drive_test, the_default_keys_drive_steer_shift_and_change_the_camera)
{
    car_player_e* truck = player();
    apply_default_bindings();
    truck->engine_state = car_truck_e::engine_off;
    // Engine key, then throttle, a left turn, a gear up and the cabin camera.
    script("0 press e\n0.1 release e\n0.5 press up\n1 press left\n1.2 release left\n1.5 press a\n1.6 release a\n"
           "2 press 1\n2.1 release 1\n");
    frames(45);
    EXPECT_GT(truck->controls.throttle, 0.0f);
    EXPECT_NE(truck->engine_state, car_truck_e::engine_off);
    frames(10);
    EXPECT_GT(truck->controls.steering, 0.0f) << "left turns the wheels left (positive)";
    const int32_t gear_before = truck->selected_gear;
    frames(30);
    EXPECT_GT(truck->selected_gear, gear_before);
    frames(30);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_cabin);
}

TEST_F(player_drive_test, a_scripted_drive_moves_the_truck_forward_the_same_way_every_run)
{
    vec3_t ends[2];
    for (vec3_t& end : ends) {
        car_player_e* truck = player();
        const vec3_t start = truck->get_position();
        script("0 impulse 100 1\n10 impulse 100 0\n");
        frames(600);
        end = truck->get_position();
        EXPECT_LT(end.z, start.z - 5000.0f) << "it drove more than 50 m forward (-Z)";
        EXPECT_GT(truck->distance_driven, 5000.0);
        TearDown();
        SetUp();
    }
    EXPECT_EQ(ends[0].x, ends[1].x);
    EXPECT_EQ(ends[0].z, ends[1].z);
}

TEST_F(player_drive_test, steering_keys_turn_at_their_rates_and_the_wheel_centres_back_to_exactly_zero)
{
    car_player_e* truck = player();
    script("0 impulse 102 1\n0.5 impulse 102 0\n0.5 impulse 103 1\n0.6 impulse 103 0\n");
    frames(25);
    EXPECT_NEAR(truck->controls.steering, 12.5f, 0.3f) << "25 degrees a second to the left";
    frames(5);
    EXPECT_NEAR(truck->controls.steering, 12.5f - 5.0f, 0.5f) << "back from the left at 50 degrees a second";
    frames(20);
    EXPECT_EQ(truck->controls.steering, 0.0f) << "40 degrees a second back, stopping at 0";
    script("0 impulse 102 1\n");
    frames(150);
    EXPECT_EQ(truck->controls.steering, 30.0f);
}

TEST_F(player_drive_test, backward_from_first_gear_waits_a_second_standing_then_engages_reverse)
{
    car_player_e* truck = player();
    truck->gear = truck->selected_gear = 1;
    truck->automatic = 1;
    script("0 impulse 101 1\n");
    frames(2);
    EXPECT_EQ(truck->gear, -1) << "standing: the gear comes out";
    EXPECT_TRUE(truck->input().reverse_pending());
    EXPECT_EQ(truck->controls.brake, 1.0f);
    frames(50);
    EXPECT_FALSE(truck->input().reverse_pending()) << "after more than 1 s the shift to reverse is asked";
    frames(100);
    EXPECT_EQ(truck->gear, 0);
    EXPECT_EQ(truck->controls.throttle, 1.0f) << "in reverse, backward drives";
}

TEST_F(player_drive_test, one_accepted_switch_holds_back_the_others_and_a_held_key_toggles_every_0_2_s)
{
    car_player_e* truck = player();
    script("0 impulse 152 1\n1 impulse 152 0\n");
    int toggles = 0;
    uint8_t last = truck->lights & 1u;
    for (int i = 0; i < 50; ++i) {
        frames(1);
        if ((truck->lights & 1u) != last)
            ++toggles;
        last = truck->lights & 1u;
    }
    EXPECT_EQ(toggles, 4) << "every 11 frames of 0.02 s";
    truck->input().set_switch_timer(1.0f);
    script("0 impulse 164 1\n0.02 impulse 164 0\n0.02 impulse 153 1\n");
    frames(3);
    EXPECT_TRUE(truck->instruments().hazard_on());
    EXPECT_FALSE(truck->instruments().blinker_on(true)) << "the blinker is refused while hazard is on";
}

TEST_F(player_drive_test, gear_down_is_refused_from_3000_rpm_and_detach_at_10_m_s_asks_to_slow_down)
{
    car_player_e* truck = player();
    truck->automatic = 0;
    truck->gear = truck->selected_gear = 3;
    truck->input().set_switch_timer(1.0f);
    truck->rpm = 3000;
    script("0 impulse 151 1\n0.1 impulse 151 0\n");
    frames(1);
    EXPECT_EQ(truck->clutching, 0);
    EXPECT_EQ(truck->gear, 3);
    truck->input().set_switch_timer(1.0f);
    truck->rpm = 2999;
    frames(1);
    EXPECT_EQ(truck->clutching, 1) << "the shift down with the clutch has begun";

    frames(10);
    truck->speed = 10.0f;
    truck->input().set_switch_timer(1.0f);
    script("0 impulse 156 1\n");
    frames(1);
    EXPECT_TRUE(engine_log_has("<car_player_e> pager: @@ui_slow_down@@"));
}

TEST_F(player_drive_test, a_blinker_lights_at_once_goes_out_after_0_4_s_and_lights_again_after_0_8_s)
{
    car_player_e* truck = player();
    truck->instruments().toggle_blinker(true);
    const struct {
        float time;
        bool lit;
    } cases[] = {{0.0f, true}, {0.38f, true}, {0.42f, false}, {0.78f, false}, {0.84f, true}};
    float t = 0.0f;
    for (const auto& step : cases) {
        while (t < step.time - 1e-4f) {
            truck->instruments().update_lights(0.02f);
            t += 0.02f;
        }
        truck->instruments().update_lights(0.0f);
        EXPECT_EQ((truck->lights & 8u) != 0, step.lit) << "at " << step.time << " s";
    }
    truck->instruments().toggle_blinker(true);
    truck->instruments().update_lights(0.02f);
    EXPECT_EQ(truck->lights & 16u, 0) << "the right lamp never lit";
}

TEST_F(player_drive_test, the_speed_needle_points_3_degrees_a_mile_per_hour_at_150_degrees_a_second)
{
    car_player_e* truck = player();
    truck->speed = 10.0f / (0.0006213711f * 3600.0f);
    truck->instruments().update_gauges(0.1f);
    EXPECT_NEAR(truck->instruments().speed_needle(), 15.0f, 1e-3f);
    truck->instruments().update_gauges(0.1f);
    EXPECT_NEAR(truck->instruments().speed_needle(), 30.0f, 1e-3f);
    truck->instruments().update_gauges(0.1f);
    EXPECT_NEAR(truck->instruments().speed_needle(), 30.0f, 1e-3f) << "no overshoot";
}

}  // namespace
