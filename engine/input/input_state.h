#pragma once
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/input.h"
#include "engine/input_devices.h"

// State shared by the input family's sources (not part of the engine's interface).

// Codes 0 .. input_code_limit - 1 index the trigger table.
constexpr uint32_t input_code_limit = inp_code_joystick_first + inp_code_joystick_count;

// One attached joystick.
struct input_joystick_t {
    std::string name;
    std::vector<std::string> axis_names;
    float raw[inp_joy_axis_count] = {};
    float dead_zone[inp_joy_axis_count] = {};
};

// Everything the input devices hold.
struct input_state_t {
    std::array<inp_trigger_t, input_code_limit> triggers{};  // unnamed entries are no trigger
    std::array<inp_impulse_t, inp_impulse_count> impulses{};
    std::map<std::pair<int, int>, float> direct_values;  // (impulse, context) -> value
    std::vector<input_joystick_t> joysticks;
    std::vector<inp_force_effect_t> force_effects;
    inp_cursor_t cursor{};
    int active = 0;
    int mouse_state = 0;
    float mouse_sensitivity = 1.0f;
    bool devices_ready = false;
};

input_state_t& input_state();

// Puts the devices back to their start state (named triggers, default impulse names, nothing held).
void input_state_reset();

// The trigger named `name` (case-insensitive), or null.
inp_trigger_t* input_trigger_named(const char* name);
// The trigger of a code, or null; no message.
inp_trigger_t* input_trigger_at(uint32_t code);
// Joystick number of a device code, or -1 when no attached joystick has that code.
int input_joystick_of(uint32_t device);
// Recomputes the axis values of a joystick's trigger from its raw values and dead zones.
void input_joystick_refresh(int joystick);

// Runs the command bindings of a trigger that went down; true when there was any.
bool input_bindings_fire(const inp_trigger_t& trigger);
// True when a binding of `impulse` in `context` has its trigger held.
bool input_bindings_hold(int impulse, int context);
