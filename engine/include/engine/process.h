#pragma once
#include <cstdarg>

#include "engine/api.h"

// A process the engine ticks once per frame. The engine keeps processes in one ordered list and calls
// `handler` on each that is neither sleeping nor ended. A process is freed (through its virtual
// destructor, so it must have been made with `new`) once it has ended and its lock count is zero.
class vprocess_t {
public:
    // System notices the engine sends to every process.
    enum system_code_t { system_shutdown = 1, system_free_unreferenced = 2, system_unregister_loaders = 3 };

    vprocess_t();
    virtual ~vprocess_t();
    vprocess_t(const vprocess_t&) = delete;
    vprocess_t& operator=(const vprocess_t&) = delete;

    // Called once per frame while the process is awake.
    virtual void handler() {}
    // An engine notice (see system_code_t); the base does nothing.
    virtual void system(int code);
    // Ends the process: it gets no more handler calls and is freed when its last lock goes.
    virtual void shutdown();

    // Counted lock: a locked process is never freed.
    void lock();
    void unlock();
    int lock_count() const { return locks_; }

    void set_name(const char* name);
    const char* name() const { return name_; }
    bool sleeping() const { return sleeping_; }
    bool ended() const { return ended_; }

    // Seconds since the process was added, and the length of the current frame.
    double process_time() const { return time_; }
    double frame_seconds() const { return frame_; }

    // Log lines prefixed with "[name] ".
    void verbose(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void vmessage(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void verror(const char* format, ...) __attribute__((format(printf, 2, 3)));

private:
    friend struct process_list_access;
    char name_[64] = "process";
    int locks_ = 0;
    bool sleeping_ = false;
    bool ended_ = false;
    bool listed_ = false;
    double time_ = 0.0;
    double frame_ = 0.0;
    int priority_ = -1;
};

// A process made for a loaded library; it keeps the library's handle.
class dlguard_proc_t : public vprocess_t {
public:
    explicit dlguard_proc_t(void* library_handle) : library_(library_handle) {}
    void* library_handle() const { return library_; }

private:
    void* library_;
};

// Adds a process to the engine's list. `priority` -1 appends; otherwise the list is kept in ascending
// priority with equal priorities in insertion order. `parent` and `flags` are accepted and kept for the
// caller's bookkeeping only. Answers false for null or an already added process.
ENGINE_API bool process_add(vprocess_t* process, vprocess_t* parent, int priority, unsigned flags);
// Takes a process out of the list without ending it.
ENGINE_API void process_remove(vprocess_t* process);
// Sends the shutdown notice to every process and ends them all.
ENGINE_API void process_terminate_all();
// The listed process with that name, or null.
ENGINE_API vprocess_t* process_get(const char* name);
// A sleeping process keeps its place but gets no handler call.
ENGINE_API void process_sleep(vprocess_t* process);
ENGINE_API void process_wakeup(vprocess_t* process);

// Host side: runs one frame of `seconds` over the awake processes in list order, then frees what has
// ended and is unlocked. Answers the number of listed processes afterwards.
int process_run_frame(double seconds);
// Sends a system notice to every listed process.
void process_broadcast_system(int code);
// Number of listed processes.
int process_count();
