#include "physics/cd_geo_mesh.h"

#include <algorithm>
#include <cstring>

#include "engine/geometry.h"
#include "engine/log.h"
#include "engine/mem.h"

namespace {

// Bits of an item id that hold the first index position of the triangle.
constexpr uint32_t position_bits = 20;
constexpr uint32_t position_mask = (1u << position_bits) - 1;

// Pool sizes of the tree builder.
constexpr uint32_t builder_items = 512;
constexpr uint32_t builder_groups = 128;

// Margin of the local bounds over the built tree.
constexpr float bounds_margin = 0.5f;
// Margin of every leaf the build writes.
constexpr float leaf_margin = 1.0f;

}  // namespace

cd_geo_mesh_t::cd_geo_mesh_t(uint32_t grow_step) : grow_step_(grow_step ? grow_step : 1)
{
    set_name("cd_geo_mesh_t");
    kind = kind_mesh;
    build_begin(0);
    local_bounds_.bounds.set_empty();
}

cd_geo_mesh_t::~cd_geo_mesh_t()
{
    mem_sys_free(tree_block_);
    free_copies();
    mem_sys_free(meshes_);
}

void cd_geo_mesh_t::build_begin(uint8_t copy_vertices)
{
    if (parent) {
        report("error: cannot rebuild a mesh that is a part of a compound");
        return;
    }
    root_ = nullptr;
    mem_sys_free(tree_block_);
    tree_block_ = nullptr;
    free_copies();
    count_ = 0;
    built_ = false;
    copy_vertices_ = copy_vertices != 0;
}

void cd_geo_mesh_t::free_copies()
{
    for (uint32_t m = 0; m < count_; ++m) {
        mem_sys_free(meshes_[m].own_vertices);
        meshes_[m].own_vertices = meshes_[m].pristine_vertices = nullptr;
    }
}

bool cd_geo_mesh_t::grow()
{
    const size_t records = static_cast<size_t>(capacity_) + grow_step_;
    auto* const grown = static_cast<cd_mesh_record_t*>(mem_sys_alloc(records * sizeof(cd_mesh_record_t)));
    if (!grown)
        return false;
    if (count_)
        memcpy(grown, meshes_, count_ * sizeof(cd_mesh_record_t));
    mem_sys_free(meshes_);
    meshes_ = grown;
    capacity_ = static_cast<uint32_t>(records);
    return true;
}

bool cd_geo_mesh_t::build_mesh(const vec3_t* vertices, uint32_t vertex_count, const uint16_t* indices,
                               uint32_t index_count, const uint8_t* materials, uint32_t material_count,
                               const uint32_t* user_words, uint32_t user_word_count)
{
    if (built_) {
        report("error: cannot build mesh, missing build_begin");
        return false;
    }
    if (count_ == mesh_limit) {
        report("error: cannot build another mesh, mesh limit (0xfff) hit");
        return false;
    }
    if ((vertex_count && !vertices) || (index_count && !indices) || (material_count && !materials) ||
        (user_word_count && !user_words)) {
        report("error: cannot build mesh %u, an array is missing for its count", count_);
        return false;
    }
    if (index_count % 3 || index_count > index_limit) {
        report("error: cannot build mesh %u, %u indices are not whole triangles within the limit (%u)", count_,
               index_count, index_limit);
        return false;
    }
    for (uint32_t i = 0; i < index_count; ++i)
        if (indices[i] >= vertex_count) {
            report("error: cannot build mesh %u, index %u names vertex %u of %u", count_, i, indices[i], vertex_count);
            return false;
        }
    if (count_ == capacity_ && !grow()) {
        report("error: cannot allocate enough memory for mesh");
        return false;
    }

    vec3_t* own = nullptr;
    if (copy_vertices_ && vertex_count) {
        own = static_cast<vec3_t*>(mem_sys_alloc(2 * static_cast<size_t>(vertex_count) * sizeof(vec3_t)));
        if (!own) {
            report("error: cannot allocate enough memory for mesh");
            return false;
        }
        memcpy(own, vertices, vertex_count * sizeof(vec3_t));
        memcpy(own + vertex_count, vertices, vertex_count * sizeof(vec3_t));
    }
    cd_mesh_record_t& record = meshes_[count_];
    record.vertices = copy_vertices_ ? own : vertices;
    record.source_vertices = vertices;
    record.vertex_count = vertex_count;
    record.indices = indices;
    record.index_count = index_count;
    record.materials = materials;
    record.material_count = material_count;
    record.user_words = user_words;
    record.user_word_count = user_word_count;
    record.own_vertices = own;
    record.pristine_vertices = own ? own + vertex_count : nullptr;
    ++count_;
    return true;
}

void cd_geo_mesh_t::build_end(float threshold, uint16_t leaf_size)
{
    if (built_)
        return;
    cd_bvtree_t builder(builder_items, builder_groups);
    builder.set_callbacks(this, threshold, leaf_size, write_leaf, nullptr, nullptr);
    for (uint32_t m = 0; m < count_; ++m) {
        const cd_mesh_record_t& record = meshes_[m];
        for (uint32_t p = 0; p < record.index_count; p += 3) {
            const vec3_t& a = record.vertices[record.indices[p]];
            const vec3_t& b = record.vertices[record.indices[p + 1]];
            const vec3_t& c = record.vertices[record.indices[p + 2]];
            cd_bvitem_t* const item = builder.add_item();
            item->id = (m << position_bits) | p;
            item->centre = (a + b + c) * 0.33333334f;
            for (int axis = 0; axis < 3; ++axis) {
                item->minimum[axis] = std::min({a[axis], b[axis], c[axis]});
                item->maximum[axis] = std::max({a[axis], b[axis], c[axis]});
            }
        }
    }
    size_t size = 0;
    root_ = builder.build(&size, &tree_block_);
    if (root_) {
        cd_bvnode_t widened = *root_;
        widened.bounds.widen(bounds_margin);
        derive_bounds(widened, local_bounds_, sphere_);
    } else {
        local_bounds_ = cd_bvnode_t{};
        local_bounds_.bounds.set_empty();
        sphere_ = cd_sphere_t{};
    }
    built_ = true;
}

cd_bvnode_t* cd_geo_mesh_t::write_leaf(const cd_bvgroup_t& group, void* owner, cd_bvtree_t& tree)
{
    auto* const self = static_cast<cd_geo_mesh_t*>(owner);
    auto* const node = static_cast<cd_bvnode_t*>(tree.take(cd_bvnode_leaf_size(group.count)));
    if (!node)
        return nullptr;
    node->first = node->second = nullptr;
    node->count() = static_cast<uint16_t>(group.count);
    node->bounds.set_empty();
    uint32_t* const ids = node->ids();
    uint32_t i = 0;
    for (const cd_bvitem_t& built : tree.items_of(group)) {
        ids[i++] = built.id;
        cd_item_t item;
        item.id = built.id;
        item.request = cd_item_t::request_vertices;
        self->get_item(item, 1);
        for (int k = 0; k < item.vertex_count; ++k)
            node->bounds.add_point(item.vertex[k]->x, item.vertex[k]->y, item.vertex[k]->z);
    }
    node->bounds.widen(leaf_margin);
    return node;
}

cd_bvnode_t* cd_geo_mesh_t::get_tree(uint32_t* handle)
{
    if (handle)
        *handle = 0;
    return root_;
}

void cd_geo_mesh_t::release_tree(uint32_t) {}

const cd_mesh_record_t* cd_geo_mesh_t::triangle_of(uint32_t id, uint32_t* position) const
{
    const uint32_t m = id >> position_bits;
    const uint32_t p = id & position_mask;
    if (m >= count_ || p % 3 || p + 2 >= meshes_[m].index_count)
        return nullptr;
    *position = p;
    return &meshes_[m];
}

void cd_geo_mesh_t::get_item(cd_item_t& item, int redirect)
{
    if (redirect && parent) {
        parent->get_item(item, redirect);
        return;
    }
    item.kind = cd_item_t::kind_triangle;
    uint32_t p = 0;
    const cd_mesh_record_t* const record = triangle_of(item.id, &p);
    if (!record) {
        report("get_item: no triangle %#x", item.id);
        item.request = 0;
        item.vertex_count = 0;
        return;
    }
    const vec3_t* const corner[3] = {&record->vertices[record->indices[p]], &record->vertices[record->indices[p + 1]],
                                     &record->vertices[record->indices[p + 2]]};
    const uint32_t triangle = p / 3;
    if (item.request & cd_item_t::request_vertices) {
        for (int k = 0; k < 3; ++k)
            item.vertex[k] = corner[k];
        item.vertex_count = 3;
    }
    if (item.request & cd_item_t::request_material) {
        if (record->materials && record->material_count == 1)
            item.material = record->materials[0];
        else if (record->materials && triangle < record->material_count)
            item.material = record->materials[triangle];
        else {
            item.material = 0xFFFFFFFFu;
            item.request &= ~static_cast<uint32_t>(cd_item_t::request_material);
        }
    }
    if (item.request & cd_item_t::request_plane)
        points_compute_equation(*corner[0], *corner[2], *corner[1], 0.0f, item.plane);
    if (item.request & cd_item_t::request_user) {
        if (record->user_words && triangle < record->user_word_count)
            item.user = record->user_words[triangle];
        else {
            item.user = 0xFFFFFFFFu;
            item.request &= ~static_cast<uint32_t>(cd_item_t::request_user);
        }
    }
    if (item.request & cd_item_t::request_bounds) {
        item.bounds.set_triangle(*corner[0], *corner[1], *corner[2]);
    }
}

void cd_geo_mesh_t::set_rotation(quat_t rotation)
{
    if (!copy_vertices_) {
        report("WARNING: cd_geo_mesh_t collision data rotation not supported");
        return;
    }
    const bool turns = !rotation.is_zero();
    rotation.normalize();
    mat4_t matrix = mat4_t::identity();
    rotation.get_matrix(matrix);
    for (uint32_t m = 0; m < count_; ++m) {
        cd_mesh_record_t& record = meshes_[m];
        for (uint32_t v = 0; v < record.vertex_count; ++v)
            record.own_vertices[v] =
                turns ? mult_point_matrix_fast(matrix, record.pristine_vertices[v]) : record.pristine_vertices[v];
    }
    // Before build_end there is no tree yet; the next build starts from the turned vertices.
    if (!root_)
        return;
    refit_node(root_);
    derive_bounds(*root_, local_bounds_, sphere_);
}
