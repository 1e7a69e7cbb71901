#include <algorithm>

#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

uint64_t physproc_t::broad_phase(const vec3_t& start, const vec3_t& end, const vec3_t& box_minimum,
                                 const vec3_t& box_maximum)
{
    const uint64_t began = profile_clock();
    spatial_box_t query;
    vec3_t reach_box;
    for (int axis = 0; axis < 3; ++axis) {
        query.min[axis] = std::min(start[axis], end[axis]) + box_minimum[axis];
        query.max[axis] = std::max(start[axis], end[axis]) + box_maximum[axis];
        reach_box[axis] = std::max(box_maximum[axis], -box_minimum[axis]);
    }
    // A generous reach (squared, used as a distance): the sphere test only keeps far geometry out.
    const float reach = reach_box.length_sq() + 1.0f;
    const vec3_t segment = end - start;
    const float segment_sq = segment.length_sq();
    cd_geo_t* const moving = context_.moving;
    const phys_pair_t& filter = *context_.filter;

    // A filter may run a query of its own; it then finds the scratch empty.
    std::vector<void*> found;
    found.swap(found_);
    found.clear();
    hash_.query(query, found);
    for (void* item : found) {
        auto* const candidate = static_cast<cd_geo_t*>(item);
        if (candidate == moving || (candidate->body && !(candidate->body->body_flags & phys_body_t::body_enabled)))
            continue;
        const int answer = filter.function(filter.user, moving, candidate);
        if (answer == phys_pair_ignore)
            continue;
        const cd_sphere_t* const sphere = candidate->get_sphere();
        const vec3_t centre = sphere->centre + candidate->pose.position;
        const float along =
            segment_sq > 0.0f ? std::clamp((centre - start).dot(segment) / segment_sq, 0.0f, 1.0f) : 0.0f;
        const float radius = sphere->radius + reach;
        if ((centre - (start + segment * along)).length_sq() > radius * radius)
            continue;
        context_.candidates->append({candidate, answer});
    }
    found.clear();
    found.swap(found_);
    for (cd_geo_t* const candidate : unbounded_geoms_) {
        if (candidate == moving)
            continue;
        const int answer = filter.function(filter.user, moving, candidate);
        if (answer != phys_pair_ignore)
            context_.candidates->append({candidate, answer});
    }
    const uint64_t spent = profile_clock() - began;
    add_build_time(spent);
    return spent;
}

uint64_t physproc_t::clear_candidates()
{
    const uint64_t began = profile_clock();
    if (context_.candidates) {
        while (context_.candidates->remove_first()) {
        }
    }
    const uint64_t spent = profile_clock() - began;
    add_build_time(spent);
    return spent;
}

void physproc_t::add_build_time(uint64_t cycles)
{
    (context_.caller ? profile_.build_caller : profile_.build_step) += cycles;
}

void physproc_t::add_detect_time(uint64_t cycles)
{
    (context_.caller ? profile_.detect_caller : profile_.detect_step) += cycles;
}
