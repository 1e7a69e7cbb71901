#include "common/input_actions.h"

#include "common/engine_api.h"

const input_action_t input_action_table[input_action_count + 1] = {
    {"@@o_im_forward@@", 100, nullptr, 0xC8},
    {"@@o_im_backward@@", 101, nullptr, 0xD0},
    {"@@o_im_left@@", 102, nullptr, 0xCB},
    {"@@o_im_right@@", 103, nullptr, 0xCD},
    {"@@o_im_gear_up@@", 150, nullptr, 0x1E},
    {"@@o_im_gear_down@@", 151, nullptr, 0x2C},
    {"@@o_im_lights@@", 152, nullptr, 0x26},
    {"@@o_im_attach@@", 155, nullptr, 0x14},
    {"@@o_im_detach@@", 156, nullptr, 0x20},
    {"@@o_im_map@@", 160, nullptr, 0x32},
    {"@@o_im_notebook@@", 182, nullptr, 0x31},
    {"@@o_im_voice@@", 165, nullptr, 0x2F},
    {"@@o_im_jukebox@@", 161, nullptr, 0x24},
    {"@@o_im_cruise_ctrl@@", 157, nullptr, 0x2E},
    {"@@o_im_wipers@@", 166, nullptr, 0x11},
    {"@@o_im_engine@@", 158, nullptr, 0x12},
    {"@@o_im_lblinker@@", 153, nullptr, 0x1A},
    {"@@o_im_rblinker@@", 154, nullptr, 0x1B},
    {"@@o_im_gas_pump@@", 180, nullptr, 0x3F},
    {"@@o_im_service@@", 181, nullptr, 0x40},
    {"@@o_im_call911@@", 183, nullptr, 0x43},
    {"@@o_im_mirrors@@", 162, nullptr, 0x3C},
    {"@@o_im_hidehud@@", 159, nullptr, 0x3D},
    {"@@o_im_screenshot@@", -1, "screenshot", 0x44},
    {"@@o_im_horn@@", 163, nullptr, 0x23},
    {"@@o_im_handbrake@@", 125, nullptr, 0x39},
    {"@@o_im_jakebrake@@", 126, nullptr, 0x30},
    {"@@o_im_4wflasher@@", 164, nullptr, 0x21},
    {"@@o_im_cam_rotate@@", 167, nullptr, 0x36},
    {"@@o_im_insidecam@@", 130, nullptr, 0x02},
    {"@@o_im_back1cam@@", 131, nullptr, 0x03},
    {"@@o_im_uppercam@@", 132, nullptr, 0x04},
    {"@@o_im_topcam@@", 133, nullptr, 0x05},
    {"@@o_im_freecam@@", 134, nullptr, 0x06},
    {"@@o_im_back2cam@@", 136, nullptr, 0x07},
    {"@@o_im_bumpercam@@", 137, nullptr, 0x08},
    {"@@o_im_leftmirrorplus@@", 184, nullptr, 0xC7},
    {"@@o_im_leftmirrorminus@@", 185, nullptr, 0xCF},
    {"@@o_im_rightmirrorplus@@", 186, nullptr, 0xC9},
    {"@@o_im_rightmirrorminus@@", 187, nullptr, 0xD1},
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
