#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/phys_body.h"
#include "physics/physproc.h"

const phys_contact_t* physproc_t::collide_geom(const phys_pose_t& start, const phys_pose_t& end, cd_geo_t* geometry,
                                               float step_length, float rotation_step, const phys_pair_t* filter,
                                               phys_pose_t* out_pose)
{
    if (!geometry) {
        api::error("physproc_t::collide_geom: no geometry to test");
        return nullptr;
    }
    cd_geo_t* const outer_geom = caller_geom_;
    caller_geom_ = geometry;
    phys_candidate_list_t candidates;
    candidates.init_mm(candidate_pool_);
    contact_list_t contacts;
    cd_query_context_t context;
    context.filter = filter;
    context.moving = geometry;
    context.body = geometry->body;
    context.step_length = step_length;
    context.rotation_step = rotation_step;
    context.candidates = &candidates;
    context.contacts = &contacts;
    context.output = &phys_output_contacts();
    push_context(context);
    phys_sweep_out_t reached;
    sweep(start, end, sweep_fresh | sweep_pose, &reached);
    contact_list_merge(*context_.output, contacts);
    if (out_pose)
        *out_pose = reached.pose;
    const phys_contact_t* const first = context_.output->first() ? &context_.output->first()->value() : nullptr;
    pop_context();
    caller_geom_ = outer_geom;
    return first;
}

bool physproc_t::query_box(const vec3_t& corner_a, const vec3_t& corner_b, vptrlist_t<cd_geo_t*>& out,
                           const phys_pair_t* filter)
{
    const uint64_t began = profile_clock();
    const phys_pair_t& pair = filter ? *filter : pair_;
    spatial_box_t box;
    for (int axis = 0; axis < 3; ++axis) {
        box.min[axis] = std::min(corner_a[axis], corner_b[axis]);
        box.max[axis] = std::max(corner_a[axis], corner_b[axis]);
    }
    // A filter may run a query of its own; it then finds the scratch empty.
    std::vector<void*> found;
    found.swap(found_);
    found.clear();
    hash_.query(box, found);
    for (void* item : found) {
        auto* const candidate = static_cast<cd_geo_t*>(item);
        if (candidate->body && !(candidate->body->body_flags & phys_body_t::body_enabled))
            continue;
        if (pair.function(pair.user, nullptr, candidate) == phys_pair_ignore)
            continue;
        const cd_sphere_t* const sphere = candidate->get_sphere();
        const vec3_t centre = sphere->centre + candidate->pose.position;
        bool overlaps = true;
        for (int axis = 0; axis < 3; ++axis)
            overlaps &=
                centre[axis] - sphere->radius <= box.max[axis] && centre[axis] + sphere->radius >= box.min[axis];
        if (overlaps)
            out.append(candidate);
    }
    found.clear();
    found.swap(found_);
    for (cd_geo_t* const candidate : unbounded_geoms_) {
        if (pair.function(pair.user, nullptr, candidate) != phys_pair_ignore)
            out.append(candidate);
    }
    profile_.build_caller += profile_clock() - began;
    return !out.is_empty();
}
