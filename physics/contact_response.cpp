// The contact response of dynamic objects: what a body that moved into something does to itself and
// to the body it met.
#include "common/bridge_parts.h"
#include "common/game_bridge.h"
#include "physics/cd_geo.h"
#include "physics/contact_math.h"
#include "physics/contact_owner.h"
#include "physics/dynamic_object.h"
#include "physics/phys_body.h"
#include "physics/phys_contact.h"
#include "physics/shared_triangle.h"
#include "physics/vclip.h"

namespace {

// The offence of running into the police truck.
constexpr int32_t offence_hit_police = 120;
// Share of its speed a vehicle keeps when it runs into another.
constexpr float vehicle_speed_kept = 0.9f;
// A body that was hit is pushed this much harder than the stopping impulse.
constexpr float push_factor = 1.5f;
// A kicked box is pushed this much harder, and lifted by this much per second of frame.
constexpr float kick_factor = 3.0f;
constexpr float kick_lift = 300000.0f;

// The impulse along `normal` that cancels the approach `speed` of two points whose combined inverse
// mass along it is `inverse_mass`; zero when nothing can move.
vec3_t stopping_impulse(float speed, float inverse_mass, const vec3_t& normal)
{
    return inverse_mass > 0.0f ? normal * (-speed / inverse_mass) : vec3_t();
}

// The impulse raised to the smallest push when shorter; a zero impulse has no direction and stays zero.
vec3_t at_least_smallest_push(const vec3_t& impulse)
{
    const float length = impulse.length();
    if (length > 0.0f && length < dynamic_object_e::smallest_push)
        return impulse * (dynamic_object_e::smallest_push / length);
    return impulse;
}

}  // namespace

dynamic_object_e::side_t dynamic_object_e::own_side() const
{
    side_t side;
    side.geometry = geometry;
    side.polyhedron = geometry->get_polyhedron();
    side.body = body;
    side.state = &body->next;
    side.frame = frame_at(body->next.position, body->next.orientation);
    return side;
}

dynamic_object_e::side_t dynamic_object_e::other_side(const phys_contact_t& contact)
{
    side_t side;
    side.geometry = contact.second->parent ? contact.second->parent : contact.second;
    side.body = side.geometry->body;
    side.state = &side.geometry->pose;
    side.polyhedron = side.geometry->get_polyhedron();
    if (side.polyhedron) {
        side.frame = frame_at(side.geometry->pose.position, side.geometry->pose.orientation);
        return side;
    }
    // Items come already turned by the geometry's orientation: only the position places them.
    side.frame = frame_at(side.geometry->pose.position, quat_t());
    cd_item_t item;
    item.id = contact.second_item;
    item.request = cd_item_t::request_vertices;
    contact.second->get_item(item, 0);
    if (contact.second_item != cd_item_none && item.vertex_count >= 3 && item.vertex[0] && item.vertex[1] &&
        item.vertex[2])
        side.polyhedron = shared_triangle_set(*item.vertex[0], *item.vertex[1], *item.vertex[2]);
    return side;
}

void dynamic_object_e::on_contact(const phys_contact_t& contact, bool mover)
{
    if (!mover || !body || !body->current || !geometry || !contact.second)
        return;
    const side_t own = own_side();
    const side_t other = other_side(contact);
    if (const contact_owner_t* const record = other.geometry->owner_record) {
        if (record->tag == contact_kind_vehicle) {
            body->next.linear_velocity *= vehicle_speed_kept;
            apply_impact(nullptr, nullptr, 0);
            return;
        }
        if (record->tag == contact_kind_kicked_box) {
            kick(own, other);
            apply_impact(nullptr, nullptr, 0);
            return;
        }
        if (record->tag == contact_kind_police)
            show_player_ticket();
    }
    respond(own, other, contact.second_item);
}

void dynamic_object_e::show_player_ticket()
{
    const game_bridge_t* const bridge = get_game_bridge();
    if (!bridge)
        return;
    const held_part_t<ticket_owner_t> truck(bridge->avatar());
    if (truck.get())
        truck.get()->show_ticket(offence_hit_police, -1);
}

void dynamic_object_e::respond(const side_t& own, const side_t& other, uint32_t other_item)
{
    vclip_contact_t points[most_points];
    const int count = own.polyhedron && other.polyhedron ? vclip_test(*own.polyhedron, own.frame, *other.polyhedron,
                                                                      other.frame, point_tolerance, points, most_points)
                                                         : 0;
    flagged_points = 0;
    if (count == 0) {
        apply_impact(nullptr, nullptr, 0);
        solid_contact = 1;
        return;
    }
    const contact_owner_t* const record = other.geometry->owner_record;
    const bool passes_on = record && record->tag != contact_kind_resting_box && record->tag != 0;
    for (int i = count - 1; i >= 0; --i) {
        const vclip_contact_t& point = points[i];
        apply_impact(&point, other.geometry, other_item);
        if (point.from_first)
            ++flagged_points;
        const vec3_t own_world = mult_point_matrix_fast(own.frame.matrix, point.point_on_first);
        const vec3_t other_world = mult_point_matrix_fast(other.frame.matrix, point.point_on_second);
        const vec3_t own_arm = own_world - own.state->position;
        const vec3_t other_arm = other_world - other.state->position;
        const vec3_t& normal = point.normal;
        const vec3_t other_velocity = other.body ? other.body->point_velocity(point.point_on_second) : vec3_t();
        const float speed = normal.dot(own.body->point_velocity(point.point_on_first) - other_velocity);
        float inverse_mass = inverse_mass_along(*own.body, *own.state, own_arm, normal);
        if (other.body)
            inverse_mass += inverse_mass_along(*other.body, *other.state, other_arm, normal);
        vec3_t impulse = stopping_impulse(speed, inverse_mass, normal);
        own.body->apply_impulse_at(impulse * own_share, nullptr, own_world, nullptr);
        if (!other.body)
            continue;
        impulse = at_least_smallest_push(impulse);
        if (passes_on) {
            impulse *= push_factor;
            other.body->body_flags &= ~phys_body_t::body_held;
            other.body->apply_impulse_at(-impulse, nullptr, other_world, nullptr);
        }
    }
    solid_contact = 1;
}

void dynamic_object_e::kick(const side_t& own, const side_t& other)
{
    // Only a box with a body can be kicked.
    if (!own.polyhedron || !other.polyhedron || !other.body)
        return;
    const cd_feature_t* own_feature = nullptr;
    const cd_feature_t* other_feature = nullptr;
    vec3_t own_point, other_point;
    // Without closest points there is no direction to push in: the kick is skipped.
    if (vclip_run(*own.polyhedron, own.frame, *other.polyhedron, other.frame, own_feature, other_feature, own_point,
                  other_point) == vclip_failed)
        return;
    const vec3_t own_world = mult_point_matrix_fast(own.frame.matrix, own_point);
    const vec3_t other_world = mult_point_matrix_fast(other.frame.matrix, other_point);
    const vec3_t normal = (own_world - other_world).normalized();
    const float speed =
        response_factor * normal.dot(own.body->point_velocity(own_point) - other.body->point_velocity(other_point));
    const float inverse_mass =
        inverse_mass_along(*own.body, *own.state, own_world - own.state->position, normal) +
        inverse_mass_along(*other.body, *other.state, other_world - other.state->position, normal);
    vec3_t impulse = at_least_smallest_push(stopping_impulse(speed, inverse_mass, normal));
    impulse.y -= kick_lift * frame_seconds();
    other.geometry->owner_record->kick_time = process_seconds();
    other.body->body_flags &= ~phys_body_t::body_held;
    other.body->apply_impulse_at(impulse * -kick_factor, nullptr, other_world, nullptr);
}
