#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "cache_internal.h"
#include "engine/check.h"
#include "engine/log.h"
#include "engine/reset.h"

namespace {

std::vector<std::unique_ptr<c_item_t>> items;
std::unordered_map<std::string, c_item_t*> named_items;
ci_owner_t owner;
c_item_t* mlru_head = nullptr;
int load_depth = 0;

int make_resident(c_item_t* item);
const ci_loader_t loader_table{make_resident};

// Loads a non-resident item through its kind, taking the load lock around the load.
int make_resident(c_item_t* item)
{
    if (!item)
        return 0;
    if (item->flags & ci_flag_resident)
        return 1;
    if (!item->ops || !item->ops->load)
        return 0;
    const int32_t locks_before = item->locks;
    ++item->locks;
    if (item->counter)
        ++*item->counter;
    ++load_depth;
    void* const block = item->ops->load(item);
    --load_depth;
    // A kind's load gives its load lock back on success only; the cache settles the rest.
    if (item->locks > locks_before)
        ci_finish_load(item);
    if (!block) {
        warning("cannot load %s", item->name.c_str());
        return 0;
    }
    item->object = block;
    item->flags |= ci_flag_resident | ci_flag_loaded;
    return 1;
}

void mlru_unlink(c_item_t* item)
{
    if (!(item->flags & ci_flag_in_mlru))
        return;
    // The flag is set and cleared only with the links, so a flagged item is linked both ways.
    kv_assert(item->mlru_previous ? item->mlru_previous->mlru_next == item : mlru_head == item);
    kv_assert(!item->mlru_next || item->mlru_next->mlru_previous == item);
    if (item->mlru_previous)
        item->mlru_previous->mlru_next = item->mlru_next;
    else
        mlru_head = item->mlru_next;
    if (item->mlru_next)
        item->mlru_next->mlru_previous = item->mlru_previous;
    item->mlru_previous = item->mlru_next = nullptr;
    item->flags &= static_cast<uint16_t>(~ci_flag_in_mlru);
}

void mlru_push_front(c_item_t* item)
{
    item->mlru_previous = nullptr;
    item->mlru_next = mlru_head;
    if (mlru_head)
        mlru_head->mlru_previous = item;
    mlru_head = item;
    item->flags |= ci_flag_in_mlru;
}

void detach_links(c_item_t* item)
{
    mlru_unlink(item);
    if (item->parent)
        ci_remove_child(item);
    while (item->first_child)
        ci_remove_child(item->first_child);
    if (item->named) {
        named_items.erase(item->name);
        item->named = false;
    }
}

void reset_cache()
{
    for (const std::string& line : cache_leak_report())
        warning("cache: still in use at shutdown: %s", line.c_str());
    // Children first, so a parent's finish sees them gone.
    cache_for_each([](c_item_t* item) {
        if (item->parent)
            ci_remove_child(item);
    });
    cache_for_each(cache_destroy_item);
    items.clear();
    named_items.clear();
    mlru_head = nullptr;
    load_depth = 0;
    owner = ci_owner_t{};
}

engine_reset_registrar_t cache_reset_registrar(reset_order_cache, reset_cache);

}  // namespace

ci_owner_t& cache_owner() { return owner; }
const ci_loader_t& cache_loader_table() { return loader_table; }
int& cache_load_depth() { return load_depth; }

c_item_t* cache_new_item()
{
    items.push_back(std::make_unique<c_item_t>());
    c_item_t* item = items.back().get();
    item->owner = &owner;
    item->stamp = owner.generation;
    item->loader = &loader_table;
    item->refs = 1;
    return item;
}

c_item_t* cache_find_named(const std::string& name)
{
    const auto found = named_items.find(name);
    return found == named_items.end() ? nullptr : found->second;
}

void cache_list_named(c_item_t* item)
{
    if (item->name.empty() || item->named)
        return;
    named_items.emplace(item->name, item);
    item->named = true;
}

void cache_for_each(const std::function<void(c_item_t*)>& visit)
{
    std::vector<c_item_t*> snapshot;
    snapshot.reserve(items.size());
    for (const auto& item : items)
        snapshot.push_back(item.get());
    for (c_item_t* item : snapshot)
        visit(item);
}

bool cache_item_unused(const c_item_t* item)
{
    return item->refs <= 0 && item->locks <= 0 && !(item->flags & ci_flag_held);
}

bool cache_item_loadable(const c_item_t* item) { return item->ops && item->ops->load; }

void cache_free_memory(c_item_t* item)
{
    if (item->flags & ci_flag_hardware) {
        if (item->ops && item->ops->hw_free)
            item->ops->hw_free(item);
        item->flags &= static_cast<uint16_t>(~ci_flag_hardware);
    }
    if (item->ops && item->ops->free)
        item->ops->free(item);
    else
        citem_gen_mem_free(item);
    // Whatever the kind's free did, the item no longer has an object.
    if (item->owns_memory)
        citem_gen_mem_free(item);
    item->object = nullptr;
    item->flags &= static_cast<uint16_t>(~(ci_flag_resident | ci_flag_loaded));
}

void cache_evict_unused()
{
    if (load_depth > 0)
        return;
    for (c_item_t* item = mlru_head; item;) {
        c_item_t* const next = item->mlru_next;
        if (cache_item_unused(item)) {
            // Every release of a reference or a lock checks for one first: no count goes below zero.
            kv_assert(item->refs == 0 && item->locks == 0);
            mlru_unlink(item);
            if (cache_item_loadable(item) && (item->flags & ci_flag_resident))
                cache_free_memory(item);
        }
        item = next;
    }
}

void cache_destroy_item(c_item_t* item)
{
    detach_links(item);
    if (item->flags & ci_flag_resident || item->owns_memory)
        cache_free_memory(item);
    if (item->ops && item->ops->finish)
        item->ops->finish(item);
    for (auto it = items.begin(); it != items.end(); ++it) {
        if (it->get() == item) {
            items.erase(it);
            break;
        }
    }
}

std::string cache_normal_name(const char* name)
{
    std::string normal = name ? name : "";
    for (char& c : normal)
        if (c == '\\')
            c = '/';
    if (normal.empty() || normal[0] != '/')
        normal.insert(normal.begin(), '/');
    return normal;
}

ENGINE_API c_item_t* mm_sys_get_new_item()
{
    c_item_t* item = cache_new_item();
    return item;
}

ENGINE_API c_item_t* mm_sys_get_new_anitem()
{
    c_item_t* item = cache_new_item();
    return item;
}

ENGINE_API bool mm_release_item(c_item_t* item)
{
    if (!item)
        return false;
    if (item->locks > 0) {
        error("cache: cannot release %s while it is locked",
              item->name.empty() ? "an anonymous item" : item->name.c_str());
        return false;
    }
    cache_destroy_item(item);
    return true;
}

ENGINE_API void ci_inc_refs(c_item_t* item)
{
    if (item)
        ++item->refs;
}

ENGINE_API void ci_dec_refs(c_item_t* item)
{
    if (!item)
        return;
    if (item->refs <= 0) {
        error("cache: reference of %s given back twice", item->name.empty() ? "an anonymous item" : item->name.c_str());
        return;
    }
    --item->refs;
    kv_assert(item->refs >= 0);
    if (item->refs == 0 && cache_item_unused(item) && cache_item_loadable(item)) {
        ci_mlru_add(item);
        cache_evict_unused();
    }
}

ENGINE_API void ci_finish_load(c_item_t* item)
{
    if (!item || item->locks <= 0)
        return;
    --item->locks;
    kv_assert(item->locks >= 0);
    if (item->counter)
        --*item->counter;
    if (item->locks == 0 && item->refs == 0 && !(item->flags & (ci_flag_in_mlru | ci_flag_held)))
        ci_mlru_add(item);
}

ENGINE_API void ci_set_name(c_item_t* item, const char* name)
{
    if (!item)
        return;
    if (item->named) {
        named_items.erase(item->name);
        item->named = false;
    }
    item->name = name ? name : "";
}

ENGINE_API const char* ci_get_name(const c_item_t* item) { return item ? item->name.c_str() : nullptr; }

ENGINE_API bool ci_add_child(c_item_t* parent, c_item_t* child)
{
    if (!parent || !child || child->parent || child == parent)
        return false;
    c_item_t** link = &parent->first_child;
    while (*link)
        link = &(*link)->next_sibling;
    *link = child;
    child->next_sibling = nullptr;
    child->parent = parent;
    child->flags |= ci_flag_held;
    return true;
}

ENGINE_API void ci_remove_child(c_item_t* child)
{
    if (!child || !child->parent)
        return;
    for (c_item_t** link = &child->parent->first_child; *link; link = &(*link)->next_sibling) {
        if (*link == child) {
            *link = child->next_sibling;
            break;
        }
    }
    child->parent = nullptr;
    child->next_sibling = nullptr;
    child->flags &= static_cast<uint16_t>(~ci_flag_held);
}

ENGINE_API void ci_mlru_add(c_item_t* item)
{
    if (item && !(item->flags & ci_flag_in_mlru))
        mlru_push_front(item);
}

ENGINE_API void ci_mlru_move_to_start(c_item_t* item)
{
    if (!item || !(item->flags & ci_flag_in_mlru) || mlru_head == item)
        return;
    mlru_unlink(item);
    mlru_push_front(item);
}

std::vector<std::string> cache_leak_report()
{
    std::vector<std::string> lines;
    int anonymous = 0;
    for (const auto& item : items) {
        const bool anonymous_item = item->name.empty();
        if (anonymous_item)
            ++anonymous;
        // An unused loadable item is merely cached; any other live item is still somebody's.
        if (cache_item_unused(item.get()) && cache_item_loadable(item.get()))
            continue;
        if (item->parent && item->refs <= 0 && item->locks <= 0)
            continue;  // owned by its parent
        // Built by appending: g++ 12 at -O2 warns falsely (-Wrestrict) on "#" + std::to_string(...).
        std::string label = anonymous_item ? std::string("#") : item->name;
        if (anonymous_item)
            label += std::to_string(anonymous);
        lines.push_back(label + " refs " + std::to_string(item->refs) + " locks " + std::to_string(item->locks));
    }
    return lines;
}

int cache_item_count() { return static_cast<int>(items.size()); }
