#include "frame/psm_process.h"

#include <new>

#include "engine/lcl.h"
#include "engine/pml.h"
#include "common/engine_api.h"
#include "common/local_def.h"
#include "frame/world_types.h"

namespace {

psm_process_t* module_psm_process = nullptr;

}  // namespace

psm_process_t::psm_process_t(void* library_handle) : dlguard_proc_t(library_handle)
{
    set_name("psm");
    lcl_api_request();
    lcl_callback(translate);
    pml_init();
    pml_localized(true);
}

psm_process_t::~psm_process_t()
{
    if (module_psm_process == this)
        module_psm_process = nullptr;
}

void psm_process_t::system(int code)
{
    switch (code) {
    case system_shutdown:
        pml_localized(false);
        pml_shutdown();
        lcl_api_release();
        release_local_def();
        break;
    case system_free_unreferenced:
        free_world_resources();
        break;
    case system_unregister_loaders:
        unregister_loaders();
        break;
    default:
        break;
    }
    vprocess_t::system(code);
}

psm_process_t* psm_process_create(void* library_handle)
{
    auto* const process = new (std::nothrow) psm_process_t(library_handle);
    if (!process) {
        api::error("cannot allocate the model library's process");
        return nullptr;
    }
    if (!api::process_add(process, nullptr, -1, 0)) {
        api::error("cannot add the model library's process");
        delete process;
        return nullptr;
    }
    module_psm_process = process;
    return process;
}

psm_process_t* psm_process() { return module_psm_process; }

void psm_process_lock()
{
    if (module_psm_process)
        module_psm_process->lock();
}

void psm_process_unlock()
{
    if (module_psm_process)
        module_psm_process->unlock();
}
