#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/eblock.h"
#include "engine/gfx_view.h"
#include "engine/ui.h"
#include "engine/ui_draw3d.h"
#include "engine/entity_reg.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "common/world_view.h"
#include "frame/type_registry.h"
#include "vehicle_fixture.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/links/job_label.h"
#include "vehicles/links/vehicle_links.h"

namespace {

// The economy's side of the trailers, counting what it is told.
class test_economy_e : public entity_t, public vehicle_economy_t {
public:
    void set_hud_damage(float) override {}
    void set_player_job(int32_t job, const vec3_t* target) override { jobs.push_back({job, target != nullptr}); }
    void deliver_player_job(int32_t job, float) override { deliveries.push_back(job); }
    void dock_slot_release(int32_t owner, int32_t slot) override { released.push_back(owner * 100 + slot); }
    void set_current_road(int32_t) override {}
    int32_t dock_at(const vec3_t&) const override { return -1; }
    void set_current_dock(int32_t) override {}
    void add_prestige(float, bool) override {}

    struct job_call_t {
        int32_t job;
        bool with_target;
    };
    std::vector<job_call_t> jobs;
    std::vector<int32_t> deliveries;
    std::vector<int32_t> released;
};

// A truck that tows like the player's: it forgets its trailer when told and asks the trailer to
// detach again, as the player's own detach does.
class towing_truck_e : public test_truck_e, public trailer_tower_t {
public:
    void detach_trailer(bool) override
    {
        ++detach_calls;
        const entity_handle_t trailer = hitched_trailer;
        hitched_trailer = {};
        if (auto* const towed = dynamic_cast<car_trailor_e*>(trailer.resolve()))
            towed->detach();
    }
    void set_trailer_damage_text(int32_t percent) override { damage_text = percent; }
    void start_notice() override { ++notices; }

    int detach_calls = 0;
    int notices = 0;
    int32_t damage_text = -1;
};

// Trailers of the sample makes behind a truck on the flat ground.
class trailer_test : public vehicle_test_t {
protected:
    bool sample_data() const override { return true; }

    void SetUp() override
    {
        vehicle_test_t::SetUp();
        economy_ = std::make_unique<test_economy_e>();
    }
    void TearDown() override
    {
        vehicle_test_t::TearDown();
        economy_.reset();
    }

    // A towing truck at `where` facing -Z, dropped and settled.
    towing_truck_e* towing_truck(const vec3_t& where) { return truck_at<towing_truck_e>(where); }
    // A "boxvan" job trailer standing on the ground at `where`, facing -Z, with a job and a target.
    car_trailor_e* job_trailer(const vec3_t& where, const vec3_t& target, int32_t job = 7)
    {
        auto* const trailer = add(std::make_unique<car_trailor_e>());
        trailer->economy_link = economy_->handle();
        EXPECT_TRUE(trailer->setup_cargo("boxvan", 0, 1.0f, 2.0f, where, quat_t(), 3, 4, job, target, 0));
        return trailer;
    }
    // A job trailer at (2000, z) and a towing truck whose hitch stands on its kingpin (the truck's rays
    // and sweeps pass through trailers).
    towing_truck_e* rig(car_trailor_e*& trailer, const vec3_t& target, float z = 190000.0f, int32_t job = 7)
    {
        trailer = job_trailer({2000.0f, 300.0f, z}, target, job);
        const vec3_t kingpin = trailer->to_world(trailer->kingpin_local);
        towing_truck_e* const truck = towing_truck({kingpin.x, 400.0f, kingpin.z});
        trailer->player_link = truck->handle();
        return truck;
    }
    // The truck takes the trailer as the player's truck will: it stores itself, then hitches.
    static void hitch(towing_truck_e& truck, car_trailor_e& trailer)
    {
        truck.hitched_trailer = trailer.handle();
        trailer.towing_truck = truck.handle();
        trailer.attach();
    }

    std::unique_ptr<test_economy_e> economy_;
};

TEST_F(trailer_test, the_sample_make_gives_the_kingpin_wheels_and_box_and_ends_its_list_at_the_last_key)
{
    car_trailor_e* trailer = nullptr;
    rig(trailer, {0.0f, 0.0f, 0.0f});
    EXPECT_STREQ(trailer->make_name, "boxvan");
    EXPECT_EQ(trailer->wheel_count, 4);
    EXPECT_EQ(trailer->kingpin_local, (vec3_t{0.0f, 20.0f, -520.0f}));
    EXPECT_FLOAT_EQ(trailer->size.x, 250.0f);
    EXPECT_FLOAT_EQ(trailer->box_length, 1200.0f);
    EXPECT_NE(trailer->rear_wheel_model, nullptr);
    EXPECT_NE(trailer->models[2].model, nullptr);
    EXPECT_STREQ(trailer->accessory_names[1], "wheels");
    EXPECT_STREQ(trailer->accessory_names[2], "base");
    EXPECT_STREQ(trailer->accessory_names[3], "lights_rear");
    EXPECT_STREQ(trailer->accessory_names[4], "lights_tail");
    EXPECT_STREQ(trailer->accessory_names[5], "box");
    EXPECT_EQ(trailer->models[3].light_bits, 2) << "a type beginning with \"lights\" reads the light entries";
    EXPECT_EQ(trailer->models[4].light_bits, 1) << "the tail lights light with the headlights";
    ASSERT_EQ(trailer->models[4].flares.size(), 2u);
    EXPECT_EQ(trailer->models[4].flares[0].direction, (vec3_t{0.0f, 0.0f, 1.0f}));
    EXPECT_NE(trailer->models[4].flares[0].shader, nullptr) << "tail.shd from the accessory's folder";
    EXPECT_EQ(trailer->next_slot, 6);
    EXPECT_EQ(trailer->contact_owner.tag, contact_kind_trailer);
    EXPECT_TRUE(trailer->dock_slot_held);
    EXPECT_EQ(trailer->fade_state, 1);
}

TEST_F(trailer_test, a_hitched_trailer_follows_the_truck_with_its_kingpin_on_the_hitch)
{
    car_trailor_e* trailer = nullptr;
    towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f});
    run_seconds(0.5f);
    hitch(*truck, *trailer);
    ASSERT_EQ(economy_->jobs.size(), 1u);
    EXPECT_EQ(economy_->jobs[0].job, 7);
    EXPECT_TRUE(economy_->jobs[0].with_target);
    EXPECT_TRUE(trailer->vehicle_active);

    truck->controls.throttle = 1.0f;
    run_seconds(10.0f);
    EXPECT_TRUE(trailer->vehicle_active) << "not lost on a straight road";
    EXPECT_GT(forward_speed(*truck), 300.0f);
    const vec3_t start_z{0.0f, 0.0f, 190000.0f};
    EXPECT_LT(truck->get_position().z, start_z.z - 1000.0f);
    vec3_t hitch_point;
    truck->get_hitch_point(hitch_point);
    const vec3_t kingpin = trailer->to_world(trailer->kingpin_local);
    EXPECT_NEAR(kingpin.x, hitch_point.x, 5.0f);
    EXPECT_NEAR(kingpin.z, hitch_point.z, 40.0f) << "the kingpin stays on the hitch";
    EXPECT_LT(trailer->last_yaw, 10.0f);

    // Steering: the trailer turns after the truck.
    truck->controls.steering = 15.0f;
    run_seconds(3.0f);
    const vec3_t truck_forward = truck->vector_to_world({0.0f, 0.0f, -1.0f});
    const vec3_t trailer_forward = trailer->vector_to_world({0.0f, 0.0f, -1.0f});
    EXPECT_GT(std::fabs(truck_forward.x), 0.1f) << "the truck turned";
    EXPECT_GT(trailer_forward.x * truck_forward.x, 0.0f) << "the trailer turns the same way";
    EXPECT_TRUE(trailer->vehicle_active);
}

TEST_F(trailer_test, trailer_damage_is_scaled_by_its_cargo_and_shown_by_the_towing_truck)
{
    car_trailor_e* trailer = nullptr;
    towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f});
    trailer->damage_factor = 2.0f;
    hitch(*truck, *trailer);
    trailer->set_damage(0.1f);
    EXPECT_FLOAT_EQ(trailer->damage, 0.2f);
    EXPECT_EQ(truck->damage_text, 20);
    trailer->set_damage(1.0f);
    EXPECT_FLOAT_EQ(trailer->damage, 1.0f);
    EXPECT_EQ(truck->damage_text, 100);
}

TEST_F(trailer_test, a_trailer_is_lost_past_ten_degrees_only_after_one_and_a_half_seconds)
{
    car_trailor_e* trailer = nullptr;
    towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f});
    run_seconds(0.5f);
    hitch(*truck, *trailer);
    // Turned 30 degrees off the truck's line right after hitching: the first 1.5 s never lose it.
    auto twist = [&] {
        quat_t turn;
        turn.set({0.0f, 1.0f, 0.0f}, 30.0f);
        trailer->geometry->set_orientation(turn * trailer->get_orientation());
        trailer->geometry->pose.update_matrices();
    };
    twist();
    run(10);
    EXPECT_TRUE(trailer->vehicle_active);
    run_seconds(1.5f);
    EXPECT_TRUE(trailer->vehicle_active);
    twist();
    run(1);
    EXPECT_FALSE(trailer->vehicle_active) << "lost past 10 degrees";
    EXPECT_EQ(truck->messages, std::vector<std::string>{"@@ui_trailer_lost@@"});
    EXPECT_EQ(truck->notices, 1);
    EXPECT_EQ(truck->detach_calls, 1) << "the truck is told once";
    EXPECT_TRUE(truck->hitched_trailer.is_null());
    EXPECT_TRUE(trailer->towing_truck.is_null());
    EXPECT_TRUE(trailer->left_behind);
    EXPECT_TRUE(economy_->deliveries.empty()) << "far from the target: no delivery";
}

TEST_F(trailer_test, a_kingpin_jerk_loses_the_trailer_of_a_truck_below_one_metre_a_second_only)
{
    // The truck's speed is in centimetres a second: below 100 the kingpin may be corrected by 20 m/s
    // at most, at 100 and above by 80 m/s.
    const struct {
        float speed;
        bool lost;
    } cases[] = {{0.0f, true}, {99.0f, true}, {100.0f, false}, {2500.0f, false}};
    float z = 190000.0f;
    for (const auto& c : cases) {
        car_trailor_e* trailer = nullptr;
        towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f}, z);
        z -= 5000.0f;
        run_seconds(0.5f);
        hitch(*truck, *trailer);
        run_seconds(1.6f);
        ASSERT_TRUE(trailer->vehicle_active);
        // Pushed straight back along its line by a metre within one step (0.02 s): 50 m/s.
        trailer->geometry->set_position(trailer->get_position() + vec3_t(0.0f, 0.0f, 100.0f));
        trailer->geometry->pose.update_matrices();
        truck->speed_cms = c.speed;
        trailer->hitch_step(*truck);
        EXPECT_EQ(!trailer->vehicle_active, c.lost) << "at " << c.speed << " cm/s";
    }
}

TEST_F(trailer_test, a_trailer_lost_near_its_target_is_delivered_once)
{
    car_trailor_e* trailer = nullptr;
    towing_truck_e* truck = rig(trailer, {2000.0f, 0.0f, 190800.0f});
    run_seconds(0.5f);
    hitch(*truck, *trailer);
    run_seconds(2.0f);
    quat_t turn;
    turn.set({0.0f, 1.0f, 0.0f}, 30.0f);
    trailer->geometry->set_orientation(turn * trailer->get_orientation());
    run(1);
    ASSERT_FALSE(trailer->vehicle_active);
    EXPECT_EQ(economy_->deliveries, std::vector<int32_t>{7}) << "the truck's detach calls back: paid once";
    EXPECT_EQ(trailer->fade_state, -1);
    run_seconds(0.5f);
    EXPECT_TRUE(trailer->destroy_requested) << "faded out within 0.5 s";

    // Delivered: its destroy leaves the player's job alone.
    const size_t job_calls = economy_->jobs.size();
    trailer->destroy(0);
    EXPECT_EQ(economy_->jobs.size(), job_calls);
}

TEST_F(trailer_test, unhitching_delivers_within_twenty_metres_of_the_target_and_not_at_twenty)
{
    struct case_t {
        float distance;
        bool delivered;
    };
    for (const case_t c : {case_t{1999.0f, true}, case_t{2000.5f, false}}) {
        car_trailor_e* trailer = nullptr;
        towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f}, c.delivered ? 150000.0f : 120000.0f);
        run(5);
        hitch(*truck, *trailer);
        run(5);
        trailer->spawn_target = trailer->get_position() + vec3_t{c.distance, 0.0f, 0.0f};
        economy_->deliveries.clear();
        truck->detach_trailer(true);
        EXPECT_EQ(!economy_->deliveries.empty(), c.delivered) << c.distance;
        EXPECT_EQ(trailer->fade_state, c.delivered ? -1 : 0) << c.distance;
        EXPECT_TRUE(trailer->left_behind);
    }
}

TEST_F(trailer_test, an_undelivered_player_trailer_gives_its_job_back_and_an_ai_or_unhitched_one_does_not)
{
    car_trailor_e* towed = nullptr;
    towing_truck_e* truck = rig(towed, {0.0f, 0.0f, 0.0f}, 190000.0f, 2);
    car_trailor_e* never_hitched = job_trailer({2000.0f, 300.0f, 150000.0f}, {0.0f, 0.0f, 0.0f}, 1);
    never_hitched->dock_slot_held = false;
    never_hitched->destroy(0);
    EXPECT_TRUE(economy_->jobs.empty()) << "a trailer the player never took is not the player's job";

    run(5);
    hitch(*truck, *towed);
    truck->detach_trailer(true);
    towed->dock_slot_held = false;
    economy_->jobs.clear();
    towed->destroy(0);
    ASSERT_EQ(economy_->jobs.size(), 1u);
    EXPECT_EQ(economy_->jobs[0].job, 2);
    EXPECT_FALSE(economy_->jobs[0].with_target);
}

TEST_F(trailer_test, a_left_behind_trailer_is_offered_near_the_kingpin_and_removed_past_200_metres)
{
    car_trailor_e* trailer = nullptr;
    towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f});
    run(5);
    EXPECT_EQ(truck->offered_trailer, trailer->handle()) << "the kingpin is within 2 m of the truck";
    hitch(*truck, *trailer);
    truck->detach_trailer(true);
    run(1);
    EXPECT_EQ(truck->offered_trailer, trailer->handle()) << "offered again while the truck is near";
    truck->set_transform({2000.0f, 130.0f, 190000.0f - 19000.0f}, truck->get_orientation());
    run(1);
    EXPECT_TRUE(truck->offered_trailer.is_null());
    EXPECT_FALSE(trailer->destroy_requested) << "190 m away it stays";
    truck->set_transform({2000.0f, 130.0f, 190000.0f - 21000.0f}, truck->get_orientation());
    run(1);
    EXPECT_TRUE(trailer->destroy_requested);
    EXPECT_EQ(economy_->released, std::vector<int32_t>{304}) << "its dock slot is given back";
}

TEST_F(trailer_test, a_trailer_placed_from_its_entity_block_leaves_the_physics_with_its_block)
{
    // The trailer's registered type, so that the block can make it.
    for (int i = 0; !entity_find_type("actors.trailer") && i < entity_type_row_count(); ++i)
        if (std::strcmp(entity_type_rows()[i].type_name, "actors.trailer") == 0)
            entity_register(&entity_type_rows()[i]);
    // The sample game's job trailer block, as the economy places it.
    eblock_t* const block = world_->eblock_from_name("/scripts/game/trailer.esc");
    ASSERT_TRUE(block && world_->init_eblock(block));
    auto* const trailer = dynamic_cast<car_trailor_e*>(block->root());
    ASSERT_NE(trailer, nullptr);
    ASSERT_TRUE(trailer->setup_cargo("boxvan", 0, 1.0f, 2.0f, {2000.0f, 300.0f, 190000.0f}, quat_t(), 3, 4, 7,
                                     {0.0f, 0.0f, 0.0f}, 0));
    const cd_geo_t* const geometry = trailer->geometry;
    ASSERT_TRUE(world_->physics().in_hash(const_cast<cd_geo_t*>(geometry)));
    // The block's destroy phases run after the process let the trailer go: the geometry must still leave.
    world_->destroy_eblock(block);
    EXPECT_FALSE(world_->physics().in_hash(const_cast<cd_geo_t*>(geometry)));
}

TEST_F(trailer_test, an_unhitched_trailer_sleeps_two_seconds_after_it_is_placed)
{
    car_trailor_e* trailer = nullptr;
    towing_truck_e* truck = rig(trailer, {0.0f, 0.0f, 0.0f}, 100000.0f);
    truck->set_transform({2000.0f, 130.0f, 50000.0f}, truck->get_orientation());
    run_seconds(1.9f);
    EXPECT_FALSE(trailer->settled);
    run_seconds(0.3f);
    EXPECT_TRUE(trailer->settled);
    EXPECT_TRUE(trailer->body->body_flags & phys_body_t::body_held);
}

TEST_F(trailer_test, the_job_label_is_drawn_over_the_trailer_between_its_nose_and_its_tail)
{
    // The UI runs, so that each trailer makes its label window from the sample "/ui/job.esc".
    const entity_reg_t* const rows = entity_type_rows();
    for (int i = 0; i < entity_type_row_count(); ++i)
        if (std::string(rows[i].type_name).rfind("ui.", 0) == 0 && !entity_find_type(rows[i].type_name))
            entity_register(&rows[i]);
    ui_init();
    // Each sample make, turned a quarter, faded in and seen by the camera at the origin from 30 m or less.
    quat_t turned;
    turned.set({0.0f, 1.0f, 0.0f}, 90.0f);
    std::vector<car_trailor_e*> trailers;
    for (const char* make : {"boxvan", "flatbed"}) {
        trailers.push_back(add(std::make_unique<car_trailor_e>()));
        trailers.back()->economy_link = economy_->handle();
        const float x = trailers.size() == 1 ? 2000.0f : -2000.0f;
        ASSERT_TRUE(trailers.back()->setup_cargo(make, 0, 1.0f, 2.0f, {x, 300.0f, 2000.0f}, turned, 3, 4, 7,
                                                 {0.0f, 0.0f, 0.0f}, 0));
    }
    run_seconds(3.0f);
    for (car_trailor_e* const trailer : trailers) {
        const char* const make = trailer->make_name;
        api::gfx_camera_reset();
        ui_draw3d_clear();
        trailer->draw();
        ASSERT_EQ(ui_draw3d_record().size(), 1u) << make;
        const vec3_t at = ui_draw3d_record()[0].origin;
        const vec3_t local = trailer->vector_to_local(at - trailer->get_position());
        // The label's bottom edge: over the roof of the taller make (its box 360 above the deck's foot)
        // and within the trailer's length, which its box's bounds give.
        EXPECT_GT(local.y, 360.0f) << make;
        EXPECT_NEAR(local.x, 0.0f, 1.0f) << make;
        EXPECT_GT(local.z, trailer->box_centre.z - trailer->box_length * 0.5f) << make << ": ahead of the nose";
        EXPECT_LT(local.z, trailer->box_centre.z + trailer->box_length * 0.5f) << make << ": behind the tail";
        EXPECT_LT(std::fabs(local.z - trailer->box_centre.z), 1.0f) << make << ": over the middle";
        // A mirror's view of the world leaves the label out.
        ui_draw3d_clear();
        set_drawing_secondary_view(true);
        trailer->draw();
        set_drawing_secondary_view(false);
        EXPECT_TRUE(ui_draw3d_record().empty()) << make;
    }
}

TEST(job_label, the_label_is_opaque_to_70_m_fades_out_to_90_m_and_is_not_drawn_beyond)
{
    EXPECT_EQ(job_label_colour(0.0f), 0xFFFFFFFFu);
    EXPECT_EQ(job_label_colour(7000.0f * 7000.0f), 0xFFFFFFFFu);
    EXPECT_EQ(job_label_colour(8000.0f * 8000.0f), 0x87FFFFFFu) << "alpha 135 at 80 m";
    EXPECT_EQ(job_label_colour(9000.0f * 9000.0f), 0x00FFFFFFu);
    EXPECT_EQ(job_label_colour(9000.5f * 9000.5f), 0u);
}

}  // namespace
