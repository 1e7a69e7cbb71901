#pragma once
#include <cstdint>

#include "engine/matrix.h"
#include "engine/vdatalist.h"
#include "physics/phys_pair.h"

class cd_geo_t;
class contact_list_t;
class phys_body_t;

// A broad-phase candidate of a query and the filter's answer for it.
struct phys_candidate_t {
    cd_geo_t* geometry;
    int answer;
};

// The candidates of one query.
using phys_candidate_list_t = vdatalist_t<phys_candidate_t>;

// The settings of the collision query being run: what the physics process's queries share, and what
// the geometries' primitive tests read.
struct cd_query_context_t {
    // Carries the primitive's frame into the frame of the geometry being asked.
    mat4_t matrix = mat4_t::identity();
    // The contact filter in force.
    const phys_pair_t* filter = nullptr;
    // The moving geometry and its body, or null.
    cd_geo_t* moving = nullptr;
    phys_body_t* body = nullptr;
    // Linear sub-step length and largest rotation per sub-step (degrees) of a sweep.
    float step_length = 1.0f;
    float rotation_step = 1.0f;
    uintptr_t user = 0;
    // The query's lists; null outside a query.
    phys_candidate_list_t* candidates = nullptr;
    contact_list_t* contacts = nullptr;
    contact_list_t* output = nullptr;
    // The query was asked by a caller rather than by a step: its time goes to the callers' sums.
    bool caller = false;
};
