#include "physics/collision_object.h"

#include <cstdint>

#include "engine/entity_proc.h"
#include "physics/cd_geo.h"

collision_object_e::~collision_object_e() { release_geometry(); }

int collision_object_e::destroy(int phase)
{
    if (phase == 0)
        release_geometry();
    return object_e::destroy(phase);
}

void collision_object_e::release_geometry()
{
    if (!geometry)
        return;
    if (geometry->use_count <= 1) {
        delete geometry;
    } else {
        --geometry->use_count;
        // Another user keeps the geometry: it must not point into this object any more.
        if (geometry->owner_record == &contact_owner) {
            geometry->owner_record = nullptr;
            geometry->owner_word = 0;
        }
        if (geometry->owner_callbacks == this)
            geometry->owner_callbacks = nullptr;
    }
    geometry = nullptr;
}

void collision_object_e::mem_move(ptrdiff_t delta)
{
    object_e::mem_move(delta);
    if (!geometry)
        return;
    // Only what pointed into the object before the move follows it; an owner may have pointed the
    // geometry at a record of its own.
    const auto moved_from = [delta](const void* now) { return reinterpret_cast<uintptr_t>(now) - delta; };
    body_callback_t* const callbacks = this;
    if (reinterpret_cast<uintptr_t>(geometry->owner_record) == moved_from(&contact_owner))
        geometry->owner_record = &contact_owner;
    if (reinterpret_cast<uintptr_t>(geometry->owner_callbacks) == moved_from(callbacks))
        geometry->owner_callbacks = callbacks;
}

vec3_t* collision_object_e::position_ptr() { return geometry ? &geometry->pose.position : nullptr; }

void collision_object_e::link_geom()
{
    contact_owner.tag = contact_kind_none;
    if (!geometry)
        return;
    geometry->owner_record = &contact_owner;
    geometry->owner_word = handle().word();
    geometry->owner_callbacks = this;
}

bool collision_object_e::filter_impulse(int, vec3_t& linear, vec3_t& angular, const phys_impact_t*)
{
    const float factor = 1.0f - 0.7f * frame_seconds();
    linear *= factor;
    angular *= factor;
    return true;
}

float collision_object_e::frame_seconds() const
{
    return process() ? static_cast<float>(process()->frame_seconds()) : 0.0f;
}

float collision_object_e::process_seconds() const
{
    return process() ? static_cast<float>(process()->process_time()) : 0.0f;
}
