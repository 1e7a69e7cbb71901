#include "physics/physics_object.h"

#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/shared_triangle.h"

physics_object_e::~physics_object_e() { release_body(); }

void physics_object_e::handler()
{
    if (contact_timer >= 0.0f)
        contact_timer -= frame_seconds();
    else
        in_contact = false;
    if (body && moved && geometry) {
        position = geometry->pose.position;
        moved = false;
    }
}

int physics_object_e::init(int phase)
{
    if (const int failed = collision_object_e::init(phase))
        return failed;
    if (phase != 0)
        return 0;
    contact_owner.owner_word = handle().word();
    if (!holds_triangle_) {
        shared_triangle_acquire();
        holds_triangle_ = true;
    }
    return 0;
}

int physics_object_e::destroy(int phase)
{
    if (phase == 0)
        release_body();
    return collision_object_e::destroy(phase);
}

void physics_object_e::release_body()
{
    if (body) {
        body->clear_geom();
        delete body;
        body = nullptr;
    }
    if (holds_triangle_) {
        shared_triangle_release();
        holds_triangle_ = false;
    }
}

void physics_object_e::link_geom()
{
    collision_object_e::link_geom();
    if (body && geometry)
        body->set_geom(geometry);
}

void physics_object_e::on_contact(const phys_contact_t&, bool)
{
    in_contact = true;
    contact_timer = contact_hold_seconds;
}

bool physics_object_e::on_touch(const vec3_t&, const quat_t&)
{
    moved = true;
    return false;
}

bool physics_object_e::filter_impulse(int, vec3_t&, vec3_t&, const phys_impact_t*) { return false; }
