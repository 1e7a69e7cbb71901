#pragma once
#include <cstdint>

struct c_item_t;
struct resource_ops_t;

// The resource kinds of the static world, as the resource cache knows them. Each record carries its
// kind number; the reading of each format comes with the world's map loading.

// Light-map chunks ("%s/lmap%04x").
extern resource_ops_t lightmap_chunk_ops;
// Items that only need the common release.
extern resource_ops_t release_only_ops;
// Geometry chunks (magic "GEOM0006").
extern resource_ops_t geometry_chunk_ops;
// The visibility tree "vtree.bsp".
extern resource_ops_t visibility_tree_ops;
// Collision sectors (".btr").
extern resource_ops_t collision_sector_ops;
// The map's texture list.
extern resource_ops_t texture_list_ops;

// Hands the collision sectors' operations to the cache (`ci_makeup_ops`).
void btr_makeup_ops();
// Claims names with the ".btr" extension (any case): a new item of the collision sector kind, taken
// under the loader lock; null for any other name.
c_item_t* btr_loader_match(c_item_t* parent, intptr_t argument, const char* name);
