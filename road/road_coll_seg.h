#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"
#include "physics/cd_bounds.h"
#include "road/terrain_profile.h"

class base_ctrl_e;
struct cd_bvnode_t;
struct map_edge_t;
struct map_freeitem_t;
struct prefab_t;
struct map_node_t;
class seg_server_t;

// Materials of road collision triangles this system writes itself (a Road's own surface and a
// prefab's parts carry their definitions' materials).
enum road_coll_material_t : uint32_t {
    road_coll_wall = 1,
    road_coll_railing = 2,
    road_coll_skirt = 3,
    road_coll_city_road = 4,
    road_coll_object = 5,
};

// Where a City Road's one collision block keeps its arrays, and the vertices and indices it holds.
constexpr uint32_t road_coll_city_indices_at = 12000;
constexpr uint32_t road_coll_city_materials_at = 18000;
constexpr uint32_t road_coll_city_max_vertices = road_coll_city_indices_at / 12;
constexpr uint32_t road_coll_city_max_indices = (road_coll_city_materials_at - road_coll_city_indices_at) / 2;
// Bytes already placed after which a prefab's next collision part opens a block of its own.
constexpr uint32_t road_coll_prefab_block_fill = 65500;

// The id of triangle `first_index` / 3 of piece `piece` of slot `slot`.
constexpr uint32_t road_coll_triangle_id(const uint32_t slot, const uint32_t piece, const uint32_t first_index)
{
    return slot << 24 | (piece & 0xFFu) << 16 | (first_index & 0xFFFFu);
}

// One piece of a road collision slot: triangles in a pool block, with their bounds and a tree over
// them built the first time a query needs it.
struct road_coll_piece_t {
    // The pool block this piece opened, null when its arrays follow the previous piece's.
    void* block = nullptr;
    uint32_t vertex_count = 0;
    vec3_t* vertices = nullptr;
    uint32_t index_count = 0;
    uint16_t* indices = nullptr;
    // One per triangle.
    uint32_t* materials = nullptr;
    cd_bvnode_t* tree = nullptr;
    void* tree_memory = nullptr;
    cd_bounds_t bounds;
};

// The collision triangles of one road-network item (an edge of any kind or a free item), built on
// demand for the road collision geometry, which keeps a fixed table of these slots.
class road_coll_seg_t {
public:
    road_coll_seg_t();
    ~road_coll_seg_t();
    road_coll_seg_t(const road_coll_seg_t&) = delete;
    road_coll_seg_t& operator=(const road_coll_seg_t&) = delete;

    // Builds the slot for `edge` (one of `controller`'s) by its kind. False when the edge has no
    // collision (no definition, a broken definition or a shape that does not fit its blocks).
    bool build_edge(base_ctrl_e& controller, map_edge_t& edge);
    // Builds the slot for the free item `item` from its model's "zcoll" part.
    bool build_freeitem(base_ctrl_e& controller, map_freeitem_t& item);
    // free_pieces, then the slot holds nothing.
    void release(base_ctrl_e& controller);
    // Gives back every piece's tree and block.
    void free_pieces(base_ctrl_e& controller);
    // The tree over piece `piece`'s triangles, built on first use; null for a piece without any.
    cd_bvnode_t* piece_tree(int32_t piece);

    const road_coll_piece_t& piece(int32_t index) const { return pieces_[static_cast<size_t>(index)]; }

    // Curve steps of a Road edge, pieces held.
    int32_t step_count = 0;
    int32_t piece_count = 0;
    // The edge index, or the free-item id (500000000 + index); all bits set when empty.
    uint32_t owner = 0xFFFFFFFFu;
    // The terrain beside a Road edge, shared with the render build's arithmetic.
    terrain_profile_t terrain;
    // Live queries holding the slot, and the slot's number in its table (bits 24-31 of its ids).
    uint32_t use_count = 0;
    uint32_t slot_number = 0;
    // True when the blocks came from the free items' pool.
    bool is_freeitem = false;

private:
    bool build_segment_pieces(base_ctrl_e& controller, map_edge_t& edge);
    bool build_city_road(base_ctrl_e& controller, map_edge_t& edge);
    bool build_prefab(base_ctrl_e& controller, map_edge_t& edge);
    // Adds a City Road's roadside objects (its lamps' collision meshes) to its one piece.
    void add_roadside_objects(const seg_server_t& server, const map_edge_t& edge, const map_node_t& start,
                              const map_node_t& end, road_coll_piece_t& piece);
    // Adds the piece of a lit Cross's traffic-light models, placed at its nodes.
    bool add_traffic_lights(base_ctrl_e& controller, const map_edge_t& edge, const prefab_t& prefab, uint32_t turns,
                            const vec3_t& offset);
    // Opens a piece with `vertices`, `indices` in a block of its own (or, with `share`, after the
    // previous piece's arrays). False when memory runs out.
    bool open_piece(base_ctrl_e& controller, uint32_t vertices, uint32_t indices, bool share);

    std::vector<road_coll_piece_t> pieces_;
    // Bytes placed in the block the last piece used.
    uint32_t block_fill_ = 0;
};
