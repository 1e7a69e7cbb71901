#pragma once
#include "engine/matrix.h"
#include "engine/quat.h"
#include "engine/vec.h"

// Geometry helpers of the engine's class library: rotations of points, direction angles, planes and
// the road curve. Angle triples are in degrees (see matrix_set_rotate); Y is up and forward is -Z.
// A plane is a vec4_t (a, b, c, d) with unit normal (a, b, c): point p lies on it when
// a p.x + b p.y + c p.z + d = 0, and that sum is p's signed distance (positive on the normal's side).

// Turns a point about the origin by a unit quaternion or by an angle triple.
vec3_t point_rotate(const vec3_t& point, const quat_t& rotation);
vec3_t point_rotate(const vec3_t& point, const vec3_t& angles_degrees);
// Turns a direction the same way (the length is kept, not renormalised).
vec3_t normal_rotate(const vec3_t& normal, const quat_t& rotation);
vec3_t normal_rotate(const vec3_t& normal, const vec3_t& angles_degrees);

// The angle triple (pitch about X, yaw about Y, roll 0) that turns the forward direction (0, 0, -1)
// into `direction`; pitch within -90..90, yaw within -180..180. The zero vector gives (0, 0, 0).
vec3_t cartes_2_ypr(const vec3_t& direction);
// The unit direction that an angle triple turns (0, 0, -1) into; roll does not change it.
// ypr_2_cartes(cartes_2_ypr(d)) is d normalised.
vec3_t ypr_2_cartes(const vec3_t& angles_degrees);

// Angle in radians (0..pi) between two vectors; 0 when either is zero.
float vec3_angle(const vec3_t& a, const vec3_t& b);
// Squared distance of two points in the ground plane (x and z only).
float xz_distance_squared(const vec3_t& a, const vec3_t& b);

// Unit normal of the triangle p0, p1, p2: (p1 - p0) x (p2 - p0) normalised; zero when degenerate.
vec3_t points_compute_normal(const vec3_t& p0, const vec3_t& p1, const vec3_t& p2);
// The plane through p0, p1, p2 with the normal of points_compute_normal. False, leaving `out_plane`
// untouched, when the cross product's length is not above `tolerance` (a degenerate triangle).
bool points_compute_equation(const vec3_t& p0, const vec3_t& p1, const vec3_t& p2, float tolerance, vec4_t& out_plane);
// The plane through `point` spanned by the directions `u` and `v` (normal u x v normalised). False,
// leaving `out_plane` untouched, when |u x v| is not above `tolerance`.
bool compute_equation(const vec3_t& point, const vec3_t& u, const vec3_t& v, float tolerance, vec4_t& out_plane);
// The plane through `point` with the unit normal `normal`.
vec4_t construct_equation(const vec3_t& point, const vec3_t& normal);
// The plane moved by `offset` (every point of it moves by the offset).
vec4_t translate_plane(const vec4_t& plane, const vec3_t& offset);
// `v` without its component along `normal` (any length; a zero normal leaves v unchanged).
vec3_t project_vector(const vec3_t& normal, const vec3_t& v);
// The component of `v` along `direction` (any length; a zero direction gives zero).
vec3_t project_vector2vector(const vec3_t& direction, const vec3_t& v);

// The road curve: the cubic Bezier from p0 to p1 with control points p0 + t0 and p1 - t1, at t in
// 0..1. Writes the point, and when `out_tangent` is not null the unit tangent (the direction of
// travel; at a cusp where the derivative vanishes, the direction the curve takes from there, and
// zero only when all four control points coincide).
void smooth_curve(const vec3_t& p0, const vec3_t& t0, const vec3_t& p1, const vec3_t& t1, float t, vec3_t& out_point,
                  vec3_t* out_tangent);
