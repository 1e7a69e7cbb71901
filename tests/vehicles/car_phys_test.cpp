#include <gtest/gtest.h>

#include <cmath>

#include "physics/vclip.h"
#include "vehicle_fixture.h"

namespace {

using car_phys_test = vehicle_test_t;

TEST_F(car_phys_test, a_truck_dropped_onto_a_flat_road_settles_on_its_springs)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    EXPECT_NEAR(truck->get_position().y, 130.0f, 1.5f) << "placed 80 above where its box touches";
    truck->engine_state = car_truck_e::engine_off;
    run_seconds(3.0f);
    const vec3_t settled = truck->get_position();
    run_seconds(1.0f);

    EXPECT_EQ(truck->wheels_in_contact, 4);
    // Four springs carry 1.6 g at 4 x 1600 x (1 - L / 100) = 1569.6, L = 75.475; the vertical damping
    // (250 cm/s each second) holds the body still wherever the remaining push is below 250 cm/s2,
    // within 3.9 cm of that length.
    for (const car_wheel_t& wheel : truck->wheels)
        EXPECT_NEAR(wheel.spring_length, 75.475f, 3.95f);
    EXPECT_NEAR(truck->get_position().y, settled.y, 0.05f) << "at rest on its springs";
    EXPECT_GT(truck->get_position().y, 120.0f);
    EXPECT_NEAR(truck->get_position().x, 2000.0f, 1.0f);
    EXPECT_NEAR(truck->get_position().z, 190000.0f, 10.0f);
}

TEST_F(car_phys_test, with_no_ground_below_only_gravity_acts)
{
    test_truck_e* truck = truck_at({-5000.0f, 400.0f, 190000.0f});
    EXPECT_NEAR(truck->get_position().y, 400.0f, 1e-3f) << "nothing below: place_on_ground changes nothing";
    truck->engine_state = car_truck_e::engine_off;
    truck->rolling_resistance = 0.0f;
    run(10);
    EXPECT_EQ(truck->wheels_in_contact, 0);
    const vec3_t v = truck->body->current->linear_velocity;
    EXPECT_NEAR(v.y, -1.6f * 981.0f * 10 * dt, 2.0f) << "1.6 g, no vertical damping";
    EXPECT_NEAR(v.x, 0.0f, 1e-3f);
}

TEST_F(car_phys_test, brakes_stop_a_rolling_truck_without_reversing_it)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->engine_state = car_truck_e::engine_off;
    run_seconds(1.0f);
    truck->body->current->linear_velocity = truck->vector_to_world({0.0f, 0.0f, -1500.0f});
    truck->controls.brake = 1.0f;
    float slowest = forward_speed(*truck);
    for (int i = 0; i < 250; ++i) {
        run(1);
        const float now = forward_speed(*truck);
        EXPECT_GE(now, -1e-3f) << "frame " << i;
        EXPECT_LE(now, slowest + 1.0f);
        slowest = now;
    }
    EXPECT_NEAR(forward_speed(*truck), 0.0f, 1e-3f);
}

TEST_F(car_phys_test, brakes_do_nothing_without_air_pressure)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->engine_state = car_truck_e::engine_off;
    run_seconds(1.0f);
    truck->body->current->linear_velocity = truck->vector_to_world({0.0f, 0.0f, -1500.0f});
    truck->controls.brake = 1.0f;
    truck->air_pressure = 1.0f;
    truck->rolling_resistance = 0.0f;
    truck->air_drag = 0.0f;
    run(10);
    EXPECT_NEAR(forward_speed(*truck), 1500.0f, 5.0f);
}

TEST_F(car_phys_test, damage_is_capped_at_one_and_a_second_impact_within_half_a_second_bends_nothing)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->is_player = 0;
    truck->set_damage(0.7f);
    truck->set_damage(0.7f);
    EXPECT_FLOAT_EQ(truck->damage, 1.0f);

    truck->cabin_slot = 2;
    truck->deform_count = 1;
    truck->deform_bones[0] = {0, {0.0f, 0.0f, -1.0f}, 0.0f};
    truck->since_deform = 1.0f;
    truck->body->current->linear_velocity = {0.0f, 0.0f, -2100.0f};
    vclip_contact_t hit;
    hit.normal = {0.0f, 0.0f, -1.0f};
    truck->apply_impact(&hit, nullptr, 0);
    EXPECT_NEAR(truck->deform_bones[0].amount, 2000.0f * 1e-7f, 1e-9f);
    EXPECT_EQ(truck->since_deform, 0.0f);
    truck->since_deform = 0.4f;
    truck->apply_impact(&hit, nullptr, 0);
    EXPECT_NEAR(truck->deform_bones[0].amount, 2000.0f * 1e-7f, 1e-9f) << "within 0.5 s nothing bends";
}

TEST_F(car_phys_test, a_player_corner_at_full_damage_wrecks_the_truck_and_stops_its_springs)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    truck->engine_state = car_truck_e::engine_off;
    run_seconds(1.0f);
    // A corner takes 7.692308e-8 per cm/s beyond 100 along its direction: 2e7 cm/s head-on fills it.
    truck->body->current->linear_velocity = truck->vector_to_world(truck->corners[0].direction * -2e7f);
    vclip_contact_t hit;
    hit.normal = truck->vector_to_world(truck->corners[0].direction);
    truck->apply_impact(&hit, nullptr, 0);
    EXPECT_FLOAT_EQ(truck->corners[0].amount, 1.0f);
    EXPECT_FLOAT_EQ(truck->damage, 1.0f);
    truck->body->current->linear_velocity = {};
    run(1);
    EXPECT_EQ(truck->wrecked, 1);
    const float before = truck->get_position().y;
    run(10);
    EXPECT_LT(truck->get_position().y, before - 10.0f) << "no spring carries a wrecked truck";
}

TEST_F(car_phys_test, an_offer_is_ignored_while_a_trailer_is_hitched)
{
    test_truck_e* truck = truck_at({2000.0f, 400.0f, 190000.0f});
    test_truck_e* other = truck_at({3000.0f, 400.0f, 180000.0f});
    truck->hitched_trailer = other->handle();
    truck->offer_trailer(other->handle());
    EXPECT_TRUE(truck->offered_trailer.is_null());
    truck->hitched_trailer = {};
    truck->offer_trailer(other->handle());
    EXPECT_EQ(truck->offered_trailer, other->handle());
    truck->trailer_removing(other->handle());
    EXPECT_TRUE(truck->offered_trailer.is_null());
}

}  // namespace
