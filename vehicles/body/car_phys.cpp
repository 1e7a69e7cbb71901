#include "vehicles/body/car_phys.h"

#include <algorithm>
#include <cmath>

#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "physics/scene_proc.h"
#include "physics/cd_geo_box.h"
#include "physics/cd_geo_compound.h"
#include "physics/phys_body.h"
#include "physics/phys_contact.h"
#include "physics/physproc.h"
#include "physics/vclip.h"
#include "vehicles/links/vehicle_links.h"
#include "world/owning_process.h"

namespace {

// Squared velocity beyond which the runaway guard cuts a velocity to runaway_length.
constexpr float runaway_sq = 2.5e11f;
constexpr float runaway_length = 100000.0f;
// Wheel turns per centimetre travelled.
constexpr float turns_per_cm = 0.0028951939f;

// Cuts `v` to runaway_length when it is beyond the guard.
void guard_runaway(vec3_t& v)
{
    if (v.length_sq() > runaway_sq)
        v = v.normalized() * runaway_length;
}

}  // namespace

int car_phys_pair(uintptr_t user, const cd_geo_t*, const cd_geo_t* candidate)
{
    const auto* const car = reinterpret_cast<const car_phys_e*>(user);
    const cd_geo_t* top = candidate;
    while (top->parent)
        top = top->parent;
    if (top == car->geometry)
        return phys_pair_ignore;
    if (top->owner_word) {
        if (const entity_t* const owner = entity_handle_t::from_word(top->owner_word).resolve())
            if (car->filter.query(owner) == 0)
                return phys_pair_ignore;
    }
    return phys_pair_solid;
}

car_phys_e::car_phys_e()
{
    flags = flag_apply_forces | flag_wheel_contacts;
    // Pre-drawn: the shadow and headlight decals are placed before the frame draws.
    type_flags |= 4u;
    filter.clear(1);
    for (const uint32_t mask : {2u, 0x80u, 0x100u})
        filter.add_rule(mask, 0, false);
    for (int i = 0; i < 4; ++i)
        corners[i].direction = {i == 0 || i == 3 ? 1.0f : -1.0f, 0.0f, i < 2 ? -1.0f : 1.0f};
    for (int i = 0; i < 4; ++i)
        corners[i].direction = corners[i].direction.normalized();
}

car_phys_e::~car_phys_e() { free_models(); }

physproc_t* car_phys_e::physics() const
{
    // Through the block as well: a block's destroy phases run after its process let the entities go,
    // and the body must still leave the physics then.
    auto* const scene = dynamic_cast<scene_proc_t*>(owning_process(*this));
    return scene ? &scene->physics() : nullptr;
}

float car_phys_e::step_seconds() const
{
    const physproc_t* const world = physics();
    if (world && world->step_count() > 0)
        return world->last_step();
    return frame_seconds();
}

int car_phys_e::init(int phase)
{
    if (const int failed = dynamic_object_e::init(phase))
        return failed;
    if (phase == 0) {
        if (const game_bridge_t* const bridge = get_game_bridge()) {
            environment_link = bridge->environment();
            traffic_link = bridge->traffic();
            economy_link = bridge->economy();
            controller_link = bridge->base_ctrl();
        }
        grip = 1.0f;
    }
    return 0;
}

int car_phys_e::destroy(int phase)
{
    if (phase == 0) {
        free_models();
        if (geometry && compound && inserted_into_)
            phys_remove_geom(inserted_into_, geometry);
        inserted_into_ = nullptr;
        compound = nullptr;
        box_parts[0] = box_parts[1] = nullptr;
        if (!offered_trailer.is_null()) {
            offered_trailer.release();
            offered_trailer = {};
        }
    }
    return dynamic_object_e::destroy(phase);
}

void car_phys_e::mem_move(ptrdiff_t delta)
{
    dynamic_object_e::mem_move(delta);
    const auto moved_from = reinterpret_cast<uintptr_t>(&contact_owner) - delta;
    for (cd_geo_t* const part : box_parts)
        if (part && reinterpret_cast<uintptr_t>(part->owner_record) == moved_from)
            part->owner_record = &contact_owner;
}

void car_phys_e::free_models()
{
    for (car_model_slot_t& slot : models)
        free_slot(slot);
}

void car_phys_e::free_slot(car_model_slot_t& slot)
{
    if (slot.model)
        api::psm_free(slot.model);
    free_vehicle_flares(slot.flares);
    slot = car_model_slot_t{};
}

vec3_t car_phys_e::get_position() const { return geometry ? geometry->pose.position : position; }

quat_t car_phys_e::get_orientation() const { return geometry ? geometry->pose.orientation : quat_t(); }

vec3_t car_phys_e::to_world(const vec3_t& local) const
{
    if (!geometry)
        return local + position;
    return geometry->pose.orientation.rotate(local) + geometry->pose.position;
}

vec3_t car_phys_e::vector_to_world(const vec3_t& local) const
{
    return geometry ? geometry->pose.orientation.rotate(local) : local;
}

vec3_t car_phys_e::vector_to_local(const vec3_t& world) const
{
    return geometry ? geometry->pose.orientation.conjugate().rotate(world) : world;
}

void car_phys_e::set_transform(const vec3_t& where, const quat_t& turn)
{
    position = where;
    if (!geometry)
        return;
    quat_t unit = turn;
    unit.normalize();
    geometry->set_position(where);
    geometry->set_orientation(unit);
    geometry->pose.update_matrices();
    if (body)
        body->next = geometry->pose;
    if (physproc_t* const world = physics())
        phys_update_geom(world, geometry);
}

void car_phys_e::set_mass(float mass)
{
    if (body)
        body->set_mass(mass);
}

void car_phys_e::drive_point(vec3_t& out) const
{
    vec3_t local = (wheels[0].force_point + wheels[1].force_point) * 0.5f;
    local.y += size.y * 0.5f;
    out = to_world(local);
}

void car_phys_e::offer_trailer(entity_handle_t trailer)
{
    if (!hitched_trailer.is_null() || trailer == offered_trailer)
        return;
    if (!offered_trailer.is_null())
        offered_trailer.release();
    offered_trailer = trailer.add_use() ? trailer : entity_handle_t{};
}

void car_phys_e::trailer_removing(entity_handle_t trailer)
{
    if (trailer.is_null() && offered_trailer.is_null()) {
        api::error("removing NULL void car_phys_e::trailer_removing(c_item_t *p)");
        offered_trailer = {};
        return;
    }
    if (trailer == offered_trailer) {
        offered_trailer.release();
        offered_trailer = {};
    }
}

void car_phys_e::set_damage(float amount)
{
    damage = std::min(damage + amount, 1.0f);
    if (!is_player)
        return;
    held_part_t<vehicle_economy_t> economy(economy_link);
    if (economy.get())
        economy.get()->set_hud_damage(damage);
}

void car_phys_e::put_still(const vec3_t& where, const quat_t& turn)
{
    set_transform(where, turn);
    if (body && body->current) {
        body->current->linear_velocity = vec3_t();
        body->current->angular_velocity = vec3_t();
        body->next = *body->current;
    }
    if (physproc_t* const world = physics(); world && geometry)
        phys_update_geom(world, geometry);
}

float car_phys_e::impact_speed(const vclip_contact_t* point) const
{
    if (!point || !body || !body->current)
        return 0.0f;
    const float n_length = std::sqrt(point->normal.length_sq());
    if (n_length <= 0.0f)
        return 0.0f;
    return std::fabs(body->current->linear_velocity.dot(point->normal / n_length)) - 100.0f;
}

void car_phys_e::apply_impact(const vclip_contact_t* point, cd_geo_t*, uint32_t)
{
    if (!point || !body || !body->current)
        return;
    const float n_length = std::sqrt(point->normal.length_sq());
    if (n_length <= 0.0f)
        return;
    const vec3_t n = point->normal / n_length;
    const float impact = impact_speed(point);
    const vec3_t local_n = vector_to_local(n);

    if (since_deform > 0.5f && cabin_slot >= 0) {
        psm_t* const cabin = models[cabin_slot].model;
        for (int i = 0; i < deform_count && impact > 0.0f; ++i) {
            car_deform_bone_t& bone = deform_bones[i];
            const float along = bone.direction.dot(local_n);
            if (along <= 0.8f || bone.amount >= 1.0f)
                continue;
            bone.amount = std::min(bone.amount + impact * 1e-7f * along, 1.0f);
            const vec3_t offset = bone.direction * (-bone.amount * 50.0f);
            if (cabin)
                api::psm_bone_set_ext_pos(cabin, bone.bone, &offset);
        }
    }
    if (!is_player) {
        // A touch slower than the threshold takes no damage (a negative amount would repair).
        if (impact > 0.0f)
            set_damage(impact * 2e-9f);
    } else {
        for (int i = 0; i < 4 && impact > 0.0f; ++i) {
            car_corner_damage_t& corner = corners[i];
            const float along = corner.direction.dot(local_n);
            if (along <= 0.7f || corner.amount >= 1.0f)
                continue;
            corner.amount += impact * 7.692308e-8f * along;
            if (corner.amount >= 1.0f) {
                corner.amount = 1.0f;
                set_damage(1.0f);
                vec3_t place = to_world(wheels[i].force_point);
                place.y -= 100.0f;
                corner.place = place;
            }
        }
    }
    since_deform = 0.0f;
}

bool car_phys_e::filter_impulse(int, vec3_t&, vec3_t&, const phys_impact_t*) { return false; }

void car_phys_e::handler()
{
    dynamic_object_e::handler();
    const float dt = frame_seconds();
    const vec3_t now = get_position();
    position = now;

    const vec3_t moved = vector_to_local(reference_position - now);
    const float turns = -(-moved.z) * turns_per_cm;
    spin_angle = std::fmod(spin_angle - turns * 360.0f, 360.0f);
    if (dt > 0.0001f)
        wheel_rpm = static_cast<uint16_t>(std::min(std::fabs(turns / dt * 60.0f), 65535.0f));
    reference_position = now;

    since_deform += dt;

    if (body && body->current) {
        guard_runaway(body->current->linear_velocity);
        guard_runaway(body->current->angular_velocity);
    }

    if (speed > 5.0f) {
        if (wheels[2].ground_kind != 4 && wheels[3].ground_kind != 4)
            for (int i = 0; i < rear_wheel_count && i < rear_visual_limit; ++i)
                rear_visual[i] += api::sys_rand() * 6.0f;
        if (wheels[0].ground_kind != 4 && wheels[1].ground_kind != 4)
            for (float& offset : front_visual)
                offset += api::sys_rand() * 6.0f;
    }
}

void car_phys_e::create_body(int mode)
{
    const float sx = size.x, sy = size.y, sz = size.z, w = wheel_offset;
    wheels[0].force_point = {sx * 0.5f, -sy * 0.5f, w - sz * 1.8f};
    wheels[1].force_point = {-sx * 0.5f, -sy * 0.5f, w - sz * 1.8f};
    wheels[2].force_point = {-sx * 0.5f, -sy * 0.5f, sz * 1.8f - w};
    wheels[3].force_point = {sx * 0.5f, -sy * 0.5f, sz * 1.8f - w};

    physproc_t* const world = physics();
    vec3_t where = position;
    quat_t turn;
    if (geometry) {
        where = geometry->pose.position;
        turn = geometry->pose.orientation;
        if (inserted_into_ && compound)
            phys_remove_geom(inserted_into_, geometry);
        inserted_into_ = nullptr;
        if (body)
            body->clear_geom();
        delete geometry;
        geometry = nullptr;
        compound = nullptr;
        box_parts[0] = box_parts[1] = nullptr;
    }
    if (!body) {
        body = new phys_body_t;
        const float inertia_length = std::max(2.0f * sz - 2.0f * w, box_length > 0.0f ? box_length : 1.0f);
        body->set_mass_box({std::max(sx, 1.0f), std::max(sy, 1.0f), inertia_length}, base_mass);
        body->move.stair_height = 25;
        body->move.sub_step_length = 10.0f;
    }

    const float length = box_length > 0.0f ? box_length : std::max(2.0f * sz, 10.0f);
    const float width = std::max(sx, 10.0f);
    vec3_t first_size, second_size, first_at, second_at;
    if (!is_trailer) {
        // The chassis box over the wheels and the cabin box on its front.
        first_size = {width, sy, length};
        first_at = box_centre;
        const float cabin = std::max(cabin_measures[0], 10.0f);
        second_size = {width, sy * 1.5f, cabin};
        second_at = {0.0f, sy * 1.25f, box_centre.z - length * 0.5f + cabin * 0.5f};
    } else {
        // The trailer's deck, and in free mode the landing gear under its nose; hitched, a short nose
        // box that rides above the truck.
        first_size = {width, sy, length};
        first_at = {0.0f, sy * 0.5f, box_centre.z};
        second_size = {width * 0.5f, sy * 0.5f, 50.0f};
        const float nose = box_centre.z - length * 0.5f + 25.0f;
        second_at = mode == 1 ? vec3_t{0.0f, sy * 1.25f, nose} : vec3_t{0.0f, -sy * 0.25f, nose};
    }
    axial_t first_frame, second_frame;
    first_frame.translate(first_at);
    second_frame.translate(second_at);
    compound = new cd_geo_compound_t(2);
    compound->set_name(is_trailer ? "trailer" : "vehicle");
    compound->build_begin();
    box_parts[0] = new cd_geo_box_t(first_size, &first_frame, -1, -1);
    box_parts[1] = new cd_geo_box_t(second_size, &second_frame, -1, -1);
    for (cd_geo_t* const part : box_parts)
        compound->build_object(part);
    compound->build_end();
    geometry = compound;
    link_geom();
    contact_owner.tag = contact_kind_vehicle;
    // The boxes name the vehicle too, so filters asked about a part find its owner.
    for (cd_geo_t* const part : box_parts) {
        part->owner_record = &contact_owner;
        part->owner_word = geometry->owner_word;
    }
    body->id = is_trailer ? 2 : 0;
    geometry->set_position(where);
    geometry->set_orientation(turn);
    geometry->pose.update_matrices();
    body->next = geometry->pose;
    if (world) {
        phys_insert_geom(world, geometry);
        inserted_into_ = world;
    }
}

bool car_phys_e::place_on_ground(int mode)
{
    physproc_t* const world = physics();
    if (!world || !geometry)
        return false;
    phys_pose_t start;
    start.position = geometry->pose.position + vec3_t{0.0f, 150.0f, 0.0f};
    start.orientation = geometry->pose.orientation;
    phys_pose_t end = start;
    end.position = geometry->pose.position - vec3_t{0.0f, 3000.0f, 0.0f};
    const phys_pair_t pair{car_phys_pair, reinterpret_cast<uintptr_t>(this)};
    phys_pose_t reached;
    const phys_contact_t* const hit = world->collide_geom(start, end, geometry, 20.0f, 1.0f, &pair, &reached);
    if (!hit)
        return true;
    const cd_geo_t* other = hit->second;
    while (other && other->parent)
        other = other->parent;
    const int32_t tag = other && other->owner_record ? other->owner_record->tag : -1;
    if (tag == contact_kind_vehicle || (mode == 0 && tag == contact_kind_player))
        return false;
    vec3_t placed = reached.position;
    placed.y += 80.0f;
    geometry->set_position(placed);
    if (body) {
        body->current->linear_velocity = vec3_t();
        body->current->angular_velocity = vec3_t();
        body->next = *body->current;
    }
    position = placed;
    reference_position = placed;
    phys_update_geom(world, geometry);
    return true;
}
