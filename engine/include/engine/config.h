#pragma once
#include "engine/api.h"

// The console configuration file: lines of "set NAME "VALUE"" and "bind "KEY" "COMMAND"" that the
// console runs at start.

// Writes every console variable (and every value kept for a variable not registered in this run), then
// every key binding the console's "bind" made, then the player's own bindings (flags 1) as
// "bind_impulse KEY CONTEXT IMPULSE" and "bind_command KEY CONTEXT COMMAND" lines, to `path` in the virtual file
// system. The file is replaced whole (a temporary file renamed over it). False with a message when it cannot be
// written.
ENGINE_API bool process_store_cfg(const char* path);

// Runs "/config.cfg" when it exists. False only when it exists but cannot be read. It runs by itself
// each time a home is mounted as the fallback device, so a variable registered afterwards takes the
// value the home's configuration gave it.
bool console_load_config();
