#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/vec.h"

// The shared scratch block of the road builds (the terrain grids beside a road): grown in steps of
// 64 KB for a request, and trimmed back to 128 KB after a larger one, so that one long road does not
// keep a large block. One build uses it at a time.
class seg_scratch_t {
public:
    // Bytes the block grows by, and the size a grown block is trimmed back to.
    static constexpr size_t grow_step = 65536;
    static constexpr size_t trim_size = 131072;

    seg_scratch_t() = default;
    ~seg_scratch_t();
    seg_scratch_t(const seg_scratch_t&) = delete;
    seg_scratch_t& operator=(const seg_scratch_t&) = delete;

    // Four arrays for `v` and `w` points: v vec3, w vec3, v vec3 and w vec3, in the block's order, all
    // zeroed. False (reported, the arrays null) for negative counts or when memory runs out.
    bool request(int32_t v, int32_t w, vec3_t* out[4]);
    size_t capacity() const { return capacity_; }

private:
    void* block_ = nullptr;
    size_t capacity_ = 0;
};
