#pragma once
// Puts cars into a traffic entity's free slots the way its own spawn places them (a road, a lane, a
// place along the edge, the car's lane list), but at any distance from the other cars' lanes, so a
// benchmark runs the full slot count instead of the spawn's spacing-limited few.
#include <cstdint>
#include <random>
#include <vector>

#include "road/game_ctrl.h"
#include "vehicles/traffic/traffic.h"

// A road a car may be put on: its slot among the traffic's roads and one of its open-road edges.
struct traffic_fill_road_t {
    int32_t road_slot;
    int32_t edge;
};

// Fills the free slots (never the economy driver's slot 0) with cars, each at a random place of a random
// road of `roads` at least 25 m from every other car; gives up after four tries a slot. `keep` says
// whether a place is wanted (the frame benchmark keeps cars near the viewer).
template <typename keep_t>
void traffic_fill(traffic_e& traffic, game_ctrl_e& ctrl, const std::vector<traffic_fill_road_t>& roads,
                  std::mt19937& random, const double clock, keep_t keep)
{
    if (roads.empty() || traffic.catalogue().empty())
        return;
    std::uniform_real_distribution<float> share(0.05f, 0.95f);
    for (size_t tries = 0; tries < 4 * traffic.cars.size() && !traffic.free_slots.empty(); ++tries) {
        const traffic_fill_road_t& road = roads[random() % roads.size()];
        const bool forward = random() % 2 == 0;
        const int32_t car = traffic.free_slots.back();
        traffic_car_t& c = traffic.cars[static_cast<size_t>(car)];
        c = traffic_car_t{};
        c.model = static_cast<uint8_t>(random() % traffic.catalogue().size());
        if (!ctrl.enter_edge(c.route, road.edge, forward, 0.0f, 1.0f, share(random), 0.0f) || !keep(c.route.position))
            continue;
        bool clear = true;
        for (const int32_t other : traffic.spawned)
            if ((traffic.cars[static_cast<size_t>(other)].route.position - c.route.position).length_sq() <
                2500.0f * 2500.0f)
                clear = false;
        if (!clear)
            continue;
        traffic.free_slots.pop_back();
        traffic.spawned.push_back(car);
        c.road_slot = road.road_slot;
        c.state = 1;
        c.entry_edge = road.edge;
        c.decision_stamp = clock;
        if (!traffic.place_car(car, 1, forward ? 1 : 0)) {
            traffic.release_car(car, false);
            continue;
        }
        c.route.speed = static_cast<float>(c.cruise_speed);
    }
}
