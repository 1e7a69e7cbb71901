#pragma once
#include <cstdint>

#include "road/map_edge.h"
#include "road/map_stamp.h"

// Default edge records the editor keeps, one per edge kind, in the order of "/edit.ini".
enum edit_default_slot_t : int32_t {
    edit_default_road = 0,
    edit_default_cross = 1,
    edit_default_fork = 2,
    edit_default_prefab = 3,
    edit_default_city_road = 4,
    edit_default_edge_count = 5,
};

// Stamps of one edge's stamp group.
constexpr int32_t edit_stamp_group_size = 4;

// The records new items are made from: an edge per kind, an aux edge and a stamp group. A stamp whose
// brush is -1 is empty.
struct edit_defaults_t {
    edit_defaults_t();

    // The default edge of `kind` (0 City Road to 4 Prefab), null for any other kind.
    map_edge_t* edge_for_kind(int32_t kind);
    // True when at least one default stamp is in use.
    bool has_stamps() const;

    map_edge_t edges[edit_default_edge_count];
    map_aux_edge_t aux_edge;
    map_stamp_t stamps[edit_stamp_group_size];
};

// The template every default edge starts from: no bounds, no nodes, sides with no railing, a strip of
// 8 cells at height scale 5, noise amplitude 1 on both sides, and no sign, semaphore or stamps.
map_edge_t edit_default_edge_template(int32_t kind);
