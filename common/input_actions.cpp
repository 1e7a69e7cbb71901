#include "common/input_actions.h"

#include "common/engine_api.h"
#include "common/impulses.h"

const input_action_t input_action_table[input_action_count + 1] = {
    {"@@o_im_forward@@", impulse_forward, nullptr, 0xC8},
    {"@@o_im_backward@@", impulse_backward, nullptr, 0xD0},
    {"@@o_im_left@@", impulse_left, nullptr, 0xCB},
    {"@@o_im_right@@", impulse_right, nullptr, 0xCD},
    {"@@o_im_gear_up@@", impulse_gear_up, nullptr, 0x1E},
    {"@@o_im_gear_down@@", impulse_gear_down, nullptr, 0x2C},
    {"@@o_im_lights@@", impulse_lights, nullptr, 0x26},
    {"@@o_im_attach@@", impulse_attach, nullptr, 0x14},
    {"@@o_im_detach@@", impulse_detach, nullptr, 0x20},
    {"@@o_im_map@@", impulse_map, nullptr, 0x32},
    {"@@o_im_notebook@@", impulse_notebook, nullptr, 0x31},
    {"@@o_im_voice@@", impulse_voice, nullptr, 0x2F},
    {"@@o_im_jukebox@@", impulse_jukebox, nullptr, 0x24},
    {"@@o_im_cruise_ctrl@@", impulse_cruise_ctrl, nullptr, 0x2E},
    {"@@o_im_wipers@@", impulse_wipers, nullptr, 0x11},
    {"@@o_im_engine@@", impulse_engine, nullptr, 0x12},
    {"@@o_im_lblinker@@", impulse_lblinker, nullptr, 0x1A},
    {"@@o_im_rblinker@@", impulse_rblinker, nullptr, 0x1B},
    {"@@o_im_gas_pump@@", impulse_gas_pump, nullptr, 0x3F},
    {"@@o_im_service@@", impulse_service, nullptr, 0x40},
    {"@@o_im_call911@@", impulse_call911, nullptr, 0x43},
    {"@@o_im_mirrors@@", impulse_mirrors, nullptr, 0x3C},
    {"@@o_im_hidehud@@", impulse_hidehud, nullptr, 0x3D},
    {"@@o_im_screenshot@@", -1, "screenshot", 0x44},
    {"@@o_im_horn@@", impulse_horn, nullptr, 0x23},
    {"@@o_im_handbrake@@", impulse_handbrake, nullptr, 0x39},
    {"@@o_im_jakebrake@@", impulse_jakebrake, nullptr, 0x30},
    {"@@o_im_4wflasher@@", impulse_4wflasher, nullptr, 0x21},
    {"@@o_im_cam_rotate@@", impulse_cam_rotate, nullptr, 0x36},
    {"@@o_im_insidecam@@", impulse_insidecam, nullptr, 0x02},
    {"@@o_im_back1cam@@", impulse_back1cam, nullptr, 0x03},
    {"@@o_im_uppercam@@", impulse_uppercam, nullptr, 0x04},
    {"@@o_im_topcam@@", impulse_topcam, nullptr, 0x05},
    {"@@o_im_freecam@@", impulse_freecam, nullptr, 0x06},
    {"@@o_im_back2cam@@", impulse_back2cam, nullptr, 0x07},
    {"@@o_im_bumpercam@@", impulse_bumpercam, nullptr, 0x08},
    {"@@o_im_leftmirrorplus@@", impulse_leftmirrorplus, nullptr, 0xC7},
    {"@@o_im_leftmirrorminus@@", impulse_leftmirrorminus, nullptr, 0xCF},
    {"@@o_im_rightmirrorplus@@", impulse_rightmirrorplus, nullptr, 0xC9},
    {"@@o_im_rightmirrorminus@@", impulse_rightmirrorminus, nullptr, 0xD1},
    {"", -1, nullptr, 0xFFFFFFFFu},
};

namespace {

// The key name of a trigger code, or null (reported) when the engine knows no such trigger.
const char* key_name(const uint32_t code)
{
    const inp_trigger_t* trigger = api::inp_trigger(code);
    if (!trigger)
        api::error("[controls] no key with code %u", code);
    return trigger ? trigger->name : nullptr;
}

void bind_default(const input_action_t& action)
{
    if (action.impulse >= 0) {
        const inp_impulse_t* impulse = api::inp_impulse_get(action.impulse);
        const char* key = key_name(action.default_key);
        if (!impulse || !key)
            return;
        api::bind_del_impulsealias(impulse->name, 0);
        api::bind_add_imp(key, impulse->name, 0, 1);
    } else if (action.command) {
        const char* key = key_name(action.default_key);
        if (!key)
            return;
        if (const bind_t* first = api::inp_trigger_command(action.command, nullptr))
            api::bind_del(first->id);
        api::bind_add_cmd(key, action.command, 0, 1);
    }
}

}  // namespace

void apply_default_bindings()
{
    for (const input_action_t* action = input_action_table; action->label[0]; ++action)
        bind_default(*action);
}
