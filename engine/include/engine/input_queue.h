#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Host and test side of the input: the queue of timed input events that scripts (engine/input_script.h)
// and tests fill, and the per-frame step that applies them to the devices of engine/input.h.

// What one input event does.
enum class inp_event_kind_t {
    press,     // a trigger goes down
    release,   // a trigger goes up
    impulse,   // an impulse takes a value in a binding context (0 ends it)
    axis,      // a joystick axis takes a raw value
    cursor,    // the pointer moves
    joystick,  // a joystick is attached
};

// One timed input event.
struct inp_event_t {
    double time = 0.0;  // seconds after the moment the event was queued
    inp_event_kind_t kind = inp_event_kind_t::press;
    uint32_t code = 0;  // press, release: the trigger code
    int impulse = 0;    // impulse: number and binding context
    int context = 0;
    int joystick = 0;  // axis: joystick number and axis
    int axis = 0;
    float value = 0.0f;  // impulse, axis
    int x = 0;           // cursor
    int y = 0;
    std::string name;                     // joystick: its name
    std::vector<std::string> axis_names;  // joystick: its axes in order (at most inp_joy_axis_count)
};

// Adds events to the queue; their times count from the queue's present time.
void inp_queue_events(const std::vector<inp_event_t>& events);
// Number of events not applied yet.
size_t inp_queue_pending();

// The start of one frame: applies every queued event due by the queue's present time, in time order
// (events of equal time in the order queued), then moves the time on by `seconds`.
void inp_run_frame(double seconds);

// One trigger that went down or up.
struct inp_change_t {
    uint32_t code;
    bool down;
    bool ran_command = false;  // the press ran a bound console command
};
// The trigger changes applied by the latest inp_run_frame, in order (what the UI dispatches as events).
const std::vector<inp_change_t>& inp_frame_changes();
// Hands what a modal loop (a dialog box running its own inp_run_frame steps) took to the next frame:
// the releases of triggers held down into the loop head that frame's changes.
void inp_carry_changes(const std::vector<inp_change_t>& taken);
