// The memory an item owns: allocation, freeing, moving and the purges.
#include <cstring>

#include "cache_internal.h"
#include "engine/log.h"
#include "engine/mem.h"

namespace {

// True when `item` is selected by a purge filter.
bool selected(const c_item_t* item, int kind_number, const resource_ops_t* ops)
{
    if (ops)
        return item->ops == ops;
    return kind_number == -1 || (item->ops && item->ops->kind_number == kind_number);
}

void free_memory_where(int kind_number, const resource_ops_t* ops, bool referenced_too)
{
    cache_for_each([&](c_item_t* item) {
        if (!selected(item, kind_number, ops) || !cache_item_loadable(item) || !(item->flags & ci_flag_resident))
            return;
        if (item->locks > 0 || (item->flags & ci_flag_held) || (!referenced_too && item->refs > 0))
            return;
        cache_free_memory(item);
    });
}

void free_hardware_where(int kind_number, const resource_ops_t* ops, bool referenced_too)
{
    cache_for_each([&](c_item_t* item) {
        if (!selected(item, kind_number, ops) || !(item->flags & ci_flag_hardware))
            return;
        if (!referenced_too && (item->refs > 0 || item->locks > 0))
            return;
        if (item->ops && item->ops->hw_free)
            item->ops->hw_free(item);
        item->flags &= static_cast<uint16_t>(~ci_flag_hardware);
    });
}

void remove_where(int kind_number, const resource_ops_t* ops)
{
    cache_for_each([&](c_item_t* item) {
        if (selected(item, kind_number, ops) && cache_item_loadable(item) && cache_item_unused(item) &&
            !item->first_child)
            cache_destroy_item(item);
    });
}

}  // namespace

ENGINE_API void* ci_alloc_mem_fix(c_item_t* item, size_t size)
{
    if (!item || size == 0)
        return nullptr;
    void* block = mem_sys_calloc(1, size);
    if (!block) {
        error("cache: cannot allocate %zu bytes for %s", size, item->name.c_str());
        return nullptr;
    }
    if (item->owns_memory)
        mem_sys_free(item->object);
    item->object = block;
    item->size = size;
    item->owns_memory = true;
    item->flags |= ci_flag_resident;
    return block;
}

ENGINE_API void ci_free_mem_unfix(c_item_t* item)
{
    if (!item)
        return;
    if (item->owns_memory)
        mem_sys_free(item->object);
    item->object = nullptr;
    item->size = 0;
    item->owns_memory = false;
    item->flags &= static_cast<uint16_t>(~(ci_flag_resident | ci_flag_loaded));
}

ENGINE_API void citem_gen_mem_free(c_item_t* item) { ci_free_mem_unfix(item); }

ENGINE_API void citem_gen_mem_move(c_item_t* item, void* new_block)
{
    if (!item || !new_block)
        return;
    if (item->object && item->size)
        memcpy(new_block, item->object, item->size);
    item->object = new_block;
}

ENGINE_API void mm_mem_free_unreferenced(int kind_number) { free_memory_where(kind_number, nullptr, false); }
ENGINE_API void mm_mem_free_unreferenced_ops(const resource_ops_t* ops) { free_memory_where(-1, ops, false); }
ENGINE_API void mm_mem_free_all(int kind_number) { free_memory_where(kind_number, nullptr, true); }
ENGINE_API void mm_mem_free_all_ops(const resource_ops_t* ops) { free_memory_where(-1, ops, true); }
ENGINE_API void mm_hw_free_unreferenced(int kind_number) { free_hardware_where(kind_number, nullptr, false); }
ENGINE_API void mm_hw_free_unreferenced_ops(const resource_ops_t* ops) { free_hardware_where(-1, ops, false); }
ENGINE_API void mm_hw_free_all(int kind_number) { free_hardware_where(kind_number, nullptr, true); }
ENGINE_API void mm_hw_free_all_ops(const resource_ops_t* ops) { free_hardware_where(-1, ops, true); }
ENGINE_API void mm_remove_unreferenced(int kind_number) { remove_where(kind_number, nullptr); }
ENGINE_API void mm_remove_unreferenced_ops(const resource_ops_t* ops) { remove_where(-1, ops); }

bool cache_force_move(c_item_t* item)
{
    if (!item || !(item->flags & ci_flag_resident) || !item->owns_memory || item->size == 0 || item->locks > 0 ||
        !item->ops || !item->ops->move)
        return false;
    void* const old_block = item->object;
    void* const new_block = mem_sys_alloc(item->size);
    if (!new_block)
        return false;
    item->ops->move(item, new_block);
    if (item->object != new_block) {
        error("cache: the move of %s did not store its new block", item->name.c_str());
        item->object = old_block;
        mem_sys_free(new_block);
        return false;
    }
    // The old block is poisoned before it goes, so relocation code that still reads it shows up.
    memset(old_block, 0xdd, item->size);
    mem_sys_free(old_block);
    return true;
}
