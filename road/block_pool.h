#pragma once
#include <cstddef>
#include <vector>

// A pool of equal memory blocks: the vertex and index data of built road pieces comes in blocks of one
// size, handed out and given back many times a second while the camera moves, so freed blocks are
// kept for the next build instead of going back to the allocator.
class block_pool_t {
public:
    // A pool of blocks of `unit` bytes.
    explicit block_pool_t(size_t unit) : unit_(unit) {}
    ~block_pool_t();
    block_pool_t(const block_pool_t&) = delete;
    block_pool_t& operator=(const block_pool_t&) = delete;

    // A block of unit() bytes, or null (reported) when memory runs out.
    void* take();
    // Gives back a block this pool handed out; null is ignored.
    void give(void* block);
    // Bytes of every block.
    size_t unit() const { return unit_; }
    // Blocks handed out and not given back.
    size_t live() const { return live_; }

private:
    size_t unit_;
    size_t live_ = 0;
    std::vector<void*> free_;
};
