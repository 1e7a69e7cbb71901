#pragma once
#include <cstdint>

// Ids of the road network's items in the controller's item tree and in the road collision: an edge is
// its index, and the other kinds are their index past a base of their own.
constexpr uint32_t road_item_freeitem_base = 500000000u;
constexpr uint32_t road_item_aux_edge_base = 1000000000u;
constexpr uint32_t road_item_miscitem_base = 2000000000u;

// The kinds an item id names.
enum road_item_kind_t { road_item_edge, road_item_freeitem, road_item_aux_edge, road_item_miscitem };

// The kind of item `id` names.
constexpr road_item_kind_t road_item_kind(const uint32_t id)
{
    if (id >= road_item_miscitem_base)
        return road_item_miscitem;
    if (id >= road_item_aux_edge_base)
        return road_item_aux_edge;
    if (id >= road_item_freeitem_base)
        return road_item_freeitem;
    return road_item_edge;
}

// The index within its own array of the item `id` names.
constexpr int32_t road_item_index(const uint32_t id)
{
    switch (road_item_kind(id)) {
    case road_item_freeitem:
        return static_cast<int32_t>(id - road_item_freeitem_base);
    case road_item_aux_edge:
        return static_cast<int32_t>(id - road_item_aux_edge_base);
    case road_item_miscitem:
        return static_cast<int32_t>(id - road_item_miscitem_base);
    default:
        return static_cast<int32_t>(id);
    }
}
