#include "physics/cd_geo_compound.h"

#include <vector>

#include "engine/mem.h"

namespace {

// Pool sizes of the tree builder.
constexpr uint32_t builder_items = 512;
constexpr uint32_t builder_groups = 128;

// The bits of an item id that hold the part number plus 1.
constexpr uint32_t part_bits = 0x3Fu << cd_geo_compound_t::part_shift;

}  // namespace

cd_geo_compound_t::cd_geo_compound_t(uint32_t capacity)
{
    set_name("cd_geo_compound_t");
    kind = kind_compound;
    if (capacity > part_limit) {
        report("error: capacity %u cut to the part limit (%u)", capacity, part_limit);
        capacity = part_limit;
    }
    parts_ = static_cast<cd_geo_t**>(mem_sys_calloc(capacity ? capacity : 1, sizeof(cd_geo_t*)));
    handles_ = static_cast<uint32_t*>(mem_sys_calloc(capacity ? capacity : 1, sizeof(uint32_t)));
    part_roots_ = static_cast<cd_bvnode_t**>(mem_sys_calloc(capacity ? capacity : 1, sizeof(cd_bvnode_t*)));
    if (!parts_ || !handles_ || !part_roots_) {
        report("error: cannot allocate room for %u parts", capacity);
        capacity = 0;
    }
    capacity_ = capacity;
    local_bounds_.bounds.set_empty();
}

cd_geo_compound_t::~cd_geo_compound_t()
{
    clear();
    mem_sys_free(parts_);
    mem_sys_free(handles_);
    mem_sys_free(part_roots_);
}

void cd_geo_compound_t::build_begin() { clear(); }

void cd_geo_compound_t::free_tree()
{
    root_ = nullptr;
    mem_sys_free(tree_block_);
    tree_block_ = nullptr;
    local_bounds_ = cd_bvnode_t{};
    local_bounds_.bounds.set_empty();
    sphere_ = cd_sphere_t{};
}

void cd_geo_compound_t::clear()
{
    free_tree();
    for (uint32_t i = 0; i < count_; ++i) {
        cd_geo_t* const part = parts_[i];
        part->release_tree(handles_[i]);
        if (part->use_count <= 1) {
            delete part;
        } else {
            // Someone else still holds the part: give it back able to stand alone.
            --part->use_count;
            tag_ids(part_roots_[i], 0);
            part->parent = nullptr;
        }
        parts_[i] = nullptr;
        part_roots_[i] = nullptr;
        handles_[i] = 0;
    }
    count_ = 0;
}

void cd_geo_compound_t::tag_ids(cd_bvnode_t* root, uint32_t tag)
{
    std::vector<cd_bvnode_t*> pending{root};
    while (!pending.empty()) {
        cd_bvnode_t* const node = pending.back();
        pending.pop_back();
        if (!node->leaf()) {
            pending.push_back(node->second);
            pending.push_back(node->first);
            continue;
        }
        uint32_t* const ids = node->ids();
        for (uint16_t i = 0; i < node->count(); ++i)
            ids[i] = (ids[i] & ~part_bits) | (tag << part_shift);
    }
}

bool cd_geo_compound_t::ids_fit(const cd_bvnode_t* root)
{
    std::vector<const cd_bvnode_t*> pending{root};
    while (!pending.empty()) {
        const cd_bvnode_t* const node = pending.back();
        pending.pop_back();
        if (!node->leaf()) {
            pending.push_back(node->second);
            pending.push_back(node->first);
            continue;
        }
        for (uint16_t i = 0; i < node->count(); ++i)
            if (node->ids()[i] & ~part_id_mask)
                return false;
    }
    return true;
}

bool cd_geo_compound_t::build_object(cd_geo_t* geometry)
{
    if (!geometry) {
        report("<cd_mesh_t> build_object: no geometry");
        return false;
    }
    if (geometry->kind == kind_compound)
        return false;
    if (count_ == capacity_) {
        report("<cd_mesh_t> build_object %p: limit (%d) overflow", static_cast<void*>(geometry),
               static_cast<int>(capacity_));
        return false;
    }
    if (geometry->parent == this) {
        report("<cd_mesh_t> build_object %p: is already there", static_cast<void*>(geometry));
        return false;
    }
    if (geometry->parent) {
        report("<cd_mesh_t> build_object %p: is a part of another compound", static_cast<void*>(geometry));
        return false;
    }
    uint32_t handle = 0;
    cd_bvnode_t* const root = geometry->get_tree(&handle);
    if (!root) {
        geometry->release_tree(handle);
        report("<cd_mesh_t> build_object %p: has no tree", static_cast<void*>(geometry));
        return false;
    }
    if (!ids_fit(root)) {
        geometry->release_tree(handle);
        report("<cd_mesh_t> build_object %p: item ids do not fit in 24 bits", static_cast<void*>(geometry));
        return false;
    }
    parts_[count_] = geometry;
    handles_[count_] = handle;
    part_roots_[count_] = root;
    geometry->parent = this;
    ++count_;
    tag_ids(root, count_);
    return true;
}

size_t cd_geo_compound_t::node_size(const cd_bvgroup_t& group, void*)
{
    return group.count == 2 ? cd_bvnode_inner_size : 0;
}

cd_bvnode_t* cd_geo_compound_t::make_node(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree)
{
    const auto* const self = static_cast<const cd_geo_compound_t*>(owner);
    const std::span<const cd_bvitem_t> items = tree.items_of(group);
    if (items.size() == 1)
        return self->part_roots_[items[0].id];
    if (items.size() != 2)
        return nullptr;
    auto* const node = static_cast<cd_bvnode_t*>(tree.take(cd_bvnode_inner_size));
    if (!node)
        return nullptr;
    node->first = self->part_roots_[items[0].id];
    node->second = self->part_roots_[items[1].id];
    node->bounds = node->first->bounds;
    node->bounds.add_bounds(node->second->bounds);
    return node;
}

void cd_geo_compound_t::build_end()
{
    free_tree();
    cd_bvtree_t builder(builder_items, builder_groups);
    builder.set_callbacks(this, 0.0f, 2, make_node, node_size, nullptr);
    bool all_boxes = true;
    for (uint32_t i = 0; i < count_; ++i) {
        const cd_bounds_t& bounds = parts_[i]->get_bounds()->bounds;
        cd_bvitem_t* const item = builder.add_item();
        item->id = i;
        for (int axis = 0; axis < 3; ++axis) {
            item->minimum[axis] = bounds.minimum[axis];
            item->maximum[axis] = bounds.maximum[axis];
            item->centre[axis] = (bounds.minimum[axis] + bounds.maximum[axis]) * 0.5f;
        }
        all_boxes = all_boxes && (parts_[i]->flags & 1);
    }
    if (all_boxes)
        flags |= 1;
    else
        flags &= static_cast<uint8_t>(~1u);
    size_t size = 0;
    root_ = builder.build(&size, &tree_block_);
    if (root_)
        derive_bounds(*root_, local_bounds_, sphere_);
}

cd_bvnode_t* cd_geo_compound_t::get_tree(uint32_t* handle)
{
    if (handle)
        *handle = 0;
    return root_;
}

void cd_geo_compound_t::release_tree(uint32_t) {}

cd_geo_t* cd_geo_compound_t::part_of(uint32_t id) const
{
    const uint32_t number = id >> part_shift;
    return number >= 1 && number <= count_ ? parts_[number - 1] : nullptr;
}

void cd_geo_compound_t::get_item(cd_item_t& item, int redirect)
{
    if (redirect && parent) {
        parent->get_item(item, redirect);
        return;
    }
    cd_geo_t* const part = part_of(item.id);
    if (!part) {
        report("get_item: no part for item %#x", item.id);
        item.request = 0;
        item.vertex_count = 0;
        return;
    }
    const uint32_t id = item.id;
    item.id = id & part_id_mask;
    part->get_item(item, 0);
    item.id = id;
}

int cd_geo_compound_t::segment_test(const vec3_t& start, const vec3_t& vector, uint32_t id, float* fraction,
                                    uint32_t spare)
{
    cd_geo_t* const part = part_of(id);
    if (!part) {
        report("segment_test: no part for item %#x", id);
        return 0;
    }
    // The part looks its triangles up through this compound, so it is handed the id its tree holds.
    return part->segment_test(start, vector, id, fraction, spare);
}

bool cd_geo_compound_t::pri_collide(const cd_query_context_t& context, const cd_item_t& primitive,
                                    cd_geo_t** geometry_out, uint32_t* item_out)
{
    *geometry_out = this;
    *item_out = cd_item_none;
    for (uint32_t i = 0; i < count_; ++i) {
        cd_geo_t* hit = nullptr;
        uint32_t hit_item = cd_item_none;
        if (parts_[i]->pri_collide(context, primitive, &hit, &hit_item)) {
            *geometry_out = hit ? hit : parts_[i];
            *item_out = hit_item;
            return true;
        }
    }
    return false;
}

bool cd_geo_compound_t::is_part_root(const cd_bvnode_t* node) const
{
    for (uint32_t i = 0; i < count_; ++i)
        if (part_roots_[i] == node)
            return true;
    return false;
}

void cd_geo_compound_t::refit_own()
{
    // The compound's own nodes lie above the part roots; visiting parents first and refitting in
    // reverse bounds every child before its parent.
    std::vector<cd_bvnode_t*> order;
    std::vector<cd_bvnode_t*> pending{root_};
    while (!pending.empty()) {
        cd_bvnode_t* const node = pending.back();
        pending.pop_back();
        if (node->leaf() || is_part_root(node))
            continue;
        order.push_back(node);
        pending.push_back(node->first);
        pending.push_back(node->second);
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        cd_bvnode_t* const node = *it;
        node->bounds = node->first->bounds;
        node->bounds.add_bounds(node->second->bounds);
    }
}

void cd_geo_compound_t::set_rotation(quat_t rotation)
{
    for (uint32_t i = 0; i < count_; ++i)
        parts_[i]->set_rotation(rotation);
    // Before build_end the parts alone carry the rotation; the build then bounds them as turned.
    if (!root_)
        return;
    refit_own();
    derive_bounds(*root_, local_bounds_, sphere_);
}
