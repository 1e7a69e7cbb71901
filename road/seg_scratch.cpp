#include "road/seg_scratch.h"

#include <cstring>

#include "common/engine_api.h"

seg_scratch_t::~seg_scratch_t()
{
    if (block_)
        api::mem_sys_free(block_);
}

bool seg_scratch_t::request(const int32_t v, const int32_t w, vec3_t* out[4])
{
    for (int i = 0; i < 4; ++i)
        out[i] = nullptr;
    if (v < 0 || w < 0)
        return false;
    const size_t need = (static_cast<size_t>(v) + static_cast<size_t>(w)) * 2 * sizeof(vec3_t);
    size_t wanted = capacity_;
    while (need > wanted)
        wanted += grow_step;
    if (wanted > trim_size && need <= trim_size)
        wanted = trim_size;
    if (wanted != capacity_ || !block_) {
        void* grown = api::mem_sys_realloc(block_, wanted > 0 ? wanted : 1);
        if (!grown) {
            api::error("Not enough memory for %zu bytes of road scratch", wanted);
            return false;
        }
        block_ = grown;
        capacity_ = wanted;
    }
    std::memset(block_, 0, need);
    auto* at = static_cast<vec3_t*>(block_);
    out[0] = at;
    out[1] = out[0] + v;
    out[2] = out[1] + w;
    out[3] = out[2] + v;
    return true;
}
