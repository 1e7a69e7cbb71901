#include <gtest/gtest.h>

#include <cstring>

#include "engine/cvar.h"
#include "physics/body_callback.h"
#include "physproc_fixture.h"

namespace {

using physproc_test = physproc_test_t;

// An owner that pushes its body with a constant force each step and counts what it is told.
class owner_t : public body_callback_t {
public:
    explicit owner_t(phys_body_t* body) : body_(body)
    {
        flags = flag_apply_forces;
        body->geometry->owner_callbacks = this;
    }
    void apply_forces() override
    {
        ++applied;
        body_->add_force(force, nullptr);
    }
    bool on_touch(const vec3_t&, const quat_t&) override { return cancel; }
    void on_contact(const phys_contact_t&, bool) override { ++contacts; }

    vec3_t force;
    bool cancel = false;
    int applied = 0;
    int contacts = 0;

private:
    phys_body_t* body_;
};

// Sets the body's velocity in its current state.
void launch(phys_body_t* body, const vec3_t& velocity) { body->current->linear_velocity = velocity; }

TEST_F(physproc_test, geometries_go_to_the_list_their_body_and_bounds_call_for)
{
    phys_body_t* second = body({0, 0, 0}, {10, 10, 10}, 5);
    phys_body_t* first = body({100, 0, 0}, {10, 10, 10}, 2);
    phys_body_t* third = body({200, 0, 0}, {10, 10, 10}, 5);
    cd_geo_box_t* fixed = wall({0, 100, 0}, {10, 10, 10});
    std::vector<phys_body_t*> order;
    for (phys_body_t* listed : process_->bodies())
        order.push_back(listed);
    EXPECT_EQ(order, (std::vector<phys_body_t*>{first, third, second})) << "a new body goes before equal ids";
    EXPECT_EQ(process_->static_geoms().count(), 1u);
    EXPECT_TRUE(process_->in_hash(fixed));
    EXPECT_TRUE(process_->in_hash(first->geometry));
}

TEST_F(physproc_test, removing_a_geometry_twice_or_inserting_it_twice_is_reported_and_changes_nothing)
{
    cd_geo_box_t* box = probe({0, 0, 0}, {10, 10, 10});
    process_->insert_geom(box);
    process_->insert_geom(box);
    EXPECT_EQ(process_->static_geoms().count(), 1u);
    EXPECT_EQ(engine_log_matching("trying to insert geom already in physproc").size(), 1u);
    process_->remove_geom(box);
    EXPECT_FALSE(process_->in_hash(box));
    process_->remove_geom(box);
    EXPECT_EQ(engine_log_matching("trying to remove geom not inserted into physproc").size(), 1u);
    EXPECT_EQ(engine_log_matching("'?\?')").size(), 2u);
}

int ignore_all(uintptr_t, const cd_geo_t*, const cd_geo_t*) { return phys_pair_ignore; }

TEST_F(physproc_test, a_new_process_finds_every_pair_solid_until_its_filter_is_replaced)
{
    EXPECT_EQ(process_->pair().function, phys_pair_all_solid);
    EXPECT_EQ(process_->pair().user, 0u);
    phys_set_pair(process_.get(), {ignore_all, 42});
    EXPECT_EQ(process_->pair().function, ignore_all);
    EXPECT_EQ(process_->pair().user, 42u);

    phys_pair_t copy{phys_pair_all_solid, 0};
    phys_pair_set(&copy, process_->pair());
    EXPECT_EQ(copy.function, ignore_all);
    EXPECT_EQ(copy.user, 42u);
    phys_pair_set(nullptr, copy);  // nowhere to copy to: nothing happens
}

TEST_F(physproc_test, a_step_without_bodies_leaves_the_collision_counters_alone)
{
    wall({0, 0, 0}, {100, 100, 100});
    cd_geo_box_t* box = probe({-200, 0, 0}, {10, 10, 10});
    process_->collide_geom({{-200, 0, 0}, quat_t()}, {{0, 0, 0}, quat_t()}, box, 10.0f, 1.0f, nullptr, nullptr);
    const uint32_t pairs = cd_test_counts().pair_tests;
    ASSERT_GT(pairs, 0u);
    process_->step(0.02f);
    EXPECT_EQ(cd_test_counts().pair_tests, pairs);
    EXPECT_EQ(process_->step_count(), 1);
}

TEST_F(physproc_test, a_held_body_gets_no_callback_and_does_not_move)
{
    phys_body_t* held = body({0, 0, 0}, {10, 10, 10}, 1);
    owner_t owner(held);
    launch(held, {100, 0, 0});
    held->body_flags |= phys_body_t::body_held;
    process_->step(0.1f);
    EXPECT_EQ(owner.applied, 0);
    EXPECT_EQ(held->current->position, vec3_t(0, 0, 0));
    held->body_flags &= ~static_cast<uint32_t>(phys_body_t::body_held);
    process_->step(0.1f);
    EXPECT_EQ(owner.applied, 1);
    EXPECT_NEAR(held->current->position.x, 10.0f, 1e-3f);
}

TEST_F(physproc_test, a_falling_body_comes_to_rest_on_the_floor_and_its_owner_hears_of_it)
{
    wall({0, -50, 0}, {2000, 100, 2000});
    phys_body_t* falling = body({0, 200, 0}, {100, 100, 100}, 1);
    owner_t owner(falling);
    owner.force = {0, -981.0f * 100.0f, 0};
    for (int i = 0; i < 60; ++i)
        process_->step(0.02f);
    EXPECT_GE(falling->current->position.y, 50.0f - 1e-3f);
    EXPECT_LE(falling->current->position.y, 52.0f);
    EXPECT_GT(owner.contacts, 0);
}

TEST_F(physproc_test, a_body_driven_into_a_wall_slides_along_it)
{
    wall({130, 0, 0}, {100, 400, 2000});
    phys_body_t* mover = body({0, 0, 0}, {100, 100, 100}, 1);
    launch(mover, {1000, 0, 1000});
    process_->step(0.1f);
    EXPECT_LE(mover->current->position.x, 30.0f);
    EXPECT_GE(mover->current->position.x, 28.5f);
    EXPECT_NEAR(mover->current->position.z, 100.0f, 0.5f);
}

TEST_F(physproc_test, a_body_steps_onto_a_kerb_lower_than_its_step_height_but_not_onto_a_higher_one)
{
    const struct {
        float kerb_height;
        float expected_x;
        float expected_y;
    } cases[] = {
        {20.0f, 100.0f, 20.0f},
        {30.0f, 30.0f, 0.0f},
    };
    for (const auto& c : cases) {
        cd_geo_box_t* kerb = wall({130, -50 + c.kerb_height / 2, 0}, {100, c.kerb_height, 400});
        phys_body_t* mover = body({0, 0, 0}, {100, 100, 100}, 1);
        mover->move.stair_height = 25;
        launch(mover, {1000, 0, 0});
        process_->step(0.1f);
        EXPECT_NEAR(mover->current->position.x, c.expected_x, 1.5f) << "kerb " << c.kerb_height;
        EXPECT_NEAR(mover->current->position.y, c.expected_y, 1.0f) << "kerb " << c.kerb_height;
        remove(kerb);
        remove(mover->geometry);
    }
}

TEST_F(physproc_test, an_owner_that_cancels_the_move_keeps_its_body_in_place_and_hears_no_contact)
{
    wall({60, 0, 0}, {10, 100, 100});
    phys_body_t* mover = body({0, 0, 0}, {10, 10, 10}, 1);
    owner_t owner(mover);
    owner.cancel = true;
    launch(mover, {1000, 0, 0});
    process_->step(0.1f);
    EXPECT_EQ(mover->current->position, vec3_t(0, 0, 0));
    EXPECT_EQ(owner.contacts, 0);
}

// Final states of a few bodies falling and sliding over a floor for 100 steps.
std::vector<phys_state_t> run_world()
{
    physproc_t process;
    cd_geo_box_t floor({4000, 100, 4000}, nullptr, -1, -1);
    floor.set_position({0, -50, 0});
    process.insert_geom(&floor);
    std::vector<std::unique_ptr<cd_geo_box_t>> boxes;
    std::vector<std::unique_ptr<phys_body_t>> bodies;
    for (int i = 0; i < 4; ++i) {
        boxes.push_back(std::make_unique<cd_geo_box_t>(vec3_t(80, 60, 120), nullptr, -1, -1));
        bodies.push_back(std::make_unique<phys_body_t>());
        bodies.back()->set_mass_box({80, 60, 120}, 500.0f);
        bodies.back()->id = static_cast<uint16_t>(i);
        bodies.back()->set_geom(boxes.back().get());
        boxes.back()->set_position({i * 150.0f, 100.0f + i * 40.0f, 0});
        bodies.back()->current->linear_velocity = {300.0f - i * 200.0f, -200.0f, 150.0f};
        bodies.back()->current->angular_velocity = {0.5f, 1.0f * i, 0.2f};
        process.insert_geom(boxes.back().get());
    }
    for (int step = 0; step < 100; ++step)
        process.step(0.02f);
    std::vector<phys_state_t> states;
    for (auto& made : bodies) {
        states.push_back(*made->current);
        process.remove_geom(made->geometry);
    }
    process.remove_geom(&floor);
    bodies.clear();
    return states;
}

TEST_F(physproc_test, the_same_bodies_stepped_twice_end_in_identical_states)
{
    const std::vector<phys_state_t> first = run_world();
    const std::vector<phys_state_t> second = run_world();
    ASSERT_EQ(first.size(), second.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(std::memcmp(&first[i].position, &second[i].position, sizeof(vec3_t)), 0) << "body " << i;
        EXPECT_EQ(std::memcmp(&first[i].orientation, &second[i].orientation, sizeof(quat_t)), 0) << "body " << i;
        EXPECT_EQ(std::memcmp(&first[i].linear_velocity, &second[i].linear_velocity, sizeof(vec3_t)), 0);
        EXPECT_GE(first[i].position.y, 0.0f) << "no body falls through the floor";
    }
}

TEST_F(physproc_test, the_profile_prints_only_when_p_verbose_asks_and_t_adds_the_step_time)
{
    phys_body_t* mover = body({0, 0, 0}, {10, 10, 10}, 1);
    launch(mover, {100, 0, 0});
    cvar_t* verbose = api::cvar_get("p_verbose");
    ASSERT_NE(verbose, nullptr);
    for (const char* quiet : {"", "0"}) {
        verbose->set(quiet);
        process_->step(0.02f);
        EXPECT_TRUE(engine_log_matching("physics proc").empty()) << "p_verbose '" << quiet << "'";
    }
    verbose->set("d");
    process_->step(0.02f);
    ASSERT_EQ(engine_log_matching("\\b++ physics proc[  1]          (bld:det/phy:cb)").size(), 1u);
    EXPECT_EQ(engine_log_matching("\\b++ proc cdet(s)[").size(), 1u);
    EXPECT_EQ(engine_log_matching("\\b++ physics API [").size(), 1u);
    EXPECT_EQ(engine_log_matching("\\b++ API cdet(s) [").size(), 1u);
    verbose->set("t");
    process_->step(0.02f);
    const auto timed = engine_log_matching("\\b++ physics proc[  1] ");
    ASSERT_EQ(timed.size(), 2u);
    EXPECT_NE(timed.back().find(" ms  (bld:det/phy:cb)"), std::string::npos);
}

}  // namespace
