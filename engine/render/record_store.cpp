#include <algorithm>
#include <cstddef>
#include <memory>

#include "engine/gfx_record.h"

namespace {

// Bytes of a block; a larger array gets a block of its own size.
constexpr size_t block_bytes = size_t{1} << 20;

}  // namespace

void gfx_record_store_t::empty()
{
    block_ = 0;
    used_ = 0;
}

void* gfx_record_store_t::take_bytes(const size_t bytes, const size_t alignment)
{
    for (;;) {
        if (block_ < blocks_.size()) {
            block_t& block = blocks_[block_];
            const size_t start = (used_ + alignment - 1) / alignment * alignment;
            if (start + bytes <= block.size) {
                used_ = start + bytes;
                return block.bytes.get() + start;
            }
            // A block too small for even this array alone is replaced by one that holds it.
            if (used_ == 0) {
                block.size = std::max(block_bytes, bytes);
                block.bytes = std::make_unique_for_overwrite<std::byte[]>(block.size);
                continue;
            }
            ++block_;
            used_ = 0;
            continue;
        }
        const size_t size = std::max(block_bytes, bytes);
        blocks_.push_back({std::make_unique_for_overwrite<std::byte[]>(size), size});
    }
}
