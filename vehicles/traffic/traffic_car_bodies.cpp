#include "vehicles/traffic/traffic_car_bodies.h"

#include "engine/check.h"
#include "engine/log.h"
#include "physics/body_callback.h"
#include "physics/cd_geo_box.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

namespace {

// The boxes step over ledges up to 25 units high, in sub-steps of 10.
constexpr int32_t car_stair_height = 25;
constexpr float car_sub_step = 10.0f;

}  // namespace

size_t traffic_car_bodies_t::index(const int32_t car)
{
    kv_assert(car >= 0 && car < slot_count);
    return static_cast<size_t>(car);
}

void traffic_car_bodies_t::make(const int32_t car, const vec3_t& extents, const float mass, const vec3_t& position,
                                const quat_t& rotation, const uint32_t owner_word, body_callback_t* callbacks,
                                physproc_t* world)
{
    auto* const geometry = new cd_geo_box_t(extents, nullptr, -1, -1);
    auto* const body = new phys_body_t;
    body->set_mass_box(extents, mass);
    body->move.stair_height = car_stair_height;
    body->move.sub_step_length = car_sub_step;
    body->id = 1;
    contact_owner_t& owner = owners_[index(car)];
    owner.owner_word = owner_word;
    owner.tag = car;
    geometry->owner_record = &owner;
    geometry->owner_word = owner.owner_word;
    geometry->owner_callbacks = callbacks;
    geometry->set_position(position);
    geometry->set_orientation(rotation);
    geometry->pose.update_matrices();
    body->set_geom(geometry);
    geometries_[index(car)] = geometry;
    bodies_[index(car)] = body;
    if (world) {
        phys_insert_geom(world, geometry);
        phys_update_geom(world, geometry);
    }
}

void traffic_car_bodies_t::remove(const int32_t car, physproc_t* world)
{
    cd_geo_box_t*& geometry = geometries_[index(car)];
    phys_body_t*& body = bodies_[index(car)];
    if (geometry && world)
        phys_remove_geom(world, geometry);
    if (body) {
        body->clear_geom();
        delete body;
    }
    delete geometry;
    geometry = nullptr;
    body = nullptr;
}

void traffic_car_bodies_t::relink(const ptrdiff_t delta, body_callback_t* callbacks)
{
    for (int32_t car = 0; car < slot_count; ++car) {
        cd_geo_box_t* const geometry = geometries_[index(car)];
        if (!geometry)
            continue;
        contact_owner_t* const record = &owners_[index(car)];
        const auto moved_from = reinterpret_cast<uintptr_t>(record) - static_cast<uintptr_t>(delta);
        if (reinterpret_cast<uintptr_t>(geometry->owner_record) == moved_from) {
            message("Moving companion %d from %p to %p", car, static_cast<void*>(geometry->owner_record),
                    static_cast<void*>(record));
            geometry->owner_record = record;
        }
        if (reinterpret_cast<uintptr_t>(geometry->owner_callbacks) ==
            reinterpret_cast<uintptr_t>(callbacks) - static_cast<uintptr_t>(delta))
            geometry->owner_callbacks = callbacks;
    }
}
