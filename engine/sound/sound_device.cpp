#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "engine/cvar.h"
#include "engine/log.h"
#include "engine/reset.h"
#include "engine/snd.h"
#include "engine/snd_record.h"
#include "sound_state.h"

namespace {

// Devices, listener and tags of the sound family.
struct device_state_t {
    std::vector<std::unique_ptr<snd_device_t>> devices;
    snd_listener_t listener;
    std::set<int> disabled_tags;
    int current_tag = 10;
    float distance_factor = 1.0f;
    float default_near = 0.0f;
    float default_far = 1.0f;
    int restarts = 0;
    int applies = 0;
};

device_state_t state;

void reset_sound_devices() { state = device_state_t{}; }

engine_reset_registrar_t sound_device_reset_registrar(reset_order_devices, reset_sound_devices);

// The sound settings of the host, kept in the configuration like every console variable.
cvar_t sound_variables[] = {
    {"s_device", "headless", cvar_t::type_text, nullptr, 0},
    {"s_mix_rate", "44100", cvar_t::type_integer, nullptr, 0},
    {"s_music_volume", "0.8", cvar_t::type_real, nullptr, 0},
    {"s_sfx_volume", "1.0", cvar_t::type_real, nullptr, 0},
    {"s_reverse_stereo", "0", cvar_t::type_integer, nullptr, 0},
    {"s_music_enabled", "1", cvar_t::type_integer, nullptr, 0},
    {"s_sfx_enabled", "1", cvar_t::type_integer, nullptr, 0},
    {"s_3d_emulated", "0", cvar_t::type_integer, nullptr, 0},
};

}  // namespace

ENGINE_API void snd_init_devices()
{
    if (state.devices.empty())
        state.devices.push_back(std::make_unique<snd_device_t>("Headless output", "headless"));
    // Registered once the configuration has been read, so they take its values.
    for (cvar_t& variable : sound_variables)
        cvar_register_variable(&variable, 0);
}

ENGINE_API void snd_device_shutdown() { state.devices.clear(); }
ENGINE_API int snd_device_count() { return static_cast<int>(state.devices.size()); }

ENGINE_API snd_device_t* snd_device_get(int index)
{
    if (index < 0 || index >= snd_device_count())
        return nullptr;
    return state.devices[static_cast<size_t>(index)].get();
}

ENGINE_API void snd_restart() { ++state.restarts; }
ENGINE_API void snd_apply() { ++state.applies; }

ENGINE_API void snd_distance_factor(float factor)
{
    if (factor > 0.0f)
        state.distance_factor = factor;
    else
        error("snd_distance_factor: %g is not a positive scale", factor);
}

ENGINE_API void snd_def_mm_distances(float near_distance, float far_distance)
{
    if (near_distance < 0.0f || far_distance < near_distance) {
        error("snd_def_mm_distances: bad range %g .. %g", near_distance, far_distance);
        return;
    }
    state.default_near = near_distance;
    state.default_far = far_distance;
}

ENGINE_API void snd_listener(const float* position, const float* orientation, const float* velocity)
{
    if (position)
        std::memcpy(state.listener.position, position, sizeof state.listener.position);
    if (orientation)
        std::memcpy(state.listener.orientation, orientation, sizeof state.listener.orientation);
    if (velocity)
        std::memcpy(state.listener.velocity, velocity, sizeof state.listener.velocity);
}

ENGINE_API void snd_disable_tag(int tag) { state.disabled_tags.insert(tag); }
ENGINE_API void snd_enable_tag(int tag, int) { state.disabled_tags.erase(tag); }
ENGINE_API void snd_set_current_tag(int tag) { state.current_tag = tag; }

bool sound_tag_enabled(int tag) { return state.disabled_tags.count(tag) == 0; }

void sound_default_distances(float& near_distance, float& far_distance)
{
    near_distance = state.default_near;
    far_distance = state.default_far;
}

const snd_listener_t& snd_record_listener() { return state.listener; }
int snd_record_current_tag() { return state.current_tag; }
bool snd_record_tag_enabled(int tag) { return sound_tag_enabled(tag); }
float snd_record_distance_factor() { return state.distance_factor; }
int snd_record_restarts() { return state.restarts; }
int snd_record_applies() { return state.applies; }
