#pragma once
#include <cstddef>
#include <cstdint>

// Plans one memory block holding several tables: each table reserves its records (aligned) before
// anything is allocated, the block is allocated once with the total, and each table then points at
// its offset. The total never passes seg_block_limit: the server reports it as a 32-bit byte count.
class seg_block_plan_t {
public:
    // Largest block a plan accepts.
    static constexpr size_t seg_block_limit = INT32_MAX;

    // Reserves `count` records of `record_size` bytes at an offset aligned to `align` (a power of two)
    // and answers that offset. A plan whose total would pass the limit is marked failed.
    size_t reserve(size_t count, size_t record_size, size_t align);
    // Bytes the block needs.
    size_t total() const { return total_; }
    // False once a reservation passed the limit.
    bool ok() const { return ok_; }

private:
    size_t total_ = 0;
    bool ok_ = true;
};

// The table at `offset` of an allocated block.
template <typename T> T* seg_block_at(void* block, const size_t offset)
{
    return reinterpret_cast<T*>(static_cast<char*>(block) + offset);
}
