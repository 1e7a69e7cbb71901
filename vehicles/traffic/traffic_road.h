#pragma once
#include <cstdint>
#include <vector>

// One road on which the traffic may place cars: a road number (all edges of one road share it) or a
// prefab's group of eight curves, with its lane lists.
struct traffic_road_t {
    static constexpr int directions = 2;
    static constexpr int lanes = 8;

    // Empties every lane list.
    void clear_lanes();
    // Whether any lane list still holds a car.
    bool has_cars() const;
    // Whether `edge` is among the road's edges.
    bool has_edge(int32_t edge) const;
    // The road's first edge, -1 when it has none.
    int32_t first_edge() const { return edges.empty() ? -1 : edges.front(); }

    int32_t id = -1;
    // How many segment registrations hold the road.
    int32_t uses = 0;
    // The map edges of the road; grows with every edge a segment registers.
    std::vector<int32_t> edges;
    // Per direction and lane the front-most and rear-most car of that lane list, -1 when empty.
    int32_t first_car[directions][lanes] = {};
    int32_t last_car[directions][lanes] = {};
    // Cars linked to the road.
    uint8_t car_count = 0;
    // 1 once no registration holds the road; the one-second road step removes it when no car is left.
    uint8_t pending_removal = 0;
    // 1 for a prefab's group of curves, 0 for a plain road.
    uint8_t prefab_group = 0;
    // The group's first curve, -1 for a plain road.
    int32_t first_curve = -1;
};
