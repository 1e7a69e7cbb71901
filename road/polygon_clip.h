#pragma once
#include <vector>

#include "engine/vec.h"

// Clipping convex polygons to axis-aligned planes, as the street lights' pools are cut to the cube
// around their centre.

// Which side of the plane where axis `axis` (0 x, 1 y, 2 z) equals `value` the point lies on: 1 on the
// kept side (`keep_below`: at or below the value; otherwise at or above it), 0 beyond it.
int axis_plane_side(const vec3_t& point, int axis, float value, bool keep_below);
// Where the segment from `a` to `b` crosses the plane where axis `axis` equals `value` (the two ends
// lie on opposite sides of it).
vec3_t segment_axis_cross(const vec3_t& a, const vec3_t& b, int axis, float value);
// The part of convex polygon `polygon` on the kept side of that plane (see axis_plane_side), its
// vertices in the same turning order; empty when nothing is left.
std::vector<vec3_t> clip_polygon_axis(const std::vector<vec3_t>& polygon, int axis, float value, bool keep_below);
