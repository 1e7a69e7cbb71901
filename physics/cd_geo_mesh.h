#pragma once
#include <cstdint>

#include "physics/cd_geo.h"

// One source mesh of a triangle-soup geometry: its vertices, three 16-bit indices per triangle and
// optional per-triangle materials and user words. The index, material and user-word arrays (and the
// vertices, unless the geometry copies them) stay the caller's and must outlive the geometry.
struct cd_mesh_record_t {
    // The vertices the triangles use: the geometry's own (rotated) copy, or the caller's array.
    const vec3_t* vertices;
    // The caller's vertex array as handed in.
    const vec3_t* source_vertices;
    uint32_t vertex_count;
    const uint16_t* indices;
    // Three times the number of triangles.
    uint32_t index_count;
    // Material per triangle, or null; a count of 1 gives every triangle the one material.
    const uint8_t* materials;
    uint32_t material_count;
    // User word per triangle, or null.
    const uint32_t* user_words;
    uint32_t user_word_count;
    // With copies: the copy the triangles use, and a pristine copy of the source that every rotation
    // starts from (the caller's array need not outlive the geometry then). Null without copies.
    vec3_t* own_vertices;
    vec3_t* pristine_vertices;
};

// A triangle soup: the buildings of city blocks and the parts of compounds. Built by build_begin, one
// build_mesh per source mesh and build_end, which puts every triangle in one bounding-volume tree.
// Item ids hold the mesh number in bits 20-31 and the position of the triangle's first index in bits
// 0-19. Only a geometry that copies its vertices can take a fixed local rotation.
class cd_geo_mesh_t : public cd_geo_t {
public:
    // Most meshes one build can hold (the mesh number must fit in 12 bits).
    static constexpr uint32_t mesh_limit = 0xFFF;
    // Most indices one mesh can hold (a triangle's first index position must fit in 20 bits).
    static constexpr uint32_t index_limit = 0x100000;

    // `grow_step` records are added to the mesh array each time it is full (0 counts as 1).
    explicit cd_geo_mesh_t(uint32_t grow_step);
    // Frees the tree, the vertex copies and the mesh array.
    ~cd_geo_mesh_t() override;

    // Starts a new build: drops the tree and the vertex copies, forgets the meshes (the array stays for
    // the next build) and remembers whether the next meshes copy their vertices. Refused while the
    // geometry is a part of a compound, whose tree holds this geometry's tree.
    virtual void build_begin(uint8_t copy_vertices);
    // Builds the tree over every triangle: groups no larger than `threshold` on x, y and z, or of at
    // most `leaf_size` triangles, become leaves. Does nothing once built.
    virtual void build_end(float threshold, uint16_t leaf_size);
    // Adds one source mesh. False, with a message and nothing changed, after build_end, at the mesh
    // limit, when memory runs out, or when the arrays do not hold what the counts say (a null array, an
    // index count that is not whole triangles or too large, an index past the vertices).
    virtual bool build_mesh(const vec3_t* vertices, uint32_t vertex_count, const uint16_t* indices,
                            uint32_t index_count, const uint8_t* materials, uint32_t material_count,
                            const uint32_t* user_words, uint32_t user_word_count);

    cd_bvnode_t* get_tree(uint32_t* handle) override;
    void release_tree(uint32_t handle) override;
    // Fills the triangle's fields; an id naming no triangle gets nothing (vertex count 0, request 0).
    void get_item(cd_item_t& item, int redirect) override;
    // Turns every copied mesh from its source vertices (the zero quaternion restores them), refits the
    // tree and refreshes bounds and sphere. Without copies: a warning, nothing changes.
    void set_rotation(quat_t rotation) override;
    const cd_bvnode_t* get_bounds() override { return &local_bounds_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

    // Meshes added since build_begin.
    uint32_t mesh_count() const { return count_; }
    // True once build_end ran (until the next build_begin).
    bool built() const { return built_; }

private:
    // The leaf writer of the tree: the triangles' ids and their corners' bounds, widened by 1.0.
    static cd_bvnode_t* write_leaf(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree);
    // Frees the vertex copies of every mesh added.
    void free_copies();
    // Grows the mesh array by the grow step; false when memory runs out.
    bool grow();
    // The record and first index position an id names, or null when it names no triangle.
    const cd_mesh_record_t* triangle_of(uint32_t id, uint32_t* position) const;

    cd_bvnode_t* root_ = nullptr;
    void* tree_block_ = nullptr;
    cd_mesh_record_t* meshes_ = nullptr;
    uint32_t count_ = 0;
    uint32_t capacity_ = 0;
    uint32_t grow_step_ = 1;
    bool built_ = false;
    bool copy_vertices_ = false;
    cd_bvnode_t local_bounds_{};
    cd_sphere_t sphere_;
};
