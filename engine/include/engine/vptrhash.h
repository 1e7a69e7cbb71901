#pragma once
#include <type_traits>

#include "engine/vdatahash.h"

// Hash table from byte-string keys to pointer-sized values (pointers, or numbers kept in a pointer's
// place). A value of zero cannot be told from "absent": callers that store numbers store them plus one.
template <typename T = void*> class vptrhash_t : public vdatahash_t<T> {
    static_assert(sizeof(T) <= sizeof(void*) && std::is_trivially_copyable_v<T>,
                  "vptrhash_t holds pointers or pointer-sized values");

public:
    using entry_t = typename vdatahash_t<T>::entry_t;

    // The value with this key, or zero (null) when absent.
    T find(const void* key, size_t length) const
    {
        const entry_t* e = this->find_entry(key, length);
        return e ? e->value() : T{};
    }
    T find(const char* text) const { return find(text, text ? strlen(text) : 0); }

    // Reverse lookup: the first entry (in the order of `put`) whose value is `value`, or null.
    entry_t* find_value(const T& value) const
    {
        for (entry_t* e = this->first(); e; e = e->next()) {
            if (e->value() == value)
                return e;
        }
        return nullptr;
    }
};
