#pragma once
#include <cstdint>
#include <memory>

#include "physics/contact_owner.h"
#include "road/road_geo.h"

class base_ctrl_e;
class physproc_t;

// The road network's collision in a world's physics: one road geometry over the controller's map,
// its owner record (the controller's handle, kind world), and the city blocks and street-light pools
// of the segment server put into the same world.
class road_collision_t {
public:
    explicit road_collision_t(base_ctrl_e& ctrl) : ctrl_(ctrl) {}
    road_collision_t(const road_collision_t&) = delete;
    road_collision_t& operator=(const road_collision_t&) = delete;

    // Puts the road collision into `physics` (once) for the owner `owner_word`.
    void insert(physproc_t* physics, uint32_t owner_word);
    // Takes it out again and deletes the geometry (the controller goes).
    void remove();
    // The controller moved (this record with it): the geometries point at the owner record again.
    void relink();
    // The geometry, null before it was inserted.
    road_geo_t* geometry() const { return geometry_.get(); }
    // The edge a wheel's ray hit on the road collision belongs to; no_edge for any other geometry.
    int32_t edge_of_contact(const cd_geo_t* geometry, uint32_t item) const;

private:
    base_ctrl_e& ctrl_;
    std::unique_ptr<road_geo_t> geometry_;
    contact_owner_t owner_{0, contact_kind_world, 0.0f};
    // The physics process the geometry was inserted into.
    physproc_t* physics_ = nullptr;
};
