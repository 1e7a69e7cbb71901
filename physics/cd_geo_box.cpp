#include "physics/cd_geo_box.h"

#include "engine/geometry.h"
#include "engine/mem.h"
#include "physics/cd_query_context.h"
#include "physics/tri_tests.h"

namespace {

// Signs of the corners' coordinates, in corner order.
constexpr float corner_signs[cd_geo_box_t::corner_count][3] = {
    {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}, {-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1},
};

// Corners and face plane of each triangle.
struct triangle_t {
    int corner[3];
    int plane;
};
constexpr triangle_t triangles[cd_geo_box_t::triangle_count] = {
    {{2, 6, 5}, 0}, {{2, 5, 1}, 0}, {{4, 7, 3}, 1}, {{4, 3, 0}, 1}, {{4, 5, 6}, 2}, {{4, 6, 7}, 2},
    {{2, 1, 0}, 3}, {{2, 0, 3}, 3}, {{0, 1, 5}, 4}, {{0, 5, 4}, 4}, {{6, 2, 3}, 5}, {{6, 3, 7}, 5},
};

// Each face plane: its outward normal and whether it passes through the (+h) or the (-h) corner.
struct face_t {
    float normal[3];
    float through;
};
constexpr face_t faces[cd_geo_box_t::face_count] = {
    {{1, 0, 0}, 1}, {{-1, 0, 0}, -1}, {{0, 1, 0}, 1}, {{0, -1, 0}, -1}, {{0, 0, -1}, -1}, {{0, 0, 1}, 1},
};

// The polyhedron's faces, four corners each.
constexpr int polyhedron_faces[cd_geo_box_t::face_count * 4] = {
    0, 3, 2, 1, 3, 7, 6, 2, 7, 4, 5, 6, 4, 0, 1, 5, 2, 6, 5, 1, 0, 4, 7, 3,
};

}  // namespace

cd_geo_box_t::cd_geo_box_t(const vec3_t& dimensions, const axial_t* local_frame, int32_t material, int32_t user)
{
    init_box();
    setup(dimensions, local_frame, material, user);
}

cd_geo_box_t::~cd_geo_box_t() { mem_sys_free(root_); }

void cd_geo_box_t::init_box()
{
    set_name("cd_geo_box_t");
    kind = kind_box;
    has_material_ = has_user_ = local_frame_set_ = rotated_ = false;
    root_ = nullptr;
    polyhedron_.set_vertices(polyhedron_corners_, corner_count);
    polyhedron_.build_faces(polyhedron_faces, 4, face_count);
    flags |= 1;
    local_bounds_.bounds.set_empty();
}

void cd_geo_box_t::setup(const vec3_t& dimensions, const axial_t* local_frame, int32_t material, int32_t user)
{
    dimensions_ = dimensions;
    material_ = static_cast<uint16_t>(material);
    has_material_ = material >= 0;
    user_ = static_cast<uint32_t>(user);
    has_user_ = user >= 0;
    local_frame_set_ = local_frame != nullptr;
    if (local_frame)
        local_frame_ = *local_frame;
    else
        local_frame_.identity();

    if (!root_) {
        root_ = static_cast<cd_bvnode_t*>(mem_sys_alloc(cd_bvnode_leaf_size(triangle_count)));
        if (!root_) {
            report_error("cannot allocate the tree leaf");
        } else {
            root_->first = root_->second = nullptr;
            root_->count() = triangle_count;
            for (uint32_t id = 0; id < triangle_count; ++id)
                root_->ids()[id] = id;
        }
    }

    const vec3_t half = dimensions_ * 0.5f;
    for (int c = 0; c < corner_count; ++c) {
        const vec3_t corner(half.x * corner_signs[c][0], half.y * corner_signs[c][1], half.z * corner_signs[c][2]);
        polyhedron_corners_[c] = local_frame_set_ ? mult_point_matrix_fast(local_frame_.matrix, corner) : corner;
    }
    polyhedron_.prepare();
    set_rotation(quat_t(0.0f, 0.0f, 0.0f, 1.0f));
}

void cd_geo_box_t::build_corners_and_planes()
{
    const vec3_t half = dimensions_ * 0.5f;
    for (int c = 0; c < corner_count; ++c)
        corners_[c] = vec3_t(half.x * corner_signs[c][0], half.y * corner_signs[c][1], half.z * corner_signs[c][2]);
    for (int f = 0; f < face_count; ++f)
        planes_[f] = construct_equation(half * faces[f].through,
                                        vec3_t(faces[f].normal[0], faces[f].normal[1], faces[f].normal[2]));
}

void cd_geo_box_t::set_rotation(quat_t rotation)
{
    build_corners_and_planes();
    const bool turns = !rotation.is_zero();
    rotation.normalize();
    // The local frame places the box in the body; the rotation then turns the body.
    axial_t turn;
    if (turns)
        turn.qrotate(rotation);
    if (local_frame_set_)
        turn.mult(local_frame_);
    rotated_ = turns || local_frame_set_;
    rotation_ = turn.matrix;
    inverse_rotation_ = turn.inverse;

    if (rotated_) {
        for (vec3_t& corner : corners_)
            corner = mult_point_matrix_fast(rotation_, corner);
        for (int f = 0; f < face_count; ++f) {
            const vec3_t normal(faces[f].normal[0], faces[f].normal[1], faces[f].normal[2]);
            const vec3_t point = (dimensions_ * 0.5f) * faces[f].through;
            planes_[f] = construct_equation(mult_point_matrix_fast(rotation_, point),
                                            mult_normal_matrix_fast(rotation_, normal));
        }
    }
    if (!root_)
        return;
    root_->bounds.set_empty();
    refit_node(root_);
    root_->bounds.widen(1.0f);
    derive_bounds(*root_, local_bounds_, sphere_);
}

cd_bvnode_t* cd_geo_box_t::get_tree(uint32_t* handle)
{
    if (handle)
        *handle = 0;
    return root_;
}

void cd_geo_box_t::release_tree(uint32_t) {}

cd_polyhedron_t* cd_geo_box_t::get_polyhedron() { return &polyhedron_; }

void cd_geo_box_t::get_item(cd_item_t& item, int redirect)
{
    if (redirect && parent) {
        parent->get_item(item, redirect);
        return;
    }
    item.kind = cd_item_t::kind_triangle;
    if (item.id >= static_cast<uint32_t>(triangle_count)) {
        report("get_item: no triangle %u", item.id);
        item.request = 0;
        item.vertex_count = 0;
        return;
    }
    const triangle_t& triangle = triangles[item.id];
    if (item.request & cd_item_t::request_vertices) {
        for (int k = 0; k < 3; ++k)
            item.vertex[k] = &corners_[triangle.corner[k]];
        item.vertex_count = 3;
    }
    if (item.request & cd_item_t::request_plane)
        item.plane = planes_[triangle.plane];
    if (item.request & cd_item_t::request_material) {
        item.material = has_material_ ? material_ : 0xFFFFFFFFu;
        if (!has_material_)
            item.request &= ~static_cast<uint32_t>(cd_item_t::request_material);
    }
    if (item.request & cd_item_t::request_user) {
        item.user = has_user_ ? user_ : 0xFFFFFFFFu;
        if (!has_user_)
            item.request &= ~static_cast<uint32_t>(cd_item_t::request_user);
    }
    if (item.request & cd_item_t::request_bounds) {
        item.bounds.set_triangle(corners_[triangle.corner[0]], corners_[triangle.corner[1]],
                                 corners_[triangle.corner[2]]);
    }
}

bool cd_geo_box_t::pri_collide(const cd_query_context_t& context, const cd_item_t& primitive, cd_geo_t** geometry_out,
                               uint32_t* item_out)
{
    *geometry_out = this;
    *item_out = cd_item_none;
    const vec3_t half = dimensions_ * 0.5f;
    const mat4_t into_box = rotated_ ? inverse_rotation_ * context.matrix : context.matrix;
    switch (primitive.kind & 7) {
    case cd_item_t::kind_triangle: {
        if (!primitive.vertex[0] || !primitive.vertex[1] || !primitive.vertex[2])
            return false;
        return cd_tri_box_test(mult_point_matrix_fast(into_box, *primitive.vertex[0]),
                               mult_point_matrix_fast(into_box, *primitive.vertex[1]),
                               mult_point_matrix_fast(into_box, *primitive.vertex[2]), half);
    }
    case cd_item_t::kind_sphere: {
        if (!primitive.vertex[0] || !primitive.radius)
            return false;
        const vec3_t centre = mult_point_matrix_fast(into_box, *primitive.vertex[0]);
        float distance_sq = 0.0f;
        for (int axis = 0; axis < 3; ++axis) {
            if (centre[axis] < -half[axis])
                distance_sq += (centre[axis] + half[axis]) * (centre[axis] + half[axis]);
            else if (centre[axis] > half[axis])
                distance_sq += (centre[axis] - half[axis]) * (centre[axis] - half[axis]);
        }
        return distance_sq <= *primitive.radius * *primitive.radius;
    }
    default:
        report("pri_collide NOT FULLY IMPLEMENTED!");
        return false;
    }
}
