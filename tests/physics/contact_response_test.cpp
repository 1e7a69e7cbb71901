#include <gtest/gtest.h>

#include <cmath>

#include "grid_mesh.h"
#include "physical_object_fixture.h"
#include "physics/contact_owner.h"
#include "physics/phys_contact.h"
#include "physics/physproc.h"

namespace {

// Two boxes of 100 cm: the mover at the origin heading along +X at 100 cm/s, the other 1 cm into it,
// shifted off the mover's edges so that every contact point meets a face.
class contact_response_test : public physical_object_test_t {
protected:
    void SetUp() override
    {
        physical_object_test_t::SetUp();
        mover_ = box_object({0.0f, 0.0f, 0.0f});
        other_ = box_object({99.0f, 10.0f, 5.0f});
        other_->body->body_flags |= phys_body_t::body_held;
        set_velocity({100.0f, 0.0f, 0.0f});
    }

    // Gives the mover a velocity and integrates it in place, as the move finds it.
    void set_velocity(const vec3_t& velocity)
    {
        mover_->body->current->linear_velocity = velocity;
        mover_->body->integrate(0.0f);
    }
    // The contact of the mover against `hit` (item `item`).
    phys_contact_t contact_with(cd_geo_t* hit, uint32_t item = 0) const
    {
        phys_contact_t contact;
        contact.first = mover_->geometry;
        contact.second = hit;
        contact.second_item = item;
        return contact;
    }
    const vec3_t& mover_velocity() const { return mover_->body->next.linear_velocity; }
    const vec3_t& other_velocity() const { return other_->body->current->linear_velocity; }
    bool other_held() const { return (other_->body->body_flags & phys_body_t::body_held) != 0; }

    probe_object_e* mover_ = nullptr;
    probe_object_e* other_ = nullptr;
};

TEST_F(contact_response_test, the_object_that_was_hit_does_not_respond)
{
    mover_->on_contact(contact_with(other_->geometry), false);
    EXPECT_TRUE(mover_->impacts.empty());
    EXPECT_EQ(mover_velocity(), (vec3_t{100.0f, 0.0f, 0.0f}));
    EXPECT_EQ(other_velocity(), vec3_t{});
    EXPECT_EQ(mover_->solid_contact, 0u);
}

TEST_F(contact_response_test, a_light_touch_pushes_the_other_body_with_the_smallest_push_and_slows_the_mover)
{
    mover_->on_contact(contact_with(other_->geometry, 7), true);

    const auto& impacts = mover_->impacts;
    ASSERT_FALSE(impacts.empty());
    ASSERT_LE(impacts.size(), 3u);
    for (const probe_object_e::impact_t& impact : impacts) {
        EXPECT_TRUE(impact.has_point);
        EXPECT_EQ(impact.other, other_->geometry);
        EXPECT_EQ(impact.other_item, 7u);
        EXPECT_NEAR(impact.point.normal.x, -1.0f, 1e-4f);
    }
    // Each point passes on exactly 1.5 x 30000 along its normal to a body of mass 100 (one that finds
    // the bodies already parting cancels that, so a later point may take back an earlier push); the
    // other leaves along +X.
    const float pushes = std::round(other_velocity().x / 450.0f);
    EXPECT_GE(pushes, 1.0f);
    EXPECT_NEAR(other_velocity().x, 450.0f * pushes, 0.05f);
    EXPECT_NEAR(other_velocity().y, 0.0f, 1e-3f);
    EXPECT_FALSE(other_held());
    EXPECT_LT(mover_velocity().x, 100.0f);
    EXPECT_GT(mover_velocity().x, 0.0f) << "the mover takes only 0.7 of the stopping impulse";
    EXPECT_EQ(mover_->solid_contact, 1u);
}

TEST_F(contact_response_test, kinds_that_are_not_pushed_only_slow_the_mover)
{
    struct case_t {
        const char* what;
        int32_t tag;
        bool record;
    };
    const case_t cases[] = {{"resting box", -4, true}, {"tag 0", 0, true}, {"no owner record", -1, false}};
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        set_velocity({100.0f, 0.0f, 0.0f});
        other_->contact_owner.tag = c.tag;
        other_->geometry->owner_record = c.record ? &other_->contact_owner : nullptr;
        mover_->on_contact(contact_with(other_->geometry), true);
        EXPECT_FALSE(mover_->impacts.empty());
        EXPECT_LT(mover_velocity().x, 100.0f);
        EXPECT_EQ(other_velocity(), vec3_t{});
        EXPECT_TRUE(other_held());
        EXPECT_EQ(mover_->solid_contact, 1u);
    }
}

TEST_F(contact_response_test, running_into_a_vehicle_keeps_nine_tenths_of_the_speed_and_reports_no_point)
{
    other_->contact_owner.tag = contact_kind_vehicle;
    mover_->on_contact(contact_with(other_->geometry), true);
    EXPECT_EQ(mover_velocity(), (vec3_t{90.0f, 0.0f, 0.0f}));
    ASSERT_EQ(mover_->impacts.size(), 1u);
    EXPECT_FALSE(mover_->impacts[0].has_point);
    EXPECT_EQ(mover_->impacts[0].other, nullptr);
    EXPECT_EQ(other_velocity(), vec3_t{});
    EXPECT_EQ(mover_->solid_contact, 0u);
}

TEST_F(contact_response_test, a_kick_throws_the_box_up_and_away_and_leaves_the_mover_alone)
{
    other_->geometry->set_position({102.0f, 10.0f, 5.0f});
    other_->contact_owner.tag = contact_kind_kicked_box;
    engine_run_frames(2, 0.02);
    mover_->on_contact(contact_with(other_->geometry), true);

    // 30000 along -X, lowered by 300000 x 0.02, thrown back three times over a mass of 100.
    EXPECT_NEAR(other_velocity().x, 900.0f, 0.01f);
    EXPECT_NEAR(other_velocity().y, 180.0f, 0.01f);
    EXPECT_NEAR(other_velocity().z, 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(other_->contact_owner.kick_time, 0.04f);
    EXPECT_FALSE(other_held());
    EXPECT_EQ(mover_velocity(), (vec3_t{100.0f, 0.0f, 0.0f}));
    ASSERT_EQ(mover_->impacts.size(), 1u);
    EXPECT_FALSE(mover_->impacts[0].has_point);
}

// A box whose polyhedron has no vertices, so no closest points can be found against it.
class hollow_box_t : public cd_geo_box_t {
public:
    hollow_box_t() : cd_geo_box_t({100.0f, 100.0f, 100.0f}, nullptr, -1, -1) {}
    cd_polyhedron_t* get_polyhedron() override { return &hollow_; }

private:
    cd_polyhedron_t hollow_;
};

TEST_F(contact_response_test, a_kick_without_closest_points_pushes_nothing)
{
    auto object = std::make_unique<probe_object_e>();
    object->geometry = new hollow_box_t;
    object->body = new phys_body_t;
    object->body->set_mass_box({100.0f, 100.0f, 100.0f}, 100.0f);
    object->link_geom();
    object->geometry->set_position({102.0f, 10.0f, 5.0f});
    probe_object_e* const hollow = add(std::move(object));
    hollow->contact_owner.tag = contact_kind_kicked_box;
    hollow->body->body_flags |= phys_body_t::body_held;
    engine_run_frames(2, 0.02);
    mover_->on_contact(contact_with(hollow->geometry), true);

    EXPECT_EQ(hollow->body->current->linear_velocity, vec3_t{});
    EXPECT_EQ(hollow->body->current->angular_velocity, vec3_t{});
    EXPECT_EQ(hollow->contact_owner.kick_time, 0.0f);
    EXPECT_TRUE((hollow->body->body_flags & phys_body_t::body_held) != 0);
    EXPECT_EQ(mover_velocity(), (vec3_t{100.0f, 0.0f, 0.0f}));
    ASSERT_EQ(mover_->impacts.size(), 1u);
    EXPECT_FALSE(mover_->impacts[0].has_point);
    EXPECT_FALSE(engine_log_matching("no closest features").empty());
}

TEST_F(contact_response_test, shapes_too_far_apart_give_no_point_but_count_as_solid)
{
    other_->geometry->set_position({150.0f, 10.0f, 5.0f});
    mover_->on_contact(contact_with(other_->geometry), true);
    ASSERT_EQ(mover_->impacts.size(), 1u);
    EXPECT_FALSE(mover_->impacts[0].has_point);
    EXPECT_EQ(mover_->solid_contact, 1u);
    EXPECT_EQ(mover_velocity(), (vec3_t{100.0f, 0.0f, 0.0f}));
}

TEST_F(contact_response_test, a_triangle_mesh_is_met_through_the_shared_triangle)
{
    // Ground of 200 cm cells in the plane y = 0; the mover sinks 1 cm into triangle 0 (x + z < 200).
    grid_mesh_t ground(2, 2, 200.0f, 1.0f, 1);
    mover_->geometry->set_position({50.0f, 49.0f, 50.0f});
    set_velocity({0.0f, -100.0f, 0.0f});
    mover_->on_contact(contact_with(&ground, 0), true);

    ASSERT_FALSE(mover_->impacts.empty());
    for (const probe_object_e::impact_t& impact : mover_->impacts) {
        EXPECT_TRUE(impact.has_point);
        EXPECT_EQ(impact.other, &ground);
    }
    EXPECT_GT(mover_velocity().y, -100.0f);
    EXPECT_EQ(mover_->solid_contact, 1u);
}

TEST_F(contact_response_test, a_step_of_the_physics_process_pushes_the_body_that_was_run_into)
{
    physproc_t physics;
    mover_->body->id = 1;
    other_->body->id = 2;
    other_->body->body_flags &= ~phys_body_t::body_held;
    other_->geometry->set_position({110.0f, 10.0f, 5.0f});
    mover_->body->current->linear_velocity = {500.0f, 0.0f, 0.0f};
    physics.insert_geom(mover_->geometry);
    physics.insert_geom(other_->geometry);
    physics.step(0.1f);

    EXPECT_FALSE(mover_->impacts.empty());
    EXPECT_EQ(mover_->solid_contact, 1u);
    EXPECT_GT(other_velocity().x, 0.0f);
    EXPECT_LT(mover_->body->current->linear_velocity.x, 500.0f);
    physics.remove_geom(mover_->geometry);
    physics.remove_geom(other_->geometry);
}

}  // namespace
