#include "common/resource_match.h"

#include <strings.h>

#include <cstring>

#include "common/engine_api.h"
#include "common/loader_lock.h"

c_item_t* match_by_suffix(const char* name, const char* suffix, const resource_ops_t* ops)
{
    if (!name)
        return nullptr;
    const size_t length = strlen(name);
    const size_t suffix_length = strlen(suffix);
    if (length <= suffix_length || strcasecmp(name + length - suffix_length, suffix) != 0)
        return nullptr;
    c_item_t* const item = api::mm_sys_get_new_item();
    if (!item)
        return nullptr;
    loader_lock();
    item->ops = ops;
    api::ci_set_name(item, name);
    return item;
}
