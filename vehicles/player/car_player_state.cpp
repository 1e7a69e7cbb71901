// The player's truck's sound set, its rain ambience and engine sound, and the stored truck state the
// economy's save section carries.
#include <algorithm>
#include <cmath>

#include "engine/snd.h"
#include "common/engine_api.h"
#include "common/vfs_le.h"
#include "common/hud_components.h"
#include "physics/phys_body.h"
#include "vehicles/player/car_player.h"
#include "vehicles/links/player_links.h"

namespace {

// One sound of the set: its file, its snd_new flags and the volume set at creation (negative: none).
struct sound_file_t {
    int slot;
    const char* path;
    uint32_t flags;
    float volume;
};

constexpr sound_file_t sound_files[] = {
    {car_player_e::snd_rain_in_light, "/sounds/environment/am_inrain1.ogg", 20, -1.0f},
    {car_player_e::snd_rain_in_heavy, "/sounds/environment/am_inrain2.ogg", 20, -1.0f},
    {car_player_e::snd_rain_out_light, "/sounds/environment/am_rain1.ogg", 20, -1.0f},
    {car_player_e::snd_rain_out_heavy, "/sounds/environment/am_rain2.ogg", 20, -1.0f},
    {car_player_e::snd_parking_set, "/sounds/truck/parkingbrake-set.ogg", 0, -1.0f},
    {car_player_e::snd_parking_release, "/sounds/truck/parkingbrake-release.ogg", 0, -1.0f},
    {car_player_e::snd_reverse, "/sounds/truck/reverse_signal.ogg", 0, -1.0f},
    {car_player_e::snd_attach, "/sounds/truck/tr_attach.ogg", 0, -1.0f},
    {car_player_e::snd_detach, "/sounds/truck/tr_detach.ogg", 0, -1.0f},
    {car_player_e::snd_jake, "/sounds/truck/jake-brake-short.ogg", 20, 0.6f},
    {car_player_e::snd_air_brake, "/sounds/truck/airbrake.ogg", 0, -1.0f},
    {car_player_e::snd_click, "/sounds/truck/click.ogg", 0, -1.0f},
    {car_player_e::snd_radar, "/sounds/truck/radar.ogg", 0, -1.0f},
    // Impacts: four collision sounds and the scratch of a slow touch.
    {car_player_e::snd_scratch, "/sounds/truck/scratch.ogg", 4, 0.6f},
    {car_player_e::snd_crash_0, "/sounds/truck/col1.ogg", 0, -1.0f},
    {car_player_e::snd_crash_0 + 1, "/sounds/truck/col2.ogg", 0, -1.0f},
    {car_player_e::snd_crash_0 + 2, "/sounds/truck/col3.ogg", 0, -1.0f},
    {car_player_e::snd_crash_0 + 3, "/sounds/truck/col4.ogg", 0, -1.0f},
    // The wiper reaching the top and coming back down.
    {car_player_e::snd_wiper_0, "/sounds/truck/ti_wiper_u.ogg", 0, -1.0f},
    {car_player_e::snd_wiper_1, "/sounds/truck/ti_wiper_d.ogg", 0, -1.0f},
};

// A saved fraction: 0..1, and 0 for what is no number.
float saved_fraction(float value) { return std::isnan(value) ? 0.0f : std::clamp(value, 0.0f, 1.0f); }

// The camera modes a truck can be left in: the fly camera and the modes 3 to 11 (the traffic-car
// views, the mirrors' modes and anything else are not).
bool restorable_camera_mode(int32_t mode) { return mode == 1 || (mode >= 3 && mode <= 11); }

// Adds the bytes of one field that went through.
void count_field(bool done, int& total)
{
    if (done)
        total += 4;
}

}  // namespace

void car_player_e::load_sounds()
{
    for (const sound_file_t& file : sound_files) {
        snd_sound_t*& sound = sounds[file.slot];
        if (sound)
            api::snd_delete(sound);
        sound = api::snd_new(file.path, file.flags, 10);
        if (sound && file.volume >= 0.0f)
            api::snd_volume(sound, file.volume);
    }
}

void car_player_e::load_make_sounds()
{
    // The engine loops; its start and stop and the horn play once.
    static constexpr struct {
        int slot;
        int make_sound;
        uint32_t flags;
    } make_sound_slots[] = {{snd_engine, make_engine, 20},
                            {snd_engine_start, make_engine_start, 0},
                            {snd_engine_stop, make_engine_stop, 0},
                            {snd_horn, make_horn, 0},
                            {snd_gear_change, make_gear_change, 0}};
    for (const auto& entry : make_sound_slots) {
        snd_sound_t*& sound = sounds[entry.slot];
        if (sound)
            api::snd_delete(sound);
        const char* const path = make_sounds[entry.make_sound];
        sound = path[0] ? api::snd_new(path, entry.flags, 10) : nullptr;
    }
    // A truck rebuilt with its engine running keeps being heard.
    if (engine_state == engine_running && sounds[snd_engine]) {
        api::snd_volume(sounds[snd_engine], 1.0f);
        api::snd_play(sounds[snd_engine]);
    }
}

void car_player_e::gear_changed()
{
    if (sounds[snd_gear_change])
        api::snd_play(sounds[snd_gear_change]);
}

void car_player_e::stop_rain_loops()
{
    for (int i = snd_rain_in_light; i <= snd_rain_out_heavy; ++i)
        if (sounds[i] && api::snd_playing(sounds[i]))
            api::snd_stop(sounds[i]);
}

void car_player_e::update_sounds()
{
    const int32_t rain = rain_level();
    int keep = -1;
    if (rain == 1 || rain == 2)
        keep = (camera_mode == cam_cabin ? snd_rain_in_light : snd_rain_out_light) + rain - 1;
    for (int i = snd_rain_in_light; i <= snd_rain_out_heavy; ++i) {
        if (!sounds[i] || i == keep)
            continue;
        if (api::snd_playing(sounds[i]))
            api::snd_stop(sounds[i]);
    }
    if (keep >= 0 && sounds[keep] && !api::snd_playing(sounds[keep])) {
        api::snd_volume(sounds[keep], 1.0f);
        api::snd_play(sounds[keep]);
    }
}

void car_player_e::update_engine_sound(float dt)
{
    snd_sound_t* const engine = sounds[snd_engine];
    if (engine_state == engine_starting) {
        engine_fade += dt;
        float volume = engine_fade;
        if (engine_fade > 1.0f) {
            volume = 1.0f;
            engine_state = engine_running;
        }
        if (engine)
            api::snd_volume(engine, volume);
    } else if (engine_state == engine_stopping) {
        engine_fade += dt;
        if (1.0f - engine_fade < 0.0f) {
            if (engine)
                api::snd_stop(engine);
            engine_state = engine_off;
        }
    }
    float rate = 0.625f, brake_rate = 0.375f;
    if (rpm > 400) {
        const float r = rpm;
        rate = std::min(r / (0.2f * r + 800.0f), 2.26f);
        brake_rate = 0.6f * rate;
    }
    if (engine)
        api::snd_rate(engine, rate);
    if (sounds[snd_jake])
        api::snd_rate(sounds[snd_jake], brake_rate);
}

int car_player_e::save_state(int file)
{
    int total = 0;
    for (const car_deform_bone_t& record : deform_bones)
        count_field(vfs_write_f32(file, record.amount), total);
    count_field(vfs_write_f32(file, car_phys_e::damage), total);
    int32_t offence = -1;
    {
        const held_part_t<player_traffic_t> traffic(traffic_link);
        if (traffic.get())
            offence = traffic.get()->pending_offence();
    }
    count_field(vfs_write_i32(file, offence), total);
    count_field(vfs_write_i32(file, static_cast<int32_t>(hud_detail)), total);
    count_field(vfs_write_i32(file, camera_mode), total);
    count_field(vfs_write_i32(file, lights), total);
    count_field(vfs_write_i32(file, wiper_mode), total);
    return total;
}

int car_player_e::save_default_state(int file)
{
    int total = 0;
    for (int i = 0; i < deform_bone_limit; ++i)
        count_field(vfs_write_f32(file, 0.0f), total);
    count_field(vfs_write_f32(file, 0.0f), total);
    for (const int32_t word : {-1, 2, static_cast<int32_t>(cam_chase), 0, static_cast<int32_t>(wipers_off)})
        count_field(vfs_write_i32(file, word), total);
    return total;
}

int car_player_e::load_state(int file, int version)
{
    // Fields are applied only once read whole: a save that ends early changes nothing further.
    int total = 0;
    psm_t* const cabin = cabin_slot >= 0 ? models[cabin_slot].model : nullptr;
    for (car_deform_bone_t& record : deform_bones) {
        float amount = 0.0f;
        if (!vfs_read_f32(file, &amount))
            return total;
        total += 4;
        record.amount = saved_fraction(amount);
        if (record.bone >= 0 && cabin) {
            const vec3_t offset = record.direction * (-record.amount * 50.0f);
            api::psm_bone_set_ext_pos(cabin, record.bone, &offset);
        }
    }
    float damage_read = 0.0f;
    int32_t offence = -1;
    if (!vfs_read_f32(file, &damage_read))
        return total;
    total += 4;
    car_phys_e::damage = saved_fraction(damage_read);
    if (!vfs_read_i32(file, &offence))
        return total;
    total += 4;
    if (version == 13 || version == 14) {
        int32_t detail = 0, mode = 0, light_bits = 0, wipers = 0;
        if (!vfs_read_i32(file, &detail))
            return total;
        total += 4;
        hud_detail = static_cast<uint32_t>(detail);
        hud_show(truck_hud_rear_mirror, (hud_detail & 1u) != 0);
        hud_show(truck_hud_left_mirror, (hud_detail & 2u) != 0);
        hud_show(truck_hud_right_mirror, !hud_hidden_by_ctrl() && (hud_detail & 2u) != 0);
        if (!vfs_read_i32(file, &mode))
            return total;
        total += 4;
        camera_mode = restorable_camera_mode(mode) ? static_cast<uint8_t>(mode) : static_cast<uint8_t>(cam_chase);
        saved_camera_mode = camera_mode;
        if (!vfs_read_i32(file, &light_bits))
            return total;
        total += 4;
        lights = static_cast<uint8_t>(light_bits);
        if (camera_mode == cam_cabin)
            setup_interior();
        if (version == 14) {
            if (!vfs_read_i32(file, &wipers))
                return total;
            total += 4;
            if (wipers >= wipers_off && wipers <= wipers_finishing)
                wiper_mode = wipers;
        }
    }
    // The fine of a pending offence was charged when it was given: the ticket comes back unpaid. A
    // stored reason the police do not give opens no ticket.
    if (ticket_reason_known(offence))
        open_ticket(offence, -1, false);
    else if (offence != -1)
        api::warning("<car_player_e> the save holds an offence of unknown reason %d; no ticket is shown", offence);
    reset_history();
    return total;
}
