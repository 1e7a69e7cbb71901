#include "common/cache_lists.h"

#include <deque>

#include "engine/cache.h"
#include "engine/reset.h"
#include "common/engine_api.h"

namespace {

// One list: its items, oldest first, and its capacity.
struct cache_list_t {
    std::deque<c_item_t*> items;
    int capacity = 0;
};

cache_list_t lists[256];

void release_all()
{
    for (cache_list_t& list : lists) {
        list.items.clear();  // the cache itself is reset after the processes; its items go with it
        list.capacity = 0;
    }
}

const engine_reset_registrar_t reset_lists(reset_order_processes + 1, release_all);

bool may_release(const c_item_t* item)
{
    auto* owner = reinterpret_cast<cache_releasable_t*>(item->user);
    return !owner || owner->can_release(1);
}

}  // namespace

bool cache_list_append(uint8_t index, c_item_t* item)
{
    if (!item)
        return false;
    api::ci_inc_refs(item);
    lists[index].items.push_back(item);
    return true;
}

void cache_list_set_capacity(uint8_t index, int capacity)
{
    cache_list_t& list = lists[index];
    // An item may stand in the list several times, so a round ends after as many refusals in a row as
    // the list has entries, not at the first entry seen again.
    size_t refusals = 0;
    while (list.capacity > 0 && refusals < list.items.size() && static_cast<int>(list.items.size()) >= list.capacity) {
        c_item_t* item = list.items.front();
        list.items.pop_front();
        if (may_release(item)) {
            api::ci_dec_refs(item);
            refusals = 0;
            continue;
        }
        ++refusals;
        list.items.push_back(item);
    }
    list.capacity = capacity;
}

int cache_list_remove(uint8_t index, const c_item_t* item)
{
    std::deque<c_item_t*>& items = lists[index].items;
    int removed = 0;
    for (auto it = items.begin(); it != items.end();) {
        if (*it != item) {
            ++it;
            continue;
        }
        c_item_t* entry = *it;
        it = items.erase(it);
        api::ci_dec_refs(entry);
        ++removed;
    }
    return removed;
}

int cache_list_length(uint8_t index) { return static_cast<int>(lists[index].items.size()); }

int cache_list_capacity(uint8_t index) { return lists[index].capacity; }
