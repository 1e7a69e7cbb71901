#pragma once
#include <cstdint>

#include "engine/api.h"

// The sound family. Headless: there is no audio device; every sound is a handle whose state
// (playing, position, volume, rate, distances, stream position) is kept and read back by tests
// (engine/snd_record.h). A sound file need not hold real samples: its length comes from its size.

// A sound made by snd_new; opaque to callers.
struct snd_sound_t;

// A sound output device: a display name and the device string "s_device" takes.
class snd_device_t {
public:
    snd_device_t(const char* name, const char* device_string) : name_(name), device_string_(device_string) {}
    const char* name() const { return name_; }
    const char* device_string() const { return device_string_; }

private:
    const char* name_;
    const char* device_string_;
};

// Flag bits of snd_new.
enum snd_flag_t : uint32_t {
    snd_positional = 1,  // placed in the world (else ambient)
    snd_looped = 4,      // starts again at its end
    snd_streamed = 8,    // read as a stream (music): has a stream position
};

// Devices: brought up by snd_init_devices; snd_device_get answers null out of range.
ENGINE_API void snd_init_devices();
ENGINE_API void snd_device_shutdown();
ENGINE_API int snd_device_count();
ENGINE_API snd_device_t* snd_device_get(int index);
// Restarts the device with the current settings (sounds keep their handles and state), or applies
// settings that need no restart.
ENGINE_API void snd_restart();
ENGINE_API void snd_apply();

// World scale of distances (units per metre) and the default near and far distances of new sounds.
ENGINE_API void snd_distance_factor(float factor);
ENGINE_API void snd_def_mm_distances(float near_distance, float far_distance);
// The listener: position, orientation matrix (16 floats, the engine's convention), velocity.
ENGINE_API void snd_listener(const float* position, const float* orientation, const float* velocity);

// A sound from a file, under `tag`: null (with a message) when the file does not exist.
ENGINE_API snd_sound_t* snd_new(const char* path, uint32_t flags, int tag);
ENGINE_API void snd_delete(snd_sound_t* sound);
// Starts the sound from its beginning (it keeps playing until stopped, or its end when not looped).
ENGINE_API void snd_play(snd_sound_t* sound);
ENGINE_API void snd_stop(snd_sound_t* sound);
// True from snd_play until snd_stop or the sound's end; a disabled tag pauses, it does not stop.
ENGINE_API bool snd_playing(snd_sound_t* sound);
ENGINE_API void snd_position(snd_sound_t* sound, const float* position);
// Volume 0..1 (clamped), rate as a pitch factor (> 0), near and far distances (far >= near).
ENGINE_API void snd_volume(snd_sound_t* sound, float volume);
ENGINE_API void snd_rate(snd_sound_t* sound, float rate);
ENGINE_API void snd_distances(snd_sound_t* sound, float near_distance, float far_distance);

// Tags group sounds (10 the game's, 20 the menus'): a disabled tag's sounds fall silent and pause.
ENGINE_API void snd_disable_tag(int tag);
// Enables a tag again; `flags` is kept for the device (pass 0).
ENGINE_API void snd_enable_tag(int tag, int flags);
ENGINE_API void snd_set_current_tag(int tag);

// Streams: length and position in milliseconds, and in whole seconds. Non-stream sounds answer 0.
ENGINE_API uint32_t snd_get_stream_length(snd_sound_t* sound);
ENGINE_API int snd_get_stream_length_sec(snd_sound_t* sound);
ENGINE_API uint32_t snd_get_stream_position(snd_sound_t* sound);
ENGINE_API int snd_get_stream_position_sec(snd_sound_t* sound);
// Moves a stream's position (clamped to its length).
ENGINE_API void snd_set_stream_position(snd_sound_t* sound, uint32_t position);
