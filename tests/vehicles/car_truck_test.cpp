#include <gtest/gtest.h>

#include <algorithm>

#include "vehicle_fixture.h"

namespace {

using car_truck_test = vehicle_test_t;

TEST_F(car_truck_test, full_throttle_accelerates_and_the_gearbox_shifts_up_past_3000_rpm)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    run_seconds(1.0f);
    truck->controls.throttle = 1.0f;
    int highest_gear = truck->gear;
    int shifts = 0;
    int last_gear = truck->gear;
    uint16_t top_rpm = 0;
    for (int i = 0; i < 1500; ++i) {
        run(1);
        top_rpm = std::max(top_rpm, truck->rpm);
        if (truck->gear > last_gear && last_gear != -1)
            ++shifts;
        if (truck->gear != -1)
            last_gear = truck->gear;
        highest_gear = std::max(highest_gear, truck->gear);
    }
    EXPECT_GT(forward_speed(*truck), 1500.0f) << "faster than 15 m/s after 30 s";
    EXPECT_GE(highest_gear, 3);
    EXPECT_GE(shifts, 2);
    EXPECT_LE(top_rpm, 3000) << "rpm is capped after every update";
    EXPECT_NEAR(truck->speed, truck->get_speed() * 0.01f, 1e-3f);
}

TEST_F(car_truck_test, an_upshift_starts_when_the_rpm_passes_3000)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    run_seconds(1.0f);
    truck->controls.throttle = 1.0f;
    while (truck->gear == 1 && world_->physics().step_count() < 2000)
        run(1);
    EXPECT_EQ(truck->gear, -1) << "the clutch is out while the gear changes";
    EXPECT_GT(truck->wheel_rpm * truck->ratios[1] * 3.42f, 3000.0f);
    run(1);
    EXPECT_EQ(truck->gear, 2) << "with a clutch time of 0 the change completes the next frame";
    EXPECT_FLOAT_EQ(truck->current_ratio, truck->ratios[2]);
}

TEST_F(car_truck_test, neutral_gives_no_rpm_and_no_drive_and_reverse_pushes_backwards)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    run_seconds(1.0f);
    truck->controls.throttle = 1.0f;
    truck->automatic = 0;
    truck->gear = -1;
    run_seconds(1.0f);
    EXPECT_EQ(truck->rpm, 0);
    EXPECT_NEAR(forward_speed(*truck), 0.0f, 5.0f);

    truck->gear = 0;
    truck->current_ratio = truck->ratios[0];
    run_seconds(2.0f);
    EXPECT_LT(forward_speed(*truck), -50.0f);
}

TEST_F(car_truck_test, an_empty_tank_stops_the_engine_once_with_one_message)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->fuel = 0.001f;
    truck->controls.throttle = 1.0f;
    run(10);
    EXPECT_EQ(truck->fuel, 0.0f);
    EXPECT_EQ(truck->engine_state, car_truck_e::engine_stopped);
    ASSERT_EQ(truck->messages.size(), 1u);
    EXPECT_EQ(truck->messages[0], "@@ui_fuel_low@@");
    run(50);
    EXPECT_EQ(truck->fuel, 0.0f);
    EXPECT_EQ(truck->engine_state, car_truck_e::engine_stopped);
    EXPECT_EQ(truck->messages.size(), 1u);
}

TEST_F(car_truck_test, fuel_burns_with_the_throttle_unless_the_engine_is_off)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->engine_state = car_truck_e::engine_off;
    run(50);
    EXPECT_EQ(truck->fuel, 100.0f);
    truck->engine_state = car_truck_e::engine_running;
    truck->gear = -1;
    truck->automatic = 0;
    truck->controls.throttle = 1.0f;
    run(50);
    EXPECT_NEAR(truck->fuel, 100.0f - (0.07f + 0.005f) * 1.0f, 1e-3f);
}

TEST_F(car_truck_test, the_torque_table_follows_the_power_and_the_damage)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    // Power 80: peak 80 x 0.01 x 5000 + 600 = 4600; t[30] = 1150, t[20] = (4600 - 45) x 0.25.
    EXPECT_EQ(truck->torque_table[30], 1150);
    EXPECT_EQ(truck->torque_table[20], 1138);
    EXPECT_FLOAT_EQ(truck->torque(2050), 1138.0f + (1140 - 1138) * 0.5f);
    truck->damage = 0.5f;
    EXPECT_FLOAT_EQ(truck->torque(3000), 575.0f);
    EXPECT_FLOAT_EQ(truck->torque(5950), 1.0f) << "past the table";
    truck->full_power = 1;
    truck->fill_torque_table();
    EXPECT_EQ(truck->torque_table[30], 1250);
}

TEST_F(car_truck_test, a_repair_larger_than_the_damage_leaves_no_damage_and_every_bone_at_rest)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->damage = 0.5f;
    truck->wrecked = 1;
    truck->deform_count = 2;
    truck->deform_bones[0] = {0, {0.0f, 0.0f, -1.0f}, 0.4f};
    truck->deform_bones[1] = {1, {1.0f, 0.0f, 0.0f}, 0.2f};
    truck->corners[0].amount = 0.6f;
    truck->repair(0.25f);
    EXPECT_FLOAT_EQ(truck->damage, 0.25f);
    EXPECT_FLOAT_EQ(truck->deform_bones[0].amount, 0.2f);
    EXPECT_FLOAT_EQ(truck->corners[0].amount, 0.3f);
    EXPECT_EQ(truck->wrecked, 0);
    truck->repair(2.0f);
    EXPECT_EQ(truck->damage, 0.0f);
    EXPECT_EQ(truck->deform_bones[0].amount, 0.0f);
    EXPECT_EQ(truck->deform_bones[1].amount, 0.0f);
    EXPECT_EQ(truck->corners[0].amount, 0.0f);
}

}  // namespace
