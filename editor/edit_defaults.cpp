#include "editor/edit_defaults.h"

#include <cstring>

namespace {

map_edge_side_t default_side() { return map_edge_side_t{-1, -1, -1, 0, 8, 5.0f, -1}; }

}  // namespace

map_edge_t edit_default_edge_template(const int32_t kind)
{
    map_edge_t edge;
    std::memset(static_cast<void*>(&edge), 0, sizeof edge);
    edge.kind = kind;
    edge.bounds.set_empty();
    edge.segment_slot = -1;
    for (int32_t& node : edge.nodes)
        node = -1;
    edge.sides[0] = default_side();
    edge.sides[1] = default_side();
    // Noise amplitude 1 on both sides (bits 4-5 and 8-9).
    edge.flags = 272;
    edge.traffic_road = -1;
    edge.sign = -1;
    edge.semaphore = -1;
    edge.stamp = -1;
    return edge;
}

edit_defaults_t::edit_defaults_t()
{
    edges[edit_default_road] = edit_default_edge_template(map_edge_road);
    edges[edit_default_cross] = edit_default_edge_template(map_edge_cross);
    edges[edit_default_fork] = edit_default_edge_template(map_edge_fork);
    edges[edit_default_prefab] = edit_default_edge_template(map_edge_prefab);
    edges[edit_default_city_road] = edit_default_edge_template(map_edge_city_road);
    // A Road has road profile 0 on both sides; a Cross's first side is all zero.
    edges[edit_default_road].sides[0].profile = 0;
    edges[edit_default_road].sides[1].profile = 0;
    map_edge_side_t& cross = edges[edit_default_cross].sides[0];
    cross.railing = cross.railing_shader = cross.profile = cross.terrain = cross.strip_width = 0;
    std::memset(static_cast<void*>(&aux_edge), 0, sizeof aux_edge);
    aux_edge.bounds.set_empty();
    aux_edge.nodes[0] = aux_edge.nodes[1] = -1;
    aux_edge.segment_slot = -1;
    for (map_stamp_t& stamp : stamps)
        stamp = map_stamp_t{-1, -1, 0, 0};
}

map_edge_t* edit_defaults_t::edge_for_kind(const int32_t kind)
{
    switch (kind) {
    case map_edge_city_road:
        return &edges[edit_default_city_road];
    case map_edge_road:
        return &edges[edit_default_road];
    case map_edge_fork:
        return &edges[edit_default_fork];
    case map_edge_cross:
        return &edges[edit_default_cross];
    case map_edge_prefab:
        return &edges[edit_default_prefab];
    default:
        return nullptr;
    }
}

bool edit_defaults_t::has_stamps() const
{
    for (const map_stamp_t& stamp : stamps)
        if (stamp.brush != -1)
            return true;
    return false;
}
