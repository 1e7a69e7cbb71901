#include <cstring>

#include "engine/log.h"
#include "input_state.h"

namespace {

// The live effect `effect` of `device`, or null.
inp_force_effect_t* live_effect(uint32_t device, uint8_t effect)
{
    for (inp_force_effect_t& record : input_state().force_effects)
        if (record.device == device && record.id == effect && !record.destroyed)
            return &record;
    return nullptr;
}

inp_force_effect_t* checked_effect(const char* call, uint32_t device, uint8_t effect)
{
    inp_force_effect_t* record = live_effect(device, effect);
    if (!record)
        warning("%s: device %u has no effect %u", call, device, static_cast<unsigned>(effect));
    return record;
}

}  // namespace

const std::vector<inp_force_effect_t>& inp_force_effects() { return input_state().force_effects; }

ENGINE_API uint8_t inp_force_create(uint32_t device, int kind)
{
    if (input_joystick_of(device) < 0) {
        warning("inp_force_create: device %u is no attached joystick", device);
        return 0;
    }
    for (unsigned id = 1; id <= 255; ++id) {
        if (!live_effect(device, static_cast<uint8_t>(id))) {
            inp_force_effect_t record;
            record.device = device;
            record.id = static_cast<uint8_t>(id);
            record.kind = kind;
            input_state().force_effects.push_back(record);
            return record.id;
        }
    }
    warning("inp_force_create: device %u has 255 effects already", device);
    return 0;
}

ENGINE_API bool inp_force_change(uint32_t device, uint8_t effect, const int32_t* words)
{
    inp_force_effect_t* record = checked_effect("inp_force_change", device, effect);
    if (!record || !words)
        return false;
    memcpy(record->words, words, sizeof record->words);
    ++record->changes;
    return true;
}

ENGINE_API bool inp_force_play(uint32_t device, uint8_t effect, int count, int)
{
    inp_force_effect_t* record = checked_effect("inp_force_play", device, effect);
    if (!record)
        return false;
    ++record->plays;
    record->play_count = count;
    return true;
}

ENGINE_API bool inp_force_destroy(uint32_t device, uint8_t effect)
{
    inp_force_effect_t* record = checked_effect("inp_force_destroy", device, effect);
    if (!record)
        return false;
    record->destroyed = true;
    return true;
}
