#pragma once
#include <cstddef>
#include <cstring>
#include <initializer_list>

#include "engine/evalue.h"

// A copy of a base class's descriptor chain (whose links must be constant-initialized) in which the properties a common
// component fills from its template are marked computed: links from `base` up to (not including) `stop`, the last one
// leading to `stop`.
template <size_t capacity> struct ui_computed_chain_t {
    ui_computed_chain_t(const evalue_def_t* base, const evalue_def_t* stop, std::initializer_list<const char*> computed)
    {
        size_t used = 0;
        for (const evalue_def_t* def = base; def && def->name && def != stop && used < capacity; def = def->next) {
            evalue_def_t& link = links[used++];
            link = *def;
            for (const char* name : computed)
                if (std::strcmp(name, def->name) == 0)
                    link.flags |= evalue_flag_computed;
        }
        for (size_t i = 0; i < used; ++i)
            links[i].next = i + 1 < used ? &links[i + 1] : stop;
    }

    // The head of the copied chain.
    const evalue_def_t* head() const { return &links[0]; }

    evalue_def_t links[capacity] = {};
};
