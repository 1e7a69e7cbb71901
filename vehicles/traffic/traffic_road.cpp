#include "vehicles/traffic/traffic_road.h"

#include <algorithm>

void traffic_road_t::clear_lanes()
{
    for (int d = 0; d < directions; ++d)
        for (int l = 0; l < lanes; ++l)
            first_car[d][l] = last_car[d][l] = -1;
    car_count = 0;
}

bool traffic_road_t::has_cars() const
{
    for (int d = 0; d < directions; ++d)
        for (int l = 0; l < lanes; ++l)
            if (first_car[d][l] != -1 || last_car[d][l] != -1)
                return true;
    return false;
}

bool traffic_road_t::has_edge(const int32_t edge) const { return std::ranges::find(edges, edge) != edges.end(); }
