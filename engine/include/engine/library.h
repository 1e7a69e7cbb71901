#pragma once
#include "engine/api.h"
#include "engine/win32.h"

// Libraries the module asks the engine for by name. "lib/<name>" is the shared library
// "lib<name>.so" beside the running program or beside the engine library (the model library
// "lib/psm" is libpsm.so there).

// A registered library (opaque).
struct dll_t;

// Loads and registers a library; the same name answers the same record. Null, with a message naming
// the library and the folders searched, when it is missing or does not load.
ENGINE_API dll_t* dll_register(const char* name);
// The handle of a registered library for GetProcAddress; null for anything else.
ENGINE_API HMODULE dll_handle(dll_t* library);
