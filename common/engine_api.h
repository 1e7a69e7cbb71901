#pragma once
// The engine host's exported functions as the module calls them: one pointer per name, bound by name
// at registration and called as api::name(...). A name the host does not export stays null.
#include "engine/win32.h"
#include "common/engine_api_names.h"

namespace api {

// Type of a bound name the engine does not declare: cast to the real signature once it exists.
using generic_fn_t = void (*)();

#define KAVRENTA_API_DECLARED_POINTER(name) inline decltype(&::name) name = nullptr;
#define KAVRENTA_API_GENERIC_POINTER(name) inline generic_fn_t name = nullptr;
KAVRENTA_API_LOG(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_SYS(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_MM(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_GFX(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_SND(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_CMD(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_PROCESS(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_BIND(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_INP(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_VFS(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_NET(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_DLL(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_WND(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_HW(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
KAVRENTA_API_PSM(KAVRENTA_API_DECLARED_POINTER, KAVRENTA_API_GENERIC_POINTER)
#undef KAVRENTA_API_DECLARED_POINTER
#undef KAVRENTA_API_GENERIC_POINTER

}  // namespace api

// Binding routines, one per family, in the order registration calls them. Each looks every name of
// its family up in `module` and stores what it finds (null for a name the module does not export).
void resolve_log_api(HMODULE module);
void resolve_sys_api(HMODULE module);
void resolve_mm_api(HMODULE module);
void resolve_gfx_api(HMODULE module);
void resolve_snd_api(HMODULE module);
void resolve_cmd_api(HMODULE module);
void resolve_process_api(HMODULE module);
void resolve_bind_api(HMODULE module);
void resolve_inp_api(HMODULE module);
void resolve_vfs_api(HMODULE module);
void resolve_net_api(HMODULE module);
void resolve_dll_api(HMODULE module);
void resolve_wnd_api(HMODULE module);
void resolve_hw_api(HMODULE module);
// `module` is the model library "lib/psm", not the host.
void resolve_psm_api(HMODULE module);

// Binds the fourteen host families from `host`, then the model library's family from the handle of
// "lib/psm" that the bound dll_register and dll_handle give (null pointers when it cannot be loaded).
// Answers that handle (null when there is none).
HMODULE bind_engine(HMODULE host);

// For tests that run without DLL_register: binds every family from the engine library already loaded
// in the test process. Answers false when that library's handle cannot be found.
bool bind_engine_for_tests();
