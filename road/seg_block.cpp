#include "road/seg_block.h"

size_t seg_block_plan_t::reserve(const size_t count, const size_t record_size, const size_t align)
{
    if (!ok_)
        return 0;
    const size_t offset = (total_ + align - 1) & ~(align - 1);
    size_t bytes = 0;
    if (__builtin_mul_overflow(count, record_size, &bytes) || offset > seg_block_limit ||
        bytes > seg_block_limit - offset) {
        ok_ = false;
        return 0;
    }
    total_ = offset + bytes;
    return offset;
}
