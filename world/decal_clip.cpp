#include "world/decal_clip.h"

#include <cmath>

namespace {

// Below this the direction is taken as parallel to the up axis and another axis is crossed instead.
constexpr float parallel_threshold = 0.02f;

float coordinate(const decal_corner_t& corner, int axis) { return axis == 0 ? corner.x : corner.y; }

}  // namespace

decal_frame_t projection_frame(const vec3_t& direction, float rotation_degrees)
{
    vec3_t d = direction;
    if (d.normalize() <= 0.0f)
        d = vec3_t{0.0f, 1.0f, 0.0f};
    const vec3_t up = std::fabs(d.y) > 1.0f - parallel_threshold ? vec3_t{0.0f, 0.0f, 1.0f} : vec3_t{0.0f, 1.0f, 0.0f};
    const vec3_t x = up.cross(d).normalized();
    const vec3_t y = d.cross(x);
    const float angle = -rotation_degrees * 0.017453292f;
    const float c = std::cos(angle), s = std::sin(angle);
    return {x * c + y * s, y * c - x * s, d};
}

bool axis_plane_side(const decal_corner_t& corner, int axis, float limit, float sign)
{
    return sign * (coordinate(corner, axis) - limit) <= 0.0f;
}

decal_corner_t segment_axis_cross(const decal_corner_t& a, const decal_corner_t& b, int axis, float limit)
{
    const float from = coordinate(a, axis), to = coordinate(b, axis);
    const float t = to != from ? (limit - from) / (to - from) : 0.0f;
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.position + (b.position - a.position) * t};
}

void clip_polygon_axis(const std::vector<decal_corner_t>& in, int axis, float limit, float sign,
                       std::vector<decal_corner_t>& out)
{
    out.clear();
    const size_t count = in.size();
    for (size_t i = 0; i < count; ++i) {
        const decal_corner_t& a = in[i];
        const decal_corner_t& b = in[(i + 1) % count];
        const bool a_in = axis_plane_side(a, axis, limit, sign);
        const bool b_in = axis_plane_side(b, axis, limit, sign);
        if (a_in)
            out.push_back(a);
        if (a_in != b_in)
            out.push_back(segment_axis_cross(a, b, axis, limit));
    }
}

void clip_triangle(const decal_frame_t& frame, const vec3_t& origin, const vec3_t (&corners)[3], float half_x,
                   float half_y, std::vector<decal_corner_t>& out)
{
    std::vector<decal_corner_t> work;
    out.clear();
    for (const vec3_t& corner : corners) {
        const vec3_t q = corner - origin;
        out.push_back({q.dot(frame.x_axis), q.dot(frame.y_axis), corner});
    }
    const float limits[4] = {half_x, -half_x, half_y, -half_y};
    for (int side = 0; side < 4 && !out.empty(); ++side) {
        clip_polygon_axis(out, side / 2, limits[side], side % 2 == 0 ? 1.0f : -1.0f, work);
        out.swap(work);
    }
    if (out.size() < 3)
        out.clear();
}
