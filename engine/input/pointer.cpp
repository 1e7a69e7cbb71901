#include <cmath>

#include "engine/log.h"
#include "input_state.h"

ENGINE_API bool inp_init_devices()
{
    input_state().devices_ready = true;
    return true;
}

ENGINE_API const inp_device_t* inp_device_get(int index)
{
    static inp_device_t device;
    const input_state_t& state = input_state();
    if (index < 0 || index >= 2 + static_cast<int>(state.joysticks.size()))
        return nullptr;
    if (index == 0) {
        device = {"keyboard", 0};
    } else if (index == 1) {
        device = {"mouse", inp_code_mouse_first};
    } else {
        const int joystick = index - 2;
        device = {};
        snprintf(device.name, sizeof device.name, "%s", state.joysticks[static_cast<size_t>(joystick)].name.c_str());
        device.code = inp_code_joystick_first + static_cast<uint32_t>(joystick);
    }
    return &device;
}

ENGINE_API void inp_set_active(int active) { input_state().active = active; }
ENGINE_API void inp_set_mouse_state(int state) { input_state().mouse_state = state; }
ENGINE_API int inp_get_mouse_state() { return input_state().mouse_state; }

ENGINE_API void inp_set_mouse_sensitivity(float sensitivity, int)
{
    if (!std::isfinite(sensitivity) || sensitivity <= 0.0f) {
        warning("inp_set_mouse_sensitivity: %g is no sensitivity", static_cast<double>(sensitivity));
        return;
    }
    input_state().mouse_sensitivity = sensitivity;
}

ENGINE_API float inp_get_mouse_sensitivity() { return input_state().mouse_sensitivity; }

ENGINE_API bool inp_cursor_info(inp_cursor_t* out)
{
    if (!out)
        return false;
    *out = input_state().cursor;
    return true;
}

ENGINE_API void inp_cursor_info_set(int x, int y)
{
    input_state().cursor.x = x;
    input_state().cursor.y = y;
}

int inp_active_mode() { return input_state().active; }
