#pragma once
#include <cstdint>

#include "ui/components/ui_handler_game_base.h"

struct c_item_t;

// The controls page of the options ("ui.handler.menu.options2", window "options2" of group "menu",
// "/ui/options/moptions2.esc"): the input actions with their keys, rebound through the capture prompt
// (a new key is taken from every other action); the input device; the joystick's axes, dead zones,
// steering sensitivity and force feedback; the mouse sensitivity; the automatic transmission, wipers and
// blinkers; the default bindings. Every control writes its setting at once.
class ui_handler_menu_options2_t : public ui_handler_game_base_t {
public:
    // Component ids of the page's script.
    enum control_id_t : int {
        actions_id = 10,
        mouse_slider_id = 30,
        device_list_id = 40,
        combine_off_id = 50,
        combine_on_id = 55,
        feedback_on_id = 60,
        feedback_off_id = 65,
        gain_slider_id = 70,
        steer_sens_slider_id = 80,
        steer_axis_id = 90,
        steer_dead_zone_id = 92,
        throttle_axis_id = 100,
        throttle_dead_zone_id = 102,
        brake_axis_id = 110,
        brake_dead_zone_id = 112,
        brake_group_id = 116,
        trans_on_id = 200,
        trans_off_id = 205,
        wipers_on_id = 210,
        wipers_off_id = 215,
        blinkers_on_id = 220,
        blinkers_off_id = 225,
        defaults_id = 1000,
        back_id = 1001,
    };
    // Input devices besides the joysticks (0 and up).
    static constexpr int32_t keyboard_device = -1;
    static constexpr int32_t mouse_device = -2;

    const char* get_default_name() const override { return "ui.handler.menu.options2"; }
    virtual const char* get_type_name() const { return "ui.handler.menu.options2"; }

    // Per frame: the help line, then, once the capture prompt has hidden itself, applies its answer and
    // closes it.
    void handler() override;
    // Controls (2), Esc (8), the axis fields (12) and list picks (22); true for Defaults, Back and Esc.
    bool handle(ui_view_t* view, int code, void* param) override;
    // Rebuilds the action list and reads every control again.
    void on_wshow() override;
    // The player's truck takes up the control settings.
    void on_whide() override;

    // Fills the action list (`update_only`: rewrites the rows in place).
    void list_bindings(bool update_only);
    // The keyboard, the mouse and the joysticks into the device drop-down.
    void fill_devices();
    // The switches, the mouse slider and the input device from the variables.
    void read_cvars();
    // The axis fields, the joystick sliders and the combine and force-feedback buttons.
    void joystick_axes();
    // Activates or deactivates the joystick's controls (the steering sensitivity serves the mouse too).
    void enable_joystick_controls(bool enabled);
    // Opens the capture prompt for the pending action / axis slot.
    void open_key_prompt();
    void open_axis_prompt();
    // The default bindings and switches.
    void reset_defaults();

    c_item_t* prompt_window = nullptr;      // the open capture prompt, null when none is open
    bool axis_prompt = false;               // the prompt captures a joystick axis
    int32_t pending_action = -1;            // key prompt: the impulse (-1 the command action); axis prompt: the slot
    const char* pending_command = nullptr;  // the command of the action being rebound, null for impulses
    int32_t input_device = keyboard_device;

private:
    // Opens the prompt window and asks it for a key (`axis` false) or an axis.
    void open_prompt(bool axis);
    // Applies a captured key (or the deletion after Esc) to the pending action.
    void apply_key(int32_t code);
    // Shows an axis field from its variable.
    void show_axis(int id, const char* name);
    // Takes the prompt window off the bridge and forgets it.
    void close_prompt();
};
