#pragma once
#include <array>
#include <cstdint>
#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "physics/cd_geo.h"
#include "world/collision_sector_files.h"

struct c_item_t;

// Static collision split into the sectors of a regular grid: the index "aabb.dat" names the sectors,
// each sector file (".btr", one cache item) holds a tree over the world's triangles, and a request for
// the tree covering a box is answered with a tree built over the sectors the box touches (widened by
// one sector each way). Built trees are reused for every box inside their range and dropped once
// unused and idle; the derived kind supplies the triangles.
class cd_geo_aabb_tree_t : public cd_geo_t {
public:
    // Roots one built tree may join.
    static constexpr int max_sectors = 256;

    cd_geo_aabb_tree_t();
    ~cd_geo_aabb_tree_t() override;

    // Reads "<directory>/aabb.dat"; without it the geometry answers every box with null. False (with a
    // message) for an index that cannot be read.
    bool load(const char* directory);
    // Drops every built tree and sector; the geometry answers null again.
    void clear();

    // The tree covering the box, its handle in `handle`; null (handle 0) when the box misses the map.
    cd_bvnode_t* get_tree_in_box(uint32_t* handle, const vec3_t& corner_a, const vec3_t& corner_b) override;
    // Trees exist only per box.
    cd_bvnode_t* get_tree(uint32_t* handle) override;
    void release_tree(uint32_t handle) override;
    // Rotation is not supported: a warning, nothing changes.
    void set_rotation(quat_t rotation) override;
    const cd_bvnode_t* get_bounds() override { return &bounds_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

    // Refits the trees handed out to their triangles' current corners, and drops the unused trees idle
    // longer than the idle time.
    void maintain();

    // Recomputes the bounds of `node` from its triangles; false when a triangle cannot be had.
    virtual bool refit(cd_bvnode_t* node) = 0;
    // Whether a triangle reference of a sector names a triangle of the map.
    virtual bool valid_reference(uint32_t reference) = 0;

    // Expiry of unused trees (idle time in timer ticks).
    bool expiry = true;
    double idle_time = 1e6;

    bool no_data() const { return no_data_; }
    size_t sector_count() const { return sectors_.size(); }
    size_t built_tree_count() const { return trees_.size(); }
    // Sector files held and the bytes of the sector files and tree blocks held.
    int resident_sectors() const { return resident_sectors_; }
    size_t bytes_held() const { return bytes_held_; }
    // The sector coordinates of a point in file orientation (z already negated).
    void sector_of(const vec3_t& point, int32_t out[3]) const;

private:
    // One sector of the table.
    struct sector_t {
        std::array<uint16_t, 3> coordinates{};
        std::string name;
        c_item_t* item = nullptr;
        sector_tree_t* tree = nullptr;
        uint16_t uses = 0;
        bool refitted = false;
    };
    // One built tree over a range of sectors.
    struct built_tree_t {
        uint32_t handle = 0;
        std::vector<size_t> sectors;
        uint64_t time = 0;
        cd_bvnode_t* root = nullptr;
        void* block = nullptr;
        size_t block_size = 0;
        int32_t lo[3] = {};
        int32_t hi[3] = {};
        uint16_t users = 0;
        bool refreshed = false;
    };

    // Builds and lists a tree over the sectors of [lo, hi]; null when none could join.
    built_tree_t* build_tree(const int32_t lo[3], const int32_t hi[3]);
    // Takes one use of a sector for a tree: its file is loaded and locked on the first; false when the
    // file cannot be had.
    bool hold_sector(size_t index);
    // Gives one use back; the last gives back the lock and the file.
    void drop_sector(size_t index);
    // Drops the invalid triangle references of a freshly loaded sector's leaves.
    void check_sector(sector_t& sector);
    // Refits a built tree's sectors and its own top nodes.
    bool refresh(built_tree_t& tree);
    void free_tree(built_tree_t& tree);
    static uint64_t key_of(uint32_t x, uint32_t y, uint32_t z) { return uint64_t{x} << 32 | uint64_t{y} << 16 | z; }

    bool no_data_ = true;
    cd_bvnode_t bounds_{};
    cd_sphere_t sphere_;
    vec3_t minimum_;
    vec3_t maximum_;
    int32_t offset_[3] = {};
    int32_t edge_ = 1;
    std::vector<sector_t> sectors_;
    std::unordered_map<uint64_t, size_t> sector_keys_;
    std::list<built_tree_t> trees_;
    uint32_t next_handle_ = 1;
    std::vector<cd_bvnode_t*> slots_;
    int resident_sectors_ = 0;
    size_t bytes_held_ = 0;
};
