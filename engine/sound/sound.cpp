#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/log.h"
#include "engine/reset.h"
#include "engine/snd.h"
#include "engine/snd_record.h"
#include "sound_state.h"

// A sound handle: its recorded state.
struct snd_sound_t {
    snd_state_t state;
    double elapsed_ms = 0.0;  // exact time played, of which state.position_ms is the whole part
};

namespace {

// Sound files carry no samples here: a file plays for its size at this rate (128 kbit/s).
constexpr long long bytes_per_second = 16000;

std::vector<std::unique_ptr<snd_sound_t>> sounds;

void reset_sounds() { sounds.clear(); }

engine_reset_registrar_t sound_reset_registrar(reset_order_devices, reset_sounds);

// The live sound behind a handle, or null with a message naming the call.
snd_sound_t* live(snd_sound_t* sound, const char* call)
{
    if (!sound)
        return nullptr;
    for (const auto& s : sounds)
        if (s.get() == sound)
            return sound;
    error("%s: %p is not a live sound", call, static_cast<void*>(sound));
    return nullptr;
}

bool is_stream(const snd_sound_t* sound) { return (sound->state.flags & snd_streamed) != 0; }

void set_elapsed(snd_sound_t* sound, double ms)
{
    sound->elapsed_ms = ms;
    sound->state.position_ms = static_cast<uint32_t>(ms);
}

}  // namespace

ENGINE_API snd_sound_t* snd_new(const char* path, uint32_t flags, int tag)
{
    long long size = 0;
    if (!path || !sound_file_size(path, size)) {
        warning("snd_new: cannot open sound \"%s\"", path ? path : "");
        return nullptr;
    }
    auto sound = std::make_unique<snd_sound_t>();
    snd_state_t& s = sound->state;
    s.path = path;
    s.flags = flags;
    s.tag = tag;
    sound_default_distances(s.near_distance, s.far_distance);
    const long long length = size * 1000 / bytes_per_second;
    s.length_ms = static_cast<uint32_t>(std::min<long long>(length, UINT32_MAX));
    sounds.push_back(std::move(sound));
    return sounds.back().get();
}

ENGINE_API void snd_delete(snd_sound_t* sound)
{
    if (!live(sound, "snd_delete"))
        return;
    sounds.erase(std::find_if(sounds.begin(), sounds.end(), [sound](const auto& s) { return s.get() == sound; }));
}

ENGINE_API void snd_play(snd_sound_t* sound)
{
    if (!live(sound, "snd_play"))
        return;
    sound->state.playing = true;
    ++sound->state.plays;
    set_elapsed(sound, 0.0);
}

ENGINE_API void snd_stop(snd_sound_t* sound)
{
    if (live(sound, "snd_stop"))
        sound->state.playing = false;
}

ENGINE_API bool snd_playing(snd_sound_t* sound) { return live(sound, "snd_playing") && sound->state.playing; }

ENGINE_API void snd_position(snd_sound_t* sound, const float* position)
{
    if (live(sound, "snd_position") && position)
        std::memcpy(sound->state.position, position, sizeof sound->state.position);
}

ENGINE_API void snd_volume(snd_sound_t* sound, float volume)
{
    if (live(sound, "snd_volume"))
        sound->state.volume = std::isfinite(volume) ? std::clamp(volume, 0.0f, 1.0f) : 0.0f;
}

ENGINE_API void snd_rate(snd_sound_t* sound, float rate)
{
    if (!live(sound, "snd_rate"))
        return;
    if (!(rate > 0.0f) || !std::isfinite(rate)) {
        error("snd_rate: %g is not a positive rate", rate);
        return;
    }
    sound->state.rate = rate;
}

ENGINE_API void snd_distances(snd_sound_t* sound, float near_distance, float far_distance)
{
    if (!live(sound, "snd_distances"))
        return;
    if (near_distance < 0.0f || far_distance < near_distance) {
        error("snd_distances: bad range %g .. %g", near_distance, far_distance);
        return;
    }
    sound->state.near_distance = near_distance;
    sound->state.far_distance = far_distance;
}

ENGINE_API uint32_t snd_get_stream_length(snd_sound_t* sound)
{
    return live(sound, "snd_get_stream_length") && is_stream(sound) ? sound->state.length_ms : 0;
}

ENGINE_API int snd_get_stream_length_sec(snd_sound_t* sound)
{
    return static_cast<int>(snd_get_stream_length(sound) / 1000);
}

ENGINE_API uint32_t snd_get_stream_position(snd_sound_t* sound)
{
    return live(sound, "snd_get_stream_position") && is_stream(sound) ? sound->state.position_ms : 0;
}

ENGINE_API int snd_get_stream_position_sec(snd_sound_t* sound)
{
    return static_cast<int>(snd_get_stream_position(sound) / 1000);
}

ENGINE_API void snd_set_stream_position(snd_sound_t* sound, uint32_t position)
{
    if (live(sound, "snd_set_stream_position") && is_stream(sound))
        set_elapsed(sound, std::min(position, sound->state.length_ms));
}

bool snd_record_state(const snd_sound_t* sound, snd_state_t& out)
{
    for (const auto& s : sounds)
        if (s.get() == sound) {
            out = s->state;
            out.silenced = !sound_tag_enabled(s->state.tag);
            return true;
        }
    return false;
}

int snd_record_live() { return static_cast<int>(sounds.size()); }

void snd_record_finish(snd_sound_t* sound)
{
    if (live(sound, "snd_record_finish") && sound->state.playing) {
        sound->state.playing = false;
        set_elapsed(sound, sound->state.length_ms);
    }
}

void snd_record_advance(double seconds)
{
    if (!(seconds > 0.0))
        return;
    for (const auto& s : sounds) {
        if (!s->state.playing || !sound_tag_enabled(s->state.tag))
            continue;
        const double length = s->state.length_ms;
        double at = s->elapsed_ms + seconds * 1000.0 * s->state.rate;
        if (at >= length) {
            if ((s->state.flags & snd_looped) && length > 0.0) {
                at = std::fmod(at, length);
            } else {
                s->state.playing = false;
                at = length;
            }
        }
        set_elapsed(s.get(), at);
    }
}
