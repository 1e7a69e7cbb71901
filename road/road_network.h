#pragma once
#include <cstdint>

#include "engine/vec.h"
#include "road/map_array.h"
#include "road/map_cityblock.h"
#include "road/map_edge.h"
#include "road/map_freeitem.h"
#include "road/map_miscitem.h"
#include "road/map_node.h"
#include "road/map_semaphore.h"
#include "road/map_sign.h"
#include "road/map_stamp.h"

// Capacity steps of the record arrays: an array that is full grows by its step.
constexpr int32_t map_node_step = 64;
constexpr int32_t map_edge_step = 32;
constexpr int32_t map_stamp_step = 64;
constexpr int32_t map_item_step = 16;

// Squared distance (cm²) under which add_node and add_aux_node answer the existing node.
constexpr float map_node_merge_distance_sq = 0.1f;

// The records of one map's road network: nine arrays addressed by index (-1 none), the traffic-light
// semaphores and the start position. The map controller holds them; the map file reads and writes them.
class road_network_t {
public:
    road_network_t() = default;
    ~road_network_t() { free_records(); }
    road_network_t(const road_network_t&) = delete;
    road_network_t& operator=(const road_network_t&) = delete;

    // The index of the first node closer than sqrt(0.1) to `position`, else of a new node there; -1 when
    // memory runs out.
    int32_t add_node(const vec3_t& position);
    // The same over the aux nodes.
    int32_t add_aux_node(const vec3_t& position);
    // Append one zeroed record and answer its index (-1 when memory runs out).
    int32_t add_edge();
    int32_t add_aux_edge();
    int32_t add_sign();
    int32_t add_cityblock();
    int32_t add_freeitem();
    int32_t add_miscitem();
    // Appends a group of four zeroed stamp records and answers the first index (-1 when memory runs out).
    int32_t add_stamp_group();

    // Empties the nine arrays (their memory is kept), sets the semaphore count to 0 and frees the
    // semaphores: done before another map is read.
    void clear_records();
    // Frees every array and the semaphores.
    void free_records();
    // Frees the semaphores and sets their count to 0.
    void free_semaphores();

    map_array_t<map_node_t, true> nodes;
    map_array_t<map_aux_node_t, true> aux_nodes;
    map_array_t<map_edge_t> edges;
    map_array_t<map_aux_edge_t> aux_edges;
    map_array_t<map_sign_t> signs;
    map_array_t<map_stamp_t> stamps;
    map_array_t<map_cityblock_t> cityblocks;
    map_array_t<map_freeitem_t> freeitems;
    map_array_t<map_miscitem_t> miscitems;
    // Semaphores of the map's lit crossings; never below 0. The game controller builds the array.
    int32_t semaphore_count = 0;
    map_semaphore_t* semaphores = nullptr;
    // Where a game on this map starts.
    vec3_t start_position{};
};
