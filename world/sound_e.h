#pragma once
#include <cstdint>
#include <vector>

#include "engine/evalue.h"
#include "engine/snd.h"
#include "common/object_e.h"

// A placed sound source: one sound file played at the entity (unless ambient), started and stopped
// through its "active" input (a property whose change is marked, as an input pin's), and checked and
// corrected in the map editor.
class sound_e : public object_e {
public:
    sound_e();
    ~sound_e() override;

    const evalue_def_t* get_evalue_root() const override;
    const char* get_default_name() const override { return "sound"; }
    // Phase 0 corrects the volume and distances, makes the first voice and switches itself on when
    // "start_running" is set.
    int init(int phase) override;
    int destroy(int phase) override;
    // Follows a change of "active"; hands the position to every voice unless ambient.
    void handler() override;
    void draw() override {}

    // Plays on the voice the settings choose (a new one when "multi_play" finds all busy).
    virtual void play();
    // Stops every playing voice.
    virtual void stop();

    // Sets the "active" input and marks it changed.
    void set_active(bool on);

    // The editor: the distances are editable only when not ambient; the problems of the settings;
    // corrections of a typed value (true when a corrected value was stored).
    bool edit_evalue_valid(const char* name) override;
    bool edit_check_me(char* text, size_t size) override;
    bool edit_val_changed(const char* name, int index, const char* value) override;

    const std::vector<snd_sound_t*>& voices() const { return voices_; }

    // Properties.
    char file[64] = "";
    int32_t volume_percent = 100;
    bool ambient = false;
    bool looped = false;
    bool streamed = false;
    float rate = 1.0f;
    bool start_running = false;
    bool multi_play = false;
    float min_dist = 128.0f;
    float max_dist = 1024.0f;
    bool active = false;
    uint8_t active_status = 0;

private:
    // A new voice with the entity's flags, appended; null when the sound cannot be made.
    snd_sound_t* new_voice();

    std::vector<snd_sound_t*> voices_;
    uint32_t sound_flags_ = 0;
};
