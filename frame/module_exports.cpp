// The four functions the engine host calls on the module, and the library's entry hook.
#include "common/engine_api.h"
#include "frame/game_process.h"
#include "common/geometry_pools.h"
#include "common/local_def.h"
#include "frame/psm_process.h"
#include "frame/type_registry.h"

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

// Binds the engine and the model library, registers every type, and adds the model library's
// process. Always true: a name the host does not export stays unbound.
MODULE_EXPORT bool DLL_register(HMODULE host_module)
{
    HMODULE const model_library = bind_engine(host_module);
    register_entity_types();
    psm_process_create(model_library);
    return true;
}

// Creates the game process and runs its start-up.
MODULE_EXPORT void DLL_game_init() { game_process_t::create_and_start(); }

// The UI-editing host needs only the local definitions.
MODULE_EXPORT void DLL_uiedit_init() { load_local_def(); }

// Writes the configuration through the game process, then removes the render pools.
MODULE_EXPORT void DLL_shutdown()
{
    if (game_process_t* game = game_process_t::instance())
        game->write_config();
    geometry_pools_free();
}

// The library's own entry hook: nothing to do for any reason code.
MODULE_EXPORT int dll_main_hook(void*, unsigned, void*) { return 1; }
