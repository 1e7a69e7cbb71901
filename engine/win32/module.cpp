#include <dlfcn.h>
#include <strings.h>

#include <string>

#include "engine/win32.h"

ENGINE_API HMODULE GetModuleHandleA(const char* name)
{
    if (!name)
        return dlopen(nullptr, RTLD_NOW);
    std::string base = name;
    if (base.size() > 4 && strcasecmp(base.c_str() + base.size() - 4, ".dll") == 0)
        base.resize(base.size() - 4);
    if (base.empty() || base.find('/') != std::string::npos)
        return nullptr;
    const std::string file = "lib" + base + ".so";
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    // The library stays loaded by whoever loaded it; like Windows, this call takes no reference.
    if (handle)
        dlclose(handle);
    return handle;
}
