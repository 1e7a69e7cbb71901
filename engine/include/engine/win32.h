#pragma once
#include "engine/api.h"

// The few Windows calls the module makes, answered on Linux.
using HMODULE = void*;
using FARPROC = void*;

// Looks a function up by name in a loaded library (dlsym); null when the library does not export it.
ENGINE_API FARPROC GetProcAddress(HMODULE module, const char* name);
