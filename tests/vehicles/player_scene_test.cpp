#include <gtest/gtest.h>

#include "player_fixture.h"
#include "common/game_settings.h"
#include "physics/phys_body.h"
#include "physics/vclip.h"
#include "road/game_ctrl.h"
#include "vehicles/body/car_trailor.h"

namespace {

class player_scene_test : public player_test_t {
protected:
    // The crash and scratch sounds, so impacts are heard and counted.
    void impact_sounds(car_player_e& truck)
    {
        for (const char* name : {"col1", "col2", "col3", "col4", "scratch"})
            write_data_file(std::string("sounds/truck/") + name + ".ogg", "sound\n");
        truck.load_sounds();
    }
};

TEST_F(player_scene_test, the_intro_holds_the_driving_input_for_3_2_s_then_gives_the_camera_back)
{
    car_player_e* truck = player();
    truck->scenes().start_intro();
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_intro);
    script("0 impulse 100 1\n");
    frames(150);
    EXPECT_EQ(truck->controls.throttle, 0.0f) << "3 s into the intro";
    EXPECT_GT(traffic_->point_reports, 0) << "the rest of the frame work runs";
    frames(20);
    EXPECT_FALSE(truck->scenes().intro_running());
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase);
    EXPECT_EQ(truck->controls.throttle, 1.0f);
}

TEST_F(player_scene_test, a_ticket_charges_once_stops_the_frame_work_and_ends_after_8_s)
{
    car_player_e* truck = player();
    truck->show_ticket(150, -1);
    truck->show_ticket(120, -1);
    ASSERT_EQ(economy_->charges.size(), 1u) << "a ticket while a ticket is shown charges nothing";
    EXPECT_EQ(economy_->charges[0], -1000);
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_police);
    const int reports = traffic_->point_reports;
    frames(200);
    EXPECT_EQ(traffic_->point_reports, reports) << "the frame work stops after the input while the ticket shows";
    frames(210);
    EXPECT_FALSE(truck->recovery_active());
    EXPECT_EQ(truck->camera_mode, car_player_e::cam_chase);
    EXPECT_EQ(traffic_->resets, 1);
    truck->show_ticket(180, 2500);
    EXPECT_EQ(economy_->charges.back(), -2500) << "a weighing fine charges its own amount";
}

TEST_F(player_scene_test, two_frames_of_three_physics_steps_run_the_traffic_twice)
{
    player();
    frames(1);
    const int before = traffic_->updates;
    frames(2, 0.06);
    EXPECT_EQ(traffic_->updates, before + 2);
}

TEST_F(player_scene_test, a_crash_within_2_s_of_the_last_adds_no_damage_and_a_wreck_needs_details)
{
    car_player_e* truck = player();
    impact_sounds(*truck);
    truck->speed = 6.0f;
    // The truck meets a wall ahead of it at 6 m/s.
    truck->body->current->linear_velocity = truck->vector_to_world({0.0f, 0.0f, -600.0f});
    vclip_contact_t wall;
    wall.normal = truck->vector_to_world({0.0f, 0.0f, 1.0f});
    truck->crash_timer = 3.0f;
    truck->apply_impact(&wall, nullptr, 0);
    EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.05f);
    EXPECT_FLOAT_EQ(economy_->shown_damage, 0.05f);
    truck->crash_timer = 1.9f;
    truck->apply_impact(&wall, nullptr, 0);
    EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.05f) << "too soon after the last crash";

    set_game_detail_level(0);
    truck->car_phys_e::damage = 0.8f;
    truck->crash_timer = 3.0f;
    truck->apply_impact(&wall, nullptr, 0);
    EXPECT_FLOAT_EQ(truck->car_phys_e::damage, 0.85f);
    EXPECT_FALSE(engine_log_has("<car_player_e> pager: @@ui_wrecked@@"));
    set_game_detail_level(1);
    truck->crash_timer = 3.0f;
    truck->apply_impact(&wall, nullptr, 0);
    EXPECT_TRUE(engine_log_has("<car_player_e> pager: @@ui_wrecked@@"));
}

TEST_F(player_scene_test, a_graze_along_a_wall_or_the_ground_is_a_scratch_and_takes_no_damage)
{
    car_player_e* truck = player();
    impact_sounds(*truck);
    truck->speed = 12.0f;
    truck->body->current->linear_velocity = truck->vector_to_world({0.0f, 0.0f, -1200.0f});
    vclip_contact_t side;
    // A wall beside the truck, and the ground under it: both along its way.
    for (const vec3_t normal : {vec3_t{1.0f, 0.0f, 0.0f}, vec3_t{0.0f, 1.0f, 0.0f}}) {
        side.normal = truck->vector_to_world(normal);
        for (int i = 0; i < 20; ++i) {
            truck->crash_timer = 3.0f;
            truck->apply_impact(&side, nullptr, 0);
        }
    }
    EXPECT_EQ(truck->car_phys_e::damage, 0.0f);
    EXPECT_EQ(truck->scratch, 1);
    EXPECT_FALSE(truck->wrecked);
}

TEST_F(player_scene_test, the_history_takes_one_entry_per_call_and_wraps_from_14_to_0)
{
    car_player_e* truck = player();
    truck->history_index = 14;
    truck->history_position[14] = truck->get_position() + vec3_t(0.0f, 0.0f, 100000.0f);
    truck->update_history();
    EXPECT_EQ(truck->get_history_index(), 0);
    truck->update_history();
    EXPECT_EQ(truck->get_history_index(), 0) << "the new entry is where the truck is";
}

}  // namespace

namespace {

TEST_F(player_scene_test, driving_fast_without_headlights_between_23_and_4_is_reported_every_frame)
{
    car_player_e* truck = player();
    auto ctrl = std::make_unique<game_ctrl_e>();
    truck->controller_link = ctrl->handle();
    const struct {
        float hour;
        float speed;
        uint8_t lights;
        bool reported;
    } cases[] = {{23.5f, 25.0f, 0, true},  {3.5f, 25.0f, 0, true},   {22.5f, 25.0f, 0, false},
                 {23.5f, 19.0f, 0, false}, {23.5f, 25.0f, 1, false}, {4.5f, 25.0f, 0, false}};
    for (const auto& c : cases) {
        ctrl->game_clock = c.hour * 3600.0f;
        traffic_->offences.clear();
        for (int frame = 0; frame < 2; ++frame) {
            truck->speed = c.speed;
            truck->lights = c.lights;
            truck->handler();
        }
        EXPECT_EQ(traffic_->offences.size(), c.reported ? 2u : 0u) << "at " << c.hour << " h, " << c.speed << " m/s";
    }
    truck->controller_link = {};
}

}  // namespace

namespace {

TEST_F(player_scene_test, without_a_police_truck_the_ticket_camera_looks_from_5_m_above_the_truck)
{
    car_player_e* truck = player();
    truck->show_ticket(160, -1);
    ASSERT_EQ(truck->camera_mode, car_player_e::cam_police);
    mat4_t matrix, inverse;
    truck->place_camera(matrix, inverse);
    // From 5 m up the view looks straight down at the truck, its eye 2 m along its own up (the truck's
    // back).
    const vec3_t camera = mult_zero_matrix(matrix);
    const vec3_t expected = truck->get_position() + vec3_t(0.0f, 500.0f, -200.0f);
    EXPECT_NEAR(camera.x, expected.x, 0.5f);
    EXPECT_NEAR(camera.y, expected.y, 0.5f) << "raised up, not along the forward axis";
    EXPECT_NEAR(camera.z, expected.z, 0.5f);
}

TEST_F(player_scene_test, leaving_a_trailer_pushes_the_truck_along_its_heading_and_detaching_none_hides_the_job_hud)
{
    car_player_e* truck = player();
    truck->detach_trailer(true);
    EXPECT_FALSE(truck->has_trailer());

    auto* trailer = add(std::make_unique<car_trailor_e>());
    ASSERT_TRUE(trailer->handle().add_use());
    truck->hitched_trailer = trailer->handle();
    trailer->towing_truck = truck->handle();
    truck->heading = {0.0f, 0.0f, -1.0f};
    truck->body->current->linear_velocity = vec3_t();
    truck->body->current->angular_velocity = vec3_t();
    truck->detach_trailer(true);
    EXPECT_FALSE(truck->has_trailer());
    EXPECT_EQ(truck->body->current->linear_velocity.z, -150.0f);
    EXPECT_EQ(truck->body->current->angular_velocity, vec3_t()) << "the push is no spin";
}

}  // namespace

namespace {

TEST_F(player_scene_test, reset_to_road_puts_truck_and_trailer_three_entries_back_and_refills_the_history)
{
    car_player_e* truck = player();
    test_truck_e* towed = truck_at<test_truck_e>({3000.0f, 300.0f, 120000.0f});
    truck->hitched_trailer = towed->handle();
    truck->history_index = 5;
    const vec3_t truck_place{2000.0f, 300.0f, 140000.0f};
    const vec3_t trailer_place{2000.0f, 300.0f, 141500.0f};
    truck->history_position[2] = truck_place;
    truck->trailer_history_position[2] = trailer_place;
    truck->trailer_history_orientation[2] = quat_t();
    towed->body->current->linear_velocity = {0.0f, 0.0f, -900.0f};

    truck->reset_to_road();
    EXPECT_EQ(truck->get_position().x, truck_place.x);
    EXPECT_EQ(truck->get_position().z, truck_place.z);
    EXPECT_EQ(towed->get_position().x, trailer_place.x) << "the trailer goes to its matching entry";
    EXPECT_EQ(towed->get_position().z, trailer_place.z);
    EXPECT_EQ(towed->body->current->linear_velocity.length_sq(), 0.0f);
    for (int i = 0; i < car_player_e::history_size; ++i) {
        EXPECT_EQ(truck->history_position[i].z, truck->get_position().z);
        EXPECT_EQ(truck->trailer_history_position[i].z, trailer_place.z);
    }
    truck->hitched_trailer = {};
}

}  // namespace

namespace {

TEST_F(player_scene_test, a_held_brake_uses_the_air_at_the_makes_air_use_and_keeps_braking)
{
    car_player_e* truck = player();
    truck->brake_strength = 800.0f;
    truck->brake_air_use = 2.5f;
    truck->air_pressure = 100.0f;
    // A second of the brake held: the air drops by the air use's share, not by the brake strength's.
    script("0 impulse 101 1\n");
    frames(50);
    EXPECT_EQ(truck->controls.brake, 1.0f);
    EXPECT_GT(truck->air_pressure, 90.0f);
    EXPECT_LT(truck->air_pressure, 100.0f);
}

}  // namespace
