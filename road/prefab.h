#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "engine/quat.h"
#include "engine/vec.h"
#include "road/model_collision.h"

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
    prefab_curve_priority = 2,
    prefab_curve_trucks_only = 4,
    prefab_curve_right_blinker = 8,
    prefab_curve_left_blinker = 16,
    prefab_curve_join = 32,
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
    char name[16] = {};
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

// Heights of each of a prefab node's two terrain height lists.
constexpr int32_t prefab_node_heights = 32;

// A node of a prefab: where an arm meets the map, the two terrain height lists a road edge blends into
// it with, and the curves that start there per lane slot.
struct prefab_node_t {
    vec3_t position;
    float terrain_heights[2][prefab_node_heights] = {};
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

// Destinations and arrows one prefab sign has.
constexpr int32_t prefab_sign_boards = 3;

// A sign board a prefab places beside its edge: its name, place and turn in prefab coordinates, and
// from the definition the segment server's sign model, its destinations and its arrows (stored less
// one).
struct prefab_sign_t {
    int32_t model_id = -1;
    char name[8] = {};
    vec3_t position;
    quat_t rotation;
    int32_t destinations[prefab_sign_boards] = {-1, -1, -1};
    int32_t arrows[prefab_sign_boards] = {-1, -1, -1};
};

// A render part of a prefab: its mesh, the look slot of its shader (-1: drawn with the fallback
// shader), its size in bytes and its bounding sphere.
struct prefab_part_t {
    char name[16] = {};
    std::vector<vec3_t> positions;
    std::vector<vec3_t> normals;
    // Two per vertex.
    std::vector<float> uvs;
    std::vector<uint16_t> indices;
    int32_t shader_slot = -1;
    int32_t size = 0;
    vec3_t centre;
    float radius = 0.0f;
};

// A collision part of a prefab: its kind (1 to 4), positions and triangle indices, and its size.
struct prefab_coll_part_t {
    int32_t kind = 0;
    std::vector<vec3_t> positions;
    std::vector<uint16_t> indices;
    int32_t size = 0;
};

// Words of a loading-dock record of a prefab file.
constexpr int32_t prefab_dock_words = 7;

// Where a prefab places a traffic-light model: one per node.
struct prefab_light_place_t {
    vec3_t position;
    quat_t rotation;
};

// A prefab, read from its model file and the definition beside it.
struct prefab_t {
    // The model file's path; empty when it could not be read.
    char name[64] = {};
    std::vector<prefab_part_t> parts;
    std::vector<prefab_coll_part_t> coll_parts;
    std::vector<prefab_node_t> nodes;
    std::vector<prefab_curve_t> curves;
    std::vector<prefab_sign_t> signs;
    std::vector<vec3_t> points;
    std::vector<std::array<uint32_t, prefab_dock_words>> docks;
    std::vector<prefab_light_place_t> light_places;
    prefab_station_slot_t stations[2];
    // Boxes the rain and snow leave dry: two corners each (a first corner shorter than 1 is none).
    vec3_t noweather[prefab_noweather_boxes][2] = {};
};

// The curve list of lane slot `slot` of node (`node` + `rotation`) modulo the node count: three
// entries, the list ending at the first -1. All -1 for a prefab without nodes or a slot out of range.
const int32_t* prefab_node_slot(const prefab_t& prefab, int32_t node, int32_t slot, int32_t rotation);

// Slots of a prefab look: four of each category (terrain, cross, road, fork, railing, misc).
constexpr int32_t prefab_look_categories = 6;
constexpr int32_t prefab_look_slots = 4 * prefab_look_categories;

// A prefab look ("prefab_look%d"): a name and the prefab shader index of each slot, -1 unset.
struct prefab_look_t {
    char name[32] = {};
    int32_t slots[prefab_look_slots];
};

// Light groups a traffic-light model has at most, and the lamps of a group (red, yellow, green).
constexpr int32_t tr_lights_groups = 3;
constexpr int32_t tr_lights_lamps = 3;

// A traffic-light model ("tr_lights%d"): its model, the collision mesh of its part "zcoll", and the
// model-space lamp positions of each light group.
struct tr_lights_model_t {
    char name[32] = {};
    struct psm_t* model = nullptr;
    model_collision_t collision;
    int32_t group_count = 0;
    vec3_t lamps[tr_lights_groups][tr_lights_lamps];
};

// A point of a prefab turned by `quarter_turns` (0 to 3) about the vertical axis, as placed on the map.
vec3_t prefab_turn(const vec3_t& point, uint32_t quarter_turns);

// Index of the curve named `name` (compared without case), -1 when none.
int32_t prefab_find_curve(const prefab_t& prefab, const char* name);
// Index of the sign named `name` (compared without case), -1 when none.
int32_t prefab_find_sign(const prefab_t& prefab, const char* name);
// The curve type a definition's "type" text gives: "stop" 6, "switch" 5, "out" and a digit d gives d,
// anything else 4.
int32_t prefab_curve_type(const char* text);
// Fills `look` from a look text: "name|key:value|..." with keys of a category (terrain, cross, road,
// fork, railing, misc) ending in a slot digit 0 to 3; every slot not named stays -1. Keys of no
// category, or with another last character, are reported and left out.
void prefab_look_parse(prefab_look_t& look, const char* text);
// The look slot a prefab part's shader name (a look key such as "road1") maps to, -1 when it names
// none.
int32_t prefab_shader_slot(const char* shader);
