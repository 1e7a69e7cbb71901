#pragma once
#include <new>

#include "engine/entity.h"
#include "engine/entity_reg.h"
#include "common/engine_api.h"
#include "common/loader_lock.h"

// The create function of a registered type: takes the loader lock, then constructs `class_t` in
// `memory`, or in a new allocation of its size when `memory` is null. An allocation that fails gives
// the lock back at once (no object will ever be destroyed for it) and answers null.
template <typename class_t> entity_t* create_registered(void* memory)
{
    loader_lock();
    if (!memory) {
        memory = api::mem_sys_alloc(sizeof(class_t));
        if (!memory) {
            loader_unlock();
            return nullptr;
        }
    }
    return new (memory) class_t();
}

// Destroys an object of a registered type and gives back the lock its create function took. With
// `in_place` the memory is the caller's and is kept; otherwise it is freed. A null object only gives
// the lock back.
inline void destroy_registered(entity_t* object, bool in_place)
{
    if (object) {
        object->~entity_t();
        if (!in_place)
            api::mem_sys_free(object);
    }
    loader_unlock();
}

// A registration record for `class_t` with its instance size, create function and `destroy`.
template <typename class_t>
constexpr entity_reg_t registered_type(const char* type_name, uint32_t flags, void (*destroy)(entity_t*, bool))
{
    return entity_reg_t{type_name, flags, {0, 0, 0}, sizeof(class_t), create_registered<class_t>, destroy};
}
