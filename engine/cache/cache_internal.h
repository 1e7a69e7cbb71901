#pragma once
#include <functional>

#include "engine/cache.h"

// Shared state of the cache's source files.

// The cache everything belongs to.
ci_owner_t& cache_owner();
// The loader table every item carries.
const ci_loader_t& cache_loader_table();

// Records a new item (bare, one reference) and returns it.
c_item_t* cache_new_item();
// The named item, or null.
c_item_t* cache_find_named(const std::string& name);
// Lists a named item in the name table.
void cache_list_named(c_item_t* item);
// Calls `visit` on every item (a snapshot: `visit` may destroy the item it is given).
void cache_for_each(const std::function<void(c_item_t*)>& visit);
// Destroys an item: memory, links, finish; no checks.
void cache_destroy_item(c_item_t* item);

// True when an item is neither locked, referenced nor held.
bool cache_item_unused(const c_item_t* item);
// True when the cache can load the item again after freeing its memory.
bool cache_item_loadable(const c_item_t* item);
// Frees an item's memory through its kind (it stays in the cache, not resident).
void cache_free_memory(c_item_t* item);
// Frees the memory of every unused listed item, unless a load is running.
void cache_evict_unused();
// Depth of loads running now (nothing is evicted while a load runs).
int& cache_load_depth();
// Adds a kind of the engine itself, asked after the registered loaders (from static initialisation).
void cache_register_builtin_loader(mm_loader_match_t match);
// Normalises a resource name: a leading '/' and forward slashes.
std::string cache_normal_name(const char* name);
