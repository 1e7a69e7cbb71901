#pragma once
#include "world/sound_e.h"

// A placed sound source, registered as "sounds.plain_sound": typing a "min_dist" in the editor also
// sets "max_dist" to ten times it.
class plain_sound_e : public sound_e {
public:
    bool edit_val_changed(const char* name, int index, const char* value) override;
};
