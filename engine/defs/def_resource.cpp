// Definition files as a kind of the resource cache: the item's object is the parsed def_pool_t.
#include <cstring>
#include <strings.h>

#include "../cache/cache_internal.h"
#include "engine/cache.h"
#include "engine/def_pool.h"

namespace {

// Kind number of definition files for the purge calls.
constexpr int32_t def_kind_number = 1;

void* def_load(c_item_t* item)
{
    def_pool_t* pool = def_pool_t::load(item->name.c_str()).release();
    if (!pool)
        return nullptr;
    item->object = pool;
    ci_finish_load(item);
    return pool;
}

void def_free(c_item_t* item)
{
    delete static_cast<def_pool_t*>(item->object);
    item->object = nullptr;
}

// A pool holds pointers into itself and the heap: it never moves.
resource_ops_t def_ops = {def_load, nullptr, def_free, nullptr, nullptr, nullptr, nullptr, -1, def_kind_number};

c_item_t* def_match(c_item_t*, intptr_t, const char* name)
{
    const size_t length = strlen(name);
    if (length < 4 || strcasecmp(name + length - 4, ".def") != 0)
        return nullptr;
    c_item_t* item = mm_sys_get_new_item();
    item->ops = &def_ops;
    ci_set_name(item, name);
    return item;
}

struct def_kind_registration_t {
    def_kind_registration_t() { cache_register_builtin_loader(def_match); }
} def_kind_registration;

}  // namespace
