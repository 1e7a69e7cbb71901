#include "physics/tri_query.h"

#include <algorithm>

#include "physics/cd_geo.h"

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
    slabs_ = cd_segment_slabs_t(segment_start_, segment_vector_);
    const float low[3] = {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
    const float high[3] = {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
    bound_.set_empty();
    bound_.add_box(low, high);
    cd_bvnode_t* const root = geometry->get_tree_in_box(&handle_, a, b);
    tree_held_ = true;
    if (root)
        gather(root);
}

template <typename enters_t> void cd_tri_query_t::walk(const cd_bvnode_t* root, const enters_t& enters)
{
    // The builder writes each inner node, then its second subtree, then its first. Walking second
    // children first therefore reads the block front to back, which the cache prefetches well; reversing
    // the leaves found that way gives exactly the order of a walk that takes first children first.
    const size_t found_before = leaves_.size();
    // The stack is indexed by hand so that its top stays in a register; it grows only for deep trees.
    if (pending_.size() < 64)
        pending_.resize(64);
    const cd_bvnode_t** stack = pending_.data();
    size_t top = 0;
    const cd_bvnode_t* node = root;
    for (;;) {
        if (enters(*node)) {
            if (!node->leaf()) {
                // The first child lies past the whole second subtree: fetch it while that is walked.
                __builtin_prefetch(node->first);
                if (top == pending_.size()) {
                    pending_.resize(top * 2);
                    stack = pending_.data();
                }
                stack[top++] = node->first;
                node = node->second;
                continue;
            }
            leaves_.push_back(node);
        }
        if (top == 0)
            break;
        node = stack[--top];
    }
    std::reverse(leaves_.begin() + static_cast<std::ptrdiff_t>(found_before), leaves_.end());
}

void cd_tri_query_t::gather(const cd_bvnode_t* root)
{
    // Copies, so that the walk's stores cannot make the compiler read them again for every node.
    const cd_bounds_t bound = bound_;
    const cd_segment_slabs_t slabs = slabs_;
    if (mode_ == mode_segment)
        walk(root, [&bound, &slabs](const cd_bvnode_t& node) {
            return node.bounds.overlaps(bound) && slabs.crosses(node.bounds);
        });
    else
        walk(root, [&bound](const cd_bvnode_t& node) { return node.bounds.overlaps(bound); });
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
    item.drawn = true;
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
            // The caller's item serves as the probe: one fetch both judges the item and hands it out.
            fill(item, id, request | cd_item_t::request_bounds);
            if (!item.bounds.overlaps_by_axis(bound_))
                continue;
            if (!(request & cd_item_t::request_bounds))
                item.request &= ~static_cast<uint32_t>(cd_item_t::request_bounds);
            return true;
        }
        item.request = request;
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
