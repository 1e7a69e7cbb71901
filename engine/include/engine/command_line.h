#pragma once
#include <string>
#include <vector>

#include "engine/api.h"

// The module's command line ("-map NAME", "-edit", ...), as the host passed it through. Argument 0 is
// the program name.

// Index of the argument equal to `name` (case-insensitive), or 0 when absent.
ENGINE_API int cdl_param(const char* name);
ENGINE_API int cdl_argc();
// Argument `index`, or null past the end.
ENGINE_API const char* cdl_argv(int index);

// Host side: replaces the command line.
void cdl_set(const std::vector<std::string>& arguments);
