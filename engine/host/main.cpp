// kavrenta: the headless engine host. Loads the game module, hands it the engine, runs frames.
#include <dlfcn.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/command_line.h"
#include "engine/frame.h"
#include "engine/host.h"
#include "engine/input_script.h"
#include "engine/log.h"
#include "engine/process.h"
#include "engine/ui.h"
#include "engine/vfs.h"
#include "host_options.h"

namespace {

// Folder of the running executable; the module and the engine library sit beside it.
std::string executable_folder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return ".";
    path[length] = '\0';
    std::string folder(path);
    return folder.substr(0, folder.rfind('/'));
}

// The handle of the already loaded engine library, which the module binds its calls from.
void* engine_handle()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&message), &info) || !info.dli_fname)
        return nullptr;
    return dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

using register_fn = bool (*)(void*);
using plain_fn = void (*)();

// The module's four exports.
struct module_exports_t {
    register_fn dll_register = nullptr;
    plain_fn game_init = nullptr;
    plain_fn uiedit_init = nullptr;
    plain_fn shutdown = nullptr;
};

bool bind_exports(void* module, module_exports_t& exports)
{
    const char* names[] = {"DLL_register", "DLL_game_init", "DLL_uiedit_init", "DLL_shutdown"};
    void* found[4];
    for (int i = 0; i < 4; ++i) {
        found[i] = dlsym(module, names[i]);
        if (!found[i]) {
            fprintf(stderr, "kavrenta: the module does not export %s\n", names[i]);
            return false;
        }
    }
    exports.dll_register = reinterpret_cast<register_fn>(found[0]);
    exports.game_init = reinterpret_cast<plain_fn>(found[1]);
    exports.uiedit_init = reinterpret_cast<plain_fn>(found[2]);
    exports.shutdown = reinterpret_cast<plain_fn>(found[3]);
    return true;
}

// Runs frames until the frame budget is spent, "quit" is asked for, or no process is left.
void run_frames(const host_options_t& options)
{
    using clock = std::chrono::steady_clock;
    auto last = clock::now();
    for (long frame = 0; options.frames < 0 || frame < options.frames; ++frame) {
        double seconds = host_settings().frame_seconds;
        if (host_settings().realtime) {
            const auto now = clock::now();
            seconds = std::chrono::duration<double>(now - last).count();
            last = now;
        }
        if (engine_run_frame(seconds) == 0 || host_quit_requested())
            break;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    host_options_t options;
    std::string problem;
    if (!parse_host_options(argc, argv, options, problem)) {
        fprintf(stderr, "kavrenta: %s\n%s", problem.c_str(), host_usage());
        return 2;
    }
    if (options.help) {
        fputs(host_usage(), stdout);
        return 0;
    }
    log_set_echo(true);
    cdl_set(options.module_arguments);
    if (!host_settings().input_script.empty() && !inp_script_load(host_settings().input_script))
        return 1;

    const std::string module_path = executable_folder() + "/libgame.so";
    void* module = dlopen(module_path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        fprintf(stderr, "kavrenta: cannot load the game module %s: %s\n", module_path.c_str(), dlerror());
        return 1;
    }
    module_exports_t exports;
    if (!bind_exports(module, exports))
        return 1;
    void* engine = engine_handle();
    if (!engine) {
        fprintf(stderr, "kavrenta: cannot find the engine library's handle\n");
        return 1;
    }

    if (!vfs_init_from_host())
        return 1;
    exports.dll_register(engine);
    exports.game_init();
    run_frames(options);
    exports.shutdown();
    process_terminate_all();
    // Windows the game left open (the mini console, say) go with the engine.
    ui_shutdown();
    return 0;
}
