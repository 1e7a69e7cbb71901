#pragma once
// The loader lock: brackets the creation and destruction of every registered entity and resource with
// the model library's process, so that process stays locked while any such object lives.

// A lock or unlock callback.
using loader_lock_fn = void (*)();

// Stores the two callbacks `loader_lock` and `loader_unlock` call (registration stores the model
// library process's lock and unlock).
void set_loader_lock(loader_lock_fn lock, loader_lock_fn unlock);
// Calls the stored lock callback; nothing before `set_loader_lock`.
void loader_lock();
// Calls the stored unlock callback; nothing before `set_loader_lock`.
void loader_unlock();
