#pragma once
#include <cstdint>

#include "road/route_cursor.h"

// One AI car slot of the traffic. Its place on the road network (edge, lane, distance along the edge,
// speed, position and rotation) is the route cursor that the game controller's navigation moves.
struct traffic_car_t {
    // Status bits.
    static constexpr uint8_t status_queued = 1;   // stands in a queue or at a light, or follows one that does
    static constexpr uint8_t status_braking = 2;  // found above its reference speed: brake lights
    static constexpr uint8_t status_body = 4;     // model and body present
    static constexpr uint8_t status_knocked = 8;  // a free body after a contact
    // Route flag of a car that drives its route outside the lane lists (the AI truck).
    static constexpr uint32_t route_off_lanes = 64;

    bool has(uint8_t bit) const { return (status & bit) != 0; }

    route_cursor_t route;
    // Index of the traffic road the car is linked to, -1 when between roads.
    int32_t road_slot = -1;
    // Direction of its lane list (0 or 1).
    int32_t direction = 0;
    // Squared distance to the viewer this frame and the frame before.
    float viewer_distance = 0.0f;
    float previous_viewer_distance = 0.0f;
    float motor_pitch = 0.0f;
    // Blinker requests of the route: 8 right, 16 left.
    uint32_t route_flags = 0;
    // The car ahead and behind in the same lane list, -1 for none.
    int32_t leader = -1;
    int32_t follower = -1;
    float reference_speed = 0.0f;
    // Cruise speed and the speed the driving aims at.
    int32_t cruise_speed = 0;
    float target_speed = 0.0f;
    // The semaphore on the curve the car takes next, and the one it has reserved; -1 for none.
    int32_t next_semaphore = -1;
    int32_t held_semaphore = -1;
    // The edge the car was spawned on.
    int32_t entry_edge = -1;
    // Driving state 1..6.
    uint8_t state = 0;
    // World time of the car's last lane decision.
    double decision_stamp = 0.0;
    uint8_t status = 0;
    // World time of the knock.
    float knock_time = 0.0f;
    // Bit 0: a knocked body that has come to rest.
    uint8_t body_bits = 0;
    // Bit 0: the horn has sounded.
    uint8_t horn_bits = 0;
    float horn_clock = 0.0f;
    // Index into the catalogue; model 0 is the police car.
    uint8_t model = 0;
    // Degrees, kept in 0..720.
    float wheel_angle = 0.0f;
    uint8_t left_blinker = 0;
    uint8_t right_blinker = 0;
    // Bit 0: headlights on.
    uint8_t lights = 0;
    // 0..3; 2 and 3 are drawn near.
    int32_t draw_level = 0;
    // Bit 0: siren on.
    uint8_t siren_bits = 0;
    // The motor channel held, -1 for none.
    int32_t motor_channel = -1;
    uint32_t colour = 0;
    // Sideways offset the driving moves towards.
    float lane_offset_target = 0.0f;
    // World time of the last lane change.
    float lane_change_time = 0.0f;
    // Whole seconds of the traffic clock when the leader was last seen slow.
    int32_t slow_leader_stamp = 0;
    // Seconds left to wait at a semaphore or before driving on.
    float wait_timer = 0.0f;
    // Drawing: the body's pitch in degrees (nose down while braking), the front wheels' steer in
    // degrees, and the heading of the frame drawn before.
    float tilt = 0.0f;
    float steer = 0.0f;
    vec3_t previous_heading{};
    // Squared distance to the next semaphore when it was last read.
    float next_semaphore_distance = 0.0f;
};
