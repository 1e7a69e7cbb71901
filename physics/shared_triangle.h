#pragma once
#include "engine/vec.h"

class cd_polyhedron_t;

// The one two-sided triangle every physical object shares: when a contact meets a geometry without a
// convex polyhedron (a triangle mesh), the triangle that was hit is copied into it and it stands for
// that geometry. It exists while at least one physical object holds a use of it.

// Takes one use, making and preparing the triangle (faces (0, 1, 2) and (0, 2, 1) over three shared
// vertices) with the first.
void shared_triangle_acquire();
// Gives back one use; the last one frees the triangle. A release without a use is reported and ignored.
void shared_triangle_release();
// Uses held now.
int shared_triangle_uses();
// Writes the three corners into the triangle, prepares it and answers it; null while nobody holds a use.
cd_polyhedron_t* shared_triangle_set(const vec3_t& a, const vec3_t& b, const vec3_t& c);
