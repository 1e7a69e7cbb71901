#pragma once
#include <cstdint>
#include <vector>

#include "engine/vec.h"
#include "physics/bv_tree.h"
#include "physics/cd_item.h"
#include "physics/cd_segment_slabs.h"

class cd_geo_t;

// Hands out the items of a geometry one at a time: those inside a box, those a segment meets, or every
// item of the leaves touched. Positions are taken into the geometry's translated frame (minus its
// position, no rotation).
class cd_tri_query_t {
public:
    // What the query walks.
    enum mode_t : uint16_t { mode_idle = 0, mode_box = 1, mode_box_again = 2, mode_segment = 4, mode_leaves = 8 };
    // segment_test answers that end a segment query: at once, or after the item that gave it.
    static constexpr int stop_now = -0x7FFFFFFF;
    static constexpr int stop_after = 0x7FFFFFFF;

    cd_tri_query_t() = default;
    // Gives a held tree back.
    ~cd_tri_query_t();
    cd_tri_query_t(const cd_tri_query_t&) = delete;
    cd_tri_query_t& operator=(const cd_tri_query_t&) = delete;

    // Starts a box query over the box spanned by two corners.
    void begin(cd_geo_t* geometry, const vec3_t& corner_a, const vec3_t& corner_b);
    // Starts a segment query from `start` to `end`; `spare` goes to every segment_test.
    void begin_segment(cd_geo_t* geometry, const vec3_t& start, const vec3_t& end, uint32_t spare);
    // Starts a query that hands out every item of the leaves the box touches.
    void begin_leaves(cd_geo_t* geometry, const vec3_t& corner_a, const vec3_t& corner_b);
    // The next item, filled with the fields `item.request` asks for; false when exhausted (the item's
    // fields other than the request then hold nothing of use).
    bool next(cd_item_t& item);
    // Gives a held tree back and empties the query.
    void clear();

    uint16_t mode() const { return mode_; }
    // Fraction along the segment of the last item a segment query handed out.
    float fraction() const { return fraction_; }
    // The leaves the walk found, in walk order.
    const std::vector<const cd_bvnode_t*>& leaves() const { return leaves_; }

private:
    // Sets the query bound and walks the geometry's tree into the leaf list.
    void start(cd_geo_t* geometry, const vec3_t& corner_a, const vec3_t& corner_b, uint16_t mode);
    // Collects the leaves whose bounds meet the query (and the segment in mode 4).
    void gather(const cd_bvnode_t* root);
    // Depth-first walk from `root` that lists, first child's leaves before second's, every leaf `enters`
    // accepts, descending into every inner node it accepts.
    template <typename enters_t> void walk(const cd_bvnode_t* root, const enters_t& enters);
    // Moves to the next item of the leaf list; false at the end.
    bool advance(uint32_t* id);
    // Fills `item` for `id` with the requested fields.
    void fill(cd_item_t& item, uint32_t id, uint32_t request);

    cd_geo_t* geometry_ = nullptr;
    bool active_ = false;
    uint16_t mode_ = mode_idle;
    bool tree_held_ = false;
    uint32_t handle_ = 0;
    std::vector<const cd_bvnode_t*> leaves_;
    // Children waiting while the walk descends; kept between queries so a walk seldom allocates.
    std::vector<const cd_bvnode_t*> pending_;
    size_t current_ = 0;
    int index_ = 0;
    cd_bounds_t bound_ = cd_bounds_make_empty();
    vec3_t segment_start_;
    vec3_t segment_end_;
    vec3_t segment_vector_;
    // The segment with its inverse direction, for the walk's slab tests.
    cd_segment_slabs_t slabs_{vec3_t(), vec3_t()};
    uint32_t spare_ = 0;
    bool done_ = false;
    float fraction_ = 0.0f;
};
