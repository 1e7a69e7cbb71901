#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"

// The parts of a prefab (the junction or site placed on a Fork, Cross or Prefab edge) that the game
// controller reads: its nodes with their lane slots, its curves (the lanes through it) and its
// station slots. The prefab readers fill these records; the navigation, the traffic lights and the
// stations only read them.

// Curves one lane slot of a prefab node lists, and lane slots per node.
constexpr int32_t prefab_slot_curves = 3;
constexpr int32_t prefab_node_slots = 4;
// Arms a prefab has at most (one per node), and next curves a curve lists at most.
constexpr int32_t prefab_max_arms = 4;
constexpr int32_t prefab_max_next = 8;

// Types of a prefab curve: 0 to 3 leave the prefab into lane 1 to 4; 4 goes on to its first next
// curve; 5 chooses among its next curves; 6 is a stop before its first next curve.
enum prefab_curve_type_t : int32_t {
    prefab_curve_plain = 4,
    prefab_curve_switch = 5,
    prefab_curve_stop = 6,
};

// Flags of a prefab curve.
enum prefab_curve_flag_t : uint32_t {
    prefab_curve_trucks_only = 4,
    prefab_curve_truck_dock = 64,
};

// One piece of a curve: a smooth curve between two points with their directions, in prefab
// coordinates.
struct prefab_curve_segment_t {
    vec3_t start;
    vec3_t start_direction;
    vec3_t end;
    vec3_t end_direction;
    float length;
};

// A lane through a prefab.
struct prefab_curve_t {
    std::vector<prefab_curve_segment_t> segments;
    uint32_t flags = 0;
    // 1 for each arm the curve leaves the prefab through.
    uint8_t exit_arms[prefab_max_arms] = {};
    // Per arm, the lanes (bit k: lane k) the curve may lead into.
    uint8_t lane_masks[prefab_max_arms] = {};
    int32_t next_count = 0;
    int32_t next[prefab_max_next] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int32_t type = prefab_curve_plain;
};

// A node of a prefab: where an arm meets the map, and the curves that start there per lane slot.
struct prefab_node_t {
    vec3_t position;
    // Up to three curves per slot, the list ending at the first -1.
    int32_t slots[prefab_node_slots][prefab_slot_curves] = {{-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}};
};

// A service point of a prefab: kind 0 none, 1 or 5 gas, 2 or 6 service, 3 truck stop, 4 dealer,
// 7 scales (kinds of 5 and more have a second point).
struct prefab_station_slot_t {
    int32_t kind = 0;
    vec3_t point_a;
    vec3_t point_b;
};

// No-weather boxes a prefab has at most.
constexpr int32_t prefab_noweather_boxes = 3;

// A sign board a prefab places beside its edge: the segment server's sign model.
struct prefab_sign_t {
    int32_t model_id = -1;
};

// A prefab as the controller reads it.
struct prefab_t {
    std::vector<prefab_node_t> nodes;
    std::vector<prefab_curve_t> curves;
    std::vector<prefab_sign_t> signs;
    prefab_station_slot_t stations[2];
    // Boxes the rain and snow leave dry: two corners each (a first corner shorter than 1 is none).
    vec3_t noweather[prefab_noweather_boxes][2] = {};
};

// The curve list of lane slot `slot` of node (`node` + `rotation`) modulo the node count: three
// entries, the list ending at the first -1. All -1 for a prefab without nodes or a slot out of range.
const int32_t* prefab_node_slot(const prefab_t& prefab, int32_t node, int32_t slot, int32_t rotation);

// A point of a prefab turned by `quarter_turns` (0 to 3) about the vertical axis, as placed on the map.
vec3_t prefab_turn(const vec3_t& point, uint32_t quarter_turns);
