#pragma once
#include "engine/matrix.h"

// The settings of the collision query being run, as the geometries' primitive tests read them.
struct cd_query_context_t {
    // Carries the primitive's frame into the frame of the geometry being asked.
    mat4_t matrix = mat4_t::identity();
};
