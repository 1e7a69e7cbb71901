#include <algorithm>

#include "physics/cd_geo.h"
#include "physics/cd_test_counts.h"
#include "physics/physproc.h"

namespace {

// Rebuilds a geometry's frame when it moved since the last test.
void refresh_frame(cd_geo_t* geometry)
{
    if (geometry->frame_dirty) {
        geometry->update_axial();
        geometry->frame_dirty = 0;
    }
}

// A node's bounds moved by `offset`.
cd_bounds_t moved_bounds(const cd_bvnode_t* node, const vec3_t& offset)
{
    cd_bounds_t bounds = node->bounds;
    bounds.translate(offset.x, offset.y, offset.z);
    return bounds;
}

}  // namespace

int physproc_t::collide_pair(cd_geo_t* moving, cd_geo_t* other, const vec3_t& trial_position,
                             std::vector<phys_pair_hit_t>* out)
{
    ++cd_test_counts().pair_tests;
    if (!moving || !other)
        return 0;
    refresh_frame(moving);
    refresh_frame(other);
    axial_t trial_frame;
    trial_frame.translate(trial_position);
    // The other geometry's items are primitives handed to the moving geometry's test.
    context_.matrix = trial_frame.inverse * other->frame.matrix;
    const vec3_t offset = mult_point_matrix_fast(other->frame.inverse, trial_position);

    uint32_t moving_handle = 0;
    const cd_bvnode_t* const moving_root = moving->get_tree(&moving_handle);
    if (!moving_root) {
        moving->release_tree(moving_handle);
        return 0;
    }
    cd_bounds_t request = moved_bounds(moving_root, offset);
    request.widen(1.0f);
    const vec3_t corner_a(request.minimum[0], request.minimum[1], request.minimum[2]);
    const vec3_t corner_b(request.maximum[0], request.maximum[1], request.maximum[2]);
    uint32_t other_handle = 0;
    const cd_bvnode_t* const other_root = other->get_tree_in_box(&other_handle, corner_a, corner_b);

    cd_test_counts_t& counts = cd_test_counts();
    const size_t first_hit = out ? out->size() : 0;
    bool touched = false;
    node_pairs_.clear();
    if (other_root)
        node_pairs_.emplace_back(moving_root, other_root);
    while (!node_pairs_.empty() && !(touched && !out)) {
        const auto [a, b] = node_pairs_.back();
        node_pairs_.pop_back();
        ++counts.bv_tests;
        if (!moved_bounds(a, offset).overlaps(b->bounds))
            continue;
        if (!b->leaf()) {
            node_pairs_.emplace_back(a, b->second);
            node_pairs_.emplace_back(a, b->first);
            continue;
        }
        if (!a->leaf()) {
            node_pairs_.emplace_back(a->second, b);
            node_pairs_.emplace_back(a->first, b);
            continue;
        }
        for (uint16_t i = 0; i < b->count(); ++i) {
            cd_item_t primitive;
            primitive.id = b->ids()[i];
            primitive.request = cd_item_t::request_vertices;
            other->get_item(primitive, 1);
            ++counts.primitive_tests;
            phys_pair_hit_t hit{cd_item_none, primitive.id};
            cd_geo_t* touched_geometry = nullptr;
            if (!moving->pri_collide(context_, primitive, &touched_geometry, &hit.item))
                continue;
            touched = true;
            if (!out)
                break;
            // Leaves of the moving tree may overlap; each primitive counts once.
            if (std::find(out->begin() + static_cast<long>(first_hit), out->end(), hit) == out->end())
                out->push_back(hit);
        }
    }
    node_pairs_.clear();
    other->release_tree(other_handle);
    moving->release_tree(moving_handle);
    if (out)
        return static_cast<int>(out->size() - first_hit);
    return touched ? 1 : 0;
}
