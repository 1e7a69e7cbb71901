#include <gtest/gtest.h>

#include "physical_object_fixture.h"
#include "physics/contact_owner.h"
#include "physics/phys_contact.h"
#include "physics/shared_triangle.h"

namespace {

class physical_object_test : public physical_object_test_t {};

TEST_F(physical_object_test, link_geom_names_the_object_in_its_geometry_and_attaches_the_body)
{
    auto object = std::make_unique<physics_object_e>();
    EXPECT_EQ(object->position_ptr(), nullptr);
    object->geometry = new cd_geo_box_t({10.0f, 10.0f, 10.0f}, nullptr, -1, -1);
    object->body = new phys_body_t;
    object->contact_owner.tag = contact_kind_player;
    object->link_geom();
    physics_object_e* const linked = add(std::move(object));

    cd_geo_t* const geometry = linked->geometry;
    EXPECT_EQ(linked->contact_owner.tag, contact_kind_none);
    EXPECT_EQ(geometry->owner_record, &linked->contact_owner);
    EXPECT_EQ(geometry->owner_word, linked->handle().word());
    EXPECT_EQ(geometry->owner_callbacks, static_cast<body_callback_t*>(linked));
    EXPECT_EQ(geometry->body, linked->body);
    // Phase 0 records the handle in the owner record too.
    EXPECT_EQ(linked->contact_owner.owner_word, linked->handle().word());
    geometry->set_position({1.0f, 2.0f, 3.0f});
    ASSERT_EQ(linked->position_ptr(), &geometry->pose.position);
    EXPECT_EQ(*linked->position_ptr(), (vec3_t{1.0f, 2.0f, 3.0f}));
}

TEST_F(physical_object_test, only_the_collision_base_damps_the_velocities_of_a_move)
{
    collision_object_e* const plain = add(std::make_unique<collision_object_e>());
    physics_object_e* const physical = add(std::make_unique<physics_object_e>());
    engine_run_frames(1, 0.5);

    vec3_t linear{100.0f, 0.0f, -10.0f}, angular{0.0f, 2.0f, 0.0f};
    EXPECT_TRUE(plain->filter_impulse(0, linear, angular, nullptr));
    EXPECT_EQ(linear, (vec3_t{65.0f, 0.0f, -6.5f}));
    EXPECT_EQ(angular, (vec3_t{0.0f, 1.3f, 0.0f}));

    EXPECT_FALSE(physical->filter_impulse(0, linear, angular, nullptr));
    EXPECT_EQ(linear, (vec3_t{65.0f, 0.0f, -6.5f}));
    EXPECT_FALSE(physical->on_touch({1.0f, 0.0f, 0.0f}, quat_t()));
    EXPECT_FALSE(plain->on_touch({1.0f, 0.0f, 0.0f}, quat_t()));
}

TEST_F(physical_object_test, contact_flag_holds_for_two_seconds_and_clears_on_the_frame_after_the_timer_ran_out)
{
    physics_object_e* const object = add(std::make_unique<physics_object_e>());
    object->on_contact(phys_contact_t{}, false);
    ASSERT_TRUE(object->in_contact);
    // Frames of 0.5 s take the timer from 2.0 to 1.5, 1.0, 0.5, 0.0 and -0.5; the sixth clears the flag.
    for (int frame = 1; frame <= 5; ++frame) {
        engine_run_frames(1, 0.5);
        EXPECT_TRUE(object->in_contact) << "frame " << frame;
    }
    EXPECT_FLOAT_EQ(object->contact_timer, -0.5f);
    engine_run_frames(1, 0.5);
    EXPECT_FALSE(object->in_contact);
    // A new contact starts the timer again.
    object->on_contact(phys_contact_t{}, true);
    EXPECT_TRUE(object->in_contact);
    EXPECT_EQ(object->contact_timer, physics_object_e::contact_hold_seconds);
}

TEST_F(physical_object_test, a_touched_object_takes_its_geometrys_position_on_the_next_frame)
{
    auto made = std::make_unique<physics_object_e>();
    made->geometry = new cd_geo_box_t({10.0f, 10.0f, 10.0f}, nullptr, -1, -1);
    made->body = new phys_body_t;
    made->link_geom();
    physics_object_e* const object = add(std::move(made));
    object->geometry->set_position({5.0f, 6.0f, 7.0f});

    engine_run_frames(1, 0.02);
    EXPECT_EQ(object->position, vec3_t{}) << "no move was made";
    EXPECT_FALSE(object->on_touch({5.0f, 6.0f, 7.0f}, quat_t()));
    EXPECT_TRUE(object->moved);
    engine_run_frames(1, 0.02);
    EXPECT_EQ(object->position, (vec3_t{5.0f, 6.0f, 7.0f}));
    EXPECT_FALSE(object->moved);
}

TEST_F(physical_object_test, dynamic_handler_clears_the_contact_counters_but_runs_no_timer)
{
    probe_object_e* const object = box_object({0.0f, 0.0f, 0.0f});
    object->solid_contact = 1;
    object->flagged_points = 2;
    object->in_contact = true;
    object->contact_timer = -1.0f;
    engine_run_frames(1, 0.5);
    EXPECT_EQ(object->solid_contact, 0u);
    EXPECT_EQ(object->flagged_points, 0u);
    EXPECT_TRUE(object->in_contact);
    EXPECT_EQ(object->contact_timer, -1.0f);
}

TEST_F(physical_object_test, the_last_object_destroyed_frees_the_shared_triangle_and_the_next_makes_it_again)
{
    const vec3_t corner{1.0f, 0.0f, 0.0f};
    physics_object_e first, second;
    EXPECT_EQ(shared_triangle_uses(), 0);
    EXPECT_EQ(shared_triangle_set(vec3_t{}, corner, corner), nullptr);
    ASSERT_EQ(first.init(0), 0);
    ASSERT_EQ(second.init(0), 0);
    EXPECT_EQ(shared_triangle_uses(), 2);
    EXPECT_EQ(first.destroy(0), 0);
    EXPECT_EQ(shared_triangle_uses(), 1);
    EXPECT_NE(shared_triangle_set(vec3_t{}, corner, corner), nullptr);
    EXPECT_EQ(second.destroy(0), 0);
    EXPECT_EQ(shared_triangle_uses(), 0);
    EXPECT_EQ(shared_triangle_set(vec3_t{}, corner, corner), nullptr);

    physics_object_e third;
    ASSERT_EQ(third.init(0), 0);
    EXPECT_EQ(shared_triangle_uses(), 1);
    const cd_polyhedron_t* const triangle = shared_triangle_set(vec3_t{}, corner, {0.0f, 0.0f, 1.0f});
    ASSERT_NE(triangle, nullptr);
    EXPECT_EQ(triangle->faces().size(), 2u);
    EXPECT_EQ(triangle->edges().size(), 3u);
    // A second phase 0 takes no second use, and the destructor gives back the one it holds.
    ASSERT_EQ(third.init(0), 0);
    EXPECT_EQ(shared_triangle_uses(), 1);
}

TEST_F(physical_object_test, destroy_frees_the_body_and_leaves_a_shared_geometry_without_this_owner)
{
    physics_object_e object;
    cd_geo_t* const geometry = new cd_geo_box_t({10.0f, 10.0f, 10.0f}, nullptr, -1, -1);
    object.geometry = geometry;
    object.body = new phys_body_t;
    object.link_geom();
    ASSERT_EQ(object.init(0), 0);
    ++geometry->use_count;  // someone else holds it too

    EXPECT_EQ(object.destroy(0), 0);
    EXPECT_EQ(object.body, nullptr);
    EXPECT_EQ(object.geometry, nullptr);
    EXPECT_EQ(geometry->use_count, 1u);
    EXPECT_EQ(geometry->body, nullptr);
    EXPECT_EQ(geometry->owner_record, nullptr);
    EXPECT_EQ(geometry->owner_callbacks, nullptr);
    EXPECT_EQ(geometry->owner_word, 0u);
    delete geometry;
}

}  // namespace
