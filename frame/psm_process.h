#pragma once
#include "engine/process.h"

// The process that serves the model library "lib/psm". One instance, made at registration; every live
// registered object holds one lock on it (the loader lock). Its construction takes a use of the
// translation service with the module's translation function and starts the markup system, localized.
// It answers the engine's system notices for the module: shutdown (ends all of that and lets the local
// definitions go), freeing unreferenced world resources and unregistering the loaders.
class psm_process_t : public dlguard_proc_t {
public:
    explicit psm_process_t(void* library_handle);
    ~psm_process_t() override;

    void system(int code) override;
};

// Allocates the module's model-library process for `library_handle` and adds it to the engine
// (appended, no parent). Null, with an error line, when it cannot be allocated or added.
psm_process_t* psm_process_create(void* library_handle);
// The module's model-library process, or null when there is none (not yet made, or already freed).
psm_process_t* psm_process();

// One lock and one unlock of the model-library process; nothing when there is none.
void psm_process_lock();
void psm_process_unlock();
