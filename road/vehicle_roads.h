#pragma once
#include <cstdint>

class cd_geo_t;

// What a vehicle's wheels ask of the map controller about the road under them. The game controller
// implements it; the vehicles reach it through the bridge's base controller.
class vehicle_roads_t {
public:
    // Edge indices from this value up mean "no edge".
    static constexpr int32_t no_edge = 500000000;

    virtual ~vehicle_roads_t() = default;
    // The road edge that holds a ray hit on `geometry`'s item `item`; no_edge or more (or below 0) when
    // none.
    virtual int32_t edge_of_contact(const cd_geo_t* geometry, uint32_t item) const = 0;
    // The surface class of an edge: -1 for forks, crosses and prefabs, else 0..3.
    virtual int32_t edge_surface_class(int32_t edge) const = 0;
};
