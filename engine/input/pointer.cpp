#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "engine/cvar.h"
#include "engine/log.h"
#include "input_state.h"

namespace {

// "m_sensitivity" set from the console or the configuration becomes the mouse sensitivity.
void on_mouse_sensitivity(cvar_t* variable)
{
    const float sensitivity = std::strtof(variable->value(), nullptr);
    if (std::isfinite(sensitivity) && sensitivity > 0.0f)
        input_state().mouse_sensitivity = sensitivity;
}

// The input settings of the host, kept in the configuration: the mouse sensitivity and the joystick
// that drives (-1 none).
cvar_t mouse_sensitivity_variable{"m_sensitivity", "1", cvar_t::type_real, on_mouse_sensitivity, 0};
cvar_t joystick_variable{"i_joystick1", "-1", cvar_t::type_integer, nullptr, 0};

}  // namespace

ENGINE_API bool inp_init_devices()
{
    input_state().devices_ready = true;
    // Registered once the configuration has been read, so they take its values.
    cvar_register_variable(&mouse_sensitivity_variable, 0);
    cvar_register_variable(&joystick_variable, 0);
    on_mouse_sensitivity(&mouse_sensitivity_variable);
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
    if (cvar_get("m_sensitivity") == &mouse_sensitivity_variable) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(sensitivity));
        mouse_sensitivity_variable.set(text);
    }
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
