#include "physics/bv_tree.h"

#include <algorithm>
#include <cstring>

#include "engine/check.h"
#include "engine/log.h"
#include "engine/mem.h"

namespace {

// Largest number of ids a leaf can count in its 16-bit field; bigger groups are always split.
constexpr uint32_t leaf_capacity = 0xFFFF;

// Widens the box (minimum, maximum) to hold the box of `item`.
void add_item_box(vec3_t& minimum, vec3_t& maximum, const cd_bvitem_t& item)
{
    for (int axis = 0; axis < 3; ++axis) {
        minimum[axis] = std::min(minimum[axis], item.minimum[axis]);
        maximum[axis] = std::max(maximum[axis], item.maximum[axis]);
    }
}

// An empty box: minima above maxima.
void set_empty_box(vec3_t& minimum, vec3_t& maximum)
{
    for (int axis = 0; axis < 3; ++axis) {
        minimum[axis] = cd_bound_empty;
        maximum[axis] = -cd_bound_empty;
    }
}

}  // namespace

bool cd_bvtree_split_variance(float& value, int& axis, uint32_t count, const vec3_t&, const vec3_t&, void*,
                              cd_bvtree_t& tree)
{
    const std::span<const cd_bvitem_t> items = tree.current_items();
    float mean[3] = {0.0f, 0.0f, 0.0f};
    for (const cd_bvitem_t& item : items)
        for (int a = 0; a < 3; ++a)
            mean[a] += item.centre[a];
    const float n = static_cast<float>(count ? count : 1);
    for (float& m : mean)
        m /= n;
    float variance[3] = {0.0f, 0.0f, 0.0f};
    for (const cd_bvitem_t& item : items)
        for (int a = 0; a < 3; ++a) {
            const float d = item.centre[a] - mean[a];
            variance[a] += d * d;
        }
    axis = 0;
    for (int a = 1; a < 3; ++a)
        if (variance[a] / n >= variance[axis] / n)
            axis = a;
    value = mean[axis];
    return true;
}

cd_bvtree_t::cd_bvtree_t(uint32_t items_per_block, uint32_t groups_per_block)
{
    items_.reserve(items_per_block ? items_per_block : 1);
    groups_.reserve(groups_per_block ? groups_per_block : 1);
}

void cd_bvtree_t::set_callbacks(void* owner, float threshold, uint16_t leaf_size, cd_bvnode_fn node_callback,
                                cd_bvsize_fn size_callback, cd_bvsplit_fn split_callback)
{
    owner_ = owner;
    threshold_ = threshold < 0.0f ? 0.0f : threshold;
    leaf_size_ = leaf_size ? leaf_size : 1;
    node_callback_ = node_callback;
    size_callback_ = size_callback;
    split_callback_ = split_callback ? split_callback : cd_bvtree_split_variance;
    state_ = state_configured;
}

cd_bvitem_t* cd_bvtree_t::add_item()
{
    items_.push_back(cd_bvitem_t{});
    return &items_.back();
}

std::span<const cd_bvitem_t> cd_bvtree_t::items_of(const cd_bvgroup_t& group) const
{
    return std::span<const cd_bvitem_t>(items_).subspan(group.first, group.count);
}

std::span<const cd_bvitem_t> cd_bvtree_t::current_items() const
{
    return std::span<const cd_bvitem_t>(items_).subspan(current_first_, current_count_);
}

void* cd_bvtree_t::take(size_t bytes)
{
    if (state_ != state_writing || static_cast<size_t>(block_end_ - cursor_) < bytes) {
        error("cd_bvtree_t: no room for %zu more bytes in the tree block", bytes);
        return nullptr;
    }
    void* const taken = cursor_;
    cursor_ += bytes;
    return taken;
}

cd_bvnode_t* cd_bvtree_t::build(size_t* size_out, void** block_out)
{
    *size_out = 0;
    *block_out = nullptr;
    if (items_.empty()) {
        finish();
        return nullptr;
    }
    state_ = state_splitting;
    cd_bvgroup_t whole{0, static_cast<uint32_t>(items_.size()), {}, {}, {-1, -1}};
    set_empty_box(whole.minimum, whole.maximum);
    for (const cd_bvitem_t& item : items_)
        add_item_box(whole.minimum, whole.maximum, item);
    groups_.clear();
    groups_.push_back(whole);
    split_all();

    const size_t size = tree_size();
    void* const block = mem_sys_alloc(std::max<size_t>(size, 1));
    if (!block) {
        error("cd_bvtree_t: cannot allocate a tree block of %zu bytes", size);
        finish();
        return nullptr;
    }
    block_start_ = cursor_ = static_cast<char*>(block);
    block_end_ = block_start_ + size;
    state_ = state_writing;
    cd_bvnode_t* const root = write_nodes();
    // Without callbacks the nodes are exactly what tree_size counted.
    kv_assert(!root || node_callback_ || size_callback_ || cursor_ == block_end_);
    finish();
    if (!root) {
        mem_sys_free(block);
        return nullptr;
    }
    *size_out = size;
    *block_out = block;
    return root;
}

void cd_bvtree_t::split_all()
{
    std::vector<uint32_t> pending{0};
    while (!pending.empty()) {
        const uint32_t index = pending.back();
        pending.pop_back();
        if (split_group(index)) {
            pending.push_back(static_cast<uint32_t>(groups_[index].halves[1]));
            pending.push_back(static_cast<uint32_t>(groups_[index].halves[0]));
        }
    }
}

bool cd_bvtree_t::split_group(uint32_t index)
{
    const cd_bvgroup_t group = groups_[index];
    const bool must_split = group.count > leaf_capacity;
    bool small = true;
    for (int a = 0; a < 3; ++a)
        small = small && group.maximum[a] - group.minimum[a] <= threshold_;
    if (!must_split && (small || group.count <= leaf_size_))
        return false;

    current_first_ = group.first;
    current_count_ = group.count;
    float value = 0.0f;
    int axis = 0;
    bool chosen = split_callback_(value, axis, group.count, group.minimum, group.maximum, owner_, *this);
    if (chosen && (axis < 0 || axis > 2)) {
        error("cd_bvtree_t: split axis %d is not one of x, y, z", axis);
        chosen = false;
    }
    if (!chosen && !must_split)
        return false;

    const auto begin = items_.begin() + group.first;
    const auto end = begin + group.count;
    auto middle =
        chosen ? std::stable_partition(begin, end, [&](const cd_bvitem_t& item) { return item.centre[axis] <= value; })
               : begin;
    if (middle == begin || middle == end)
        middle = begin + group.count / 2;

    cd_bvgroup_t halves[2];
    halves[0] = {group.first, static_cast<uint32_t>(middle - begin), {}, {}, {-1, -1}};
    halves[1] = {group.first + halves[0].count, group.count - halves[0].count, {}, {}, {-1, -1}};
    // A group splits only with two items or more, and a split at either end falls back to the middle.
    kv_assert(halves[0].count > 0 && halves[1].count > 0);
    for (cd_bvgroup_t& half : halves) {
        set_empty_box(half.minimum, half.maximum);
        for (const cd_bvitem_t& item : items_of(half))
            add_item_box(half.minimum, half.maximum, item);
    }
    groups_[index].halves[0] = static_cast<int32_t>(groups_.size());
    groups_.push_back(halves[0]);
    groups_[index].halves[1] = static_cast<int32_t>(groups_.size());
    groups_.push_back(halves[1]);
    return true;
}

size_t cd_bvtree_t::tree_size() const
{
    size_t size = 0;
    for (const cd_bvgroup_t& group : groups_) {
        if (group.halves[0] >= 0)
            size += cd_bvnode_inner_size;
        else if (size_callback_)
            size += size_callback_(group, owner_);
        else
            size += cd_bvnode_leaf_size(group.count);
    }
    return size;
}

cd_bvnode_t* cd_bvtree_t::write_nodes()
{
    std::vector<cd_bvnode_t*> nodes(groups_.size(), nullptr);
    std::vector<uint32_t> inner_order;  // inner groups in the order their nodes were written
    size_t leaf_items = 0;              // items the leaves hold between them
    std::vector<uint32_t> pending{0};
    while (!pending.empty()) {
        const uint32_t index = pending.back();
        pending.pop_back();
        const cd_bvgroup_t& group = groups_[index];
        current_first_ = group.first;
        current_count_ = group.count;
        if (group.halves[0] >= 0) {
            nodes[index] = static_cast<cd_bvnode_t*>(take(cd_bvnode_inner_size));
            inner_order.push_back(index);
            pending.push_back(static_cast<uint32_t>(group.halves[0]));
            pending.push_back(static_cast<uint32_t>(group.halves[1]));
        } else if (node_callback_) {
            leaf_items += group.count;
            nodes[index] = node_callback_(group, owner_, *this);
            if (!nodes[index])
                error("cd_bvtree_t: the leaf callback gave no node for %u items", group.count);
        } else {
            leaf_items += group.count;
            nodes[index] = write_leaf(group);
        }
        if (!nodes[index])
            return nullptr;
    }
    // The halves of every split partition their group, so the leaves hold every item exactly once.
    kv_assert(leaf_items == items_.size());
    // Children were written after their parents, so the reverse order bounds every child first.
    for (auto it = inner_order.rbegin(); it != inner_order.rend(); ++it) {
        cd_bvnode_t* const node = nodes[*it];
        const cd_bvgroup_t& group = groups_[*it];
        node->first = nodes[static_cast<size_t>(group.halves[0])];
        node->second = nodes[static_cast<size_t>(group.halves[1])];
        node->bounds = node->first->bounds;
        node->bounds.add_bounds(node->second->bounds);
    }
    return nodes[0];
}

cd_bvnode_t* cd_bvtree_t::write_leaf(const cd_bvgroup_t& group)
{
    // Groups above the 16-bit count were always split.
    kv_assert(group.count <= leaf_capacity);
    auto* const node = static_cast<cd_bvnode_t*>(take(cd_bvnode_leaf_size(group.count)));
    if (!node)
        return nullptr;
    node->first = nullptr;
    node->second = nullptr;
    node->count() = static_cast<uint16_t>(group.count);
    node->bounds.set_empty();
    uint32_t* const ids = node->ids();
    uint32_t i = 0;
    for (const cd_bvitem_t& item : items_of(group)) {
        ids[i++] = item.id;
        const float minimum[3] = {item.minimum[0], item.minimum[1], item.minimum[2]};
        const float maximum[3] = {item.maximum[0], item.maximum[1], item.maximum[2]};
        node->bounds.add_box(minimum, maximum);
    }
    node->bounds.widen(1.0f);
    return node;
}

void cd_bvtree_t::finish()
{
    items_.clear();
    groups_.clear();
    cursor_ = block_start_ = block_end_ = nullptr;
    current_first_ = current_count_ = 0;
    state_ = state_idle;
}
