#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"
#include "road/model_collision.h"
#include "road/seg_records.h"

struct psm_t;
struct snd_sound_t;

// A building model of the city blocks ("model%d" of cityblocks.def) and its width along the street:
// the z extent of its vertices, truncated to centimetres.
struct cityblock_model_t {
    psm_t* model = nullptr;
    int32_t width = 0;
};

// A pair of shaders (a city-block or free-item "shader%d"): the first, and the second (the first
// again when the list names one).
struct seg_shader_pair_t {
    seg_shader_t first;
    seg_shader_t second;
};

// Building kinds a city-block look holds at most, and part shaders a building kind names at most.
constexpr int32_t cityblock_max_kinds = 16;
constexpr int32_t cityblock_kind_shaders = 8;

// A building kind of a city-block look: its model, the shader pair index of each of its parts (-1
// none) and its weight in the look's random choice.
struct cityblock_kind_t {
    int32_t model = -1;
    int32_t shaders[cityblock_kind_shaders] = {-1, -1, -1, -1, -1, -1, -1, -1};
    float weight = 0.0f;
};

// A city-block look ("look%d"): the buildings a map city block is filled with.
struct cityblock_look_t {
    char name[16] = {};
    int32_t kind_count = 0;
    cityblock_kind_t kinds[cityblock_max_kinds];
};

// Light points a street lamp has at most.
constexpr int32_t cityblock_lamp_lights = 2;

// A street lamp ("lamp%d"): its model, flare and light-pool shaders, collision mesh and light points.
struct cityblock_lamp_t {
    psm_t* model = nullptr;
    seg_shader_t flare;
    seg_shader_t decal;
    model_collision_t collision;
    int32_t light_count = 0;
    vec3_t lights[cityblock_lamp_lights];
};

// A free-item model ("model%d" of freeitems.def): its model, collision mesh, ambient sound, the two
// corners of the box it keeps dry, and the animation descriptor it loops (-1 none).
struct freeitem_model_t {
    char name[32] = {};
    psm_t* model = nullptr;
    model_collision_t collision;
    // Its ambient sound, null none.
    snd_sound_t* sound = nullptr;
    vec3_t noweather[2];
    int32_t animation = -1;
};

// Models a free-item look holds at most.
constexpr int32_t freeitem_look_models = 4;

// A free-item look ("look%d").
struct freeitem_look_t {
    char name[32] = {};
    int32_t model_count = 0;
    int32_t models[freeitem_look_models] = {-1, -1, -1, -1};
};

// Boards a sign model carries at most, and the billboards it has.
constexpr int32_t sign_max_boards = 3;
constexpr int32_t sign_billboards = 2;

// A sign model ("sign_model%d"): its boards' points, the parts that show each board's arrow and road
// number (-1 none), and its two billboards.
struct sign_model_t {
    int32_t board_count = 0;
    uint8_t flag = 0;
    psm_t* model = nullptr;
    vec3_t board_points[sign_max_boards];
    int32_t arrow_parts[sign_max_boards] = {-1, -1, -1};
    int32_t road_parts[sign_max_boards] = {-1, -1, -1};
    vec3_t billboard_sizes[sign_billboards];
    vec3_t billboard_centres[sign_billboards];
};

// Shaders a sign board draws its model's parts with.
constexpr int32_t sign_board_shaders = 4;

// A sign board ("sign%d"): its name, sign model and part shaders.
struct sign_board_def_t {
    char name[16] = {};
    int32_t model = -1;
    seg_shader_t shaders[sign_board_shaders];
};

// A sign text ("sign_text%d").
struct sign_text_t {
    char text[16] = {};
};

// A place name of the road network (a node's name, shown on the sign boards).
struct place_name_t {
    char name[12] = {};
};

// A terrain brush ("brush%d"): its name, size and cells (the blend step of each cell, row by row).
struct brush_t {
    char name[32] = {};
    int32_t width = 0;
    int32_t height = 0;
    // width * height cells, in the server's shared cell store.
    int32_t* cells = nullptr;
};
