#include "game_session.h"

#include <dlfcn.h>

#include "engine/command_line.h"
#include "engine/frame.h"
#include "engine/host.h"
#include "engine/log.h"
#include "engine/process.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "engine_testing/engine_test.h"

extern "C" bool DLL_register(void* host_module);
extern "C" void DLL_game_init();
extern "C" void DLL_shutdown();

namespace {

// The engine library's handle, as the host hands it to DLL_register.
void* engine_library()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&::message), &info) || !info.dli_fname)
        return nullptr;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

}  // namespace

bool game_session_t::start(const std::string& data_root, const std::string& documents,
                           const std::vector<std::string>& arguments, std::string& error)
{
    stop();
    engine_reset();
    host_settings().data_root = data_root;
    host_settings().documents = documents;
    host_settings().home.clear();
    documents_ = documents;
    // The command line starts with the program's name, as the host's does.
    std::vector<std::string> line{"kavrenta"};
    line.insert(line.end(), arguments.begin(), arguments.end());
    cdl_set(line);
    void* const engine = engine_library();
    if (!engine) {
        error = "cannot find the engine library's handle";
        return false;
    }
    if (!vfs_init_from_host()) {
        error = "cannot mount the data root " + data_root;
        return false;
    }
    if (!DLL_register(engine)) {
        error = "the module refused to register";
        return false;
    }
    DLL_game_init();
    running_ = true;
    return true;
}

bool game_session_t::frame()
{
    if (!running_)
        return false;
    return engine_run_frame(frame_seconds()) > 0 && !host_quit_requested();
}

double game_session_t::frame_seconds() const { return host_settings().frame_seconds; }

void game_session_t::stop()
{
    if (!running_)
        return;
    running_ = false;
    DLL_shutdown();
    process_terminate_all();
    ui_shutdown();
}
