#pragma once
#include <cstdint>

#include "engine/api.h"

// The player's input devices as the module sees them: triggers (keys, mouse buttons, joystick buttons,
// the point-of-view hat and whole joysticks), each named by a trigger code; impulses (numbered actions
// whose value the game reads); the pointer; joysticks and force feedback. Headless: every state here
// comes from the input queue (engine/input_queue.h), which scripts and tests fill.

// Trigger codes. Keys use their keyboard scan codes (1 to 255); the other sources follow.
enum inp_code_t : uint32_t {
    inp_code_key_last = 255,
    inp_code_mouse_first = 262,  // + index of the mouse button (its bit in the button mask)
    inp_code_mouse_count = 8,
    inp_code_joy_button_first = 280,  // + index of the joystick button
    inp_code_joy_button_count = 13,
    inp_code_pov_first = 293,  // the four directions of the hat, flags 1 to 4
    inp_code_pov_count = 4,
    inp_code_joystick_first = 323,  // + joystick number: the joystick as a whole (its axes)
    inp_code_joystick_count = 8,
};

// Number of axes every joystick record holds.
constexpr int inp_joy_axis_count = 16;
// Impulses are numbered 0 to inp_impulse_count - 1.
constexpr int inp_impulse_count = 256;
// Longest impulse alias name, NUL included.
constexpr int inp_impulse_name_bytes = 32;

// One trigger. The name comes first, so a trigger record also reads as its key name where a binding
// call takes one (bind_add_imp(inp_trigger(code)->name, ...)).
struct inp_trigger_t {
    char name[24];                   // key name, unique among triggers ("esc", "F1", "mouse1", ...)
    uint32_t code;                   // its trigger code
    float value;                     // 1 while held, 0 released
    float axis[inp_joy_axis_count];  // joystick triggers: axis values after the dead zone, -1 to 1
};

// One impulse. Its alias name is writable: the module renames impulses ("vo_1", "edit_6") and binds
// keys to them by that name.
struct inp_impulse_t {
    char name[inp_impulse_name_bytes];  // alias; "impulse_<number>" until renamed
    int number;
};

// The pointer of the system: position in window pixels and the mouse buttons held (bit per button).
struct inp_cursor_t {
    int x;
    int y;
    uint32_t buttons;
};

// An input device: 0 the keyboard, 1 the mouse, 2 and up the attached joysticks.
struct inp_device_t {
    char name[64];
    uint32_t code;  // 0 keyboard, 262 mouse, 323 + n joystick n
};

// Prepares the devices; true.
ENGINE_API bool inp_init_devices();
// Device `index` (see inp_device_t), or null past the last one; the record holds until the next call.
ENGINE_API const inp_device_t* inp_device_get(int index);

// The trigger of a code, or null (with a warning) for a code that names no trigger.
ENGINE_API const inp_trigger_t* inp_trigger(uint32_t code);

// The record of impulse `impulse`, or null (with a warning) outside 0 .. inp_impulse_count - 1.
ENGINE_API inp_impulse_t* inp_impulse_get(int impulse);
// Value of an impulse as read in binding context `context`: the larger of the value set for it directly
// (scripted analogue input) and 1 while a trigger bound to it in that context is held; 0 when inactive.
ENGINE_API float inp_impulse_value(int impulse, int context);

// Recorded state the engine keeps for the module: the active input mode (0 game, 1 editor), the
// mouse state (0 captured by the game, 1 free pointer) and the mouse sensitivity.
ENGINE_API void inp_set_active(int active);
ENGINE_API void inp_set_mouse_state(int state);
ENGINE_API int inp_get_mouse_state();
ENGINE_API void inp_set_mouse_sensitivity(float sensitivity, int flags);
ENGINE_API float inp_get_mouse_sensitivity();

// The pointer: read into `out` (false for null), and move it.
ENGINE_API bool inp_cursor_info(inp_cursor_t* out);
ENGINE_API void inp_cursor_info_set(int x, int y);

// Joysticks, addressed by their device code 323 + n.
ENGINE_API int inp_joy_get_count();
// Copies the joystick's name into `buffer`; false (buffer untouched) when there is no such joystick or
// the name with its NUL does not fit `size`.
ENGINE_API bool inp_joy_get_name(uint32_t device, char* buffer, int size);
// Copies the name of axis `axis` of the joystick; false when the joystick or the axis has no name or
// it does not fit.
ENGINE_API bool inp_joy_get_axis_name(uint32_t device, int axis, char* buffer, int size);
// Axis values whose size is at most `dead_zone` (0 to 1) read as 0. False for a bad device, axis or zone.
ENGINE_API bool inp_joy_set_dead_zone(uint32_t device, float dead_zone, int axis);

// Force feedback on a joystick, recorded (engine/input_queue.h lets tests read the effects).
// Creates an effect of `kind`: its id 1 to 255, or 0 when the device is no attached joystick.
ENGINE_API uint8_t inp_force_create(uint32_t device, int kind);
// Sets the ten parameter words of an effect.
ENGINE_API bool inp_force_change(uint32_t device, uint8_t effect, const int32_t* words);
// Starts an effect `count` times.
ENGINE_API bool inp_force_play(uint32_t device, uint8_t effect, int count, int flags);
ENGINE_API bool inp_force_destroy(uint32_t device, uint8_t effect);
