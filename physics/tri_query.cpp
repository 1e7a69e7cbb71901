#include "physics/tri_query.h"

#include <algorithm>

#include "physics/cd_geo.h"
#include "physics/tri_tests.h"

cd_tri_query_t::~cd_tri_query_t() { clear(); }

void cd_tri_query_t::begin(cd_geo_t* geometry, const vec3_t& corner_a, const vec3_t& corner_b)
{
    start(geometry, corner_a, corner_b, mode_box);
}

void cd_tri_query_t::begin_leaves(cd_geo_t* geometry, const vec3_t& corner_a, const vec3_t& corner_b)
{
    start(geometry, corner_a, corner_b, mode_leaves);
}

void cd_tri_query_t::begin_segment(cd_geo_t* geometry, const vec3_t& start_point, const vec3_t& end_point,
                                   uint32_t spare)
{
    spare_ = spare;
    start(geometry, start_point, end_point, mode_segment);
}

void cd_tri_query_t::start(cd_geo_t* geometry, const vec3_t& corner_a, const vec3_t& corner_b, uint16_t mode)
{
    clear();
    if (!geometry)
        return;
    geometry_ = geometry;
    active_ = true;
    mode_ = mode;
    done_ = false;
    const vec3_t& origin = geometry->pose.position;
    const vec3_t a = corner_a - origin;
    const vec3_t b = corner_b - origin;
    segment_start_ = a;
    segment_end_ = b;
    segment_vector_ = b - a;
    const float low[3] = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    const float high[3] = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    bound_.set_empty();
    bound_.add_box(low, high);
    cd_bvnode_t* const root = geometry->get_tree_in_box(&handle_, a, b);
    tree_held_ = true;
    if (root)
        gather(root);
}

void cd_tri_query_t::gather(const cd_bvnode_t* root)
{
    std::vector<const cd_bvnode_t*> pending{root};
    while (!pending.empty()) {
        const cd_bvnode_t* const node = pending.back();
        pending.pop_back();
        if (!node->bounds.overlaps(bound_))
            continue;
        if (mode_ == mode_segment && !cd_segment_bounds_test(node->bounds, segment_start_, segment_vector_))
            continue;
        if (node->leaf()) {
            leaves_.push_back(node);
        } else {
            pending.push_back(node->second);
            pending.push_back(node->first);
        }
    }
}

bool cd_tri_query_t::advance(uint32_t* id)
{
    while (current_ < leaves_.size()) {
        const cd_bvnode_t* const leaf = leaves_[current_];
        if (index_ < leaf->count()) {
            *id = leaf->ids()[index_++];
            return true;
        }
        ++current_;
        index_ = 0;
    }
    return false;
}

void cd_tri_query_t::fill(cd_item_t& item, uint32_t id, uint32_t request)
{
    item.id = id;
    item.request = request;
    geometry_->get_item(item, 1);
}

bool cd_tri_query_t::next(cd_item_t& item)
{
    if (!active_)
        return false;
    const uint32_t request = item.request;
    uint32_t id = 0;
    switch (mode_) {
    case mode_box:
    case mode_box_again:
        while (advance(&id)) {
            if (leaves_[current_]->count() == 1) {
                fill(item, id, request);
                return true;
            }
            cd_item_t probe;
            fill(probe, id, request | cd_item_t::request_bounds);
            if (!probe.bounds.overlaps(bound_))
                continue;
            item = probe;
            if (!(request & cd_item_t::request_bounds))
                item.request &= ~static_cast<uint32_t>(cd_item_t::request_bounds);
            return true;
        }
        return false;
    case mode_segment: {
        // A stop-now answer ends the query after this call, which still looks for a hit.
        bool stopping = false;
        while (!done_ && advance(&id)) {
            float fraction = 0.0f;
            const int answer = geometry_->segment_test(segment_start_, segment_vector_, id, &fraction, spare_);
            if (answer == stop_now) {
                stopping = true;
            } else if (answer > 0) {
                done_ = stopping || answer == stop_after;
                fraction_ = fraction;
                fill(item, id, request);
                return true;
            }
        }
        done_ = done_ || stopping;
        return false;
    }
    case mode_leaves:
        if (!advance(&id))
            return false;
        fill(item, id, request);
        return true;
    default:
        return false;
    }
}

void cd_tri_query_t::clear()
{
    if (tree_held_ && geometry_)
        geometry_->release_tree(handle_);
    tree_held_ = false;
    handle_ = 0;
    geometry_ = nullptr;
    active_ = false;
    mode_ = mode_idle;
    leaves_.clear();
    current_ = 0;
    index_ = 0;
    done_ = false;
}
