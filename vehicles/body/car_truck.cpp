#include "vehicles/body/car_truck.h"

#include <algorithm>
#include <cmath>

#include "engine/cache.h"
#include "engine/def_obj.h"
#include "engine/def_pool.h"
#include "engine/entity_proc.h"
#include "engine/psm.h"
#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "physics/phys_body.h"
#include "vehicles/links/vehicle_links.h"
#include "world/car_smoke.h"

namespace {

constexpr const char* materials_path = "/defs/materials/materials.def";
// Converts the torque table's figure, the ratio and the throttle into a drive force.
constexpr float drive_scale = 10.058824f;
constexpr int rpm_cap = 3000;

}  // namespace

car_truck_e::car_truck_e()
{
    gear = 1;
    current_ratio = ratios[1];
}

car_truck_e::~car_truck_e() { free_wheel_models(); }

void car_truck_e::free_wheel_models()
{
    for (psm_t*& model : wheel_models) {
        if (model)
            api::psm_free(model);
        model = nullptr;
    }
}

int car_truck_e::init(int phase)
{
    if (const int failed = car_phys_e::init(phase))
        return failed;
    if (phase == 0) {
        load_skid_material();
        load_smoke();
    }
    return 0;
}

int car_truck_e::destroy(int phase)
{
    if (phase == 0) {
        free_wheel_models();
        for (entity_handle_t& emitter : smoke) {
            if (!emitter.is_null())
                emitter.release();
            emitter = {};
        }
    }
    return car_phys_e::destroy(phase);
}

void car_truck_e::load_skid_material()
{
    c_item_t* const item = api::mm_precache(materials_path);
    const auto* const pool = item ? static_cast<const def_pool_t*>(item->object) : nullptr;
    if (const def_obj_t* const skid = pool ? pool->find("material_skid") : nullptr)
        for (int i = 0; i < ground_kind_count; ++i) {
            char key[24];
            std::snprintf(key, sizeof key, "m%d", i);
            ground_friction[i] = static_cast<float>(skid->get_int(key, 1));
        }
    if (item)
        api::ci_dec_refs(item);
}

void car_truck_e::get_hitch_point(vec3_t& out) { out = get_position(); }

void car_truck_e::get_fuel(float& out_tank, float& out_fuel) const
{
    out_tank = tank;
    out_fuel = fuel;
}

void car_truck_e::pager(const char* text)
{
    if (!is_player)
        return;
    if (auto* const owner = dynamic_cast<pager_owner_t*>(this))
        owner->pager_message(text, 1);
}

void car_truck_e::set_smoke(int index, bool on)
{
    if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke[index].resolve()))
        emitter->set_emitting(on);
}

float car_truck_e::torque(int at_rpm) const
{
    const int i = at_rpm / 100;
    if (i < 0 || i + 1 >= torque_entries)
        return 1.0f;
    const float low = torque_table[i];
    const float high = torque_table[i + 1];
    return (low + (high - low) * static_cast<float>(at_rpm % 100) / 100.0f) * (1.0f - damage);
}

void car_truck_e::fill_torque_table()
{
    const float peak = full_power ? 5000.0f : power * 0.01f * 5000.0f + 600.0f;
    for (int i = 0; i < torque_entries; ++i) {
        const float d = static_cast<float>(i - 30);
        const float value = (peak - 0.45f * d * d) * 0.25f;
        torque_table[i] = static_cast<uint16_t>(std::clamp(value, 0.0f, 65535.0f));
    }
}

void car_truck_e::begin_clutch(const bool up)
{
    if (clutching)
        return;
    selected_gear = gear;
    clutch_timer = clutch_time;
    gear = -1;
    clutching = 1;
    shifting_up = up ? 1 : 0;
    gear_changed();
}

void car_truck_e::shift_up(bool with_clutch)
{
    if (engine_state != engine_running || gear >= gear_count)
        return;
    if (with_clutch) {
        begin_clutch(true);
        return;
    }
    if (selected_gear < gear_limit - 1 && (!automatic || selected_gear >= 0)) {
        ++selected_gear;
        current_ratio = ratios[selected_gear];
    } else {
        rpm = 5000;
    }
    gear = selected_gear;
    clutching = 0;
    gear_changed();
}

void car_truck_e::shift_down(bool with_clutch)
{
    if (engine_state != engine_running)
        return;
    if (with_clutch) {
        begin_clutch(false);
        return;
    }
    if (selected_gear > 0) {
        --selected_gear;
        current_ratio = ratios[selected_gear];
    }
    gear = selected_gear;
    clutching = 0;
    gear_changed();
}

void car_truck_e::clutch_update(float dt)
{
    if (!clutching)
        return;
    // The change completes the frame after the timer ran out, so a clutch time of 0 takes one frame.
    if (clutch_timer >= 0.0f) {
        clutch_timer -= dt;
        return;
    }
    // The change completes as a change without the clutch, in the remembered direction.
    if (shifting_up)
        shift_up(false);
    else
        shift_down(false);
}

void car_truck_e::engine_update(float dt)
{
    if (!body || !body->current)
        return;
    phys_state_t& state = *body->current;

    float drag = 1.0f;
    for (const car_wheel_t& wheel : wheels)
        if (wheel.ground_kind != 4)
            drag += 1.5f;

    const float v = std::sqrt(state.linear_velocity.length_sq());
    speed_cms = v;
    speed = v * 0.01f;
    const vec3_t along = v > 0.0f ? state.linear_velocity / v : vec3_t();
    const vec3_t air = along * -(air_drag * speed * speed);
    const vec3_t rolling = along * -(speed * rolling_resistance * drag);

    vec3_t direction = heading;
    if (wheels_in_contact < 4) {
        direction.y -= 50.0f;
        direction = direction.normalized();
    }

    if (cruise)
        controls.throttle = speed < cruise_speed ? 1.0f : 0.0f;

    vec3_t drive;
    if (rpm < rpm_cap && engine_state == engine_running && gear != -1 && wheels_in_contact >= 3) {
        const float sign = gear == 0 ? -1.0f : 1.0f;
        drive = direction * (torque(rpm) * sign * drive_factor * current_ratio * controls.throttle * drive_scale);
    }
    drive_force = (drive + air + rolling) * 100.0f;
    vec3_t at;
    drive_point(at);
    body->add_force_at(drive_force, nullptr, at, nullptr);

    rpm = static_cast<uint16_t>(std::min(static_cast<float>(wheel_rpm) * current_ratio * 3.42f, 65535.0f));
    if (gear != -1 && wheels_in_contact >= 3 && heading.dot(state.linear_velocity) * (gear == 0 ? -1.0f : 1.0f) < 0.0f)
        // A truck in gear does not roll back.
        state.linear_velocity = vec3_t();
    if (gear == -1)
        rpm = 0;

    if (automatic) {
        shift_timer += dt;
        if (rpm > 3000 && gear != 0 && gear < gear_count) {
            shift_up(true);
            shift_timer = 0.0f;
        } else if (rpm < 500 && gear > 3 && shift_timer > 2.0f) {
            gear -= 2;
            shift_down(true);
        } else if (rpm < 1000 && gear > 2 && shift_timer > 2.0f) {
            gear = 2;
            shift_down(true);
            shift_timer = 0.0f;
        } else if (rpm < 1600 && gear >= 2 && shift_timer > 2.0f) {
            shift_down(true);
        }
    }

    const bool smoking = rpm >= 2700 && rpm < 6000;
    set_smoke(0, smoking);
    if (!smoke_bone_missing)
        set_smoke(1, smoking);

    rpm = std::min<uint16_t>(rpm, rpm_cap);
}

void car_truck_e::fuel_update(float dt)
{
    if (engine_state == engine_off)
        return;
    fuel -= (consumption * controls.throttle * 0.07f + 0.005f) * dt;
    if (fuel >= 0.0f)
        return;
    fuel = 0.0f;
    if (engine_state == engine_running) {
        pager("@@ui_fuel_low@@");
        engine_state = engine_stopped;
    }
}

void car_truck_e::place_smoke()
{
    if (exhaust_pipes) {
        const vec3_t pipes = pipes_slot >= 0 ? models[pipes_slot].offset : vec3_t();
        for (int i = 0; i < 2; ++i)
            if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke[i].resolve()))
                emitter->set_position(to_world(exhaust_points[i] + pipes));
    }
    if (tyre_smoke) {
        const vec3_t wheels_at[2] = {wheels[2].force_point, (wheels[2].force_point + wheels[3].force_point) * 0.5f};
        for (int i = 0; i < 2; ++i)
            if (auto* const emitter = dynamic_cast<car_smoke_e*>(smoke[2 + i].resolve()))
                emitter->set_position(to_world(wheels_at[i]));
    }
}

void car_truck_e::handler()
{
    car_phys_e::handler();
    place_smoke();
    const float dt = frame_seconds();
    engine_update(dt);
    fuel_update(dt);
    clutch_update(dt);
}

void car_truck_e::repair(float amount)
{
    const float old = damage;
    damage = std::clamp(damage - amount, 0.0f, 1.0f);
    if (old > 0.0001f) {
        const float r = damage / old;
        psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
        for (int i = 0; i < deform_count; ++i) {
            car_deform_bone_t& bone = deform_bones[i];
            bone.amount = std::max(bone.amount * r, 0.0f);
            const vec3_t offset = bone.direction * (-bone.amount * 60.0f);
            if (cabin)
                api::psm_bone_set_ext_pos(cabin, bone.bone, &offset);
        }
        for (int i = 0; i < 8; ++i)
            corners[i].amount = std::max(corners[i].amount * r, 0.0f);
    }
    if (is_player) {
        held_part_t<vehicle_economy_t> economy(economy_link);
        if (economy.get())
            economy.get()->set_hud_damage(damage);
    }
    wrecked = 0;
    if (damage < 0.8f)
        set_smoke(4, false);
}

void car_truck_e::load_smoke()
{
    static constexpr const char* scripts[smoke_count] = {
        "/scripts/game/car_smoke.esc", "/scripts/game/car_smoke.esc", "/scripts/game/car_smoke_white.esc",
        "/scripts/game/car_smoke_white.esc", "/scripts/game/ai_car_smoke.esc"};
    entity_proc_t* const world = process();
    if (!world)
        return;
    for (int i = 0; i < smoke_count; ++i) {
        if (!smoke[i].is_null())
            continue;
        eblock_t* const block = world->eblock_from_name(scripts[i]);
        if (!block || !world->init_eblock(block))
            continue;
        if (auto* const emitter = dynamic_cast<car_smoke_e*>(block->root()))
            if (emitter->handle().add_use())
                smoke[i] = emitter->handle();
    }
}
