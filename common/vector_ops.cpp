#include "common/vector_ops.h"

// Each operation reads all its inputs before it writes, so `out` may alias an input.

vec3_t* vec3_add(const vec3_t* a, vec3_t* out, const vec3_t* b)
{
    *out = vec3_t{a->x + b->x, a->y + b->y, a->z + b->z};
    return out;
}

vec3_t* vec3_sub(const vec3_t* a, vec3_t* out, const vec3_t* b)
{
    *out = vec3_t{a->x - b->x, a->y - b->y, a->z - b->z};
    return out;
}

vec3_t* vec3_scale(const vec3_t* a, vec3_t* out, const float s)
{
    *out = vec3_t{a->x * s, a->y * s, a->z * s};
    return out;
}

vec3_t* vec3_add_assign(vec3_t* a, const vec3_t* b)
{
    *a = vec3_t{a->x + b->x, a->y + b->y, a->z + b->z};
    return a;
}

float vec3_dot(const vec3_t* a, const vec3_t* b) { return a->x * b->x + a->y * b->y + a->z * b->z; }

vec3_t* vec3_lerp(vec3_t* out, const vec3_t* a, const vec3_t* b, const float t)
{
    *out = vec3_t{a->x + (b->x - a->x) * t, a->y + (b->y - a->y) * t, a->z + (b->z - a->z) * t};
    return out;
}

float* vec4_copy(float* destination, const float* source)
{
    const float copy[4] = {source[0], source[1], source[2], source[3]};
    for (int i = 0; i < 4; ++i)
        destination[i] = copy[i];
    return destination;
}
