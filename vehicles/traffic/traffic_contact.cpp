// What the traffic does when bodies touch its cars: knocked cars, the player's offence of hitting one,
// and the impulses of a car body that moved into something.
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/game_settings.h"
#include "physics/cd_geo.h"
#include "physics/cd_geo_box.h"
#include "physics/contact_math.h"
#include "physics/contact_owner.h"
#include "physics/phys_body.h"
#include "physics/phys_contact.h"
#include "physics/physproc.h"
#include "physics/shared_triangle.h"
#include "physics/vclip.h"
#include "vehicles/body/car_phys.h"
#include "vehicles/links/police_player.h"
#include "vehicles/traffic/traffic.h"
#include "vehicles/links/vehicle_links.h"
#include "world/car_smoke.h"

namespace {

// The closest-feature test: features farther apart give no contact point; at most this many points.
constexpr float point_tolerance = 2.0f;
constexpr int most_points = 3;
// Longest impulse a car's contact gives, and the shortest it passes on to the body it hit.
constexpr float longest_impulse = 1e6f;
constexpr float shortest_push = 10000.0f;
// The body that was hit is pushed this much harder.
constexpr float push_factor = 1.5f;
// Hitting the economy driver's truck costs the player this much prestige.
constexpr float ai_truck_prestige = -10.0f;
// The AI truck's body is put this much below its geometry when hit.
constexpr float ai_truck_drop = 100.0f;
// Share of knocked cars that start to smoke (when none smokes yet).
constexpr float smoke_chance = 0.9f;

// The tag of a geometry's owner record (a part's is its compound's), -1 for none.
int32_t tag_of(const cd_geo_t* geometry)
{
    for (; geometry; geometry = geometry->parent)
        if (geometry->owner_record)
            return geometry->owner_record->tag;
    return contact_kind_none;
}

// The geometry that carries the body and the owner: a part's compound.
cd_geo_t* root_of(cd_geo_t* geometry) { return geometry && geometry->parent ? geometry->parent : geometry; }

// One side of a contact: its shape and frame, its body (null for fixed geometry) and the state the
// velocities and arms refer to.
struct contact_side_t {
    cd_geo_t* geometry = nullptr;
    const cd_polyhedron_t* polyhedron = nullptr;
    phys_body_t* body = nullptr;
    const phys_state_t* state = nullptr;
    axial_t frame;
};

// The moving side, placed where its body is going.
contact_side_t moving_side(cd_geo_t* first)
{
    contact_side_t side;
    side.geometry = root_of(first);
    side.body = side.geometry->body;
    side.state = side.body ? &side.body->next : &side.geometry->pose;
    side.polyhedron = side.geometry->get_polyhedron();
    side.frame = frame_at(side.state->position, side.state->orientation);
    return side;
}

// The side that was hit; a mesh's hit triangle stands in the shared triangle.
contact_side_t hit_side(const phys_contact_t& contact)
{
    contact_side_t side;
    side.geometry = root_of(contact.second);
    side.body = side.geometry->body;
    side.state = &side.geometry->pose;
    side.polyhedron = side.geometry->get_polyhedron();
    if (side.polyhedron) {
        side.frame = frame_at(side.state->position, side.state->orientation);
        return side;
    }
    // Items come already turned by the geometry's orientation: only the position places them.
    side.frame = frame_at(side.state->position, quat_t());
    cd_item_t item;
    item.id = contact.second_item;
    item.request = cd_item_t::request_vertices;
    contact.second->get_item(item, 0);
    if (contact.second_item != cd_item_none && item.vertex_count >= 3 && item.vertex[0] && item.vertex[1] &&
        item.vertex[2])
        side.polyhedron = shared_triangle_set(*item.vertex[0], *item.vertex[1], *item.vertex[2]);
    return side;
}

// How much an impulse along `normal` at `arm` changes the side's speed there, per unit; 0 without a body.
float side_inverse_mass(const contact_side_t& side, const vec3_t& arm, const vec3_t& normal)
{
    return side.body ? inverse_mass_along(*side.body, *side.state, arm, normal) : 0.0f;
}

}  // namespace

bool traffic_e::is_knocked(const int32_t car) const
{
    return car >= 0 && car < static_cast<int32_t>(cars.size()) &&
           cars[static_cast<size_t>(car)].has(traffic_car_t::status_knocked);
}

void traffic_e::knock_car(const int32_t car)
{
    if (car < 0 || car >= static_cast<int32_t>(cars.size()))
        return;
    traffic_car_t& c = cars[static_cast<size_t>(car)];
    if (!c.has(traffic_car_t::status_knocked))
        knocked.push_back(car);
    c.status |= traffic_car_t::status_knocked;
    c.route.speed = 0.0f;
    c.left_blinker = c.right_blinker = 1;
    c.lights = 0;
    c.knock_time = static_cast<float>(clock);
    c.body_bits &= static_cast<uint8_t>(~1u);
    if (phys_body_t* const body = car_bodies_.body(car)) {
        body->body_flags &= ~phys_body_t::body_held;
        if (physproc_t* const world = physics())
            phys_update_geom(world, car_bodies_.geometry(car));
    }
    if (smoking_car != -1 || game_detail_level() < 1 || c.model == 0)
        return;
    {
        const held_part_t<police_player_t> player(bridge ? bridge->avatar() : entity_handle_t{});
        if (player.get() && player.get()->recovery_active())
            return;
    }
    if (api::sys_rand() <= smoke_chance)
        return;
    smoking_car = car;
    if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke_emitter.resolve()))
        emitter->set_emitting(true);
}

void traffic_e::on_contact(const phys_contact_t& contact, const bool mover)
{
    physics_object_e::on_contact(contact, mover);
    if (!contact.first || !contact.second || cars.empty())
        return;
    if (mover)
        contact_response(contact);
    else
        contact_notified(contact);
}

void traffic_e::contact_notified(const phys_contact_t& contact)
{
    const int32_t mover = tag_of(contact.first);
    const int32_t hit = tag_of(contact.second);
    if (hit >= 0) {
        if (hit == 0 && !is_knocked(0)) {
            // The economy driver's truck stays on its route: its body is put back below its geometry.
            cd_geo_t* const geometry = root_of(contact.second);
            if (phys_body_t* const body = geometry->body) {
                const vec3_t lowered = geometry->pose.position - vec3_t(0.0f, ai_truck_drop, 0.0f);
                geometry->pose.position = lowered;
                body->next.position = lowered;
                geometry->frame_dirty = 1;
            }
        }
        if (mover != contact_kind_kicked_box)
            knock_car(hit);
    }
    if (mover >= 0) {
        if (hit != contact_kind_kicked_box)
            knock_car(mover);
        return;
    }
    if (hit < 0)
        return;
    // Only the player's truck, or the trailer it tows, commits the offence: a car that meets the
    // world, another vehicle or a loose object is no fault of the player's.
    bool by_player = mover == contact_kind_player;
    if (mover == contact_kind_trailer && bridge) {
        const held_part_t<car_phys_e> truck(bridge->avatar());
        by_player = truck.get() && !truck.get()->hitched_trailer.is_null() &&
                    truck.get()->hitched_trailer.word() == root_of(contact.first)->owner_word;
    }
    if (!by_player)
        return;
    report_offence(offence_hit_car, hit);
    if (hit == 0 && mover == contact_kind_player && bridge) {
        const held_part_t<vehicle_economy_t> economy(bridge->economy());
        if (economy.get())
            economy.get()->add_prestige(ai_truck_prestige, true);
    }
}

void traffic_e::contact_response(const phys_contact_t& contact)
{
    const int32_t own_tag = tag_of(contact.first);
    const int32_t other_tag = tag_of(contact.second);
    if (own_tag >= 0 && !is_knocked(own_tag) && other_tag != contact_kind_world && other_tag != contact_kind_kicked_box)
        knock_car(own_tag);
    else if (other_tag >= 0 && !is_knocked(other_tag) && own_tag != contact_kind_world &&
             own_tag != contact_kind_kicked_box)
        knock_car(other_tag);

    const contact_side_t own = moving_side(contact.first);
    const contact_side_t other = hit_side(contact);
    if (!own.polyhedron || !other.polyhedron)
        return;
    vclip_contact_t points[most_points];
    const int count =
        vclip_test(*own.polyhedron, own.frame, *other.polyhedron, other.frame, point_tolerance, points, most_points);
    const bool hit_has_tag = root_of(contact.second)->owner_record != nullptr;
    for (int i = 0; i < count; ++i) {
        const vclip_contact_t& point = points[i];
        const vec3_t& normal = point.normal;
        const vec3_t own_world = mult_point_matrix_fast(own.frame.matrix, point.point_on_first);
        const vec3_t other_world = mult_point_matrix_fast(other.frame.matrix, point.point_on_second);
        const vec3_t own_velocity = own.body ? own.body->point_velocity(point.point_on_first) : vec3_t();
        const vec3_t other_velocity = other.body ? other.body->point_velocity(point.point_on_second) : vec3_t();
        const float inverse_mass = side_inverse_mass(own, own_world - own.state->position, normal) +
                                   side_inverse_mass(other, other_world - other.state->position, normal);
        if (!(inverse_mass > 0.0f))
            continue;
        // Bodies that already move apart get no impulse: a negative one would pull them together.
        const float strength = -normal.dot(own_velocity - other_velocity) * response_factor / inverse_mass;
        if (!(strength > 0.0f))
            continue;
        vec3_t impulse = normal * std::min(strength, longest_impulse);
        if (own.body && own.body->inverse_mass > 0.0f)
            own.body->apply_impulse_at(impulse, nullptr, own_world, nullptr);
        if (!hit_has_tag || !other.body)
            continue;
        const float length = impulse.length();
        if (length < shortest_push)
            impulse = impulse * (shortest_push / length);
        if (other_tag >= 1) {
            knock_car(other_tag);
            other.body->apply_impulse_at(impulse * -push_factor, nullptr, other_world, nullptr);
        } else if (other_tag == contact_kind_kicked_box) {
            other.body->apply_impulse_at(impulse * -push_factor, nullptr, other_world, nullptr);
        }
    }
}
