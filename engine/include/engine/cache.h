#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/api.h"

// The resource cache: every entity, window, view and resource of the engine is reached through a
// counted handle, `c_item_t`. A handle may stand for something not in memory; whoever needs the object
// locks the handle (the module's c_item_lock: made resident through `loader->make_resident`, then one
// more lock), works with it and releases it. References (`refs`) are the long-lived holds that
// `mm_precache`, `mm_map` and `ci_inc_refs` give. An item whose locks and references are both zero and
// that nothing holds is unused: a loadable item then loses its memory (it is loaded again on its next
// lock), see docs/formats.md, "Resource cache".

struct c_item_t;

// Flag bits of `c_item_t::flags`.
enum ci_flag_t : uint16_t {
    ci_flag_in_mlru = 0x0001,   // on the cache's recently-used list (a candidate for eviction)
    ci_flag_held = 0x0002,      // held by its parent or by a process; never evicted
    ci_flag_hardware = 0x0004,  // also held by the renderer
    ci_flag_resident = 0x0008,  // the object is in memory
    ci_flag_loaded = 0x0010,    // the kind's load has filled the memory
};

// Kinds of item (`c_item_t::kind`).
enum ci_kind_t : int32_t {
    ci_kind_resource = 1,  // a file-backed or anonymous resource
    ci_kind_view = 2,      // a UI view or window
    ci_kind_entity = 3,    // an entity
};

// The operations of one resource kind, handed to the cache with `ci_makeup_ops`.
struct resource_ops_t {
    // Fills the item (usually through `ci_alloc_mem_fix`) and returns its block, or null on failure.
    // On success it gives back the load lock the cache took (see `ci_finish_load`).
    void* (*load)(c_item_t* item);
    // Loads the renderer's copy; unused by the stand-in's kinds so far.
    int (*hw_load)(c_item_t* item);
    // Frees the item's memory; null means `citem_gen_mem_free`.
    void (*free)(c_item_t* item);
    // Moves the item's memory to `new_block` (same size): copies, relocates inner pointers, stores the
    // new block in `item->object`. Null: the kind cannot move.
    void (*move)(c_item_t* item, void* new_block);
    // Frees the renderer's copy.
    void (*hw_free)(c_item_t* item);
    // Reserved, zero.
    void* reserved;
    // Called once when the item is destroyed (after its memory is freed).
    void (*finish)(c_item_t* item);
    // Two words the kind declares: a cache level and its kind number (the filter of the purge calls).
    int32_t level;
    int32_t kind_number;
};

// The cache an item belongs to: its use generation moves the item in the recently-used order at most
// once per generation.
struct ci_owner_t {
    uint16_t generation = 0;
};

// The loader table of an item; the module calls the first entry to make an item resident.
struct ci_loader_t {
    // Makes the item resident (loading it through its kind when needed); non-zero on success.
    int (*make_resident)(c_item_t* item);
};

// A counted handle to a cached object. The first fields are read and written directly by the module
// (lock and release); the rest belong to the cache.
struct c_item_t {
    uint16_t flags = 0;                   // ci_flag_t bits
    uint16_t stamp = 0;                   // owner generation the item last saw
    void* object = nullptr;               // the resident object (the item's memory)
    ci_owner_t* owner = nullptr;          // the cache
    const ci_loader_t* loader = nullptr;  // make-resident entry
    int32_t refs = 0;                     // references kept (the pin count)
    int32_t locks = 0;                    // locks taken and not given back
    int32_t* counter = nullptr;           // optional counter that follows `locks`
    int32_t kind = ci_kind_resource;      // ci_kind_t
    uint32_t class_flags = 0;             // flags of the object's class (0x400: a window)
    c_item_t* parent = nullptr;           // parent item, or null
    c_item_t* first_child = nullptr;      // first child item
    c_item_t* next_sibling = nullptr;     // next child of the same parent
    const resource_ops_t* ops = nullptr;  // kind operations; null for a bare item
    intptr_t loader_argument = 0;         // the argument word of the loader that made the item
    intptr_t user = 0;                    // the creator's value (for example the owning entity)
    size_t size = 0;                      // bytes of memory the item owns (ci_alloc_mem_fix)

    // Cache bookkeeping.
    std::string name;                   // resource name; empty for an anonymous item
    bool owns_memory = false;           // `object` was allocated by ci_alloc_mem_fix
    bool named = false;                 // listed in the cache's name table
    c_item_t* mlru_previous = nullptr;  // recently-used list links
    c_item_t* mlru_next = nullptr;
};

// Claims a resource name for a kind: returns a new item (from `mm_sys_get_new_item`, with its ops and
// name set) or null when the name is not of its kind.
using mm_loader_match_t = c_item_t* (*)(c_item_t* parent, intptr_t argument, const char* name);
// Makes the item for `name` when `mm_map_fld` finds none; `owner` is the caller's value.
using mm_item_factory_t = c_item_t* (*)(const char* name, void* owner);

// Completes a kind's operations before use: a null free becomes `citem_gen_mem_free`. False for null.
ENGINE_API bool ci_makeup_ops(resource_ops_t* ops);
// Adds a loader asked, in registration order, to claim names; answers its handle (> 0), 0 for null.
ENGINE_API int mm_register_loader(c_item_t* parent, mm_loader_match_t match, intptr_t argument);
// Removes a loader; false for an unknown handle.
ENGINE_API bool mm_unregister_loader(int handle);

// The item of `name` with one reference taken, made resident now; null (and no reference) when no loader
// claims the name or it cannot be loaded.
ENGINE_API c_item_t* mm_precache(const char* name);
// The item of `name` with one reference taken, loaded on its first lock; null when no loader claims it.
ENGINE_API c_item_t* mm_map(const char* name);
// As `mm_map`, but a missing item is made by `factory(name, owner)`; null when the factory makes none.
ENGINE_API c_item_t* mm_map_fld(const char* name, mm_item_factory_t factory, void* owner);
// A new bare item (no name, no memory) with one reference, for a kind's loader or factory.
ENGINE_API c_item_t* mm_sys_get_new_item();
// A new anonymous item with one reference: memory given with `ci_alloc_mem_fix`, never loaded.
ENGINE_API c_item_t* mm_sys_get_new_anitem();
// Destroys an item now: detaches it from parent and children, frees its memory, calls the kind's
// finish. Refused (logged, false) while the item is locked.
ENGINE_API bool mm_release_item(c_item_t* item);

// Takes and gives back one reference. Giving back the last use of an unused loadable item frees its
// memory at once.
ENGINE_API void ci_inc_refs(c_item_t* item);
ENGINE_API void ci_dec_refs(c_item_t* item);
// Gives back the load lock the cache took before calling a kind's load (for a load that succeeded).
ENGINE_API void ci_finish_load(c_item_t* item);

// Gives the item `size` bytes of memory it owns (zero-filled), replacing memory it owned; marks it
// resident. Null (and unchanged) when the size is 0 or the allocation fails.
ENGINE_API void* ci_alloc_mem_fix(c_item_t* item, size_t size);
// Frees the memory the item owns and marks it not resident.
ENGINE_API void ci_free_mem_unfix(c_item_t* item);
// The generic free: as `ci_free_mem_unfix`.
ENGINE_API void citem_gen_mem_free(c_item_t* item);
// The generic move: copies the owned memory to `new_block` and stores it.
ENGINE_API void citem_gen_mem_move(c_item_t* item, void* new_block);

ENGINE_API void ci_set_name(c_item_t* item, const char* name);
// The item's name ("" for an anonymous item; null for null).
ENGINE_API const char* ci_get_name(const c_item_t* item);
// Appends `child` to `parent`'s children and marks it held; false when it already has a parent.
ENGINE_API bool ci_add_child(c_item_t* parent, c_item_t* child);
// Detaches `child` from its parent and clears its held mark.
ENGINE_API void ci_remove_child(c_item_t* child);

// Puts an unused item on the recently-used list: it is evicted at the cache's next safe point.
ENGINE_API void ci_mlru_add(c_item_t* item);
// Moves a listed item to the front of the recently-used list.
ENGINE_API void ci_mlru_move_to_start(c_item_t* item);

// Purges. `kind_number` -1 selects every item, otherwise the items whose ops declare that kind number;
// the `_ops` forms select the items of one kind's operations.
// Frees the memory of loadable items that are neither locked, referenced nor held.
ENGINE_API void mm_mem_free_unreferenced(int kind_number);
ENGINE_API void mm_mem_free_unreferenced_ops(const resource_ops_t* ops);
// Frees the memory of every loadable item that is neither locked nor held (it reloads on its next lock).
ENGINE_API void mm_mem_free_all(int kind_number);
ENGINE_API void mm_mem_free_all_ops(const resource_ops_t* ops);
// Drops the renderer's copy of unreferenced items, or of every item.
ENGINE_API void mm_hw_free_unreferenced(int kind_number);
ENGINE_API void mm_hw_free_unreferenced_ops(const resource_ops_t* ops);
ENGINE_API void mm_hw_free_all(int kind_number);
ENGINE_API void mm_hw_free_all_ops(const resource_ops_t* ops);
// Destroys loadable items that are neither locked, referenced, held nor parents.
ENGINE_API void mm_remove_unreferenced(int kind_number);
ENGINE_API void mm_remove_unreferenced_ops(const resource_ops_t* ops);

// Test hooks.
// Moves a resident, unlocked item's memory to a new block through its kind's move; false when the
// item cannot move.
bool cache_force_move(c_item_t* item);
// One line per item still in use ("<name> refs R locks L"; anonymous items show "#<n>"); empty when
// every use was given back.
std::vector<std::string> cache_leak_report();
// Number of items the cache holds.
int cache_item_count();
