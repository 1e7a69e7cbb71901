#pragma once
#include <cstdarg>
#include <cstdint>

#include "engine/axial.h"
#include "engine/quat.h"
#include "engine/vec.h"
#include "physics/bv_tree.h"
#include "physics/cd_item.h"
#include "physics/phys_state.h"

class body_callback_t;
class cd_polyhedron_t;
struct contact_owner_t;
class phys_body_t;
struct cd_query_context_t;

// The local bounding sphere of a geometry.
struct cd_sphere_t {
    vec3_t centre;
    float radius = 0.0f;
};

// Bytes of the buffer a report is built in; longer texts are cut.
constexpr int cd_report_capacity = 10240;

// The abstract collision geometry: a set of items (triangles, or the sphere of a probe) in a
// bounding-volume tree, free with its own pose or attached to a rigid body whose pose it then shares.
class cd_geo_t {
public:
    // Kinds of geometry.
    enum kind_t : uint8_t { kind_compound = 1, kind_mesh = 2, kind_box = 3, kind_other = 5 };

    cd_geo_t();
    // Detaches the geometry from its body.
    virtual ~cd_geo_t();
    cd_geo_t(const cd_geo_t&) = delete;
    cd_geo_t& operator=(const cd_geo_t&) = delete;

    // The part of the tree that covers the box spanned by two corners; by default the whole tree.
    virtual cd_bvnode_t* get_tree_in_box(uint32_t* handle, const vec3_t& corner_a, const vec3_t& corner_b);
    // Root of the whole item tree, or null; the handle goes back to release_tree.
    virtual cd_bvnode_t* get_tree(uint32_t* handle) = 0;
    // Gives back a tree obtained from get_tree_in_box or get_tree.
    virtual void release_tree(uint32_t handle) = 0;
    // The geometry's convex polyhedron, or null.
    virtual cd_polyhedron_t* get_polyhedron();
    // Fills the requested fields of `item` for its id. With `redirect` set and a parent, asks the
    // parent instead (the id is then in the parent's numbering).
    virtual void get_item(cd_item_t& item, int redirect) = 0;
    // Bakes a fixed local rotation into the item data, refits the tree, refreshes bounds and sphere.
    virtual void set_rotation(quat_t rotation) = 0;
    // The local bounds record: the root node's head.
    virtual const cd_bvnode_t* get_bounds() = 0;
    // The local bounding sphere.
    virtual const cd_sphere_t* get_sphere() = 0;
    // Non-zero when the segment start + t * vector meets the item; t goes to `fraction`. The shared
    // version tests the item's triangle.
    virtual int segment_test(const vec3_t& start, const vec3_t& vector, uint32_t id, float* fraction, uint32_t spare);
    // True when the primitive touches the geometry; the geometry and item hit go to the outs.
    virtual bool pri_collide(const cd_query_context_t& context, const cd_item_t& primitive, cd_geo_t** geometry_out,
                             uint32_t* item_out);

    // Recomputes the five-axis bounds of `node` from its items (leaves are not widened); with null the
    // whole tree.
    void refit_node(cd_bvnode_t* node);

    // Moves the geometry (or the body it is attached to) and marks the frame dirty.
    void set_position(const vec3_t& position);
    // Turns the geometry (or the body it is attached to) and marks the frame dirty.
    void set_orientation(const quat_t& orientation);
    // Rebuilds the translation-only frame from the position.
    void update_axial();

    // Logs "<name> " and the message; cut at cd_report_capacity bytes.
    void report(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Logs "<name> ", the red colour escape (a backslash and an r), "*** ERROR *** " and the message
    // as an error; cut the same way.
    void report_error(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Sets the name, cut to 63 characters.
    void set_name(const char* name);
    const char* name() const { return name_; }

    // The compound that owns this geometry as a part, or null.
    cd_geo_t* parent = nullptr;
    // The own pose, used while no body is attached.
    phys_state_t pose;
    uint8_t kind = kind_other;
    // Bit 0: the geometry is a solid box (a compound of such boxes counts too).
    uint8_t flags = 0;
    // The rigid body the geometry is attached to, or null.
    phys_body_t* body = nullptr;
    // Written by the owning object: the handle word of the entity whose callbacks these are, its
    // contact owner record (null: none; the filters then treat the geometry as ownerless) and its
    // callback interface.
    uint32_t owner_word = 0;
    contact_owner_t* owner_record = nullptr;
    body_callback_t* owner_callbacks = nullptr;
    // Whoever drops the last use destroys the geometry.
    uint32_t use_count = 1;
    // Set by every move; cleared once the frame is rebuilt.
    uint8_t frame_dirty = 1;
    // Translation-only frame of the geometry.
    axial_t frame;

protected:
    // Copies the root's head into `bounds` and derives `sphere` from its first three axes (radius: the
    // half diagonal plus 1.0).
    static void derive_bounds(const cd_bvnode_t& root, cd_bvnode_t& bounds, cd_sphere_t& sphere);

private:
    // Builds "<name> " + `marker` + the message and logs it at `level` (0 message, 1 error).
    void report_text(int level, const char* marker, const char* format, va_list args);
    // Refits one subtree.
    void refit_tree(cd_bvnode_t* root);

    char name_[64] = "cd_geo_t";
};
