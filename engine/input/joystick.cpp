#include <cmath>
#include <cstring>

#include "engine/log.h"
#include "input_state.h"

namespace {

// Copies `text` with its NUL into a caller's buffer when it fits; never cuts it.
bool copy_name(const std::string& text, char* buffer, int size)
{
    if (!buffer || size <= 0 || text.size() + 1 > static_cast<size_t>(size))
        return false;
    memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

int input_joystick_of(uint32_t device)
{
    if (device < inp_code_joystick_first)
        return -1;
    const uint32_t joystick = device - inp_code_joystick_first;
    return joystick < input_state().joysticks.size() ? static_cast<int>(joystick) : -1;
}

void input_joystick_refresh(int joystick)
{
    input_state_t& state = input_state();
    const input_joystick_t& stick = state.joysticks[static_cast<size_t>(joystick)];
    inp_trigger_t& trigger = state.triggers[inp_code_joystick_first + static_cast<uint32_t>(joystick)];
    for (int axis = 0; axis < inp_joy_axis_count; ++axis) {
        const float raw = stick.raw[axis];
        trigger.axis[axis] = std::fabs(raw) <= stick.dead_zone[axis] ? 0.0f : raw;
    }
}

int inp_joy_attach(const std::string& name, const std::vector<std::string>& axis_names)
{
    input_state_t& state = input_state();
    if (state.joysticks.size() >= inp_code_joystick_count) {
        error("input: cannot attach joystick \"%s\": %u are attached already", name.c_str(),
              static_cast<unsigned>(inp_code_joystick_count));
        return -1;
    }
    if (name.empty() || axis_names.size() > static_cast<size_t>(inp_joy_axis_count)) {
        error("input: a joystick needs a name and at most %d axes", inp_joy_axis_count);
        return -1;
    }
    state.joysticks.push_back({name, axis_names, {}, {}});
    return static_cast<int>(state.joysticks.size()) - 1;
}

bool inp_joy_set_axis(int joystick, int axis, float value)
{
    input_state_t& state = input_state();
    if (joystick < 0 || static_cast<size_t>(joystick) >= state.joysticks.size() || axis < 0 ||
        axis >= inp_joy_axis_count || !(value >= -1.0f && value <= 1.0f))
        return false;
    state.joysticks[static_cast<size_t>(joystick)].raw[axis] = value;
    input_joystick_refresh(joystick);
    return true;
}

ENGINE_API int inp_joy_get_count() { return static_cast<int>(input_state().joysticks.size()); }

ENGINE_API bool inp_joy_get_name(uint32_t device, char* buffer, int size)
{
    const int joystick = input_joystick_of(device);
    if (joystick < 0)
        return false;
    return copy_name(input_state().joysticks[static_cast<size_t>(joystick)].name, buffer, size);
}

ENGINE_API bool inp_joy_get_axis_name(uint32_t device, int axis, char* buffer, int size)
{
    const int joystick = input_joystick_of(device);
    if (joystick < 0 || axis < 0)
        return false;
    const auto& names = input_state().joysticks[static_cast<size_t>(joystick)].axis_names;
    if (static_cast<size_t>(axis) >= names.size() || names[static_cast<size_t>(axis)].empty())
        return false;
    return copy_name(names[static_cast<size_t>(axis)], buffer, size);
}

ENGINE_API bool inp_joy_set_dead_zone(uint32_t device, float dead_zone, int axis)
{
    const int joystick = input_joystick_of(device);
    if (joystick < 0 || axis < 0 || axis >= inp_joy_axis_count || !(dead_zone >= 0.0f && dead_zone <= 1.0f)) {
        warning("inp_joy_set_dead_zone: no dead zone %g for axis %d of device %u", static_cast<double>(dead_zone), axis,
                device);
        return false;
    }
    input_state().joysticks[static_cast<size_t>(joystick)].dead_zone[axis] = dead_zone;
    input_joystick_refresh(joystick);
    return true;
}
