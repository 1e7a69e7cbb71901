#include <strings.h>

#include <cstdio>
#include <cstring>

#include "engine/log.h"
#include "engine/reset.h"
#include "input_state.h"
#include "key_names.h"

input_state_t& input_state()
{
    static input_state_t state;
    return state;
}

void input_state_reset()
{
    input_state_t& state = input_state();
    state = input_state_t{};
    for (uint32_t code = 0; code < input_code_limit; ++code) {
        inp_trigger_t& trigger = state.triggers[code];
        trigger.code = code;
        snprintf(trigger.name, sizeof trigger.name, "%s", key_name_of(code).c_str());
    }
    for (int i = 0; i < inp_impulse_count; ++i) {
        state.impulses[static_cast<size_t>(i)].number = i;
        snprintf(state.impulses[static_cast<size_t>(i)].name, inp_impulse_name_bytes, "impulse_%d", i);
    }
}

inp_trigger_t* input_trigger_at(uint32_t code)
{
    if (code >= input_code_limit)
        return nullptr;
    inp_trigger_t& trigger = input_state().triggers[code];
    return trigger.name[0] ? &trigger : nullptr;
}

inp_trigger_t* input_trigger_named(const char* name)
{
    if (!name || !*name)
        return nullptr;
    for (inp_trigger_t& trigger : input_state().triggers)
        if (trigger.name[0] && strcasecmp(trigger.name, name) == 0)
            return &trigger;
    return nullptr;
}

ENGINE_API const inp_trigger_t* inp_trigger(uint32_t code)
{
    const inp_trigger_t* trigger = input_trigger_at(code);
    if (!trigger)
        warning("inp_trigger: no trigger has the code %u", code);
    return trigger;
}

namespace {

struct input_state_initialiser_t {
    input_state_initialiser_t() { input_state_reset(); }
};
const input_state_initialiser_t input_state_initialiser;

}  // namespace

static engine_reset_registrar_t input_reset_registrar(reset_order_devices, input_state_reset);
