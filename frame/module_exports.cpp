// The four functions the engine host calls on the module.
#include "engine/log.h"

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MODULE_EXPORT bool DLL_register(void* host_module)
{
    message("module registered (host %s)", host_module ? "bound" : "missing");
    return true;
}

MODULE_EXPORT void DLL_game_init() { message("module game init"); }

MODULE_EXPORT void DLL_uiedit_init() { message("module ui-edit init"); }

MODULE_EXPORT void DLL_shutdown() { message("module shutdown"); }
