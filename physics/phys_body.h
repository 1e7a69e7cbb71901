#pragma once
#include <cstdint>
#include <vector>

#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/phys_state.h"

class cd_geo_t;

// A force applied at a point outside a derivative evaluation, both in the body frame.
struct phys_point_force_t {
    vec3_t force;
    vec3_t point;
};

// What the kinematic move reads of a body.
struct phys_move_params_t {
    // When 0 the move stops at the first impact instead of sliding along it.
    int32_t slide = 3;
    // Stair step height in centimetres.
    int32_t stair_height = 1;
    // Linear sub-step length of the swept test (centimetres).
    float sub_step_length = 1.0f;
    // Largest rotation per sub-step (degrees).
    float rotation_step = 1.0f;
    // Smallest upward component of a surface normal that counts as floor.
    float floor_min_up = -1.0f;
};

// A rigid body: mass and inertia, the forces its owner applies during a step, and the next state that
// integration writes. Its current state lives in the attached collision geometry.
class phys_body_t {
public:
    // Body flags.
    enum body_flag_t : uint32_t { body_enabled = 1, body_held = 2 };
    // State flags.
    enum state_flag_t : uint8_t { state_no_force = 1, state_in_derivative = 2, state_integrated = 4 };

    phys_body_t();
    // Detaches the geometry.
    ~phys_body_t();
    phys_body_t(const phys_body_t&) = delete;
    phys_body_t& operator=(const phys_body_t&) = delete;

    // Sets the mass; a mass that is not positive gives an inverse mass of 0 (immovable). Returns it.
    float set_mass(float mass);
    // Sets the mass and the inertia of a solid box of full edge lengths `extents`. Returns 0.
    float set_mass_box(const vec3_t& extents, float mass);
    // Attaches a geometry (null detaches): the current state becomes the geometry's, at rest, with this
    // body's mass data, and the next state a copy of it.
    void set_geom(cd_geo_t* geometry);
    // Detaches the geometry and forgets the point forces.
    void clear_geom();

    // Adds a force given in the frame of `frame` (null: the world); squared lengths up to 1e-6 are
    // ignored.
    void add_force(const vec3_t& force, const cd_geo_t* frame);
    // Adds a force at a point, each in the frame of its geometry (null: the world); points within
    // 1e-3 of an earlier one share its entry.
    void add_force_at(const vec3_t& force, const cd_geo_t* force_frame, const vec3_t& point,
                      const cd_geo_t* point_frame);
    // Changes the velocities at once by an impulse at a point: the next state's between integration
    // and commit, the current state's otherwise.
    void apply_impulse_at(const vec3_t& impulse, const cd_geo_t* impulse_frame, const vec3_t& point,
                          const cd_geo_t* point_frame);
    // World velocity of a body-frame point.
    vec3_t point_velocity(const vec3_t& point) const;
    // Body-frame torque of everything added since the forces were last cleared.
    vec3_t total_torque() const;

    // Integrates the current state over `dt` seconds into the next state.
    void integrate(float dt);
    // Forgets every force added.
    void clear_forces();
    // Makes the next state the geometry's current state.
    void commit_state();

    // Added to the integrated motion by the next move; reset by commit_state.
    vec3_t extra_translation;
    quat_t extra_rotation;
    phys_move_params_t move;
    // The state inside the attached geometry, or null.
    phys_state_t* current = nullptr;
    // Written by integration.
    phys_state_t next;
    float mass = 0.0f;
    float inverse_mass = 0.0f;
    // Body-frame tensors (identity with the last diagonal element 0 until a mass box is set).
    mat4_t inertia;
    mat4_t inverse_inertia;
    // Forces (world frame) added outside and inside a derivative evaluation, and the body-frame torque
    // of forces added at points inside one.
    vec3_t force_accumulator;
    vec3_t callback_force;
    vec3_t callback_torque;
    std::vector<phys_point_force_t> point_forces;
    uint32_t body_flags = body_enabled;
    // Orders the process's body list.
    uint16_t id = 0;
    cd_geo_t* geometry = nullptr;
    uint8_t state_flags = state_no_force;

private:
    // Rates of change of the integrated part of a state.
    struct derivative_t {
        vec3_t angular_acceleration;
        quat_t orientation_rate;
        vec3_t linear_acceleration;
        vec3_t velocity;
    };

    // Rates of change at `state`, with the owner's wheel contacts added.
    derivative_t derivative(const phys_state_t& state);
    // next = current + dt * rates, normalised.
    void euler_step(const derivative_t& rates, float dt);
    // The state velocities and points refer to now: the next one between integration and commit.
    const phys_state_t* live_state() const;
    // A vector of `frame` carried into the world.
    static vec3_t vector_to_world(const vec3_t& v, const cd_geo_t* frame);
    // A point of `frame` carried into the body frame of `state`.
    vec3_t point_to_body(const vec3_t& point, const cd_geo_t* frame, const phys_state_t& state) const;
};
