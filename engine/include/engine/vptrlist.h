#pragma once
#include <type_traits>

#include "engine/vdatalist.h"

// List of pointer-sized values (pointers, or indices kept in a pointer's place), its nodes drawn from a
// `bmem_manager` pool like every engine list.
template <typename T = void*> class vptrlist_t : public vdatalist_t<T> {
    static_assert(sizeof(T) <= sizeof(void*) && std::is_trivially_copyable_v<T>,
                  "vptrlist_t holds pointers or pointer-sized values");
};
