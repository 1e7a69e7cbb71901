#include "physics/phys_body.h"

#include <cmath>

#include "engine/log.h"
#include "physics/body_callback.h"
#include "physics/cd_geo.h"

namespace {

// Squared lengths up to this are no force, no speed, or the same point.
constexpr float small_sq = 1e-6f;
// Angular velocity keeps this share per second of simulated time.
constexpr float angular_damping_per_second = 0.9f;

// Identity with the fourth diagonal element 0: the body-frame tensor of a unit body.
mat4_t unit_tensor()
{
    mat4_t m = mat4_t::identity();
    m[3][3] = 0.0f;
    return m;
}

}  // namespace

phys_body_t::phys_body_t() : inertia(unit_tensor()), inverse_inertia(unit_tensor()) {}

phys_body_t::~phys_body_t()
{
    if (geometry)
        clear_geom();
}

float phys_body_t::set_mass(float new_mass)
{
    mass = new_mass;
    inverse_mass = new_mass > 0.0f ? 1.0f / new_mass : 0.0f;
    return mass;
}

float phys_body_t::set_mass_box(const vec3_t& extents, float new_mass)
{
    set_mass(new_mass);
    const float x2 = extents.x * extents.x, y2 = extents.y * extents.y, z2 = extents.z * extents.z;
    const float diagonal[3] = {new_mass * (y2 + z2) / 12.0f, new_mass * (x2 + z2) / 12.0f,
                               new_mass * (x2 + y2) / 12.0f};
    inertia = mat4_t();
    inverse_inertia = mat4_t();
    for (int i = 0; i < 3; ++i) {
        inertia[i][i] = diagonal[i];
        inverse_inertia[i][i] = diagonal[i] > 0.0f ? 1.0f / diagonal[i] : 0.0f;
    }
    return 0.0f;
}

void phys_body_t::set_geom(cd_geo_t* new_geometry)
{
    if (geometry)
        clear_geom();
    if (!new_geometry)
        return;
    if (new_geometry->body)
        new_geometry->body->clear_geom();
    geometry = new_geometry;
    geometry->body = this;
    current = &geometry->pose;
    current->angular_velocity = vec3_t();
    current->linear_velocity = vec3_t();
    current->inverse_mass = inverse_mass;
    current->inertia = inertia;
    current->inverse_inertia = inverse_inertia;
    current->update_matrices();
    next = *current;
}

void phys_body_t::clear_geom()
{
    if (geometry)
        geometry->body = nullptr;
    geometry = nullptr;
    current = nullptr;
    point_forces.clear();
}

vec3_t phys_body_t::vector_to_world(const vec3_t& v, const cd_geo_t* frame)
{
    return frame ? mult_normal_matrix_fast(frame->pose.rotation, v) : v;
}

vec3_t phys_body_t::point_to_body(const vec3_t& point, const cd_geo_t* frame, const phys_state_t& state) const
{
    if (frame && frame == geometry)
        return point;
    vec3_t world = point;
    if (frame)
        world = mult_normal_matrix_fast(frame->pose.rotation, point) + frame->pose.position;
    return mult_normal_matrix_fast(state.inverse_rotation, world - state.position);
}

const phys_state_t* phys_body_t::live_state() const { return (state_flags & state_integrated) ? &next : current; }

void phys_body_t::add_force(const vec3_t& force, const cd_geo_t* frame)
{
    const vec3_t world = vector_to_world(force, frame);
    if (!(world.length_sq() > small_sq))
        return;
    if (state_flags & state_in_derivative)
        callback_force += world;
    else
        force_accumulator += world;
    state_flags &= static_cast<uint8_t>(~state_no_force);
}

void phys_body_t::add_force_at(const vec3_t& force, const cd_geo_t* force_frame, const vec3_t& point,
                               const cd_geo_t* point_frame)
{
    if (!(force.length_sq() > small_sq))
        return;
    if (!current) {
        error("phys_body_t [%d]: a force at a point needs an attached geometry", id);
        return;
    }
    const vec3_t world = vector_to_world(force, force_frame);
    const vec3_t body_force = mult_normal_matrix_fast(current->inverse_rotation, world);
    const vec3_t body_point = point_to_body(point, point_frame, *current);
    if (state_flags & state_in_derivative) {
        callback_force += world;
        callback_torque += body_point.cross(body_force);
    } else {
        force_accumulator += world;
        phys_point_force_t* merged = nullptr;
        for (phys_point_force_t& entry : point_forces)
            if ((entry.point - body_point).length_sq() <= small_sq) {
                merged = &entry;
                break;
            }
        if (merged)
            merged->force += body_force;
        else
            point_forces.push_back({body_force, body_point});
    }
    state_flags &= static_cast<uint8_t>(~state_no_force);
}

void phys_body_t::apply_impulse_at(const vec3_t& impulse, const cd_geo_t* impulse_frame, const vec3_t& point,
                                   const cd_geo_t* point_frame)
{
    if (!current) {
        error("phys_body_t [%d]: an impulse needs an attached geometry", id);
        return;
    }
    phys_state_t& state = (state_flags & state_integrated) ? next : *current;
    const vec3_t world = vector_to_world(impulse, impulse_frame);
    const vec3_t body_impulse = mult_normal_matrix_fast(state.inverse_rotation, world);
    state.linear_velocity += world * inverse_mass;
    const vec3_t body_point = point_to_body(point, point_frame, state);
    state.angular_velocity += mult_normal_matrix_fast(inverse_inertia, body_point.cross(body_impulse));
}

vec3_t phys_body_t::point_velocity(const vec3_t& point) const
{
    const phys_state_t* const state = live_state();
    if (!state)
        return vec3_t();
    return mult_normal_matrix_fast(state->rotation, state->angular_velocity.cross(point)) + state->linear_velocity;
}

vec3_t phys_body_t::total_torque() const
{
    vec3_t torque = callback_torque;
    for (const phys_point_force_t& entry : point_forces)
        torque += entry.point.cross(entry.force);
    return torque;
}

phys_body_t::derivative_t phys_body_t::derivative(const phys_state_t& state)
{
    state_flags |= state_in_derivative;
    body_callback_t* const owner = geometry ? geometry->owner_callbacks : nullptr;
    if (owner && (owner->flags & body_callback_t::flag_wheel_contacts)) {
        // The owner casts its wheels from the pose under evaluation.
        const phys_state_t saved = *current;
        *current = state;
        owner->wheel_contacts();
        *current = saved;
    }
    derivative_t rates;
    rates.linear_acceleration = (force_accumulator + callback_force) * inverse_mass;
    rates.velocity = state.linear_velocity;
    // Euler's equations in the body frame: I dw/dt = torque - w x (I w).
    const vec3_t& omega = state.angular_velocity;
    const vec3_t momentum = mult_normal_matrix_fast(inertia, omega);
    rates.angular_acceleration = mult_normal_matrix_fast(inverse_inertia, total_torque() - omega.cross(momentum));
    const vec3_t half_world_omega = mult_normal_matrix_fast(state.rotation, omega) * 0.5f;
    rates.orientation_rate =
        quat_t(half_world_omega.x, half_world_omega.y, half_world_omega.z, 0.0f) * state.orientation;
    callback_force = vec3_t();
    callback_torque = vec3_t();
    state_flags &= static_cast<uint8_t>(~state_in_derivative);
    return rates;
}

void phys_body_t::euler_step(const derivative_t& rates, float dt)
{
    next = *current;
    next.angular_velocity += rates.angular_acceleration * dt;
    next.orientation.x += rates.orientation_rate.x * dt;
    next.orientation.y += rates.orientation_rate.y * dt;
    next.orientation.z += rates.orientation_rate.z * dt;
    next.orientation.w += rates.orientation_rate.w * dt;
    next.linear_velocity += rates.linear_acceleration * dt;
    next.position += rates.velocity * dt;
    next.update_matrices();
}

void phys_body_t::integrate(float dt)
{
    if (!current) {
        error("phys_body_t [%d]: integrate needs an attached geometry", id);
        return;
    }
    const bool resting = (state_flags & state_no_force) && current->angular_velocity.length_sq() <= small_sq &&
                         current->linear_velocity.length_sq() <= small_sq;
    if (resting) {
        next = *current;
    } else {
        euler_step(derivative(*current), dt);
        next.angular_velocity *= std::pow(angular_damping_per_second, dt);
    }
    state_flags |= state_integrated;
}

void phys_body_t::clear_forces()
{
    point_forces.clear();
    force_accumulator = vec3_t();
    state_flags |= state_no_force;
}

void phys_body_t::commit_state()
{
    if (!current || !geometry) {
        error("phys_body_t [%d]: commit needs an attached geometry", id);
        return;
    }
    if (!(next.orientation == current->orientation))
        geometry->set_rotation(next.orientation);
    if (!(next.position == current->position))
        geometry->frame_dirty = 1;
    *current = next;
    extra_translation = vec3_t();
    extra_rotation = quat_t();
    state_flags &= static_cast<uint8_t>(~state_integrated);
}
