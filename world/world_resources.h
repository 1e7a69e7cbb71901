#pragma once
#include <cstdint>

#include "world/world_map_files.h"

struct c_item_t;
struct resource_ops_t;
class world_map_e;

// The resource kinds of the static world, as the resource cache knows them. Each loaded item's memory
// holds the record its file was read into; the loads read their file whole, check it and fail (with a
// message naming the file) rather than keep part of it.

// Light-map chunks ("%s/lmap%04x").
extern resource_ops_t lightmap_chunk_ops;
// The child items of a light-map chunk, one over each group's images (made under the loader lock,
// which their release gives back).
extern resource_ops_t release_only_ops;
// Geometry chunks (magic "GEOM0006").
extern resource_ops_t geometry_chunk_ops;
// The visibility tree "vtree.bsp".
extern resource_ops_t visibility_tree_ops;
// Collision sectors (".btr").
extern resource_ops_t collision_sector_ops;
// The map's texture list.
extern resource_ops_t texture_list_ops;

// What a texture list item holds: the names and the shader of each entry (null when it has none).
struct texture_list_resource_t {
    texture_list_t list;
    std::vector<c_item_t*> shaders;
};

// The item factories of `mm_map_fld`: a new item of their kind for `name`, made under the loader lock,
// whose user value is `owner` (the world map entity that maps it; the geometry and light-map loads
// read its texture list and mesh table).
c_item_t* gdt_item_new(const char* name, void* owner);
c_item_t* lmap_item_new(const char* name, void* owner);
c_item_t* vtree_item_new(const char* name, void* owner);
c_item_t* textures_item_new(const char* name, void* owner);

// Maps `name` through `factory` for `owner` and makes `owner` the item's owner: an item the cache
// kept from an earlier world map of the same directory names the map that uses it now.
c_item_t* map_world_item(const char* name, c_item_t* (*factory)(const char*, void*), world_map_e* owner);
// Forgets `owner` on an item it is letting go (its later loads then fail cleanly).
void disown_world_item(c_item_t* item, const world_map_e* owner);

// Hands the collision sectors' operations to the cache (`ci_makeup_ops`).
void btr_makeup_ops();
// Claims names with the ".btr" extension (any case): a new item of the collision sector kind, taken
// under the loader lock; null for any other name.
c_item_t* btr_loader_match(c_item_t* parent, intptr_t argument, const char* name);
