#pragma once
#include "engine/cache.h"

// The lock and release pair that brackets every access of the module to an object behind an engine
// cache handle (entities, windows, views, resources).

// Makes the item resident when it is not, takes one use and returns its object; null (no use taken)
// when the item is null or cannot be made resident.
void* c_item_lock(c_item_t* item);

// Gives back one use taken with c_item_lock. When the last use goes and nothing holds or pins the
// item it becomes a candidate for eviction. A release without a use is reported and ignored.
void c_item_release(c_item_t* item);

class ui_view_t;

// Runs `use` on the view behind `item` while it is locked; false when it cannot be locked.
template <typename use_t> bool with_view(c_item_t* item, const use_t& use)
{
    auto* view = static_cast<ui_view_t*>(c_item_lock(item));
    if (!view)
        return false;
    use(*view);
    c_item_release(item);
    return true;
}
