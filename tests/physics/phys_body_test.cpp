#include "physics/phys_body.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/geometry.h"
#include "engine_testing/engine_test.h"
#include "physics/body_callback.h"
#include "physics/cd_geo_box.h"

namespace {

// A body of mass 10 on a 100 x 200 x 300 box geometry, at rest at the origin.
class phys_body_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        body_.set_mass_box({100, 200, 300}, 10.0f);
        body_.set_geom(&box_);
    }

    // One physics step as the process runs it: integrate, clear the forces, commit.
    void step(float dt)
    {
        body_.integrate(dt);
        body_.clear_forces();
        body_.commit_state();
    }

    // World angular momentum and rotational energy of the current state.
    vec3_t world_momentum() const
    {
        const phys_state_t& s = *body_.current;
        return mult_normal_matrix_fast(s.rotation, mult_normal_matrix_fast(body_.inertia, s.angular_velocity));
    }
    float energy() const
    {
        const phys_state_t& s = *body_.current;
        return 0.5f * s.angular_velocity.dot(mult_normal_matrix_fast(body_.inertia, s.angular_velocity));
    }

    cd_geo_box_t box_{{100, 200, 300}, nullptr, -1, -1};
    phys_body_t body_;
};

TEST_F(phys_body_test, zero_mass_gives_a_zero_inverse_mass)
{
    phys_body_t body;
    EXPECT_EQ(body.set_mass(0.0f), 0.0f);
    EXPECT_EQ(body.inverse_mass, 0.0f);
    EXPECT_EQ(body.set_mass(4.0f), 4.0f);
    EXPECT_EQ(body.inverse_mass, 0.25f);
    body.set_mass_box({0, 0, 0}, 0.0f);
    EXPECT_EQ(body.inverse_mass, 0.0f);
    EXPECT_EQ(body.inverse_inertia[0][0], 0.0f);
    EXPECT_TRUE(std::isfinite(body.inverse_inertia[1][1]));
}

TEST_F(phys_body_test, mass_box_gives_the_solid_box_inertia)
{
    EXPECT_FLOAT_EQ(body_.inertia[0][0], 10.0f * (200 * 200 + 300 * 300) / 12.0f);
    EXPECT_FLOAT_EQ(body_.inertia[1][1], 10.0f * (100 * 100 + 300 * 300) / 12.0f);
    EXPECT_FLOAT_EQ(body_.inertia[2][2], 10.0f * (100 * 100 + 200 * 200) / 12.0f);
    EXPECT_FLOAT_EQ(body_.inverse_inertia[2][2], 1.0f / body_.inertia[2][2]);
    EXPECT_EQ(body_.inertia[0][1], 0.0f);
    EXPECT_EQ(body_.current->inverse_mass, 0.1f);
}

TEST_F(phys_body_test, set_geom_zeroes_the_geometry_velocities)
{
    cd_geo_box_t other({10, 10, 10}, nullptr, -1, -1);
    other.pose.linear_velocity = {5, 5, 5};
    other.pose.angular_velocity = {1, 2, 3};
    body_.set_geom(&other);
    EXPECT_EQ(other.pose.linear_velocity, vec3_t());
    EXPECT_EQ(other.pose.angular_velocity, vec3_t());
    EXPECT_EQ(box_.body, nullptr);
    EXPECT_EQ(other.body, &body_);
    EXPECT_EQ(body_.current, &other.pose);
}

TEST_F(phys_body_test, body_at_the_rest_limit_keeps_its_state_exactly)
{
    // The largest speed whose square does not exceed 1e-6.
    float speed = std::sqrt(1e-6f);
    while (speed * speed > 1e-6f)
        speed = std::nextafter(speed, 0.0f);
    body_.current->linear_velocity = {speed, 0, 0};
    body_.current->angular_velocity = {0, speed, 0};
    body_.integrate(0.02f);
    EXPECT_EQ(std::memcmp(&body_.next, body_.current, sizeof(phys_state_t)), 0);
    EXPECT_TRUE(body_.state_flags & phys_body_t::state_integrated);
}

TEST_F(phys_body_test, tiny_forces_are_ignored_and_leave_the_body_at_rest)
{
    body_.add_force({0.0009f, 0, 0}, nullptr);
    body_.add_force_at({0, 0.0009f, 0}, nullptr, {50, 0, 0}, nullptr);
    EXPECT_TRUE(body_.state_flags & phys_body_t::state_no_force);
    step(0.02f);
    EXPECT_EQ(body_.current->position, vec3_t());
    EXPECT_EQ(body_.current->linear_velocity, vec3_t());
}

TEST_F(phys_body_test, forces_at_nearby_points_merge_into_one_entry)
{
    body_.add_force_at({0, 10, 0}, nullptr, {50, 0, 0}, nullptr);
    body_.add_force_at({0, 5, 0}, nullptr, {50.0005f, 0, 0}, nullptr);
    body_.add_force_at({0, 5, 0}, nullptr, {-50, 0, 0}, nullptr);
    ASSERT_EQ(body_.point_forces.size(), 2u);
    EXPECT_EQ(body_.point_forces[0].force, vec3_t(0, 15, 0));
    EXPECT_EQ(body_.force_accumulator, vec3_t(0, 20, 0));
    EXPECT_FLOAT_EQ(body_.total_torque().z, 50 * 15 - 50 * 5);
    body_.clear_forces();
    EXPECT_TRUE(body_.point_forces.empty());
    EXPECT_EQ(body_.force_accumulator, vec3_t());
}

TEST_F(phys_body_test, world_point_is_taken_into_the_body_frame)
{
    box_.set_position({100, 0, 0});
    quat_t turn;
    turn.set({0, 1, 0}, 90.0f);
    box_.set_orientation(turn);
    body_.add_force_at({0, 10, 0}, nullptr, {100, 0, -50}, nullptr);
    ASSERT_EQ(body_.point_forces.size(), 1u);
    // World offset (0, 0, -50) is body +x after a quarter turn about y.
    EXPECT_NEAR(body_.point_forces[0].point.x, 50.0f, 1e-4f);
    EXPECT_NEAR(body_.point_forces[0].point.z, 0.0f, 1e-4f);
}

TEST_F(phys_body_test, gravity_moves_the_body_by_one_euler_step)
{
    body_.add_force({0, -981.0f * 10.0f, 0}, nullptr);
    step(0.5f);
    EXPECT_FLOAT_EQ(body_.current->linear_velocity.y, -490.5f);
    EXPECT_EQ(body_.current->position, vec3_t());  // the position moves with the old velocity
    EXPECT_EQ(box_.frame_dirty, 1);
    body_.add_force({0, -981.0f * 10.0f, 0}, nullptr);
    step(0.5f);
    EXPECT_FLOAT_EQ(body_.current->position.y, -245.25f);
}

TEST_F(phys_body_test, angular_velocity_decays_by_0_9_per_second_and_linear_does_not)
{
    body_.current->angular_velocity = {0, 2.0f, 0};
    body_.current->linear_velocity = {30, 0, 0};
    step(0.5f);
    EXPECT_FLOAT_EQ(body_.current->angular_velocity.y, 2.0f * std::pow(0.9f, 0.5f));
    EXPECT_FLOAT_EQ(body_.current->linear_velocity.x, 30.0f);
}

TEST_F(phys_body_test, impulse_between_integration_and_commit_changes_the_next_state)
{
    body_.integrate(0.02f);
    body_.apply_impulse_at({10, 0, 0}, nullptr, {0, 0, 0}, nullptr);
    EXPECT_EQ(body_.current->linear_velocity, vec3_t());
    EXPECT_FLOAT_EQ(body_.next.linear_velocity.x, 1.0f);
    body_.commit_state();
    EXPECT_FLOAT_EQ(body_.current->linear_velocity.x, 1.0f);

    body_.apply_impulse_at({0, 0, 10}, nullptr, {50, 0, 0}, &box_);
    EXPECT_FLOAT_EQ(body_.current->linear_velocity.z, 1.0f);
    EXPECT_FLOAT_EQ(body_.current->angular_velocity.y, -500.0f * body_.inverse_inertia[1][1]);
    EXPECT_FLOAT_EQ(body_.point_velocity({0, 0, 0}).z, 1.0f);
}

// Adds a force each derivative evaluation, as vehicles do for their wheels.
class wheel_owner_t : public body_callback_t {
public:
    explicit wheel_owner_t(phys_body_t* body) : body_(body) { flags = flag_wheel_contacts; }
    void wheel_contacts() override
    {
        ++calls;
        body_->add_force_at({0, 100, 0}, nullptr, {0, 0, 0}, nullptr);
    }
    int calls = 0;

private:
    phys_body_t* body_;
};

TEST_F(phys_body_test, wheel_contacts_add_forces_inside_the_derivative_only)
{
    wheel_owner_t owner(&body_);
    box_.owner_callbacks = &owner;
    body_.add_force({1, 0, 0}, nullptr);
    step(1.0f);
    EXPECT_EQ(owner.calls, 1);
    EXPECT_FLOAT_EQ(body_.current->linear_velocity.y, 10.0f);
    EXPECT_TRUE(body_.point_forces.empty());
    EXPECT_EQ(body_.callback_force, vec3_t());
}

TEST_F(phys_body_test, spin_off_the_principal_axes_keeps_its_momentum_direction_and_never_gains_energy)
{
    body_.current->angular_velocity = {2.0f, 1.0f, -1.5f};
    const vec3_t start = world_momentum();
    float last_energy = energy();
    float last_momentum = start.length();
    for (int i = 0; i < 2000; ++i) {
        step(0.001f);
        ASSERT_LE(energy(), last_energy * 1.000001f) << i;
        ASSERT_LE(world_momentum().length(), last_momentum * 1.000001f) << i;
        last_energy = energy();
        last_momentum = world_momentum().length();
    }
    const vec3_t end = world_momentum();
    EXPECT_LT(vec3_angle(start, end), 0.02f);
    EXPECT_NEAR(end.length() / start.length(), std::pow(0.9f, 2.0f), 0.02f);
}

// FNV-1a over the bytes of the integrated part of a state.
uint64_t state_hash(const phys_state_t& s)
{
    const float values[13] = {s.angular_velocity.x, s.angular_velocity.y, s.angular_velocity.z, s.orientation.x,
                              s.orientation.y,      s.orientation.z,      s.orientation.w,      s.linear_velocity.x,
                              s.linear_velocity.y,  s.linear_velocity.z,  s.position.x,         s.position.y,
                              s.position.z};
    uint64_t hash = 1469598103934665603ull;
    const auto* bytes = reinterpret_cast<const unsigned char*>(values);
    for (size_t i = 0; i < sizeof values; ++i)
        hash = (hash ^ bytes[i]) * 1099511628211ull;
    return hash;
}

TEST_F(phys_body_test, gravity_and_torque_for_1000_steps_end_on_a_fixed_state)
{
    for (int i = 0; i < 1000; ++i) {
        body_.add_force({0, -981.0f * 10.0f, 0}, nullptr);
        body_.add_force_at({0, 0, 2000.0f}, &box_, {0, 100, 0}, &box_);
        body_.add_force_at({0, 0, -2000.0f}, &box_, {0, -100, 0}, &box_);
        step(0.02f);
    }
    const phys_state_t& s = *body_.current;
    EXPECT_NEAR(s.position.y, -981.0f * 20.0f * 19.98f / 2.0f, 1.0f);
    EXPECT_EQ(state_hash(s), 11813795764489020888ull);
}

}  // namespace
