#pragma once
#include <cstddef>

// Block pool of fixed-size items: memory is taken from the engine allocator in blocks of
// `items_per_block` items and handed out one item at a time; freed items are reused before a new
// block is taken. Blocks are given back only by `destroy` (or the destructor), which ends every item.
//
// The item size callers configure is a minimum: a container that draws its nodes from the pool
// widens it with `fit_item_size` before the first block exists (a node of a 64-bit build is larger
// than the same node laid out for 32 bits).
class bmem_manager {
public:
    // A pool of 16-byte items, 16 per block, until `set_pars` says otherwise.
    bmem_manager() = default;
    // Same as a default pool followed by `set_pars`.
    bmem_manager(size_t item_size, size_t items_per_block);
    ~bmem_manager();
    bmem_manager(const bmem_manager&) = delete;
    bmem_manager& operator=(const bmem_manager&) = delete;

    // Sets the item size and the items per block. Allowed while no item is handed out (the blocks
    // are given back first); with live items it only succeeds when nothing changes. Zero sizes are
    // refused. Returns false, with an error message, when refused.
    bool set_pars(size_t item_size, size_t items_per_block);
    // Widens the item size to at least `bytes` (rounded up to pointer alignment). Only possible
    // before the first block exists; returns false, with an error message, when it is too late.
    bool fit_item_size(size_t bytes);

    // One item of `item_size()` bytes, aligned for any scalar; null when memory runs out.
    void* alloc();
    // Gives an item back to the pool; null is ignored. The item must come from this pool.
    void free(void* item);
    // Gives every block back; all items handed out end.
    void destroy();

    size_t item_size() const { return item_size_; }
    size_t items_per_block() const { return items_per_block_; }
    // Items handed out and not yet freed.
    size_t live_count() const { return live_; }
    // Blocks taken from the engine allocator.
    size_t block_count() const { return blocks_; }

private:
    // A free item holds the link to the next free item.
    struct free_item_t {
        free_item_t* next;
    };
    // A block begins with the link to the previously taken block; its items follow.
    struct block_t {
        block_t* next;
    };

    bool grow();

    size_t item_size_ = 16;
    size_t items_per_block_ = 16;
    block_t* block_list_ = nullptr;
    free_item_t* free_list_ = nullptr;
    size_t live_ = 0;
    size_t blocks_ = 0;
};
