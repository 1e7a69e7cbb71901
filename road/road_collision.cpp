#include "road/road_collision.h"

#include "physics/physproc.h"
#include "road/base_ctrl.h"
#include "road/vehicle_roads.h"

void road_collision_t::insert(physproc_t* physics, const uint32_t owner_word)
{
    if (geometry_ || !physics)
        return;
    geometry_ = std::make_unique<road_geo_t>(ctrl_);
    owner_.owner_word = owner_word;
    geometry_->owner_word = owner_.owner_word;
    geometry_->owner_record = &owner_;
    physics_ = physics;
    phys_insert_geom(physics_, geometry_.get());
    // The city blocks collide in the same world, and the street lights lay their pools on the road.
    if (ctrl_.seg_server) {
        ctrl_.seg_server->set_physics(physics, &owner_);
        ctrl_.seg_server->pool_ground = geometry_.get();
    }
}

void road_collision_t::remove()
{
    if (ctrl_.seg_server) {
        ctrl_.seg_server->set_physics(nullptr, nullptr);
        ctrl_.seg_server->pool_ground = nullptr;
    }
    if (!geometry_)
        return;
    if (physics_)
        phys_remove_geom(physics_, geometry_.get());
    physics_ = nullptr;
    geometry_.reset();
}

void road_collision_t::relink()
{
    if (geometry_)
        geometry_->owner_record = &owner_;
    if (ctrl_.seg_server && ctrl_.seg_server->physics())
        ctrl_.seg_server->set_physics(ctrl_.seg_server->physics(), &owner_);
}

int32_t road_collision_t::edge_of_contact(const cd_geo_t* geometry, const uint32_t item) const
{
    if (!geometry_ || geometry != geometry_.get())
        return vehicle_roads_t::no_edge;
    const uint32_t edge = geometry_->edge_of_contact(item);
    return edge >= static_cast<uint32_t>(vehicle_roads_t::no_edge) ? vehicle_roads_t::no_edge
                                                                   : static_cast<int32_t>(edge);
}
