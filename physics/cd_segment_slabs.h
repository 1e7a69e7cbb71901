#pragma once
#include <algorithm>

#include "engine/vec.h"
#include "physics/cd_bounds.h"

// A segment start + t * vector, 0 <= t <= 1, prepared once for the many slab tests of a tree walk: its
// start and the inverse of its direction on each of the five axes, so that a test multiplies instead of
// dividing per node.
struct cd_segment_slabs_t {
    // Projects the segment on the five axes. A direction component whose inverse is not finite (zero or
    // too small to invert) marks the segment as still on that axis.
    cd_segment_slabs_t(const vec3_t& start, const vec3_t& vector);

    // True when the segment passes through the five-axis bound. On an axis it is still along, its start
    // must lie inside the slab; an empty bound is never crossed.
    bool crosses(const cd_bounds_t& bounds) const
    {
#if defined(__SSE2__)
        // x, y, z and u in one go, v on its own. Min and max are exact, so the answer is the one the
        // axis-by-axis loop gives.
        const __m128 low = _mm_loadu_ps(bounds.minimum), high = _mm_loadu_ps(bounds.maximum);
        const __m128 start = _mm_loadu_ps(origin), still_lanes = _mm_loadu_ps(still_mask);
        const __m128 t0 = _mm_mul_ps(_mm_sub_ps(low, start), _mm_loadu_ps(inverse));
        const __m128 t1 = _mm_mul_ps(_mm_sub_ps(high, start), _mm_loadu_ps(inverse));
        // A still lane bounds nothing: it enters at 0 and leaves at 1, as the whole segment does.
        const __m128 one = _mm_set1_ps(1.0f);
        __m128 enters = _mm_max_ps(_mm_andnot_ps(still_lanes, _mm_min_ps(t1, t0)), _mm_setzero_ps());
        __m128 leaves =
            _mm_min_ps(_mm_or_ps(_mm_and_ps(still_lanes, one), _mm_andnot_ps(still_lanes, _mm_max_ps(t1, t0))), one);
        const __m128 outside =
            _mm_or_ps(_mm_cmpgt_ps(low, high),
                      _mm_and_ps(still_lanes, _mm_or_ps(_mm_cmplt_ps(start, low), _mm_cmpgt_ps(start, high))));
        enters = _mm_max_ps(enters, _mm_shuffle_ps(enters, enters, _MM_SHUFFLE(1, 0, 3, 2)));
        enters = _mm_max_ps(enters, _mm_shuffle_ps(enters, enters, _MM_SHUFFLE(2, 3, 0, 1)));
        leaves = _mm_min_ps(leaves, _mm_shuffle_ps(leaves, leaves, _MM_SHUFFLE(1, 0, 3, 2)));
        leaves = _mm_min_ps(leaves, _mm_shuffle_ps(leaves, leaves, _MM_SHUFFLE(2, 3, 0, 1)));
        float enter = _mm_cvtss_f32(enters), leave = _mm_cvtss_f32(leaves);
        bool inside = _mm_movemask_ps(outside) == 0;
        constexpr int first_axis = 4;
#else
        float enter = 0.0f, leave = 1.0f;
        bool inside = true;
        constexpr int first_axis = 0;
#endif
        for (int axis = first_axis; axis < cd_bound_axes; ++axis) {
            const float low = bounds.minimum[axis], high = bounds.maximum[axis];
            inside &= !(low > high);
            if (still[axis]) {
                inside &= !(origin[axis] < low) & !(origin[axis] > high);
                continue;
            }
            const float t0 = (low - origin[axis]) * inverse[axis];
            const float t1 = (high - origin[axis]) * inverse[axis];
            enter = std::max(enter, std::min(t0, t1));
            leave = std::min(leave, std::max(t0, t1));
        }
        return inside & !(enter > leave);
    }

    // The start on x, y, z, u, v.
    float origin[cd_bound_axes];
    // 1 / the direction on each axis; unused where the segment is still.
    float inverse[cd_bound_axes];
    // True on an axis the segment does not move along.
    bool still[cd_bound_axes];
    // The same as all-ones lane masks, for the four axes tested at once.
    float still_mask[4];
};
