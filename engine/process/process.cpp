#include "engine/process.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/log.h"

// Grants the list functions access to the private bookkeeping of a process.
struct process_list_access {
    static bool& listed(vprocess_t& p) { return p.listed_; }
    static bool& sleeping(vprocess_t& p) { return p.sleeping_; }
    static int& priority(vprocess_t& p) { return p.priority_; }
    static void advance(vprocess_t& p, double seconds)
    {
        p.frame_ = seconds;
        p.time_ += seconds;
    }
};

namespace {

std::vector<vprocess_t*> processes;

// Processes that ended while listed; freed at the end of a frame once unlocked.
std::vector<vprocess_t*> ended_processes;

void unlist(vprocess_t* process)
{
    auto it = std::find(processes.begin(), processes.end(), process);
    if (it != processes.end())
        processes.erase(it);
    process_list_access::listed(*process) = false;
}

void free_released()
{
    for (size_t i = 0; i < ended_processes.size();) {
        if (ended_processes[i]->lock_count() == 0) {
            vprocess_t* dead = ended_processes[i];
            ended_processes.erase(ended_processes.begin() + static_cast<long>(i));
            delete dead;
        } else {
            ++i;
        }
    }
}

}  // namespace

vprocess_t::vprocess_t() = default;

vprocess_t::~vprocess_t()
{
    if (listed_)
        unlist(this);
    ended_processes.erase(std::remove(ended_processes.begin(), ended_processes.end(), this), ended_processes.end());
}

void vprocess_t::system(int) {}

void vprocess_t::shutdown()
{
    if (ended_)
        return;
    ended_ = true;
    if (listed_) {
        unlist(this);
        ended_processes.push_back(this);
    }
}

void vprocess_t::lock() { ++locks_; }

void vprocess_t::unlock()
{
    if (locks_ > 0)
        --locks_;
}

void vprocess_t::set_name(const char* name) { snprintf(name_, sizeof name_, "%s", name ? name : ""); }

#define KAVRENTA_PROCESS_LOG(method, level)                                                                            \
    void vprocess_t::method(const char* format, ...)                                                                   \
    {                                                                                                                  \
        char line[4096];                                                                                               \
        int used = snprintf(line, sizeof line, "[%s] ", name_);                                                        \
        va_list args;                                                                                                  \
        va_start(args, format);                                                                                        \
        vsnprintf(line + used, sizeof line - static_cast<size_t>(used), format, args);                                 \
        va_end(args);                                                                                                  \
        log_line(level, line);                                                                                         \
    }
KAVRENTA_PROCESS_LOG(verbose, log_level_t::verbose)
KAVRENTA_PROCESS_LOG(vmessage, log_level_t::message)
KAVRENTA_PROCESS_LOG(verror, log_level_t::error)
#undef KAVRENTA_PROCESS_LOG

ENGINE_API bool process_add(vprocess_t* process, vprocess_t*, int priority, unsigned)
{
    if (!process || process_list_access::listed(*process) || process->ended())
        return false;
    process_list_access::priority(*process) = priority;
    auto position = processes.end();
    if (priority >= 0) {
        position = std::find_if(processes.begin(), processes.end(), [priority](vprocess_t* p) {
            const int other = process_list_access::priority(*p);
            return other < 0 || other > priority;
        });
    }
    processes.insert(position, process);
    process_list_access::listed(*process) = true;
    return true;
}

ENGINE_API void process_remove(vprocess_t* process)
{
    if (process && process_list_access::listed(*process))
        unlist(process);
}

ENGINE_API void process_terminate_all()
{
    process_broadcast_system(vprocess_t::system_shutdown);
    const std::vector<vprocess_t*> all = processes;
    for (vprocess_t* p : all)
        p->shutdown();
    free_released();
}

ENGINE_API vprocess_t* process_get(const char* name)
{
    for (vprocess_t* p : processes)
        if (name && strcmp(p->name(), name) == 0)
            return p;
    return nullptr;
}

ENGINE_API void process_sleep(vprocess_t* process)
{
    if (process)
        process_list_access::sleeping(*process) = true;
}

ENGINE_API void process_wakeup(vprocess_t* process)
{
    if (process)
        process_list_access::sleeping(*process) = false;
}

int process_run_frame(double seconds)
{
    // A handler may add or end processes: walk a snapshot and skip those that left the list.
    const std::vector<vprocess_t*> frame = processes;
    for (vprocess_t* p : frame) {
        if (std::find(processes.begin(), processes.end(), p) == processes.end() || p->sleeping())
            continue;
        process_list_access::advance(*p, seconds);
        p->handler();
    }
    free_released();
    return static_cast<int>(processes.size());
}

void process_broadcast_system(int code)
{
    const std::vector<vprocess_t*> all = processes;
    for (vprocess_t* p : all)
        p->system(code);
}

int process_count() { return static_cast<int>(processes.size()); }

#include "engine/reset.h"
static engine_reset_registrar_t process_reset_registrar(reset_order_processes, process_terminate_all);
