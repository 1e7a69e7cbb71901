#pragma once
#include <vector>

#include "engine/vec.h"

// One corner of a polygon being cut to a decal's rectangle: its place in the decal's frame (x, y)
// and its position on the geometry.
struct decal_corner_t {
    float x;
    float y;
    vec3_t position;
};

// A decal's projection frame: two unit axes across the decal and the projection direction.
struct decal_frame_t {
    vec3_t x_axis;
    vec3_t y_axis;
    vec3_t direction;
};

// Builds the frame looking along `direction` (need not be unit), turned by `rotation_degrees` about it.
// A direction of zero length gives the frame of (0, 1, 0).
decal_frame_t projection_frame(const vec3_t& direction, float rotation_degrees);

// Which side of the plane `axis` = `limit` a corner lies on: true when inside (the sign says which
// side counts as inside: +1 keeps values at most `limit`, -1 keeps values at least `limit`).
bool axis_plane_side(const decal_corner_t& corner, int axis, float limit, float sign);
// The corner where the edge from `a` to `b` crosses the plane `axis` = `limit`.
decal_corner_t segment_axis_cross(const decal_corner_t& a, const decal_corner_t& b, int axis, float limit);
// Cuts a polygon to one side of an axis plane; the result may be empty.
void clip_polygon_axis(const std::vector<decal_corner_t>& in, int axis, float limit, float sign,
                       std::vector<decal_corner_t>& out);
// Cuts a triangle (its corners projected into the frame round `origin`) to the rectangle |x| <= half_x,
// |y| <= half_y; the polygon left goes to `out` (empty when nothing is left).
void clip_triangle(const decal_frame_t& frame, const vec3_t& origin, const vec3_t (&corners)[3], float half_x,
                   float half_y, std::vector<decal_corner_t>& out);
