#pragma once
#include <string>
#include <vector>

#include "road_route.h"
#include "truck_tracker.h"

// A closed-loop driver with a player's hands: each frame it looks where the truck is and answers with
// the default keys only (up and down for the pedals, left and right for the wheel), following a line of
// route points, forwards or backwards, at a speed the bends and the end of the line allow. The wheel's angle is not
// read: the driver keeps its own idea of it from how long it held the keys, and the look at the truck corrects it.
class route_driver_t {
public:
    struct settings_t {
        // Top speed, m/s, and the side acceleration the driver allows in bends, m/s².
        float top_speed = 12.0f;
        float bend_acceleration = 1.5f;
        // Distance between the axles (cm) and the steering keys' rates (degrees a second: out from the
        // middle, back across it, and the wheel's own return once the keys are let go).
        float wheelbase = 450.0f;
        float steer_rate = 25.0f;
        float counter_rate = 50.0f;
        float centre_rate = 40.0f;
        float max_steering = 30.0f;
        // Backs along the route, as a player backs under a trailer: the pedals swap and the wheel
        // steers the truck's rear onto the line.
        bool backwards = false;
    };

    // `route` led in from where the truck stands: a smooth line from `pose` onto the route's lane at its
    // first point at least `distance` ahead of the truck, then the rest of the route. A lead-in point
    // belongs to the road of the route's point nearest it.
    static std::vector<route_point_t> lead_in(const truck_pose_t& pose, const std::vector<route_point_t>& route,
                                              float distance);

    route_driver_t(std::vector<route_point_t> route, const settings_t& settings);
    route_driver_t(std::vector<route_point_t> route) : route_driver_t(std::move(route), settings_t{}) {}

    // One frame of `dt` seconds with the truck at `pose`: queues the key presses and releases it chose.
    void step(const truck_pose_t& pose, float dt);
    // Lets every key go.
    void release_keys();
    // True once the truck stands within 25 m of the route's last point (it rolls on a little past it).
    bool arrived() const { return arrived_; }

    // The route point nearest the truck, the truck's distance across the road's middle line there (cm,
    // in the ground plane) and the truck's speed (m/s).
    const route_point_t& nearest() const { return route_[nearest_]; }
    size_t nearest_index() const { return nearest_; }
    float off_middle() const { return off_middle_; }
    float speed() const { return speed_; }
    const std::vector<route_point_t>& route() const { return route_; }

private:
    enum key_t { key_up, key_down, key_left, key_right, key_count };
    void hold(key_t key, bool down);
    // The steering angle (degrees, positive left) the route asks for now.
    float wanted_steering(const truck_pose_t& pose) const;
    // The speed (m/s) the bends ahead and the route's end allow.
    float wanted_speed() const;

    std::vector<route_point_t> route_;
    settings_t settings_;
    size_t nearest_ = 0;
    float off_middle_ = 0.0f;
    float lane_error_ = 0.0f;
    float speed_ = 0.0f;
    float steering_ = 0.0f;
    bool seen_ = false;
    vec3_t last_position_;
    bool held_[key_count] = {};
    bool arrived_ = false;
};
