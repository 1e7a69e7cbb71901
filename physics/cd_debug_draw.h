#pragma once
#include "engine/vec.h"

class cd_geo_t;

// Draws the part of a geometry's item tree that meets the sphere of `radius` round `centre` (world
// coordinates), as cd_geo_box_t::debug_draw draws a whole tree: node boxes by depth colour, leaf
// triangles in red, their normals when asked.
void cd_debug_draw_box(cd_geo_t* geometry, const vec3_t& centre, float radius, bool normals);
