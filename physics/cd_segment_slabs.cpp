#include "physics/cd_segment_slabs.h"

#include <cmath>
#include <cstdint>
#include <cstring>

cd_segment_slabs_t::cd_segment_slabs_t(const vec3_t& start, const vec3_t& vector)
    : origin{start[0], start[1], start[2], (start[0] + start[2]) / 2.0f, (start[0] - start[2]) / 2.0f}
{
    const float direction[cd_bound_axes] = {vector[0], vector[1], vector[2], (vector[0] + vector[2]) / 2.0f,
                                            (vector[0] - vector[2]) / 2.0f};
    for (int axis = 0; axis < cd_bound_axes; ++axis) {
        // A denormal component inverts to infinity, and 0 * infinity would poison the slab with NaN.
        const float inverted = direction[axis] != 0.0f ? 1.0f / direction[axis] : 0.0f;
        still[axis] = !std::isfinite(inverted) || direction[axis] == 0.0f;
        inverse[axis] = still[axis] ? 0.0f : inverted;
    }
    for (int axis = 0; axis < 4; ++axis) {
        const uint32_t bits = still[axis] ? 0xFFFFFFFFu : 0u;
        std::memcpy(&still_mask[axis], &bits, sizeof bits);
    }
}
