#pragma once
#include <cstdint>

#include "engine/quat.h"
#include "engine/vec.h"

// Entries of a driver's route: the current edge first, then the edges ahead.
constexpr int32_t route_entries = 6;

// One entry of a route: the driver, the edge, the prefab arm through which the route leaves it and the
// lane it takes there (-1 not set).
struct route_entry_t {
    int32_t driver;
    int32_t edge;
    int32_t exit_arm;
    int32_t lane;
};

// The route a driver of the economy follows over the next edges.
struct route_t {
    route_entry_t entries[route_entries];
};

// Bits of route_cursor_t::flags and ::transition.
constexpr uint8_t route_forward = 1;        // runs from the edge's start node to its end node
constexpr uint8_t route_on_transition = 1;  // on a lane change or junction curve

// Where one car of the traffic is on the road network and the curve that carries it: the game
// controller's navigation moves it along edges, through prefabs and into other lanes.
struct route_cursor_t {
    // Units per second.
    float speed = 0.0f;
    // Lane number on the current edge.
    float lane = 0.0f;
    // The cursor's point (lateral offset applied), the curve's direction there and the orientation.
    vec3_t position{};
    vec3_t tangent{};
    quat_t rotation{};
    // Sideways offset from the curve, and the extra offset added on entering an edge.
    float lateral = 0.0f;
    float lateral_base = 0.0f;
    // Distance travelled along the current edge (or prefab curve segment).
    float distance = 0.0f;
    // Current edge (-1 none) and the node through which the cursor entered it.
    int32_t edge = -1;
    int32_t node = -1;
    // See route_forward.
    uint8_t flags = 0;
    // 0 when the current curve must be set up.
    int32_t curve_state = 0;
    // The current curve: end points and tangents, and 1 / its length.
    vec3_t curve_p0{};
    vec3_t curve_p1{};
    vec3_t curve_t0{};
    vec3_t curve_t1{};
    float inv_length = 0.0f;
    // On a prefab curve: the segment reached (-1 before the first), the curve (-1 none) and its flags.
    int32_t point_index = -1;
    int32_t prefab_curve = -1;
    uint32_t prefab_curve_flags = 0;
    // See route_on_transition; the distance travelled on the transition curve.
    uint8_t transition = 0;
    float transition_distance = 0.0f;
    uint8_t transition_active = 0;
    // A City Road's departure direction, kept for lane changes.
    vec3_t departure{};
    // The driver's route, or null.
    route_t* route = nullptr;
};
