#pragma once
#include "physics/cd_bounds.h"
#include "engine/vec.h"

// Primitive tests between the items of collision geometries (triangles and spheres) and boxes. All
// corners and points of one call are in one frame.

// Two-sided segment against triangle (a, b, c). A hit counts when the segment start + t * vector with
// 0 <= t <= 1 meets the triangle; t goes to `fraction`. A segment parallel to the triangle's plane
// (determinant within +-1e-6) misses.
bool cd_triangle_segment_test(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& start,
                              const vec3_t& vector, float* fraction);

// Triangle against triangle: interval overlap on the line where the two planes meet; signed distances
// below 1e-6 count as 0, and triangles in one plane go to cd_tri_tri_coplanar.
bool cd_tri_tri_test(const vec3_t& a0, const vec3_t& a1, const vec3_t& a2, const vec3_t& b0, const vec3_t& b1,
                     const vec3_t& b2);

// Two triangles in the plane with normal `normal`: edge against edge in the coordinate plane that drops
// the normal's largest component, then a corner of each inside the other.
bool cd_tri_tri_coplanar(const vec3_t& normal, const vec3_t& a0, const vec3_t& a1, const vec3_t& a2, const vec3_t& b0,
                         const vec3_t& b1, const vec3_t& b2);

// Triangle against the box centred at the origin with half extents `half` (separating axes: box axes
// crossed with the edges, the box axes, then the triangle's plane).
bool cd_tri_box_test(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& half);

// True when the squared distance of the centres is less than (radius a + radius b) squared: spheres
// that only touch do not collide.
bool cd_sphere_sphere_test(const vec3_t& centre_a, float radius_a, const vec3_t& centre_b, float radius_b);

// True when the sphere reaches the triangle: a corner, the closest point of an edge, or the projection
// of the centre inside the triangle lies within the radius.
bool cd_sphere_triangle_test(const vec3_t& a, const vec3_t& b, const vec3_t& c, const vec3_t& centre, float radius);

// True when the segment start + t * vector, 0 <= t <= 1, passes through the five-axis bound (slab test
// on every axis, see cd_segment_slabs_t). A zero direction component is tested as a position inside the
// slab, never divided by.
bool cd_segment_bounds_test(const cd_bounds_t& bounds, const vec3_t& start, const vec3_t& vector);
