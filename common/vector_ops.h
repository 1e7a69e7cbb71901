#pragma once
#include "engine/vec.h"

// Small vector operations on three and four floats that the road builders, vehicles, editor and
// screens share. Each computes in single precision and allows the output to be one of the inputs.

using vec3_t = vec_t<float, 3>;
using vec4_t = vec_t<float, 4>;

// out = a + b; returns out.
vec3_t* vec3_add(const vec3_t* a, vec3_t* out, const vec3_t* b);
// out = a - b; returns out.
vec3_t* vec3_sub(const vec3_t* a, vec3_t* out, const vec3_t* b);
// out = a x s; returns out.
vec3_t* vec3_scale(const vec3_t* a, vec3_t* out, float s);
// a += b; returns a.
vec3_t* vec3_add_assign(vec3_t* a, const vec3_t* b);
// The dot product a . b.
float vec3_dot(const vec3_t* a, const vec3_t* b);
// out = a + (b - a) x t, per component; returns out.
vec3_t* vec3_lerp(vec3_t* out, const vec3_t* a, const vec3_t* b, float t);
// Copies four floats (a quaternion or a 4-vector) from source to destination; returns destination.
float* vec4_copy(float* destination, const float* source);
