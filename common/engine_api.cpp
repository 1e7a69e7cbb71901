#include "common/engine_api.h"

#include <dlfcn.h>

namespace {

// Stores the address `module` exports under `name` in `slot`, typed as the slot.
template <typename pointer_t> void bind_entry(pointer_t& slot, HMODULE module, const char* name)
{
    slot = reinterpret_cast<pointer_t>(GetProcAddress(module, name));
}

}  // namespace

#define KAVRENTA_API_BIND_ENTRY(name) bind_entry(api::name, module, #name);

void resolve_log_api(HMODULE module) { KAVRENTA_API_LOG(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_sys_api(HMODULE module) { KAVRENTA_API_SYS(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_mm_api(HMODULE module) { KAVRENTA_API_MM(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_gfx_api(HMODULE module) { KAVRENTA_API_GFX(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_snd_api(HMODULE module) { KAVRENTA_API_SND(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_cmd_api(HMODULE module) { KAVRENTA_API_CMD(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_process_api(HMODULE module) { KAVRENTA_API_PROCESS(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_bind_api(HMODULE module) { KAVRENTA_API_BIND(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_inp_api(HMODULE module) { KAVRENTA_API_INP(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_vfs_api(HMODULE module) { KAVRENTA_API_VFS(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_net_api(HMODULE module) { KAVRENTA_API_NET(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_dll_api(HMODULE module) { KAVRENTA_API_DLL(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_wnd_api(HMODULE module) { KAVRENTA_API_WND(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_hw_api(HMODULE module) { KAVRENTA_API_HW(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }
void resolve_psm_api(HMODULE module) { KAVRENTA_API_PSM(KAVRENTA_API_BIND_ENTRY, KAVRENTA_API_BIND_ENTRY) }

#undef KAVRENTA_API_BIND_ENTRY

namespace {

// The handle of "lib/psm" through the host's library calls; null when they are unbound or fail.
HMODULE model_library_handle()
{
    if (!api::dll_register || !api::dll_handle)
        return nullptr;
    return api::dll_handle(api::dll_register("lib/psm"));
}

}  // namespace

HMODULE bind_engine(HMODULE host)
{
    resolve_log_api(host);
    resolve_sys_api(host);
    resolve_mm_api(host);
    resolve_gfx_api(host);
    resolve_snd_api(host);
    resolve_cmd_api(host);
    resolve_process_api(host);
    resolve_bind_api(host);
    resolve_inp_api(host);
    resolve_vfs_api(host);
    resolve_net_api(host);
    resolve_dll_api(host);
    resolve_wnd_api(host);
    resolve_hw_api(host);
    HMODULE const model_library = model_library_handle();
    resolve_psm_api(model_library);
    return model_library;
}

bool bind_engine_for_tests()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&::message), &info) || !info.dli_fname)
        return false;
    // RTLD_NOLOAD hands out a counted handle of the library already mapped; it stays mapped anyway.
    HMODULE const engine = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    if (!engine)
        return false;
    bind_engine(engine);
    return true;
}
