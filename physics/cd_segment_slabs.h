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
        float enter = 0.0f, leave = 1.0f;
        bool inside = true;
        for (int axis = 0; axis < cd_bound_axes; ++axis) {
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
};
