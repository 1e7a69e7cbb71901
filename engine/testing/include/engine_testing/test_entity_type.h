#pragma once
#include <new>

#include "engine/entity_reg.h"

// A registration record for a test's own entity or UI class: constructs in the given memory or with
// `new`, destroys in place or with `delete`.
template <typename type_t> entity_reg_t test_entity_type(const char* name)
{
    return entity_reg_t{name,
                        0,
                        {0, 0, 0},
                        sizeof(type_t),
                        [](void* memory) -> entity_t* { return memory ? new (memory) type_t() : new type_t(); },
                        [](entity_t* object, bool in_place) {
                            if (in_place)
                                static_cast<type_t*>(object)->~type_t();
                            else
                                delete static_cast<type_t*>(object);
                        }};
}
