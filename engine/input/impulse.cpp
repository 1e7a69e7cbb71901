#include <algorithm>

#include "engine/log.h"
#include "input_state.h"

ENGINE_API inp_impulse_t* inp_impulse_get(int impulse)
{
    if (impulse < 0 || impulse >= inp_impulse_count) {
        warning("inp_impulse_get: no impulse %d (0 to %d)", impulse, inp_impulse_count - 1);
        return nullptr;
    }
    return &input_state().impulses[static_cast<size_t>(impulse)];
}

ENGINE_API float inp_impulse_value(int impulse, int context)
{
    if (impulse < 0 || impulse >= inp_impulse_count)
        return 0.0f;
    float value = 0.0f;
    const auto& direct = input_state().direct_values;
    if (const auto it = direct.find({impulse, context}); it != direct.end())
        value = it->second;
    if (input_bindings_hold(impulse, context))
        value = std::max(value, 1.0f);
    return value;
}
