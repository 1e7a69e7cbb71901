#include "engine/bmem.h"

#include <cstdint>

#include "engine/log.h"
#include "engine/mem.h"

namespace {

// Items and the block header are kept on this alignment, enough for every scalar the game stores.
constexpr size_t item_alignment = alignof(std::max_align_t);

size_t round_up(size_t bytes) { return (bytes + item_alignment - 1) / item_alignment * item_alignment; }

}  // namespace

bmem_manager::bmem_manager(size_t item_size, size_t items_per_block) { set_pars(item_size, items_per_block); }

bmem_manager::~bmem_manager() { destroy(); }

bool bmem_manager::set_pars(size_t item_size, size_t items_per_block)
{
    if (item_size == 0 || items_per_block == 0) {
        error("bmem_manager: refused item size %zu with %zu per block", item_size, items_per_block);
        return false;
    }
    const size_t size = round_up(item_size < sizeof(free_item_t) ? sizeof(free_item_t) : item_size);
    if (live_ > 0) {
        if (size <= item_size_ && items_per_block == items_per_block_)
            return true;
        error("bmem_manager: cannot change the items of a pool with %zu items in use", live_);
        return false;
    }
    destroy();
    item_size_ = size;
    items_per_block_ = items_per_block;
    return true;
}

bool bmem_manager::fit_item_size(size_t bytes)
{
    const size_t size = round_up(bytes);
    if (size <= item_size_)
        return true;
    if (blocks_ > 0) {
        error("bmem_manager: items of %zu bytes do not fit a pool of %zu-byte items already in use", bytes, item_size_);
        return false;
    }
    item_size_ = size;
    return true;
}

bool bmem_manager::grow()
{
    const size_t header = round_up(sizeof(block_t));
    if (items_per_block_ > (SIZE_MAX - header) / item_size_) {
        error("bmem_manager: a block of %zu items of %zu bytes is too large", items_per_block_, item_size_);
        return false;
    }
    auto* block = static_cast<block_t*>(mem_sys_alloc(header + items_per_block_ * item_size_));
    if (!block) {
        error("bmem_manager: out of memory for a block of %zu items of %zu bytes", items_per_block_, item_size_);
        return false;
    }
    block->next = block_list_;
    block_list_ = block;
    ++blocks_;
    // Thread the new items onto the free list, first item first.
    char* first = reinterpret_cast<char*>(block) + header;
    for (size_t i = items_per_block_; i-- > 0;) {
        auto* item = reinterpret_cast<free_item_t*>(first + i * item_size_);
        item->next = free_list_;
        free_list_ = item;
    }
    return true;
}

void* bmem_manager::alloc()
{
    if (!free_list_ && !grow())
        return nullptr;
    free_item_t* item = free_list_;
    free_list_ = item->next;
    ++live_;
    return item;
}

void bmem_manager::free(void* item)
{
    if (!item)
        return;
    if (live_ == 0) {
        error("bmem_manager: item %p freed to a pool with no items in use", item);
        return;
    }
    auto* freed = static_cast<free_item_t*>(item);
    freed->next = free_list_;
    free_list_ = freed;
    --live_;
}

void bmem_manager::destroy()
{
    while (block_list_) {
        block_t* next = block_list_->next;
        mem_sys_free(block_list_);
        block_list_ = next;
    }
    free_list_ = nullptr;
    live_ = 0;
    blocks_ = 0;
}
