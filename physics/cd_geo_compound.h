#pragma once
#include <cstddef>
#include <cstdint>

#include "physics/cd_geo.h"

// Several geometries of the other kinds joined into one collision shape (a truck's cab, chassis and
// load on one body). Its tree holds the parts' bounds and reuses each part's own tree as a subtree, so
// one walk reaches every triangle of every part. Item ids carry the part number plus 1 in bits 26-31
// and the part's own id in bits 0-23; the part number is also written into the part's leaf ids when
// the part is added.
class cd_geo_compound_t : public cd_geo_t {
public:
    // Most parts a compound can hold: the part number plus 1 must fit in 6 bits.
    static constexpr uint32_t part_limit = 63;
    // Bits of an item id that hold the part number plus 1.
    static constexpr uint32_t part_shift = 26;
    // The bits of an item id that are the part's own.
    static constexpr uint32_t part_id_mask = 0xFFFFFF;

    // Room for `capacity` parts (at most part_limit; a larger capacity is cut with a message).
    explicit cd_geo_compound_t(uint32_t capacity);
    // Releases the parts and frees the tree.
    ~cd_geo_compound_t() override;

    // Starts a new build: releases every part (see clear).
    virtual void build_begin();
    // Builds the compound's tree over the parts added.
    virtual void build_end();
    // Adds a part, taking over the caller's use of it. False, changing nothing, for a compound, at the
    // capacity, for a part already in a compound, for a part without a tree, and for one whose item
    // ids do not fit in 24 bits (a mesh of more than 16 meshes).
    virtual bool build_object(cd_geo_t* geometry);
    // Drops the tree and every part: a part whose use count was 1 is destroyed, any other is handed
    // back whole (no parent, its tree's ids its own again) with one use fewer.
    void clear();

    cd_bvnode_t* get_tree(uint32_t* handle) override;
    void release_tree(uint32_t handle) override;
    // Asks the part the id names; an id naming no part gets nothing (vertex count 0, request 0).
    void get_item(cd_item_t& item, int redirect) override;
    // Turns every part, then refits the compound's own nodes above the parts' trees.
    void set_rotation(quat_t rotation) override;
    const cd_bvnode_t* get_bounds() override { return &local_bounds_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }
    // Asks the part the id names, with the id as that part's tree holds it.
    int segment_test(const vec3_t& start, const vec3_t& vector, uint32_t id, float* fraction, uint32_t spare) override;
    // Asks each part in turn; the first that is touched names itself and its item in the outs.
    bool pri_collide(const cd_query_context_t& context, const cd_item_t& primitive, cd_geo_t** geometry_out,
                     uint32_t* item_out) override;

    // Parts the compound can hold, and parts added.
    uint32_t capacity() const { return capacity_; }
    uint32_t part_count() const { return count_; }

private:
    // The node a leaf group of the tree builder stands for: a part's root, or a new node over two.
    static cd_bvnode_t* make_node(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree);
    // Bytes a leaf group takes in the compound's own block.
    static size_t node_size(const cd_bvgroup_t& group, void* owner);
    // Sets bits 26-31 of every leaf id below `root` to `tag` (0 gives the ids back to the part).
    static void tag_ids(cd_bvnode_t* root, uint32_t tag);
    // True when every leaf id below `root` fits in the part's 24 bits.
    static bool ids_fit(const cd_bvnode_t* root);
    // True when `node` is the root of one of the parts' trees.
    bool is_part_root(const cd_bvnode_t* node) const;
    // Refits the compound's own inner nodes from the part roots up.
    void refit_own();
    // Drops the tree and empties the local bounds.
    void free_tree();
    // The part an id names, or null.
    cd_geo_t* part_of(uint32_t id) const;

    cd_bvnode_t* root_ = nullptr;
    void* tree_block_ = nullptr;
    cd_geo_t** parts_ = nullptr;
    uint32_t* handles_ = nullptr;
    cd_bvnode_t** part_roots_ = nullptr;
    uint32_t capacity_ = 0;
    uint32_t count_ = 0;
    cd_bvnode_t local_bounds_{};
    cd_sphere_t sphere_;
};
