#pragma once
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

// Axis-aligned box of the spatial hash: minimum and maximum corner (x, y, z).
struct spatial_box_t {
    float min[3];
    float max[3];
};

// Broad phase: a hierarchy of uniform grids, hashed by cell, holding items (any pointer) with their
// boxes. Cells of `cell_size` and `levels` - 1 finer levels, each `level_ratio` times smaller and
// never below `min_cell_size`; above them coarser levels, each twice as large as the next. An
// item lives on the finest level whose cells are at least as large as the item's largest side, so it
// touches at most two cells per axis; an item larger than the coarsest cell is entered in every cell
// of that level it touches, or, when that is more than a few cells, kept aside and tested by every
// query. Queries find each matching item once.
class spatialhash_t {
public:
    // Bad parameters (not finite, not positive, a ratio not above 1) are reported and replaced by
    // usable ones.
    spatialhash_t(float cell_size, float min_cell_size, int levels, float level_ratio);

    // Enters an item with its box. False, with a message, when the item is already in or the box is
    // not a box (a NaN, or a minimum above its maximum).
    bool insert(void* item, const spatial_box_t& box);
    // Takes an item out; false when it is not in.
    bool remove(void* item);
    // Re-enters an item with a new box (after it moved). False, with a message, when the item is not
    // in or the box is not a box; the item then keeps its old box.
    bool update(void* item, const spatial_box_t& box);
    // Takes every item out.
    void clear();

    // True when the item is in.
    bool contains(void* item) const { return records_.count(item) != 0; }
    // Number of items in.
    size_t count() const { return records_.size(); }
    // The box an item was entered with, or null when it is not in.
    const spatial_box_t* box_of(void* item) const;

    // Appends to `out` every item whose box overlaps `box` (touching counts); returns how many.
    size_t query(const spatial_box_t& box, std::vector<void*>& out);
    // Appends to `out` every item whose box the segment from `from` to `to` meets (touching counts);
    // returns how many. The order is not by distance.
    size_t query_ray(const float from[3], const float to[3], std::vector<void*>& out);

private:
    // One item and where it lives.
    struct record_t {
        void* item;
        spatial_box_t box;
        int level;
        int lo[3];
        int hi[3];
        bool oversize;
        uint32_t stamp;
    };
    // Cell address on one level.
    struct cell_key_t {
        int x, y, z;
        bool operator==(const cell_key_t&) const = default;
    };
    struct cell_hash_t {
        size_t operator()(const cell_key_t& k) const;
    };
    // One grid of the hierarchy.
    struct level_t {
        float cell;
        std::unordered_map<cell_key_t, std::vector<record_t*>, cell_hash_t> cells;
    };

    // The level an item of this box lives on: the finest whose cells are at least its largest side.
    int level_of(const spatial_box_t& box) const;
    void place(record_t& record);
    void unplace(record_t& record);
    void cell_range(const level_t& level, const spatial_box_t& box, int lo[3], int hi[3]) const;
    uint32_t next_stamp();
    // Calls `visit` once for every item of a cell that overlaps `box` (the candidates of a query).
    template <typename F> void visit_candidates(const spatial_box_t& box, F&& visit);

    std::vector<level_t> levels_;
    std::unordered_map<void*, record_t> records_;
    std::vector<record_t*> oversize_;
    uint32_t stamp_ = 0;
};
