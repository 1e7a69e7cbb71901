#pragma once
#include <cstdint>

#include "engine/axial.h"
#include "engine/matrix.h"
#include "physics/cd_geo.h"
#include "physics/polyhedron.h"

// A solid rectangular box centred on its own origin: twelve triangles in a one-leaf tree, six face
// planes and a convex polyhedron. It may carry a fixed local frame (its place in the body's frame) and
// a fixed rotation baked into its corners and planes.
class cd_geo_box_t : public cd_geo_t {
public:
    // Number of triangles, corners and faces of a box.
    static constexpr int triangle_count = 12;
    static constexpr int corner_count = 8;
    static constexpr int face_count = 6;

    // `dimensions` are the full edge lengths; `local_frame` may be null; a negative material or user
    // word means none.
    cd_geo_box_t(const vec3_t& dimensions, const axial_t* local_frame, int32_t material, int32_t user);
    // Frees the tree leaf.
    ~cd_geo_box_t() override;

    // Resizes and re-frames the box (the tree leaf is kept), prepares the polyhedron and clears the
    // rotation.
    virtual void setup(const vec3_t& dimensions, const axial_t* local_frame, int32_t material, int32_t user);

    cd_bvnode_t* get_tree(uint32_t* handle) override;
    void release_tree(uint32_t handle) override;
    cd_polyhedron_t* get_polyhedron() override;
    void get_item(cd_item_t& item, int redirect) override;
    // Rebuilds corners and planes from the dimensions (rotations never accumulate), turned by the local
    // frame and `rotation` (the identity or zero quaternion turns nothing).
    void set_rotation(quat_t rotation) override;
    const cd_bvnode_t* get_bounds() override { return &local_bounds_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }
    // Triangles against the box's separating axes, spheres against its distance.
    bool pri_collide(const cd_query_context_t& context, const cd_item_t& primitive, cd_geo_t** geometry_out,
                     uint32_t* item_out) override;

    // Debug drawing of any geometry's item tree, from `node` (the whole tree when null), in the
    // geometry's frame: the box of each visible node from depth `first_depth` to `last_depth` (the root
    // or `node` is depth 0; the walk goes no deeper) in a colour that changes with the depth, and the
    // triangles of the leaves in that range in red, each with its normal when `normals` is set.
    static void debug_draw(cd_geo_t* geometry, const cd_bvnode_t* node, int first_depth, int last_depth, bool normals);

    const vec3_t& dimensions() const { return dimensions_; }
    // Triangle corners and face planes after the rotation.
    const vec3_t* corners() const { return corners_; }
    const vec4_t* planes() const { return planes_; }
    // Whether corners and planes carry a rotation, and that rotation's matrix.
    bool rotated() const { return rotated_; }
    const mat4_t& rotation() const { return rotation_; }

private:
    // Name, kind and empty state; binds the polyhedron to its corners and faces.
    void init_box();
    // Corners and planes of the unturned box.
    void build_corners_and_planes();

    cd_bvnode_t* root_ = nullptr;
    cd_bvnode_t local_bounds_{};
    cd_sphere_t sphere_;
    vec3_t dimensions_;
    bool local_frame_set_ = false;
    axial_t local_frame_;
    bool has_material_ = false;
    uint16_t material_ = 0;
    bool has_user_ = false;
    uint32_t user_ = 0;
    vec3_t corners_[corner_count];
    vec4_t planes_[face_count];
    bool rotated_ = false;
    mat4_t rotation_ = mat4_t::identity();
    mat4_t inverse_rotation_ = mat4_t::identity();
    vec3_t polyhedron_corners_[corner_count];
    cd_polyhedron_t polyhedron_;
};
