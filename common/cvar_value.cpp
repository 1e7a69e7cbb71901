#include "common/cvar_value.h"

const char* cvar_string_value(const cvar_t* variable)
{
    if (!variable)
        return nullptr;
    while (variable->link())
        variable = variable->link();
    return variable->holds_default() ? variable->default_text() : variable->value_text();
}

const char* cvar_chain_string(const cvar_t* variable)
{
    if (!variable)
        return nullptr;
    while (variable->link())
        variable = variable->link();
    return variable->default_text();
}
