#include "road/polygon_clip.h"

int axis_plane_side(const vec3_t& point, const int axis, const float value, const bool keep_below)
{
    const float coordinate = point[axis];
    return (keep_below ? coordinate <= value : coordinate >= value) ? 1 : 0;
}

vec3_t segment_axis_cross(const vec3_t& a, const vec3_t& b, const int axis, const float value)
{
    const float span = b[axis] - a[axis];
    const float t = span != 0.0f ? (value - a[axis]) / span : 0.0f;
    vec3_t cross = a + (b - a) * t;
    // Exactly on the plane, whatever the rounding of t.
    cross[axis] = value;
    return cross;
}

std::vector<vec3_t> clip_polygon_axis(const std::vector<vec3_t>& polygon, const int axis, const float value,
                                      const bool keep_below)
{
    std::vector<vec3_t> clipped;
    const size_t count = polygon.size();
    for (size_t i = 0; i < count; ++i) {
        const vec3_t& from = polygon[i];
        const vec3_t& to = polygon[(i + 1) % count];
        const int from_side = axis_plane_side(from, axis, value, keep_below);
        const int to_side = axis_plane_side(to, axis, value, keep_below);
        if (from_side)
            clipped.push_back(from);
        if (from_side != to_side)
            clipped.push_back(segment_axis_cross(from, to, axis, value));
    }
    return clipped.size() >= 3 ? clipped : std::vector<vec3_t>{};
}
