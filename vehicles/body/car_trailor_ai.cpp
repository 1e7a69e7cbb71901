#include "common/bridge_parts.h"
#include "engine/psm.h"
#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "vehicles/body/car_trailor.h"
#include "vehicles/links/vehicle_links.h"

namespace {

// The hitch of an AI truck is its road point raised by this much.
constexpr float ai_hitch_lift = 100.0f;

}  // namespace

void car_trailor_e::attach_to_ai_truck(const char* make, const int variant, const vec3_t& where, const quat_t& turn)
{
    load_make(make ? make : "", variant);
    dock_slot_held = false;
    towed_by_ai = true;
    vehicle_active = true;
    place_at(where, turn);
    if (geometry)
        rebuild_body(1);
    if (psm_t* const base = models[2].model)
        api::psm_part_set_visible(base, feet_part, false);
    place_on_ground(0);
}

void car_trailor_e::follow_ai_truck()
{
    const held_part_t<ai_truck_tow_t> traffic(traffic_link);
    if (!traffic.get() || !geometry || traffic.get()->ai_truck_knocked())
        return;
    // The AI truck has no chassis the trailer's nose could rest on, as a player's truck has: left to
    // its wheels the trailer would tip about its rear axle until it stood on end. It is held level
    // instead, turning only about the vertical, with its kingpin at the hitch, which also carries its
    // weight.
    vec3_t heading = geometry->pose.orientation.rotate(vec3_t{0.0f, 0.0f, -1.0f});
    heading.y = 0.0f;
    if (heading.length_sq() > 0.0f) {
        quat_t level;
        level.set_cartes(heading);
        geometry->set_orientation(level);
        geometry->pose.update_matrices();
    }
    if (body && body->current) {
        body->current->angular_velocity = vec3_t();
        body->current->linear_velocity = vec3_t();
    }
    vec3_t position;
    quat_t rotation;
    traffic.get()->ai_truck_pose(position, rotation);
    align_to_hitch(position + vec3_t{0.0f, ai_hitch_lift, 0.0f});
}
