#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/vec.h"

struct c_item_t;

// The files of a static world's directory, read into plain records. Every reader takes the whole
// file, checks each count, index and length against the bytes that remain (and against the tables
// it names), and answers false with the reason in `why` rather than keep a half-read file.

// Where a global mesh lives: its chunk and its index in that chunk's mesh table.
struct map_mesh_ref_t {
    uint16_t chunk;
    uint16_t mesh;
};

// "mesh.dat": the chunk count and the global mesh table.
struct map_index_t {
    uint32_t chunk_count = 0;
    std::vector<map_mesh_ref_t> meshes;
};

// Reads "mesh.dat"; every mesh must name a chunk below the chunk count.
bool map_index_parse(const uint8_t* data, size_t size, map_index_t& out, std::string& why);

// One light-map image: its size, its two extra words and its pixels as RGBA.
struct lightmap_image_t {
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t extra[2] = {};
    std::vector<uint8_t> rgba;
};

// The images of one mesh in a light-map chunk.
struct lightmap_group_t {
    uint16_t mesh = 0;
    std::vector<lightmap_image_t> images;
    // While the chunk is loaded in the cache: the child item of the chunk's item over these images, which
    // the renderer is handed for the mesh; null for a group without images.
    c_item_t* item = nullptr;
};

// "lmap%04x": the groups of one chunk's light maps.
struct lightmap_chunk_t {
    std::vector<lightmap_group_t> groups;
};

// Reads a light-map chunk of chunk `chunk`; every group must name a global mesh of that chunk. A light
// controller other than -1 is reported and dropped; a group without images is kept empty.
bool lightmap_parse(const uint8_t* data, size_t size, const map_index_t& index, uint16_t chunk, lightmap_chunk_t& out,
                    std::string& why);

// One mesh of a geometry chunk.
struct map_mesh_t {
    // Flag bits: drawn with a light map; drawn when the map has no visibility tree.
    static constexpr uint32_t flag_lightmap = 2;
    static constexpr uint32_t flag_no_vtree = 4;

    uint32_t texture = 0;
    c_item_t* shader = nullptr;
    uint32_t flags = 0;
    uint32_t max_distance = 0;
    uint32_t surface = 0;
    vec3_t centre;
    float radius = 0.0f;
    std::vector<vec3_t> positions;
    std::vector<vec3_t> colours;
    std::vector<uint32_t> packed_colours;
    std::vector<uint16_t> indices;
    uint32_t frame_stamp = 0;
    // The mesh's light-map images, set while its chunk is mapped; null when it has none.
    const lightmap_group_t* lightmap = nullptr;
};

// "mesh%04x.gdt": the meshes of one chunk.
struct geometry_chunk_t {
    std::vector<map_mesh_t> meshes;
};

// The magic that opens a geometry chunk.
constexpr char geometry_magic[] = "GEOM0006";

// Reads a geometry chunk: the magic, then the mesh records (texture indices must name one of
// `texture_count` entries, indices a vertex of their mesh, index counts a whole number of triangles).
// Vertex colours are tinted by the map noise; packed colours start from the tinted colours.
bool geometry_chunk_parse(const uint8_t* data, size_t size, uint32_t texture_count, geometry_chunk_t& out,
                          std::string& why);

// Copies the first image of `group` into the packed vertex colours of `mesh` (meshes drawn without a
// light map take their colours from it): as many vertices as the image has pixels, the rest unchanged.
void lightmap_colour_vertices(const lightmap_group_t& group, map_mesh_t& mesh);

// "textures": the shader names of the meshes' texture indices.
struct texture_list_t {
    std::vector<std::string> names;
};

// Bytes of one texture entry: a 64-byte name field and a 32-bit slot.
constexpr size_t texture_entry_size = 68;

// Reads a texture list; every name must end within its 64 bytes.
bool texture_list_parse(const uint8_t* data, size_t size, texture_list_t& out, std::string& why);

// A node of a visibility tree: two children (-1 in a leaf) and, for a leaf, its list.
struct sphere_node_t {
    int32_t children[2] = {-1, -1};
    vec3_t centre;
    float radius = 0.0f;
    std::vector<uint16_t> meshes;
};
struct partition_node_t {
    int32_t children[2] = {-1, -1};
    float plane[4] = {};
    std::vector<uint16_t> trees;
};

// "vtree.bsp": the sphere trees (node 0 of each is its root) and the partition tree (node 0 the root).
struct visibility_tree_t {
    std::vector<std::vector<sphere_node_t>> sphere_trees;
    std::vector<partition_node_t> partition;
};

// Deepest nesting of a tree in the world's files; deeper files are refused.
constexpr int world_tree_max_depth = 64;

// Reads a visibility tree; sphere-tree leaves must name meshes below `mesh_count` and partition leaves
// sphere trees of the file. Sphere centres have their z negated.
bool visibility_tree_parse(const uint8_t* data, size_t size, uint32_t mesh_count, visibility_tree_t& out,
                           std::string& why);

// Reads a whole file of the virtual file system (at most 256 MiB); false when it cannot.
bool world_file_read(const char* path, std::vector<uint8_t>& out);
