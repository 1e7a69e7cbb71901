#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/vec.h"
#include "physics/bv_tree.h"

// The files of a static world's collision: the index "aabb.dat" (the map's bounds, the sector grid and
// the sectors that exist) and one ".btr" file per sector (a tree over the world's triangles). Corners'
// z values are negated and exchanged on reading, so the trees are in the world's orientation.

// "aabb.dat" as read: the two corners, the grid offset and edge, the sectors' grid coordinates.
struct sector_index_t {
    vec3_t corners[2];
    int32_t offset[3] = {};
    int32_t edge = 1;
    std::vector<std::array<uint16_t, 3>> sectors;
};

// Reads "aabb.dat": the sector count must match the bytes that follow it, the edge must round to at
// least 1 and the offsets must be finite.
bool sector_index_parse(const uint8_t* data, size_t size, sector_index_t& out, std::string& why);

// One sector's tree in one block of collision nodes (the physics walks it as it is): each leaf holds
// its triangle references (low 16 bits: the first index's position in its mesh's index list; high 16
// bits: the global mesh number).
class sector_tree_t {
public:
    sector_tree_t() = default;
    ~sector_tree_t();
    sector_tree_t(const sector_tree_t&) = delete;
    sector_tree_t& operator=(const sector_tree_t&) = delete;

    // Reads a ".btr" file into the block; false (with the reason) when it is cut short, nests deeper
    // than the world's trees may, or holds bytes after its tree.
    bool parse(const uint8_t* data, size_t size, std::string& why);

    cd_bvnode_t* root() const { return root_; }
    size_t size() const { return size_; }
    // Whether the leaves' references have been checked against the map's meshes.
    bool checked = false;
    // Whether the bounds have been refitted to the triangles.
    bool refitted = false;

private:
    void* block_ = nullptr;
    size_t size_ = 0;
    cd_bvnode_t* root_ = nullptr;
};
