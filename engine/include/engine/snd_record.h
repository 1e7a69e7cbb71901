#pragma once
#include <cstdint>
#include <string>

#include "engine/snd.h"

// Test control and read-back of the headless sound family. Host side only (not exported).

// The state of one sound handle.
struct snd_state_t {
    std::string path;
    uint32_t flags = 0;
    int tag = 0;
    bool playing = false;
    bool silenced = false;  // its tag is disabled: paused while playing
    int plays = 0;          // snd_play calls
    float position[3] = {0, 0, 0};
    float volume = 1.0f;
    float rate = 1.0f;
    float near_distance = 0.0f;
    float far_distance = 0.0f;
    uint32_t length_ms = 0;
    uint32_t position_ms = 0;
};

// The listener as snd_listener last set it.
struct snd_listener_t {
    float position[3] = {0, 0, 0};
    float orientation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    float velocity[3] = {0, 0, 0};
};

// State of a live handle into `out`; false for a handle that is not live.
bool snd_record_state(const snd_sound_t* sound, snd_state_t& out);
// Number of live handles.
int snd_record_live();
// Ends a playing sound as if its samples ran out.
void snd_record_finish(snd_sound_t* sound);
// Moves time on by `seconds` (each engine frame does): playing sounds advance (paused ones do not); one that is not
// looped stops at its end, a looped one wraps.
void snd_record_advance(double seconds);
const snd_listener_t& snd_record_listener();
int snd_record_current_tag();
bool snd_record_tag_enabled(int tag);
float snd_record_distance_factor();
// Restarts and applies since the reset.
int snd_record_restarts();
int snd_record_applies();
