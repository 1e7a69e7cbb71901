#include "world/sound_e.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "engine/text.h"
#include "common/engine_api.h"
#include "world/decal_generic.h"
#include "world/plain_sound.h"

namespace {

constexpr evalue_def_t file_def = evalue_member("file", evalue_text, 64, evalue_bind<&sound_e::file>, nullptr, "");
constexpr evalue_def_t volume_def =
    evalue_member("volume", evalue_int, sizeof(int32_t), evalue_bind<&sound_e::volume_percent>, nullptr, "100");
constexpr evalue_def_t ambient_def =
    evalue_member("ambient", evalue_bool, sizeof(bool), evalue_bind<&sound_e::ambient>, nullptr, "false");
constexpr evalue_def_t looped_def =
    evalue_member("looped", evalue_bool, sizeof(bool), evalue_bind<&sound_e::looped>, nullptr, "false");
constexpr evalue_def_t streamed_def =
    evalue_member("streamed", evalue_bool, sizeof(bool), evalue_bind<&sound_e::streamed>, nullptr, "false");
constexpr evalue_def_t rate_def =
    evalue_member("rate", evalue_real, sizeof(float), evalue_bind<&sound_e::rate>, nullptr, "1.0");
constexpr evalue_def_t start_running_def =
    evalue_member("start_running", evalue_bool, sizeof(bool), evalue_bind<&sound_e::start_running>, nullptr, "false");
constexpr evalue_def_t multi_play_def =
    evalue_member("multi_play", evalue_bool, sizeof(bool), evalue_bind<&sound_e::multi_play>, nullptr, "false");
constexpr evalue_def_t min_dist_def =
    evalue_member("min_dist", evalue_real, sizeof(float), evalue_bind<&sound_e::min_dist>, nullptr, "128.0");
constexpr evalue_def_t max_dist_def =
    evalue_member("max_dist", evalue_real, sizeof(float), evalue_bind<&sound_e::max_dist>, nullptr, "1024.0");
constexpr evalue_def_t active_def = evalue_member("active", evalue_bool, sizeof(bool), evalue_bind<&sound_e::active>,
                                                  nullptr, "false", evalue_bind_status<&sound_e::active_status>);

}  // namespace

sound_e::sound_e() { entity_flags |= 0x800; }

sound_e::~sound_e()
{
    for (snd_sound_t* voice : voices_)
        api::snd_delete(voice);
}

const evalue_def_t* sound_e::get_evalue_root() const
{
    static std::array<evalue_def_t, 11> defs{file_def,     volume_def,   ambient_def,       looped_def,
                                             streamed_def, rate_def,     start_running_def, multi_play_def,
                                             min_dist_def, max_dist_def, active_def};
    static const evalue_def_t* const root = decal_property_chain(defs, object_e::get_evalue_root());
    return root;
}

snd_sound_t* sound_e::new_voice()
{
    snd_sound_t* voice = file[0] ? api::snd_new(file, sound_flags_, 0) : nullptr;
    if (voice)
        voices_.push_back(voice);
    return voice;
}

int sound_e::init(int phase)
{
    if (const int base = object_e::init(phase))
        return base;
    if (phase != 0)
        return 0;
    volume_percent = std::clamp(volume_percent, 0, 100);
    max_dist = std::max(max_dist, min_dist + 1.0f);
    sound_flags_ = (ambient ? 0u : 1u) | (looped ? 4u : 0u) | (streamed ? 8u : 0u);
    new_voice();
    if (start_running)
        set_active(true);
    return 0;
}

int sound_e::destroy(int phase)
{
    if (phase == 0) {
        for (snd_sound_t* voice : voices_)
            api::snd_delete(voice);
        voices_.clear();
    }
    return object_e::destroy(phase);
}

void sound_e::set_active(bool on)
{
    active = on;
    active_status |= evalue_changed;
}

void sound_e::handler()
{
    object_e::handler();
    if (active_status & evalue_changed) {
        active_status = static_cast<uint8_t>(active_status & ~evalue_changed);
        if (active) {
            play();
            // With several voices the input is a trigger: each rise plays once more.
            if (multi_play)
                active = false;
        } else if (!multi_play) {
            stop();
        }
    }
    if (!ambient)
        for (snd_sound_t* voice : voices_)
            api::snd_position(voice, &position.x);
}

void sound_e::play()
{
    snd_sound_t* voice = nullptr;
    if (!multi_play || looped) {
        voice = voices_.empty() ? nullptr : voices_.front();
    } else {
        for (snd_sound_t* candidate : voices_)
            if (!api::snd_playing(candidate)) {
                voice = candidate;
                break;
            }
        if (!voice)
            voice = new_voice();
    }
    if (!voice)
        return;
    api::snd_distances(voice, min_dist, max_dist);
    api::snd_volume(voice, static_cast<float>(volume_percent) * 0.01f);
    api::snd_rate(voice, rate);
    api::snd_play(voice);
}

void sound_e::stop()
{
    for (snd_sound_t* voice : voices_)
        if (api::snd_playing(voice))
            api::snd_stop(voice);
}

bool sound_e::edit_evalue_valid(const char* name)
{
    if (name && (std::strcmp(name, "min_dist") == 0 || std::strcmp(name, "max_dist") == 0))
        return !ambient;
    return true;
}

bool sound_e::edit_check_me(char* text, size_t size)
{
    const bool bad_volume = volume_percent < 0 || volume_percent > 100;
    const bool bad_distances = min_dist >= max_dist;
    if (!bad_volume && !bad_distances)
        return false;
    if (bad_volume && bad_distances)
        std::snprintf(text, size,
                      "Sound volume is out of range (%d); Min distance is greater than or equal to max distance.",
                      volume_percent);
    else if (bad_volume)
        std::snprintf(text, size, "Sound volume is out of range (%d)", volume_percent);
    else
        std::snprintf(text, size, "Min distance is greater than or equal to max distance.");
    return true;
}

bool sound_e::edit_val_changed(const char* name, int, const char* value)
{
    if (!name || !value)
        return false;
    const int typed = v_atoi(value);
    if (std::strcmp(name, "volume") == 0) {
        if (typed > 100 || typed < 0) {
            volume_percent = typed > 100 ? 100 : 0;
            return true;
        }
        return false;
    }
    if (std::strcmp(name, "min_dist") == 0) {
        if (typed < 1) {
            min_dist = 1.0f;
            return true;
        }
        if (static_cast<float>(typed) >= max_dist) {
            if (max_dist <= 1.0f)
                max_dist = 2.0f;
            min_dist = max_dist - 1.0f;
            return true;
        }
        return false;
    }
    if (std::strcmp(name, "max_dist") == 0) {
        if (static_cast<float>(typed) <= min_dist) {
            max_dist = min_dist + 1.0f;
            return true;
        }
        if (typed < 2) {
            max_dist = 2.0f;
            return true;
        }
    }
    return false;
}

bool plain_sound_e::edit_val_changed(const char* name, int, const char* value)
{
    if (!name || !value || std::strcmp(name, "min_dist") != 0)
        return false;
    max_dist = 10.0f * static_cast<float>(v_atof(value));
    return true;
}
