#pragma once
#include <cstdint>

#include "world/cd_geo_aabb_tree.h"

class world_map_e;

// The static world as collision geometry: the sector trees of its directory over the triangles of its
// geometry chunks. A triangle reference names a global mesh (high 16 bits) and the position of the
// triangle's first index in that mesh's index list (low 16 bits).
class map_e : public cd_geo_aabb_tree_t {
public:
    // Loads the sector index of `owner`'s directory.
    explicit map_e(world_map_e* owner);

    // The triangle of `item.id`; nothing (no corners) when it cannot be had.
    void get_item(cd_item_t& item, int redirect) override;
    bool refit(cd_bvnode_t* node) override;
    bool valid_reference(uint32_t reference) override;

    world_map_e* owner() const { return owner_; }
    // False when the sector index could not be read.
    bool loaded() const { return loaded_; }

private:
    world_map_e* owner_;
    bool loaded_ = false;
};
