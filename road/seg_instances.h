#pragma once
#include <cstdint>
#include <vector>

#include "engine/quat.h"
#include "engine/vdatalist.h"
#include "engine/vec.h"
#include "road/loose_instance.h"

struct c_item_t;
class cd_geo_mesh_t;

// A model placed beside a road (vegetation and the like): where it stands, the normal it is lit by,
// one of the server's 64 rotations and its lit colour (0xAABBGGRR).
struct model_instance_t {
    vec3_t position;
    int32_t model = -1;
    int32_t rotation = 0;
    vec3_t normal;
    uint32_t colour = 0xFFFFFFFFu;
    uint8_t visible = 1;
};

// Boards of a sign-board instance.
constexpr int32_t board_instance_boards = 3;
// Flag bits of a sign-board instance: bit 0 set by the controller while a pooled box carries it (it is
// then drawn at that box's body), bit 1 from the sign model's flag.
constexpr uint32_t board_attached = loose_carried;
constexpr uint32_t board_model_flag = loose_kind_near;

// A sign board standing beside a built road: a loose instance (position, orientation, flags, the body
// carrying it and its pool box), whose two boxes are the sign model's billboards.
struct board_instance_t : loose_instance_t {
    int32_t definition = -1;
    int32_t arrows[board_instance_boards] = {-1, -1, -1};
    int32_t road_backgrounds[board_instance_boards] = {-1, -1, -1};
    // The board windows it holds, null where a board is empty.
    c_item_t* boards[board_instance_boards] = {};
    // The sign record's index, -1 none.
    int32_t sign = -1;
    uint8_t visible = 1;
};

// A traffic-light model placed at a crossing.
struct lamp_instance_t {
    vec3_t position;
    quat_t rotation;
    int32_t model = -1;
    uint8_t flags = 0;
    uint8_t visible = 1;
};

// A street light of a city block, with the light pool built when it first comes near at night.
struct light_instance_t {
    vec3_t position;
    quat_t rotation;
    int32_t lamp = -1;
    // The pool's triangles (three vertices each) laid on the ground around its centre, and their
    // texture coordinates (two per vertex); empty until built.
    std::vector<vec3_t> pool;
    std::vector<float> pool_texcoords;
    bool pool_built = false;
    uint8_t visible = 1;
};

// A moving free item (a mover of the map): its frame, written by the mover code, its model and look.
struct mover_instance_t {
    vec3_t position;
    quat_t rotation;
    int32_t model = -1;
    int32_t look = -1;
    uint8_t visible = 1;
};

// Buildings a built city block holds at most.
constexpr int32_t city_block_max_buildings = 128;

// The buildings of a city block, shared by every built edge that reaches it.
struct city_block_instance_t {
    int32_t block = -1;
    int32_t references = 0;
    int32_t building_count = 0;
    int32_t kinds[city_block_max_buildings] = {};
    vec3_t positions[city_block_max_buildings];
    quat_t rotations[city_block_max_buildings];
    float stretch[city_block_max_buildings] = {};
    vec3_t corners[4];
    // 8 per side: the box behind the side's buildings.
    std::vector<vec3_t> side_boxes;
    // 6 for the ground quad, then 24 per side.
    std::vector<uint16_t> indices;
    // The block's collision mesh in a world with physics, null otherwise, and its vertices (the four
    // corners, then the side boxes) and triangle materials.
    cd_geo_mesh_t* collision = nullptr;
    std::vector<vec3_t> collision_vertices;
    std::vector<uint8_t> collision_materials;
};

// Handles of the instances the segment server lists.
using model_instance_node_t = vdatalist_node_t<model_instance_t>;
using board_instance_node_t = vdatalist_node_t<board_instance_t>;
using lamp_instance_node_t = vdatalist_node_t<lamp_instance_t>;
using light_instance_node_t = vdatalist_node_t<light_instance_t>;
using mover_instance_node_t = vdatalist_node_t<mover_instance_t>;

// Colours the target marker's first part can take.
constexpr int32_t target_colour_count = 6;

// The marker shown over the player's headquarters.
struct target_marker_t {
    bool shown = false;
    vec3_t position;
    quat_t rotation;
    // Headquarters model 0 to 2, the colour of its first part (0xAARRGGBB) and its part count.
    int32_t model = 0;
    uint32_t colour = 0;
    int32_t part_count = 0;
};
