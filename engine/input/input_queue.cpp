#include "engine/input_queue.h"

#include <algorithm>

#include "engine/log.h"
#include "engine/reset.h"
#include "input_state.h"

namespace {

// Events due within this much of the present time count as due, so that summed frame times that
// round a little low still reach the times a script names.
constexpr double time_tolerance = 1e-6;

// One queued event with its absolute time.
struct queued_event_t {
    double due;
    inp_event_t event;
};

std::vector<queued_event_t> queue;  // sorted by due time, stable
double present = 0.0;
std::vector<inp_change_t> changes;
// Changes a modal loop took that the next frame hands on (see inp_carry_changes).
std::vector<inp_change_t> carried;

void set_trigger(uint32_t code, bool down)
{
    inp_trigger_t* trigger = input_trigger_at(code);
    if (!trigger || (trigger->value > 0.0f) == down)
        return;
    trigger->value = down ? 1.0f : 0.0f;
    const size_t change = changes.size();
    changes.push_back({code, down});
    if (code >= inp_code_mouse_first && code < inp_code_mouse_first + inp_code_mouse_count) {
        const uint32_t bit = 1u << (code - inp_code_mouse_first);
        uint32_t& buttons = input_state().cursor.buttons;
        buttons = down ? (buttons | bit) : (buttons & ~bit);
    }
    // A command may queue more changes: mark this one by its place.
    if (down && input_bindings_fire(*trigger))
        changes[change].ran_command = true;
}

void apply(const inp_event_t& event)
{
    input_state_t& state = input_state();
    switch (event.kind) {
    case inp_event_kind_t::press:
    case inp_event_kind_t::release:
        set_trigger(event.code, event.kind == inp_event_kind_t::press);
        break;
    case inp_event_kind_t::impulse:
        if (event.value == 0.0f)
            state.direct_values.erase({event.impulse, event.context});
        else
            state.direct_values[{event.impulse, event.context}] = event.value;
        break;
    case inp_event_kind_t::axis:
        if (!inp_joy_set_axis(event.joystick, event.axis, event.value))
            warning("input: joystick %d has no axis %d for the value %g", event.joystick, event.axis,
                    static_cast<double>(event.value));
        break;
    case inp_event_kind_t::cursor:
        state.cursor.x = event.x;
        state.cursor.y = event.y;
        break;
    case inp_event_kind_t::joystick:
        inp_joy_attach(event.name, event.axis_names);
        break;
    }
}

void queue_reset()
{
    queue.clear();
    changes.clear();
    carried.clear();
    present = 0.0;
}

}  // namespace

void inp_queue_events(const std::vector<inp_event_t>& events)
{
    for (const inp_event_t& event : events) {
        const double due = present + event.time;
        const auto position = std::upper_bound(queue.begin(), queue.end(), due,
                                               [](double time, const queued_event_t& q) { return time < q.due; });
        queue.insert(position, {due, event});
    }
}

size_t inp_queue_pending() { return queue.size(); }

void inp_run_frame(double seconds)
{
    changes.swap(carried);
    carried.clear();
    // Take the due events out first: a bound command run while applying may queue more.
    auto end = queue.begin();
    while (end != queue.end() && end->due <= present + time_tolerance)
        ++end;
    const std::vector<queued_event_t> due(queue.begin(), end);
    queue.erase(queue.begin(), end);
    for (const queued_event_t& q : due)
        apply(q.event);
    present += seconds;
}

const std::vector<inp_change_t>& inp_frame_changes() { return changes; }

void inp_carry_changes(const std::vector<inp_change_t>& taken)
{
    // Only a trigger held into the loop and let go in it is handed on (its press was the frame's);
    // what was pressed in the loop was the loop's, and its later release comes as it does.
    std::vector<inp_change_t> net;
    for (const inp_change_t& change : taken) {
        const auto found =
            std::find_if(net.begin(), net.end(), [&](const inp_change_t& c) { return c.code == change.code; });
        if (found == net.end())
            net.push_back({change.code, change.down});
        else
            net.erase(found);
    }
    for (const inp_change_t& change : net)
        if (!change.down)
            carried.push_back(change);
}

static engine_reset_registrar_t input_queue_reset_registrar(reset_order_devices, queue_reset);
