#include "physics/physproc.h"

#include "engine/cvar.h"
#include "common/engine_api.h"
#include "physics/cd_geo.h"
#include "physics/contact_list.h"
#include "physics/phys_body.h"

namespace {

// Spatial hash parameters: level-0 cell, smallest cell, levels, ratio between levels.
constexpr float hash_cell = 200.0f;
constexpr float hash_min_cell = 8.0f;
constexpr int hash_levels = 4;
constexpr float hash_ratio = 3.0f;

// Removes the first node holding `value`; true when there was one.
template <typename T> bool remove_value(vptrlist_t<T>& list, T value)
{
    auto* node = list.find(value);
    if (!node)
        return false;
    list.remove(node);
    return true;
}

// The geometry's world box: its local bounds moved by its position. False for empty bounds.
bool world_box(cd_geo_t* geometry, spatial_box_t& box)
{
    const cd_bvnode_t* bounds = geometry->get_bounds();
    if (!bounds || bounds->bounds.empty())
        return false;
    const vec3_t& position = geometry->pose.position;
    for (int axis = 0; axis < 3; ++axis) {
        box.min[axis] = bounds->bounds.minimum[axis] + position[axis];
        box.max[axis] = bounds->bounds.maximum[axis] + position[axis];
    }
    return true;
}

}  // namespace

int phys_pair_all_solid(uintptr_t, const cd_geo_t*, const cd_geo_t*) { return phys_pair_solid; }

physproc_t::physproc_t()
    : pair_{phys_pair_all_solid, 0}, hash_(hash_cell, hash_min_cell, hash_levels, hash_ratio),
      context_pool_(sizeof(cd_query_context_t), 4), candidate_pool_(16, 16), pointer_pool_(12, 16),
      constraint_pool_(84, 16), ray_contact_pool_(sizeof(contact_list_t::node_t), contact_list_t::records_per_block)
{
    saved_contexts_.init_mm(context_pool_);
    unbounded_geoms_.init_mm(pointer_pool_);
    static_geoms_.init_mm(pointer_pool_);
    bodies_.init_mm(pointer_pool_);
    if (!api::cvar_get("p_verbose")) {
        verbose_variable_ = std::make_unique<cvar_t>("p_verbose", "", cvar_t::type_text, nullptr, 0u);
        if (!api::cvar_register_variable(verbose_variable_.get(), 0))
            verbose_variable_.reset();
    }
}

physproc_t::~physproc_t()
{
    saved_contexts_.remove_all();
    unbounded_geoms_.remove_all();
    static_geoms_.remove_all();
    bodies_.remove_all();
    hash_.clear();
}

void physproc_t::insert_geom(cd_geo_t* geometry)
{
    if (!geometry)
        return;
    // A second entry would leave a dangling one behind when the owner removes the geometry once.
    if (hash_.contains(geometry) || unbounded_geoms_.find(geometry) ||
        (geometry->body && bodies_.find(geometry->body))) {
        api::error("trying to insert geom already in physproc (%p '%s')", static_cast<void*>(geometry), "??");
        return;
    }
    spatial_box_t box;
    const bool bounded = world_box(geometry, box);
    if (geometry->body) {
        if (bounded)
            hash_.insert(geometry, box);
        auto* after = bodies_.first();
        while (after && after->value()->id < geometry->body->id)
            after = after->next();
        bodies_.insert_before(after, geometry->body);
        return;
    }
    if (bounded) {
        hash_.insert(geometry, box);
        static_geoms_.append(geometry);
    } else {
        unbounded_geoms_.append(geometry);
    }
}

void physproc_t::remove_geom(cd_geo_t* geometry)
{
    if (geometry &&
        (remove_value(static_geoms_, geometry) || (geometry->body && remove_value(bodies_, geometry->body)))) {
        hash_.remove(geometry);
        return;
    }
    if (geometry && remove_value(unbounded_geoms_, geometry))
        return;
    api::error("trying to remove geom not inserted into physproc (%p '%s')", static_cast<void*>(geometry), "??");
}

void physproc_t::update_geom(cd_geo_t* geometry)
{
    // Geometries without bounds are offered to every query and have no place in the hash.
    if (!geometry || unbounded_geoms_.find(geometry))
        return;
    const cd_sphere_t* sphere = geometry->get_sphere();
    const vec3_t centre = sphere->centre + geometry->pose.position;
    spatial_box_t box;
    for (int axis = 0; axis < 3; ++axis) {
        box.min[axis] = centre[axis] - sphere->radius;
        box.max[axis] = centre[axis] + sphere->radius;
    }
    hash_.update(geometry, box);
}

void physproc_t::push_context(const cd_query_context_t& context)
{
    saved_contexts_.append(context_);
    context_ = context;
    if (!context_.filter)
        context_.filter = &pair_;
    context_.caller = context_.moving == caller_geom_;
    if (context_.caller)
        ++profile_.caller_queries;
    if (context_.contacts)
        context_.contacts->remove_all();
    if (context_.output)
        context_.output->remove_all();
}

void physproc_t::pop_context()
{
    if (!saved_contexts_.remove_last(&context_))
        context_ = cd_query_context_t{};
}

void phys_insert_geom(physproc_t* process, cd_geo_t* geometry)
{
    if (process)
        process->insert_geom(geometry);
}

void phys_remove_geom(physproc_t* process, cd_geo_t* geometry)
{
    if (process)
        process->remove_geom(geometry);
}

void phys_update_geom(physproc_t* process, cd_geo_t* geometry)
{
    if (process)
        process->update_geom(geometry);
}

void phys_set_pair(physproc_t* process, const phys_pair_t& pair)
{
    if (process)
        process->set_pair(pair);
}
