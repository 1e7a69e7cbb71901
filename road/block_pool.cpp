#include "road/block_pool.h"

#include "common/engine_api.h"

block_pool_t::~block_pool_t()
{
    for (void* block : free_)
        api::mem_sys_free(block);
}

void* block_pool_t::take()
{
    void* block = nullptr;
    if (!free_.empty()) {
        block = free_.back();
        free_.pop_back();
    } else {
        block = api::mem_sys_alloc(unit_);
        if (!block) {
            api::error("Not enough memory for a road block of %zu bytes", unit_);
            return nullptr;
        }
    }
    ++live_;
    return block;
}

void block_pool_t::give(void* block)
{
    if (!block)
        return;
    free_.push_back(block);
    if (live_ > 0)
        --live_;
}
