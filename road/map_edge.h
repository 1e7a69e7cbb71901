#pragma once
#include <cstddef>
#include <cstdint>

#include "physics/cd_bounds.h"

// Kinds of a road-network edge (word 0 of map_edge_t).
enum map_edge_kind_t : int32_t {
    map_edge_city_road = 0,
    map_edge_road = 1,
    map_edge_fork = 2,
    map_edge_cross = 3,
    map_edge_prefab = 4,
};

// True for the kinds placed from a prefab (Fork, Cross, Prefab), which own a run of semaphores.
constexpr bool map_edge_kind_is_prefab(const int32_t kind)
{
    return kind == map_edge_fork || kind == map_edge_cross || kind == map_edge_prefab;
}

// Flag bit of a terrain-only Road edge: a strip of terrain on its second side, no road surface.
constexpr uint32_t map_edge_terrain_only = 1u << 20;

// One side of an edge: seven words whose use depends on the edge's kind (the road builder reads them).
struct map_edge_side_t {
    // Railing index (-1 none); on a Cross the four sides' first words hold traffic-light entries.
    int32_t railing;
    int32_t railing_shader;
    // A road profile on a Road, the city-block record on a City Road (-1 none).
    int32_t profile;
    int32_t terrain;
    // Terrain strip width in cells of 400 cm; on a Cross, non-zero when it has traffic lights.
    int32_t strip_width;
    float height_scale;
    // Vegetation look on a Road, lamp on a City Road, the loading dock's trader on a Fork (-1 none).
    int32_t vegetation;
};
static_assert(sizeof(map_edge_side_t) == 28);

// An edge of the road network: a road, a city road or a junction placed from a prefab, between its
// nodes. Forty-two words in memory; the map file leaves out word 15.
struct map_edge_t {
    int32_t kind;
    // Two words of the kind, carried unchanged.
    int32_t kind_words[2];
    // Five-axis bounds (words 3-12).
    cd_bounds_t bounds;
    // City-road or road definition, or the prefab within the fork, cross or prefab array.
    int32_t definition;
    // Road type: index into a name list of the segment server.
    int32_t road_type;
    // Memory only: the render slot holding the built geometry, -1 none.
    int32_t segment_slot;
    // Start node, end node and two further nodes of prefab kinds (-1 none).
    int32_t nodes[4];
    // First side (words 20-26) and second side (words 27-33).
    map_edge_side_t sides[2];
    // Bits 0-1 quarter turns of a prefab; 4-5 and 8-9 the sides' noise amplitude; 12-13 and 16-17 their
    // falloff rows; bit 20 a terrain-only edge.
    uint32_t flags;
    // Road: terrain of the centre part; City Road: sidewalk shader; prefab kinds: the anchor node slot.
    int32_t centre_word;
    // Length in centimetres.
    float length;
    // Road and City Road: first noise row; prefab kinds: 0 after load, the light object at run time.
    int32_t noise_row;
    // Traffic road id.
    int32_t traffic_road;
    // The edge's sign record (-1 none).
    int32_t sign;
    // Semaphore id (first of the run on prefab kinds; -1 none).
    int32_t semaphore;
    // First of the edge's four stamp records (-1 none).
    int32_t stamp;
};
static_assert(sizeof(map_edge_t) == 168 && offsetof(map_edge_t, bounds) == 12 &&
              offsetof(map_edge_t, segment_slot) == 60 && offsetof(map_edge_t, sides) == 80 &&
              offsetof(map_edge_t, flags) == 136 && offsetof(map_edge_t, stamp) == 164);

// An aux edge: an aux model laid between two aux nodes. Nineteen words in memory; the map file leaves
// out word 18.
struct map_aux_edge_t {
    // Two words carried unchanged.
    int32_t words[2];
    // Five-axis bounds (words 2-11).
    cd_bounds_t bounds;
    // Aux model of the segment server (-1: nothing is built).
    int32_t model;
    // Material choice of the aux model.
    int32_t material;
    // Start and end aux node.
    int32_t nodes[2];
    // A word carried unchanged.
    int32_t word16;
    // Length in centimetres.
    float length;
    // Memory only: the aux render slot holding its mesh, -1 none.
    int32_t segment_slot;
};
static_assert(sizeof(map_aux_edge_t) == 76 && offsetof(map_aux_edge_t, model) == 48 &&
              offsetof(map_aux_edge_t, segment_slot) == 72);
