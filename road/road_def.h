#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"
#include "road/seg_records.h"

// The lane geometry of a road or city-road definition, as the navigation reads it: the lane counts of
// the two directions, the offset of the first lane and the lane width (centimetres).
struct road_lanes_t {
    int32_t lanes[2];
    int32_t first_lane_offset;
    int32_t lane_width;
};

// Road parts a road model gives at most (its render pieces laid along the curve).
constexpr int32_t road_max_parts = 3;
// Heights a road profile holds.
constexpr int32_t road_profile_heights = 32;

// Vertex numbers of a piece's four corners: left-near, left-far, right-near, right-far.
enum road_corner_t : int32_t { road_left_near = 0, road_left_far = 1, road_right_near = 2, road_right_far = 3 };

// One cross-section piece imported from a model part, repeated along an edge's curve: positions rounded
// to whole units, each vertex's place along the piece (t, 0 at its start and 1 at its end), and the
// partner map that welds a piece's start vertices to the previous piece's end.
struct road_section_t {
    std::vector<vec3_t> positions;
    // Empty where the import keeps no normals.
    std::vector<vec3_t> normals;
    // Two per vertex (u, v); empty for collision pieces.
    std::vector<float> uvs;
    std::vector<float> t;
    // Per vertex: itself when it has no partner; for a start vertex (t 0) the end vertex it is welded
    // to; otherwise its number among the vertices that have one. Empty where the import keeps none.
    std::vector<int32_t> partner;
    // Three per triangle.
    std::vector<uint16_t> indices;
    // One per triangle (the model's per-triangle word); collision pieces only.
    std::vector<uint16_t> triangle_words;
    // Vertices left once the start vertices that have a partner are dropped.
    int32_t repeat_vertex_count = 0;
    // Extent along z of the rounded positions (the piece's own or that of road part 0).
    float length = 0.0f;
    // Corner vertices (road_corner_t order), -1 when none was found; and the x and y of the last
    // corner found on the left and on the right.
    int32_t corners[4] = {-1, -1, -1, -1};
    float left_xy[2] = {};
    float right_xy[2] = {};

    int32_t vertex_count() const { return static_cast<int32_t>(positions.size()); }
    int32_t index_count() const { return static_cast<int32_t>(indices.size()); }
    // Bytes the piece's arrays hold.
    size_t bytes() const;
};

// An open-road definition ("road%d" of road_segs.def): its lanes, model path, render pieces (1 to 3)
// and collision piece.
struct road_def_t {
    road_lanes_t lanes{};
    char name[64] = {};
    int32_t part_count = 0;
    road_section_t parts[road_max_parts];
    road_section_t collision;
    // Bytes of the imported arrays; 0 when the model could not be used.
    size_t bytes = 0;
    // Extent along z of road part 0.
    float length() const { return parts[0].length; }
};

// A city-road definition ("city_road%d"): lanes, model path, two render pieces ("road0", "road1", with
// normals, no partner map) and the collision piece ("coll": positions, t and indices).
struct city_road_def_t {
    road_lanes_t lanes{};
    char name[64] = {};
    int32_t part_count = 0;
    road_section_t parts[2];
    road_section_t collision;
    size_t bytes = 0;
    float length() const { return parts[0].length; }
};

// A height profile across a road ("profile%d").
struct road_profile_t {
    char name[32] = {};
    float heights[road_profile_heights] = {};
};

// A road property ("road" of road_props.def): a road type's name and its traffic value.
struct road_prop_t {
    char name[8] = {};
    float traffic = 0.0f;
};

// A railing ("railing%d" of railings.def): its middle, start and end pieces, each with a render and a
// collision piece.
enum railing_piece_t : int32_t { railing_middle = 0, railing_begin = 1, railing_end = 2, railing_pieces = 3 };
struct railing_def_t {
    char name[64] = {};
    road_section_t render[railing_pieces];
    road_section_t collision[railing_pieces];
    // Largest absolute texture v of the middle piece's render part.
    float max_v = 0.0f;
    size_t bytes = 0;
};

// A one-part model laid along a road ("model%d" of aux_models.def).
struct aux_model_t {
    char name[64] = {};
    road_section_t part;
    size_t bytes = 0;
};

// A shader of a railing, aux-model or prefab shader array, with its flag (1 when its list named only the
// shader).
struct seg_flagged_shader_t {
    seg_shader_t shader;
    uint8_t flag = 0;
};

// Vegetation models a look scatters at most.
constexpr int32_t veg_look_models = 4;

// A vegetation look ("veg_look_name%d", "veg_look_data%d"): the models scattered over a range of a
// side's terrain columns at a spacing.
struct veg_look_t {
    char name[64] = {};
    int32_t models[veg_look_models] = {-1, -1, -1, -1};
    int32_t first_column = 0;
    // Centimetres between two plants.
    float spacing = 0.0f;
    int32_t column_count = 0;
};
