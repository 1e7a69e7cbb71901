#include "vehicles/body/car_trailor.h"

#include <algorithm>
#include <cmath>

#include "engine/eblock.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/psm.h"
#include "common/bridge_parts.h"
#include "common/game_settings.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"
#include "vehicles/body/car_truck.h"
#include "vehicles/links/vehicle_links.h"

namespace {

// Squared distances in square centimetres.
constexpr float offer_distance_sq = 40000.0f;       // 2 m from the kingpin
constexpr float delivery_distance_sq = 4000000.0f;  // 20 m from the target
constexpr float left_behind_distance_sq = 4.0e8f;   // 200 m from the player
constexpr float dock_distance_sq = 2.25e8f;         // 150 m from where it was placed
constexpr float fade_speed = 510.0f;                // alpha units a second
constexpr float degrees_per_radian = 57.2957763671875f;

}  // namespace

car_trailor_e::car_trailor_e()
{
    entity_flags |= 2u;
    is_trailer = 1;
    size = {200.0f, 100.0f, 400.0f};
    wheel_offset = 0.2f * size.z;
    wheels[0].ray_point = {size.x * 0.5f, -size.y * 0.5f, -1.33f * size.z};
    wheels[1].ray_point = {-size.x * 0.5f, -size.y * 0.5f, -1.33f * size.z};
}

car_trailor_e::~car_trailor_e()
{
    if (rear_wheel_model)
        api::psm_free(rear_wheel_model);
}

int car_trailor_e::init(int phase)
{
    if (const int failed = car_phys_e::init(phase))
        return failed;
    if (phase == 0) {
        if (const game_bridge_t* const bridge = get_game_bridge())
            player_link = bridge->avatar();
        open_job_window();
    }
    return 0;
}

int car_trailor_e::destroy(int phase)
{
    if (phase == 0) {
        close_job_window();
        // Only the player's own job trailer, not delivered, gives its job back; a trailer towed by the
        // traffic or one already paid for leaves the player's job alone.
        if (!dock_slot_held && job_index >= 0 && hitched_by_player && !delivered && !towed_by_ai) {
            held_part_t<vehicle_economy_t> economy(economy_link);
            if (economy.get())
                economy.get()->set_player_job(job_index, nullptr);
        }
        if (player_link.add_use()) {
            if (auto* const player = dynamic_cast<car_phys_e*>(player_link.resolve()))
                player->trailer_removing(handle());
            player_link.release();
        }
        if (rear_wheel_model)
            api::psm_free(rear_wheel_model);
        rear_wheel_model = nullptr;
    }
    return car_phys_e::destroy(phase);
}

void car_trailor_e::set_contact_kind()
{
    contact_owner.tag = contact_kind_trailer;
    if (geometry) {
        geometry->owner_record = &contact_owner;
        geometry->owner_word = handle().word();
    }
}

void car_trailor_e::get_hitch_point(vec3_t& out)
{
    vec3_t local = (wheels[2].force_point + wheels[3].force_point) * 0.5f;
    local.y -= size.y * 0.5f;
    local.z -= 635.0f;
    out = to_world(local);
}

void car_trailor_e::set_damage(float amount)
{
    car_phys_e::set_damage(amount * damage_factor);
    if (towing_truck.add_use()) {
        if (auto* const truck = dynamic_cast<trailer_tower_t*>(towing_truck.resolve()))
            truck->set_trailer_damage_text(static_cast<int32_t>(std::lround(damage * 100.0f)));
        towing_truck.release();
    }
}

void car_trailor_e::rebuild_body(int mode)
{
    if (!geometry) {
        api::error("Trailer geom == NULL ! (car_trailor_e::attach())");
        return;
    }
    const vec3_t where = geometry->pose.position;
    const quat_t turn = geometry->pose.orientation;
    position = where;
    create_body(mode);
    set_contact_kind();
    geometry->set_position(where);
    geometry->set_orientation(turn);
    geometry->pose.update_matrices();
    if (body)
        body->next = geometry->pose;
    if (physproc_t* const world = physics())
        phys_update_geom(world, geometry);
}

void car_trailor_e::attach()
{
    if (body)
        body->body_flags &= ~static_cast<uint32_t>(phys_body_t::body_held);
    left_behind = false;
    vehicle_active = true;
    reference_position = get_position();
    if (psm_t* const base = models[2].model)
        api::psm_part_set_visible(base, feet_part, false);
    hitched_by_player = true;
    {
        held_part_t<vehicle_economy_t> economy(economy_link);
        if (economy.get())
            economy.get()->set_player_job(job_index, &spawn_target);
    }
    if (geometry) {
        rebuild_body(1);
        hitch_timer = 0.0f;
    } else {
        api::error("Trailer geom == NULL ! (car_trailor_e::attach())");
    }
    alpha = 255.0f;
    if (game_detail_level() == 1)
        set_high_detail(true);
}

void car_trailor_e::detach()
{
    if (!vehicle_active && towing_truck.is_null())
        return;
    if (game_detail_level() == 1)
        set_high_detail(false);
    left_behind = true;
    vehicle_active = false;
    const entity_handle_t truck = towing_truck;
    towing_truck = {};
    if (truck.add_use()) {
        if (auto* const tower = dynamic_cast<trailer_tower_t*>(truck.resolve()))
            tower->detach_trailer(false);
        truck.release();
    }
    lights = 0;
    const vec3_t to_target = get_position() - spawn_target;
    if (job_index >= 0 && !delivered && to_target.length_sq() < delivery_distance_sq) {
        delivered = true;
        held_part_t<vehicle_economy_t> economy(economy_link);
        if (economy.get())
            economy.get()->deliver_player_job(job_index, damage);
        fade_state = -1;
        alpha = 255.0f;
    }
    if (psm_t* const base = models[2].model)
        api::psm_part_set_visible(base, feet_part, true);
    rebuild_body(0);
}

vec3_t car_trailor_e::align_to_hitch(const vec3_t& hitch)
{
    const vec3_t p = geometry->pose.position;
    const quat_t m = geometry->pose.orientation;
    vec3_t d = hitch - p;
    if (d.length_sq() > 0.0f)
        d = d.normalized();
    const vec3_t correction = hitch + d * kingpin_local.z - p;

    vec3_t front;
    drive_point(front);
    vec3_t f = (front - p).normalized();
    const vec3_t s = m.rotate(wheels[0].force_point - wheels[1].force_point).normalized();

    const quat_t inverse = m.conjugate();
    vec3_t dl = inverse.rotate(d).normalized();
    vec3_t fl = inverse.rotate(f).normalized();
    dl.y = fl.y;
    dl = dl.normalized();
    fl = fl.normalized();
    d = m.rotate(dl);
    f = m.rotate(fl);

    const float yaw = vec3_angle(d, f) * degrees_per_radian;
    const float sign = d.dot(s) > 0.0f ? 1.0f : -1.0f;
    quat_t turn;
    turn.set({0.0f, 1.0f, 0.0f}, -(yaw * sign));
    quat_t turned = turn * m;
    turned.normalize();
    geometry->set_orientation(turned);
    geometry->set_position(p + correction);
    geometry->pose.update_matrices();
    if (physproc_t* const world = physics())
        phys_update_geom(world, geometry);
    last_yaw = yaw;
    last_correction = std::sqrt(correction.length_sq());
    return f;
}

void car_trailor_e::hitch_step(car_phys_e& truck)
{
    vec3_t hitch;
    truck.get_hitch_point(hitch);
    const vec3_t f = align_to_hitch(hitch);
    vec3_t truck_front;
    truck.drive_point(truck_front);
    const vec3_t t = (truck_front - hitch).normalized();
    last_articulation = vec3_angle(t, f);
    const float yaw = last_yaw;

    const auto* const towing = dynamic_cast<const car_truck_e*>(&truck);
    const float limit = towing && towing->get_speed() < 100.0f ? 2000.0f : 8000.0f;
    const float frame = std::max(step_seconds(), 0.01f);
    if (hitch_timer > 1.5f && (std::fabs(yaw) > 10.0f || last_articulation > 1.7f || last_correction > frame * limit)) {
        if (auto* const pager = dynamic_cast<pager_owner_t*>(&truck))
            pager->pager_message("@@ui_trailer_lost@@", 1);
        if (auto* const tower = dynamic_cast<trailer_tower_t*>(&truck))
            tower->start_notice();
        detach();
        return;
    }
    hitch_timer += frame;
}

void car_trailor_e::apply_forces()
{
    if (destroy_requested || !body || !body->current)
        return;
    if (idle_timer >= 5.0f && towing_truck.is_null() && !towed_by_ai) {
        body->current->linear_velocity = vec3_t();
        body->current->angular_velocity = vec3_t();
    } else {
        car_phys_e::apply_forces();
        idle_timer += step_seconds();
    }
    if (towed_by_ai) {
        follow_ai_truck();
        if (body && body->current) {
            body->current->linear_velocity.x = 0.0f;
            body->current->linear_velocity.z = 0.0f;
        }
        return;
    }
    if (towing_truck.is_null() || !towing_truck.add_use())
        return;
    if (auto* const truck = dynamic_cast<car_phys_e*>(towing_truck.resolve())) {
        lights = truck->get_lights();
        hitch_step(*truck);
        if (body && body->current) {
            body->current->linear_velocity.x = 0.0f;
            body->current->linear_velocity.z = 0.0f;
        }
    }
    towing_truck.release();
}

void car_trailor_e::remove_block()
{
    entity_proc_t* const world = process();
    if (world && block())
        world->destroy_eblock(block());
}

void car_trailor_e::release_dock_slot()
{
    if (!dock_slot_held)
        return;
    held_part_t<vehicle_economy_t> economy(economy_link);
    if (economy.get())
        economy.get()->dock_slot_release(dock_owner, dock_slot);
    dock_slot_held = false;
}

void car_trailor_e::unhitched_step(float dt)
{
    if (!player_link.add_use())
        return;
    auto* const player = dynamic_cast<car_phys_e*>(player_link.resolve());
    if (!player) {
        player_link.release();
        return;
    }
    kingpin_world = to_world(kingpin_local);
    const float distance_sq = (player->get_position() - kingpin_world).length_sq();
    if (distance_sq < offer_distance_sq)
        player->offer_trailer(handle());
    else
        player->trailer_removing(handle());
    player_link.release();

    if (left_behind && distance_sq > left_behind_distance_sq) {
        release_dock_slot();
        destroy_requested = true;
        remove_block();
        return;
    }
    if (settle_timer > 2.0f && !settled) {
        if (!towed_by_ai && body)
            body->body_flags |= phys_body_t::body_held;
        settled = true;
    } else {
        settle_timer += dt;
    }
}

void car_trailor_e::handler()
{
    const float dt = frame_seconds();
    if (destroy_requested) {
        remove_block();
        return;
    }
    if (fade_state == 1) {
        alpha += dt * fade_speed;
        if (alpha >= 255.0f) {
            alpha = 255.0f;
            fade_state = 0;
        }
    } else if (fade_state == -1) {
        alpha -= dt * fade_speed;
        if (alpha < 0.0f) {
            alpha = 0.0f;
            fade_state = 0;
            destroy_requested = true;
            remove_block();
            return;
        }
    }
    if (vehicle_active)
        car_phys_e::handler();
    if (dock_slot_held) {
        dock_timer += dt;
        if (dock_timer > 10.0f) {
            if ((get_position() - spawn_position).length_sq() > dock_distance_sq)
                release_dock_slot();
            dock_timer = 2.0f * api::sys_rand();
        }
    }
    // A trailer an AI truck tows is neither offered to the player nor left behind.
    if (towing_truck.is_null() && !towed_by_ai)
        unhitched_step(dt);
}

bool car_trailor_e::setup_cargo(const char* make, int variant, float damage_scale, float value, const vec3_t& where,
                                const quat_t& turn, int32_t owner, int32_t slot, int32_t job, const vec3_t& target,
                                int mode)
{
    load_make(make, variant);
    cargo_value = value * 3000.0f;
    damage_factor = damage_scale;
    place_at(where, turn);
    spawn_position = where;
    spawn_target = target;
    dock_owner = owner;
    dock_slot = slot;
    job_index = job;
    write_job_label();
    if (mode == 0)
        dock_slot_held = true;
    fade_state = 1;
    alpha = 0.0f;
    bool placed = true;
    if (mode != 1) {
        placed = place_on_ground(mode);
        if (!placed)
            destroy_requested = true;
    }
    reference_position = get_position();
    return placed;
}

void car_trailor_e::load_make(const char* make, int variant)
{
    read_description(make, variant);
    light_models();
    light_model(rear_wheel_model, controller_link);
    if (!geometry) {
        create_body(0);
        set_contact_kind();
    }
}

void car_trailor_e::place_at(const vec3_t& where, const quat_t& turn)
{
    set_transform(where, turn);
    kingpin_world = to_world(kingpin_local);
    reference_position = get_position();
}

void car_trailor_e::flag_if_unhitched()
{
    if (!destroy_requested && towing_truck.is_null())
        destroy_requested = true;
}

void car_trailor_e::fade_out_step()
{
    fade_state = 0;
    alpha = std::max(alpha - frame_seconds() * 50.0f, 0.0f);
}
