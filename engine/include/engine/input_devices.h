#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Host and test side of the headless input devices: attaching joysticks and reading back the force
// feedback the module asked for.

// Attaches a joystick with a name and named axes; answers its number (device code 323 + number), or
// -1 with a message when inp_code_joystick_count joysticks are attached or the names are unusable.
int inp_joy_attach(const std::string& name, const std::vector<std::string>& axis_names);
// Sets the raw value of an axis (-1 to 1); false for a bad joystick, axis or value.
bool inp_joy_set_axis(int joystick, int axis, float value);

// One force-feedback effect as the module made it.
struct inp_force_effect_t {
    uint32_t device = 0;
    uint8_t id = 0;
    int kind = 0;
    int32_t words[10] = {};
    int changes = 0;     // inp_force_change calls
    int plays = 0;       // inp_force_play calls
    int play_count = 0;  // the count of the latest play
    bool destroyed = false;
};
// Every effect created since the last reset, destroyed ones included, in creation order.
const std::vector<inp_force_effect_t>& inp_force_effects();

// The input mode the module set last with inp_set_active.
int inp_active_mode();
