#include "physics/tri_query.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "engine_testing/engine_test.h"
#include "grid_mesh.h"
#include "physics/tri_tests.h"

namespace {

using tri_query_test = engine_test_t;

// Ids a query hands out, in order.
std::vector<uint32_t> drain(cd_tri_query_t& query, uint32_t request = cd_item_t::request_vertices)
{
    std::vector<uint32_t> ids;
    cd_item_t item;
    item.request = request;
    while (query.next(item)) {
        ids.push_back(item.id);
        item.request = request;
    }
    return ids;
}

TEST_F(tri_query_test, box_query_hands_out_only_triangles_whose_own_bound_overlaps)
{
    // One leaf holds every triangle: the leaf is touched, but only the cell's two triangles qualify.
    grid_mesh_t mesh(4, 4, 100.0f, 1e6f, 1);
    cd_tri_query_t query;
    query.begin(&mesh, {120, -10, 120}, {180, 10, 180});
    EXPECT_EQ(query.leaves().size(), 1u);
    const std::vector<uint32_t> ids = drain(query);
    EXPECT_EQ(std::set<uint32_t>(ids.begin(), ids.end()), (std::set<uint32_t>{10, 11}));
    query.clear();
    EXPECT_EQ(mesh.trees_out, 0);
}

TEST_F(tri_query_test, leaves_mode_hands_out_every_item_of_the_touched_leaves)
{
    grid_mesh_t mesh(4, 4, 100.0f, 1e6f, 1);
    cd_tri_query_t query;
    query.begin_leaves(&mesh, {120, -10, 120}, {180, 10, 180});
    EXPECT_EQ(drain(query).size(), 32u);
}

TEST_F(tri_query_test, box_query_is_taken_into_the_geometry_frame)
{
    grid_mesh_t mesh(4, 4, 100.0f, 0.0f, 1);
    mesh.set_position({1000, 0, 0});
    cd_tri_query_t query;
    query.begin(&mesh, {1120, -10, 120}, {1180, 10, 180});
    const std::vector<uint32_t> ids = drain(query);
    EXPECT_EQ(std::set<uint32_t>(ids.begin(), ids.end()), (std::set<uint32_t>{10, 11}));
    query.begin(&mesh, {120, -10, 120}, {180, 10, 180});
    EXPECT_TRUE(drain(query).empty());
}

TEST_F(tri_query_test, segment_query_finds_the_triangle_under_a_vertical_ray)
{
    grid_mesh_t mesh(8, 8, 100.0f, 0.0f, 2);
    cd_tri_query_t query;
    query.begin_segment(&mesh, {130, 50, 110}, {130, -50, 110}, 0);
    const std::vector<uint32_t> ids = drain(query);
    ASSERT_EQ(ids.size(), 1u);
    EXPECT_EQ(ids[0], 18u);  // cell (1, 1), its first triangle
    EXPECT_FLOAT_EQ(query.fraction(), 0.5f);
}

TEST_F(tri_query_test, axis_aligned_segment_in_the_mesh_plane_misses_without_nan)
{
    grid_mesh_t mesh(8, 8, 100.0f, 0.0f, 2);
    cd_tri_query_t query;
    // Zero y and z components: the slab test must not divide them.
    query.begin_segment(&mesh, {-50, 0, 150}, {850, 0, 150}, 0);
    EXPECT_FALSE(query.leaves().empty());
    EXPECT_TRUE(drain(query).empty());
    // Above the mesh, parallel: no leaf at all.
    query.begin_segment(&mesh, {-50, 5, 150}, {850, 5, 150}, 0);
    EXPECT_TRUE(query.leaves().empty());
}

// The leaves a plain recursive walk, first child before second, finds for `enters`.
template <typename enters_t>
void reference_leaves(const cd_bvnode_t* node, const enters_t& enters, std::vector<const cd_bvnode_t*>& out)
{
    if (!enters(*node))
        return;
    if (node->leaf()) {
        out.push_back(node);
        return;
    }
    reference_leaves(node->first, enters, out);
    reference_leaves(node->second, enters, out);
}

TEST_F(tri_query_test, walks_list_leaves_in_first_child_order)
{
    grid_mesh_t mesh(16, 12, 100.0f, 0.0f, 1);
    uint32_t handle = 0;
    const cd_bvnode_t* const root = mesh.get_tree(&handle);
    mesh.release_tree(handle);
    cd_tri_query_t query;

    const vec3_t low(230, -10, 170), high(1110, 10, 940);
    query.begin(&mesh, low, high);
    const float box_low[3] = {low.x, low.y, low.z}, box_high[3] = {high.x, high.y, high.z};
    cd_bounds_t box = cd_bounds_make_empty();
    box.add_box(box_low, box_high);
    std::vector<const cd_bvnode_t*> expected;
    reference_leaves(
        root, [&](const cd_bvnode_t& node) { return node.bounds.overlaps(box); }, expected);
    EXPECT_GT(expected.size(), 20u);
    EXPECT_EQ(query.leaves(), expected);

    const vec3_t start(-30, 0.5f, 1150), end(1500, -0.5f, 20);
    query.begin_segment(&mesh, start, end, 0);
    const float ray_low[3] = {-30, -0.5f, 20}, ray_high[3] = {1500, 0.5f, 1150};
    cd_bounds_t ray_box = cd_bounds_make_empty();
    ray_box.add_box(ray_low, ray_high);
    expected.clear();
    reference_leaves(
        root,
        [&](const cd_bvnode_t& node) {
            return node.bounds.overlaps(ray_box) && cd_segment_bounds_test(node.bounds, start, end - start);
        },
        expected);
    EXPECT_GT(expected.size(), 10u);
    EXPECT_EQ(query.leaves(), expected);
}

// Split that peels the item with the lowest centre on x off every group: a tree as deep as it is wide.
bool peel_lowest(float& value, int& axis, uint32_t, const vec3_t&, const vec3_t&, void*, cd_bvtree_t& tree)
{
    axis = 0;
    value = tree.current_items()[0].centre.x;
    for (const cd_bvitem_t& item : tree.current_items())
        value = std::min(value, item.centre.x);
    return true;
}

// A row of small triangles along x in a tree built with peel_lowest.
class deep_row_t : public cd_geo_t {
public:
    explicit deep_row_t(int count)
    {
        for (int i = 0; i < count; ++i) {
            const float x = static_cast<float>(i) * 10.0f;
            points_.insert(points_.end(), {vec3_t(x, 0, 0), vec3_t(x + 5, 0, 0), vec3_t(x, 0, 5)});
        }
        cd_bvtree_t builder(512, 128);
        builder.set_callbacks(this, 0.0f, 1, nullptr, nullptr, peel_lowest);
        for (int i = 0; i < count; ++i) {
            cd_bvitem_t* const item = builder.add_item();
            item->id = static_cast<uint32_t>(i);
            item->centre = points_[3 * i] + vec3_t(2, 0, 2);
            item->minimum = points_[3 * i];
            item->maximum = points_[3 * i] + vec3_t(5, 0, 5);
        }
        size_t size = 0;
        root_ = builder.build(&size, &block_);
    }
    ~deep_row_t() override { mem_sys_free(block_); }

    cd_bvnode_t* get_tree(uint32_t* handle) override
    {
        *handle = 0;
        return root_;
    }
    void release_tree(uint32_t) override {}
    void get_item(cd_item_t& item, int) override
    {
        item.kind = cd_item_t::kind_triangle;
        item.vertex_count = 3;
        for (int k = 0; k < 3; ++k)
            item.vertex[k] = &points_[3 * item.id + k];
    }
    void set_rotation(quat_t) override {}
    const cd_bvnode_t* get_bounds() override { return root_; }
    const cd_sphere_t* get_sphere() override { return &sphere_; }

private:
    std::vector<vec3_t> points_;
    cd_bvnode_t* root_ = nullptr;
    void* block_ = nullptr;
    cd_sphere_t sphere_;
};

TEST_F(tri_query_test, walks_of_trees_deeper_than_the_initial_stack_keep_their_order)
{
    deep_row_t row(300);
    cd_tri_query_t query;
    query.begin_leaves(&row, {-10, -10, -10}, {3010, 10, 10});
    std::vector<uint32_t> in_order(300);
    for (uint32_t i = 0; i < 300; ++i)
        in_order[i] = i;
    EXPECT_EQ(drain(query), in_order);
    query.begin_segment(&row, {-10, 0, 1}, {3010, 0, 1}, 0);
    EXPECT_EQ(query.leaves().size(), 300u);
}

// A grid whose every segment test ends the query, either at once or after its hit.
class stopping_mesh_t : public grid_mesh_t {
public:
    stopping_mesh_t(int answer) : grid_mesh_t(4, 1, 100.0f, 0.0f, 1), answer_(answer) {}
    int segment_test(const vec3_t&, const vec3_t&, uint32_t id, float* fraction, uint32_t) override
    {
        *fraction = 0.25f;
        return id == 0 ? answer_ : 1;
    }

private:
    int answer_;
};

TEST_F(tri_query_test, segment_answers_that_stop_the_query)
{
    {
        stopping_mesh_t mesh(cd_tri_query_t::stop_after);
        cd_tri_query_t query;
        query.begin_segment(&mesh, {-10, 1, 50}, {410, -1, 50}, 0);
        ASSERT_GT(query.leaves().size(), 1u);
        EXPECT_EQ(drain(query).size(), 1u);
    }
    {
        stopping_mesh_t mesh(cd_tri_query_t::stop_now);
        cd_tri_query_t query;
        query.begin_segment(&mesh, {-10, 1, 50}, {410, -1, 50}, 0);
        // The call that met the stop still hands out the next hit; later calls give nothing.
        EXPECT_EQ(drain(query).size(), 1u);
    }
}

TEST_F(tri_query_test, geometry_without_a_tree_gives_nothing)
{
    grid_mesh_t mesh(0, 0, 100.0f, 0.0f, 1);
    cd_tri_query_t query;
    query.begin(&mesh, {-10, -10, -10}, {10, 10, 10});
    cd_item_t item;
    EXPECT_FALSE(query.next(item));
    query.clear();
    mesh.refit_node(nullptr);
    EXPECT_EQ(mesh.trees_out, 0);
}

TEST_F(tri_query_test, refit_recomputes_leaves_without_margin_and_inner_nodes_as_unions)
{
    grid_mesh_t mesh(4, 4, 100.0f, 0.0f, 4);
    uint32_t handle = 0;
    cd_bvnode_t* root = mesh.get_tree(&handle);
    mesh.release_tree(handle);
    ASSERT_FALSE(root->leaf());
    EXPECT_FLOAT_EQ(root->bounds.minimum[0], -1.0f);
    mesh.refit_node(nullptr);
    EXPECT_EQ(mesh.trees_out, 0);
    EXPECT_FLOAT_EQ(root->bounds.minimum[0], 0.0f);
    EXPECT_FLOAT_EQ(root->bounds.maximum[2], 400.0f);
    EXPECT_FLOAT_EQ(root->bounds.maximum[4], 200.0f);
}

TEST_F(tri_query_test, huge_leaf_groups_are_split_to_fit_the_16_bit_count)
{
    // 70 000 triangles and a threshold above the whole box: one leaf cannot count them all.
    grid_mesh_t mesh(350, 100, 1.0f, 1e6f, 1);
    uint32_t handle = 0;
    const cd_bvnode_t* root = mesh.get_tree(&handle);
    ASSERT_NE(root, nullptr);
    ASSERT_FALSE(root->leaf());
    EXPECT_TRUE(root->first->leaf());
    EXPECT_EQ(root->first->count() + root->second->count(), 70000);
}

}  // namespace
