#include "common/c_item_ops.h"

#include "common/engine_api.h"

namespace {

// Flag bits that keep an item out of eviction when its last use goes.
constexpr uint16_t held_bits = ci_flag_in_mlru | ci_flag_held;

}  // namespace

void* c_item_lock(c_item_t* item)
{
    if (!item)
        return nullptr;
    if (!(item->flags & ci_flag_resident)) {
        if (!item->loader || !item->loader->make_resident || item->loader->make_resident(item) == 0)
            return nullptr;
    } else if ((item->flags & ci_flag_in_mlru) && item->owner && item->stamp != item->owner->generation) {
        // Move in the recently-used order at most once per generation of the cache.
        item->stamp = item->owner->generation;
        api::ci_mlru_move_to_start(item);
    }
    ++item->locks;
    if (item->counter)
        ++*item->counter;
    return item->object;
}

void c_item_release(c_item_t* item)
{
    if (!item)
        return;
    if (item->locks <= 0) {
        api::error("[c_item_release] release of an item without a use (%s)", api::ci_get_name(item));
        return;
    }
    --item->locks;
    if (item->locks == 0 && !(item->flags & held_bits) && item->refs == 0)
        api::ci_mlru_add(item);
    if (item->counter)
        --*item->counter;
}
