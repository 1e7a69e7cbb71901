#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "physics/bv_tree.h"
#include "physics/cd_geo.h"
#include "road/road_coll_seg.h"

class base_ctrl_e;

// Collision slots a road geometry keeps, and sub-segments one query's tree may hold.
constexpr int32_t road_geo_slots = 128;
constexpr int32_t road_geo_subsegs = 128;
// How far a query's box is widened, so that a body moving a little reuses it.
constexpr float road_geo_query_margin = 1000.0f;
// Ticks a query may stay unused before it is freed.
constexpr uint64_t road_geo_idle_ticks = 1000000;

// One cached query: the slots it holds, the tree over their pieces near its box, and its use.
struct road_query_t {
    std::vector<road_coll_seg_t*> segs;
    uint64_t stamp = 0;
    cd_bvnode_t* tree = nullptr;
    void* tree_block = nullptr;
    uint16_t use_count = 0;
    cd_bounds_t box;
    uint32_t tree_size = 0;
};

// The collision geometry of a map's whole road network: it holds no triangles up front; for each box
// physics asks about, it finds the road items near the box through the controller's item tree, builds
// their collision slots and a small tree over the pieces found, and keeps that answer while later
// boxes fall inside it.
class road_geo_t : public cd_geo_t {
public:
    // The road geometry of `controller`'s map (the controller outlives it).
    explicit road_geo_t(base_ctrl_e& controller);
    ~road_geo_t() override;

    cd_bvnode_t* get_tree_in_box(uint32_t* handle, const vec3_t& corner_a, const vec3_t& corner_b) override;
    // The road has no fixed tree.
    cd_bvnode_t* get_tree(uint32_t* handle) override;
    void release_tree(uint32_t handle) override;
    void get_item(cd_item_t& item, int redirect) override;
    // Road triangles are never turned: reported, nothing changes.
    void set_rotation(quat_t rotation) override;
    // Bounds with an inverted first axis: the physics offers the road to every body wherever it is.
    const cd_bvnode_t* get_bounds() override { return &bounds_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

    // Frees the queries nobody used for road_geo_idle_ticks; called once a frame.
    void expire_queries();
    // The edge index, or 500000000 + the free-item index, of the item triangle `id` belongs to.
    uint32_t edge_of_contact(uint32_t id) const;
    // Draws the trees of the cached queries (the road triangles near the bodies) for debugging.
    void debug_draw();
    // Gives back every query and slot (before the map's records change).
    void release_all();

    // For tests: the slot table, the cached queries and the memory of their trees.
    const road_coll_seg_t& slot(int32_t index) const { return slots_[static_cast<size_t>(index)]; }
    size_t query_count() const;
    uint32_t tree_bytes() const { return tree_bytes_; }
    uint32_t segs_in_use() const { return segs_in_use_; }

private:
    // Builds a new query for `box`; its handle, 0 when nothing lies near the box.
    uint32_t build_subsegs(const cd_bounds_t& box);
    // The walk of the controller's item tree below `node`; false when every slot was in use.
    bool collect_segs(const cd_bounds_t& box, road_query_t& query, const cd_bvnode_t* node);
    // The slot of an item, found or built; null when every slot is held.
    road_coll_seg_t* get_item_seg(uint32_t id);
    // Releases query `handle` and its slots.
    void free_query(uint32_t handle);
    road_query_t* query(uint32_t handle);

    // Leaf callbacks of the per-query tree: each leaf is a piece's own triangle tree.
    static size_t subseg_size(const cd_bvgroup_t& group, void* owner);
    static cd_bvnode_t* subseg_node(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree);

    base_ctrl_e& controller_;
    cd_bvnode_t* subseg_field_[road_geo_subsegs] = {};
    uint32_t tree_bytes_ = 0;
    uint32_t segs_in_use_ = 0;
    road_coll_seg_t slots_[road_geo_slots];
    // Queries by handle - 1; null where freed.
    std::vector<std::unique_ptr<road_query_t>> queries_;
    cd_bvtree_t builder_;
    cd_sphere_t sphere_;
    cd_bvnode_t bounds_{};
};
