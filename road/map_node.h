#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"

// A node of the road network: where edges meet. Twelve words, laid out as in the map file.
struct map_node_t {
    vec3_t position;
    // Zero when the node is created; the editor sets it.
    vec3_t direction;
    // The edges on the node's first and second link (-1 none).
    int32_t links[2];
    // Kinds of the edges on those links (edge kinds of map_edge_t; 1 Road when none).
    int32_t link_kinds[2];
    // Bit 1 shows the road name on the UI map; bits 4-6 a compass direction (0 none, 1 North, 2 East,
    // 3 South, 4 West); bits 8-15 and 16-23 the first and second city (1-based, 0 none).
    uint32_t flags;
    // Index of the road name in the segment server's name list, -1 unknown.
    int32_t road_name;
};
static_assert(sizeof(map_node_t) == 48 && offsetof(map_node_t, links) == 24 && offsetof(map_node_t, road_name) == 44);

// A node of the aux network (fences, walls and other meshes laid along a path). Nine words.
struct map_aux_node_t {
    vec3_t position;
    // Zero when the node is created.
    vec3_t vector;
    // The aux edges on the node's two links (-1 none).
    int32_t links[2];
    // A word preset to 0.
    uint32_t flags;
};
static_assert(sizeof(map_aux_node_t) == 36 && offsetof(map_aux_node_t, links) == 24);

// A node at `position` with no links, no direction, no flags and no name.
map_node_t map_node_make(const vec3_t& position);
// An aux node at `position` with no links.
map_aux_node_t map_aux_node_make(const vec3_t& position);
