#pragma once
#include <cstdint>

#include "engine/api.h"

class entity_t;

// The registration record of an entity type: the engine creates instances by the type name.
struct entity_reg_t {
    const char* type_name;  // dotted lower-case name, e.g. "actors.car"
    uint32_t flags;         // 1 for world entities, 0 for UI classes
    // Further words the registering code may fill (a size or a function address); kept, not
    // interpreted. Pointer-sized, so an address fits.
    uintptr_t words[3];
    uint32_t instance_size;  // size of the class
    // Constructs an instance in `memory`, or allocates one when `memory` is null; null on failure.
    entity_t* (*create)(void* memory);
    // Destroys `object`; frees it too unless it was constructed in caller memory (`in_place`).
    void (*destroy)(entity_t* object, bool in_place);
};

// Registers a type. The record must outlive the registration (it is kept by pointer). Answers false,
// with a message, for a null or incomplete record or a name already registered.
ENGINE_API bool entity_register(const entity_reg_t* record);
// The registration of `type_name`, or null.
ENGINE_API const entity_reg_t* entity_find_type(const char* type_name);
// Creates an entity of a registered type (not initialised, in no process); null with a message for
// an unknown type or a failed creation.
ENGINE_API entity_t* entity_create(const char* type_name);
// Destroys an entity made by `entity_create` through its type's destroy function (no phases run).
ENGINE_API void entity_free(entity_t* entity);

// Number of registered types.
int entity_type_count();
