#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/vec.h"
#include "physics/cd_bounds.h"

// Bounding-volume trees of collision items. The caller adds items (an id, a centre and a box), sets a
// threshold, a leaf size and optional callbacks, and builds; the result is one memory block of nodes,
// sized exactly in advance, that the caller owns and frees with mem_sys_free.

// Head of a tree node: two children (null in a leaf) and the five-axis bound. A leaf carries, right
// after the head, a 16-bit count and that many 32-bit item ids (see cd_bvnode_leaf_size).
struct cd_bvnode_t {
    cd_bvnode_t* first;
    cd_bvnode_t* second;
    cd_bounds_t bounds;

    // True for a leaf (no first child).
    bool leaf() const { return first == nullptr; }
    // Leaf only: number of item ids.
    uint16_t& count();
    uint16_t count() const;
    // Leaf only: the item ids, in the geometry's own numbering.
    uint32_t* ids();
    const uint32_t* ids() const;
};

// Bytes an inner node takes in the tree block.
constexpr size_t cd_bvnode_inner_size = sizeof(cd_bvnode_t);
// Offset of a leaf's count and of its first id from the start of the node.
constexpr size_t cd_bvnode_count_offset = sizeof(cd_bvnode_t);
constexpr size_t cd_bvnode_ids_offset =
    (cd_bvnode_count_offset + sizeof(uint16_t) + alignof(uint32_t) - 1) / alignof(uint32_t) * alignof(uint32_t);

// The leaf accessors are read once per item by every query, so they stay inline.
inline uint16_t& cd_bvnode_t::count()
{
    return *reinterpret_cast<uint16_t*>(reinterpret_cast<char*>(this) + cd_bvnode_count_offset);
}

inline uint16_t cd_bvnode_t::count() const
{
    return *reinterpret_cast<const uint16_t*>(reinterpret_cast<const char*>(this) + cd_bvnode_count_offset);
}

inline uint32_t* cd_bvnode_t::ids()
{
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(this) + cd_bvnode_ids_offset);
}

inline const uint32_t* cd_bvnode_t::ids() const
{
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const char*>(this) + cd_bvnode_ids_offset);
}

// Bytes a leaf of `count` ids takes, rounded so that the next node stays aligned.
constexpr size_t cd_bvnode_leaf_size(size_t count)
{
    const size_t bytes = cd_bvnode_ids_offset + 4 * count;
    return (bytes + alignof(cd_bvnode_t) - 1) / alignof(cd_bvnode_t) * alignof(cd_bvnode_t);
}

// One item handed to the builder: the id stored in the leaf, the centre used to split, and its box.
struct cd_bvitem_t {
    uint32_t id;
    vec3_t centre;
    vec3_t minimum;
    vec3_t maximum;
};

// A run of consecutive build items with its box and, unless it is a leaf, the indices of its halves.
struct cd_bvgroup_t {
    uint32_t first;
    uint32_t count;
    vec3_t minimum;
    vec3_t maximum;
    int32_t halves[2];  // group indices of the two halves, -1 for a leaf
};

class cd_bvtree_t;

// Bytes the leaf written for `group` needs in the tree block.
using cd_bvsize_fn = size_t (*)(const cd_bvgroup_t& group, void* owner);
// Writes the node of a leaf group (taking space with cd_bvtree_t::take) or returns one from elsewhere.
using cd_bvnode_fn = cd_bvnode_t* (*)(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree);
// Chooses the split axis (0 x, 1 y, 2 z) and value of a group; false keeps the group a leaf.
using cd_bvsplit_fn = bool (*)(float& value, int& axis, uint32_t count, const vec3_t& box_minimum,
                               const vec3_t& box_maximum, void* owner, cd_bvtree_t& tree);

// The default split: the axis along which the centres vary most (ties go to the later axis), at their
// mean. Reads the centres of the group being split through cd_bvtree_t::current_items.
bool cd_bvtree_split_variance(float& value, int& axis, uint32_t count, const vec3_t& box_minimum,
                              const vec3_t& box_maximum, void* owner, cd_bvtree_t& tree);

// Builder of one tree: configured, filled, built, then destroyed.
class cd_bvtree_t {
public:
    // What the builder is doing.
    enum state_t : uint32_t { state_idle = 1, state_configured = 2, state_splitting = 3, state_writing = 4 };

    // `items_per_block` and `groups_per_block` size the builder's lists up front (0 means 1).
    cd_bvtree_t(uint32_t items_per_block, uint32_t groups_per_block);
    cd_bvtree_t(const cd_bvtree_t&) = delete;
    cd_bvtree_t& operator=(const cd_bvtree_t&) = delete;

    // Owner handed to every callback; a negative threshold becomes 0, a leaf size of 0 becomes 1 and a
    // null split becomes cd_bvtree_split_variance.
    void set_callbacks(void* owner, float threshold, uint16_t leaf_size, cd_bvnode_fn node_callback,
                       cd_bvsize_fn size_callback, cd_bvsplit_fn split_callback);

    // Appends a build item for the caller to fill.
    cd_bvitem_t* add_item();

    // Builds the tree. Returns the root (null when there are no items or the block cannot be had) and
    // gives the block and its size; the caller frees the block with mem_sys_free.
    cd_bvnode_t* build(size_t* size_out, void** block_out);

    // For callbacks: the items of `group`, and those of the group being split or written now.
    std::span<const cd_bvitem_t> items_of(const cd_bvgroup_t& group) const;
    std::span<const cd_bvitem_t> current_items() const;

    // For node callbacks: takes `bytes` at the write cursor; null (with an error) past the block end.
    void* take(size_t bytes);

    state_t state() const { return state_; }
    float threshold() const { return threshold_; }
    uint16_t leaf_size() const { return leaf_size_; }
    size_t item_count() const { return items_.size(); }

private:
    // Splits the group at `index` and all its halves until every piece is a leaf.
    void split_all();
    // Splits one group in two, or leaves it a leaf; answers whether it split.
    bool split_group(uint32_t index);
    // Bytes the whole tree needs.
    size_t tree_size() const;
    // Writes every node into the block; answers the root or null when a node could not be written.
    cd_bvnode_t* write_nodes();
    // Writes the default leaf of a group at the cursor.
    cd_bvnode_t* write_leaf(const cd_bvgroup_t& group);
    // Empties both lists and goes idle.
    void finish();

    cd_bvsize_fn size_callback_ = nullptr;
    cd_bvnode_fn node_callback_ = nullptr;
    cd_bvsplit_fn split_callback_ = cd_bvtree_split_variance;
    void* owner_ = nullptr;
    char* cursor_ = nullptr;
    char* block_start_ = nullptr;
    char* block_end_ = nullptr;
    state_t state_ = state_idle;
    float threshold_ = 0.0f;
    uint16_t leaf_size_ = 1;
    std::vector<cd_bvitem_t> items_;
    std::vector<cd_bvgroup_t> groups_;
    uint32_t current_first_ = 0;
    uint32_t current_count_ = 0;
};
