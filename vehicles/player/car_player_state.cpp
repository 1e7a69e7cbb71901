// The player's truck's sound set, its rain ambience and engine sound.
#include <algorithm>
#include <cmath>

#include "engine/snd.h"
#include "common/engine_api.h"
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
