#include "common/loader_lock.h"

#include "engine/reset.h"

namespace {

loader_lock_fn lock_callback = nullptr;
loader_lock_fn unlock_callback = nullptr;

void loader_lock_reset()
{
    lock_callback = nullptr;
    unlock_callback = nullptr;
}

// Last of all: processes, entities and cache items that end during the reset still give their locks
// back through the callbacks.
const engine_reset_registrar_t loader_lock_reset_registrar(reset_order_core - 10, loader_lock_reset);

}  // namespace

void set_loader_lock(loader_lock_fn lock, loader_lock_fn unlock)
{
    lock_callback = lock;
    unlock_callback = unlock;
}

void loader_lock()
{
    if (lock_callback)
        lock_callback();
}

void loader_unlock()
{
    if (unlock_callback)
        unlock_callback();
}
