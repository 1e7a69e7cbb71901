// The console variables the player's truck takes its settings from.
#include "vehicles/player/console_settings.h"

#include <cstdlib>
#include <cstring>

#include "engine/cvar.h"
#include "common/cvar_value.h"
#include "common/engine_api.h"

const char* setting_text(const char* name)
{
    const cvar_t* const variable = api::cvar_get(name);
    return variable ? cvar_string_value(variable) : nullptr;
}

bool setting_reads(const char* name, const char* text)
{
    const char* const value = setting_text(name);
    return value && std::strcmp(value, text) == 0;
}

int32_t setting_integer(const char* name, int32_t fallback)
{
    const char* const value = setting_text(name);
    return value ? std::atoi(value) : fallback;
}

void read_setting(const char* name, int32_t& out)
{
    if (const char* text = setting_text(name))
        out = std::atoi(text);
}

void read_setting(const char* name, float& out)
{
    if (const char* text = setting_text(name))
        out = static_cast<float>(std::atof(text));
}

void read_flag_setting(const char* name, uint8_t& out)
{
    if (const char* text = setting_text(name))
        out = std::atoi(text) == 1 ? 1 : 0;
}
