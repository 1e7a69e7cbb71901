// kavrenta: the headless engine host. Loads the game module, hands it the engine, runs frames.
#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "engine/command.h"
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

// The signal that asked the host to stop (SIGTERM, SIGINT), 0 while none has.
volatile std::sig_atomic_t stop_signal = 0;

void on_stop_signal(int number) { stop_signal = number; }

// A terminal's Ctrl-C and a service manager's SIGTERM end the game as "quit" does, so the run's
// settings are kept.
void catch_stop_signals()
{
    struct sigaction action {};
    action.sa_handler = on_stop_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// True when `path` is a folder.
bool is_folder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// True when the data root holds something of a game: its start-up script or its definitions or UI folder.
bool holds_game_data(const std::string& root)
{
    struct stat info {};
    return stat((root + "/autoexec.cfg").c_str(), &info) == 0 || is_folder(root + "/defs") || is_folder(root + "/ui");
}

// How a run of frames ended.
enum class run_end_t { frame_budget, quit, no_process, signal };

const char* run_end_name(run_end_t end)
{
    switch (end) {
    case run_end_t::frame_budget:
        return "the frame budget was spent";
    case run_end_t::quit:
        return "the game quit";
    case run_end_t::no_process:
        return "the game ended (no process was left)";
    case run_end_t::signal:
        return stop_signal == SIGINT ? "SIGINT" : "SIGTERM";
    }
    return "";
}

// Runs frames until the frame budget is spent, "quit" is asked for, no process is left or a stop signal
// came. A run with a budget and the fixed frame time goes as fast as the machine allows; a run with
// --realtime or without a budget waits for the wall clock between frames, never spinning a core.
run_end_t run_frames(const host_options_t& options, long& frames_run)
{
    using clock = std::chrono::steady_clock;
    const double period = host_settings().frame_seconds;
    const bool paced = host_settings().realtime || options.frames < 0;
    // A zero frame time (--dt 0) still waits a default frame between frames rather than spin.
    const double wait = period > 0.0 ? period : 1.0 / 60.0;
    const auto step = std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(wait));
    auto last = clock::now();
    auto due = last;
    for (frames_run = 0; options.frames < 0 || frames_run < options.frames;) {
        if (stop_signal) {
            // "quit" drops the world and ends the processes; the frame after it finds none left.
            cmd_execute("quit");
            return run_end_t::signal;
        }
        if (paced) {
            due += step;
            const auto now = clock::now();
            if (due > now)
                std::this_thread::sleep_until(due);
            else if (now - due > step)
                due = now;  // far behind (a slow frame, a debugger): start afresh instead of racing to catch up
        }
        double seconds = period;
        if (host_settings().realtime) {
            const auto now = clock::now();
            seconds = std::chrono::duration<double>(now - last).count();
            last = now;
        }
        const int processes = engine_run_frame(seconds);
        ++frames_run;
        if (host_quit_requested())
            return run_end_t::quit;
        if (processes == 0)
            return stop_signal ? run_end_t::signal : run_end_t::no_process;
    }
    return run_end_t::frame_budget;
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
    if (options.version) {
        fputs(host_version(), stdout);
        return 0;
    }
    const std::string& data_root = host_settings().data_root;
    if (!is_folder(data_root)) {
        fprintf(stderr, "kavrenta: the data root %s is not a folder\n", data_root.c_str());
        return 1;
    }
    if (!holds_game_data(data_root)) {
        fprintf(stderr, "kavrenta: the data root %s holds no game (no autoexec.cfg, defs/ or ui/)\n",
                data_root.c_str());
        return 1;
    }
    // Caught from the start: a signal that comes while the game still loads ends the run at its first
    // frame, as "quit" does, rather than killing it with its settings unwritten.
    catch_stop_signals();
    log_set_echo(true);
    // The host reads its log on stderr; the capture that tests read would only grow here.
    log_set_capture(false);
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
    long frames_run = 0;
    const run_end_t end = run_frames(options, frames_run);
    exports.shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    fprintf(stderr, "kavrenta: %ld frames; peak memory %ld KB; the run ended: %s\n", frames_run, usage.ru_maxrss,
            run_end_name(end));
    process_terminate_all();
    // Windows the game left open (the mini console, say) go with the engine.
    ui_shutdown();
    return 0;
}
