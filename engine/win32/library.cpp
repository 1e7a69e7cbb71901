#include <dlfcn.h>

#include "engine/win32.h"

ENGINE_API FARPROC GetProcAddress(HMODULE module, const char* name)
{
    if (!module || !name)
        return nullptr;
    return dlsym(module, name);
}
