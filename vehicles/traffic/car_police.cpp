#include "vehicles/traffic/car_police.h"

#include <algorithm>
#include <cmath>

#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "engine/entity_proc.h"
#include "engine/geometry.h"
#include "engine/matrix.h"
#include "engine/psm.h"
#include "engine/snd.h"
#include "road/ctrl_parts.h"
#include "vehicles/links/police_player.h"
#include "vehicles/traffic/traffic.h"
#include "world/environment.h"

namespace {

// The police make and its accessories.
constexpr const char* police_make = "police";
constexpr const char* police_accessories[] = {"wheels",       "engine",   "brakes",   "cabin", "base",
                                              "transmission", "lblinker", "rblinker", "headl", "rearl"};
// The siren: a looping sound of kind 5 with the vehicles' sound tag.
constexpr const char* siren_path = "sounds/ai/ai_copsiren.ogg";
constexpr uint32_t siren_kind = 5;
// The siren beams sweep a full turn a second; even beams 1.1 times as fast; beams 50 degrees apart.
constexpr float siren_turn_rate = 360.0f;
constexpr float siren_fast_sweep = 1.1f;
constexpr float siren_beam_spacing = 50.0f;
constexpr int sound_tag = 10;
constexpr float degrees_per_radian = 57.295776f;

float square_distance(const vec3_t& a, const vec3_t& b)
{
    const vec3_t d = a - b;
    return d.dot(d);
}

}  // namespace

const level_list_t car_police_e::police_init_list(&car_phys_e::object_init_list, {12});

car_police_e::car_police_e() = default;

car_police_e::~car_police_e()
{
    if (siren_sound)
        api::snd_delete(siren_sound);
}

int car_police_e::init(const int phase)
{
    if (const int failed = car_truck_e::init(phase))
        return failed;
    if (phase == 12) {
        engine_state = engine_running;
        if (!bridge)
            bridge = get_game_bridge();
        if (bridge)
            player = bridge->avatar();
    }
    return 0;
}

int car_police_e::destroy(const int phase)
{
    if (phase == 0 && siren_sound) {
        api::snd_delete(siren_sound);
        siren_sound = nullptr;
    }
    return car_truck_e::destroy(phase);
}

bool car_police_e::build_police()
{
    if (!build(police_make, police_accessories, static_cast<int>(std::size(police_accessories))))
        return false;
    create_body(0);
    for (car_wheel_t& wheel : wheels)
        wheel.ray_point = wheel.force_point;
    rear_ray_points[0] = wheels[2].force_point;
    rear_ray_points[1] = wheels[3].force_point;
    if (!siren_sound)
        siren_sound = api::snd_new(siren_path, siren_kind, sound_tag);
    return true;
}

void car_police_e::place(const vec3_t& position, const quat_t& rotation)
{
    if (built) {
        set_transform(position, rotation);
        return;
    }
    pose_pending = true;
    pending_position = position;
    pending_rotation = rotation;
}

vec3_t car_police_e::where() const { return pose_pending ? pending_position : get_position(); }

bool car_police_e::player_distance(float& out_distance, vec3_t* out_position) const
{
    const held_part_t<ctrl_truck_t> truck(player);
    if (!truck.get())
        return false;
    const vec3_t at = truck.get()->truck_position();
    out_distance = square_distance(at, where());
    if (out_position)
        *out_position = at;
    return true;
}

bool car_police_e::history_entry(const int32_t index, vec3_t& out_position, quat_t& out_rotation) const
{
    const held_part_t<police_player_t> truck(player);
    if (!truck.get())
        return false;
    truck.get()->get_history(index, out_position, out_rotation);
    return true;
}

void car_police_e::page(const char* text) const
{
    const held_part_t<pager_owner_t> truck(player);
    if (truck.get())
        truck.get()->pager_message(text, 0);
}

void car_police_e::cancel_traffic_offence() const
{
    const held_part_t<traffic_e> traffic(bridge ? bridge->traffic() : entity_handle_t{});
    if (traffic.get())
        traffic.get()->cancel_offence();
}

void car_police_e::set_pose(const vec3_t& position, const quat_t& rotation, const bool must_see_offence)
{
    standing = true;
    place(position, rotation);
    give_up_distance = 0.0f;
    const held_part_t<ctrl_truck_t> truck(player);
    if (truck.get())
        give_up_distance = square_distance(truck.get()->truck_position(), position);
    must_see = must_see_offence;
    contact_owner.tag = contact_kind_police;
}

void car_police_e::note_offence(const int32_t code, const int32_t car)
{
    if (!standing)
        return;
    if (must_see) {
        vec3_t at;
        float ignored = 0.0f;
        if (player_distance(ignored, &at) && forward().dot(at - where()) < 0.0f)
            return;
    }
    pursuit_pending = true;
    offence_code = code;
    offence_car = car;
}

void car_police_e::begin_pursuit(const int32_t code, const int32_t index, const bool keep_distance, const int32_t car)
{
    offence_code = code;
    pursuit_on = true;
    direct_chase = false;
    if (index == -1) {
        const held_part_t<police_player_t> truck(player);
        history_index = truck.get() ? (truck.get()->get_history_index() + 3) % police_player_t::history_entries : 0;
        vec3_t at;
        quat_t turn;
        if (history_entry(history_index, at, turn))
            place(at, turn);
        history_index = (history_index + 1) % police_player_t::history_entries;
    } else {
        history_index = index;
    }
    if (siren_sound)
        api::snd_play(siren_sound);
    page("@@ui_begin_pursuit@@");
    pursuit_timer = 0.0f;
    if (!keep_distance)
        player_distance(give_up_distance);
    offence_car = car;
}

void car_police_e::pursue()
{
    pursuit_timer += frame_seconds();
    vec3_t player_at;
    float d = 0.0f;
    if (!player_distance(d, &player_at))
        return;
    vec3_t target = player_at;
    quat_t entry_turn;
    if (!direct_chase)
        history_entry(history_index, target, entry_turn);
    const vec3_t ahead = forward();
    const vec3_t to_target = target - get_position();
    const float angle = vec3_angle(ahead, to_target) * degrees_per_radian;
    // Positive steering turns left, towards a target on the side where forward x target points up.
    controls.steering = std::clamp(ahead.cross(to_target).y >= 0.0f ? angle : -angle, -steering_limit, steering_limit);
    if (!direct_chase && square_distance(target, get_position()) < entry_reach) {
        const held_part_t<police_player_t> truck(player);
        if (truck.get() && truck.get()->get_history_index() == history_index) {
            direct_chase = true;
            return;
        }
        history_index = (history_index + 1) % police_player_t::history_entries;
        pursuit_timer = 0.0f;
    }
    controls.throttle = pursuit_throttle;
    controls.brake = 0.0f;
    if (direct_chase)
        pursuit_timer = 0.0f;
    if (d < chase_distance)
        direct_chase = true;
    if (d < catch_distance) {
        pursuit_on = false;
        controls.brake = stop_brake;
        controls.throttle = 0.0f;
        if (siren_sound)
            api::snd_stop(siren_sound);
        cancel_traffic_offence();
        const held_part_t<ticket_owner_t> truck(player);
        if (truck.get())
            truck.get()->show_ticket(offence_code, offence_car);
        return;
    }
    if (d > escape_factor * give_up_distance) {
        page("@@ui_cancel_pursuit@@");
        cancel_traffic_offence();
        remove();
        return;
    }
    if (pursuit_timer > lag_seconds && d > watch_distance) {
        vec3_t at;
        quat_t turn;
        if (history_entry(history_index, at, turn))
            set_transform(at, turn);
    }
}

void car_police_e::remove()
{
    removed = true;
    {
        const held_part_t<police_player_t> truck(player);
        if (truck.get())
            truck.get()->set_radar_interval(0.0f);
    }
    if (bridge)
        bridge->release_police(handle());
    else
        api::error("<game_bridge_t> police not registered");
    if (process() && block())
        process()->destroy_eblock(block());
}

void car_police_e::draw()
{
    turn_siren_lamps(static_cast<float>(frame_seconds()));
    car_truck_e::draw();
}

void car_police_e::turn_siren_lamps(const float seconds)
{
    siren_angle = std::fmod(siren_angle + siren_turn_rate * seconds, 360.0f);
    if (siren_angle < 0.0f)
        siren_angle += 360.0f;
    psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
    psm_info_t* const info = cabin ? api::psm_get_info(cabin) : nullptr;
    if (!info)
        return;
    for (const int32_t part : siren_parts) {
        if (part < 0 || part >= info->part_count)
            continue;
        const psm_part_t& mesh = info->parts[part];
        for (int i = 0; i < mesh.direction_count && mesh.directions; ++i) {
            const float sweep = (i % 2 == 1) ? siren_angle : siren_fast_sweep * siren_angle;
            mat4_t turn;
            matrix_set_rotate(turn, {0.0f, siren_beam_spacing * static_cast<float>(i) + sweep, 0.0f});
            mesh.directions[i] = mult_normal_matrix_fast(turn, {0.0f, 0.0f, 1.0f});
        }
    }
}

void car_police_e::handler()
{
    if (removed)
        return;
    if (remove_request) {
        remove();
        return;
    }
    if (!built) {
        built = true;
        if (build_police() && pose_pending)
            set_transform(pending_position, pending_rotation);
        pose_pending = false;
        // The body's tag is made with it: a post keeps the police tag. A pursuit begun before the
        // build sounds its siren now.
        if (standing)
            contact_owner.tag = contact_kind_police;
        if (pursuit_on && siren_sound)
            api::snd_play(siren_sound);
    }
    car_truck_e::handler();
    {
        const held_part_t<environment_e> environment(environment_link);
        if (environment.get() && environment.get()->is_dark())
            lights |= 1;
    }
    if (pursuit_pending && distance_growing && last_distance > catch_distance) {
        pursuit_pending = false;
        standing = false;
        int32_t nearest = 0;
        float nearest_distance = -1.0f;
        for (int32_t i = 0; i < police_player_t::history_entries; ++i) {
            vec3_t at;
            quat_t turn;
            if (!history_entry(i, at, turn))
                break;
            const float d = square_distance(at, get_position());
            if (nearest_distance < 0.0f || d < nearest_distance) {
                nearest = i;
                nearest_distance = d;
            }
        }
        begin_pursuit(offence_code, nearest, true, -1);
    }
    if (pursuit_on) {
        if (siren_sound) {
            const vec3_t at = get_position();
            const float where[3] = {at.x, at.y, at.z};
            api::snd_position(siren_sound, where);
        }
        pursue();
        if (removed)
            return;
    }
    if (!standing)
        return;
    vec3_t player_at;
    float d = 0.0f;
    if (!player_distance(d, &player_at))
        return;
    distance_growing = d > last_distance;
    last_distance = d;
    if (d > post_leave_factor * give_up_distance) {
        remove();
        return;
    }
    {
        const held_part_t<ctrl_truck_t> truck(player);
        if (d < watch_distance && truck.get() && truck.get()->truck_speed_mph() > speed_limit_mph)
            note_offence(offence_speeding, -1);
    }
    const held_part_t<police_player_t> truck(player);
    if (truck.get())
        truck.get()->set_radar_interval(d < radar_distance ? std::clamp(d * radar_rate, radar_shortest, radar_longest)
                                                           : 0.0f);
}
