#pragma once
#include "engine/cvar.h"

// The value text of a console variable in force: the last variable of its link chain (the variable
// itself when it has no link) gives its set value, or its default while the default holds. Null for a
// null variable.
const char* cvar_string_value(const cvar_t* variable);
// The default text of a console variable: that of the last variable of its link chain (the variable's
// own when it has no link). Null for a null variable.
const char* cvar_chain_string(const cvar_t* variable);
