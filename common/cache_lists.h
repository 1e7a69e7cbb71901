#pragma once
#include <cstdint>

struct c_item_t;

// An entity whose cached item sits in a cache list: asked whether its item may be let go when the
// list is over its capacity.
class cache_releasable_t {
public:
    virtual ~cache_releasable_t() = default;
    // True when the item may be released now (`reason` 1: the list is over its capacity).
    virtual bool can_release(int reason) = 0;
};

// 256 module-wide lists of resource items, each with a capacity. An item's `user` word holds its
// entity (a `cache_releasable_t`), the one asked before the item is released.

// Appends an item to list `index` and takes a use of it; false for a null item.
bool cache_list_append(uint8_t index, c_item_t* item);
// Trims list `index` while it holds at least `capacity` items: the first item is asked; one that may
// go is released, one that refuses goes to the end; a full round of refusals (as many in a row as the
// list has entries, an item listed twice counting twice) ends it. Then
// the list keeps `capacity`. A capacity below 1 is no limit: such a list is never trimmed.
void cache_list_set_capacity(uint8_t index, int capacity);
// Takes every entry of `item` out of list `index`, giving back the use of each; answers how many.
int cache_list_remove(uint8_t index, const c_item_t* item);
// Items and capacity of list `index`.
int cache_list_length(uint8_t index);
int cache_list_capacity(uint8_t index);
