#include "physics/bv_tree.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "engine/mem.h"
#include "engine_testing/engine_test.h"

namespace {

using bv_tree_test = engine_test_t;

// One item to add: id, centre and the half size of its cube.
struct item_spec_t {
    uint32_t id;
    vec3_t centre;
    float half;
};

// A built tree whose block is freed at the end of the test.
struct built_tree_t {
    cd_bvnode_t* root = nullptr;
    size_t size = 0;
    void* block = nullptr;
    ~built_tree_t() { mem_sys_free(block); }
};

void add_items(cd_bvtree_t& tree, const std::vector<item_spec_t>& specs)
{
    for (const item_spec_t& spec : specs) {
        cd_bvitem_t* const item = tree.add_item();
        item->id = spec.id;
        item->centre = spec.centre;
        item->minimum = spec.centre - vec3_t(spec.half, spec.half, spec.half);
        item->maximum = spec.centre + vec3_t(spec.half, spec.half, spec.half);
    }
}

void build(cd_bvtree_t& tree, built_tree_t& out) { out.root = tree.build(&out.size, &out.block); }

TEST_F(bv_tree_test, node_sizes_follow_the_pointer_size_of_the_build)
{
    EXPECT_EQ(cd_bvnode_inner_size, 2 * sizeof(void*) + 10 * sizeof(float));
    EXPECT_EQ(cd_bvnode_ids_offset % alignof(uint32_t), 0u);
    EXPECT_GE(cd_bvnode_ids_offset, cd_bvnode_count_offset + sizeof(uint16_t));
    EXPECT_EQ(cd_bvnode_leaf_size(1) % alignof(cd_bvnode_t), 0u);
    EXPECT_GE(cd_bvnode_leaf_size(12), cd_bvnode_ids_offset + 48);
}

TEST_F(bv_tree_test, empty_builder_gives_no_root_and_no_block)
{
    cd_bvtree_t tree(512, 128);
    tree.set_callbacks(nullptr, 0.0f, 1, nullptr, nullptr, nullptr);
    built_tree_t built;
    build(tree, built);
    EXPECT_EQ(built.root, nullptr);
    EXPECT_EQ(built.block, nullptr);
    EXPECT_EQ(built.size, 0u);
    EXPECT_EQ(tree.state(), cd_bvtree_t::state_idle);
}

TEST_F(bv_tree_test, set_callbacks_repairs_a_negative_threshold_and_a_zero_leaf_size)
{
    cd_bvtree_t tree(0, 0);
    EXPECT_EQ(tree.state(), cd_bvtree_t::state_idle);
    tree.set_callbacks(nullptr, -5.0f, 0, nullptr, nullptr, nullptr);
    EXPECT_EQ(tree.threshold(), 0.0f);
    EXPECT_EQ(tree.leaf_size(), 1);
    EXPECT_EQ(tree.state(), cd_bvtree_t::state_configured);
}

TEST_F(bv_tree_test, equal_centres_split_by_count_into_two_single_leaves)
{
    cd_bvtree_t tree(512, 128);
    tree.set_callbacks(nullptr, 0.0f, 1, nullptr, nullptr, nullptr);
    add_items(tree, {{7, {1, 2, 3}, 1.0f}, {9, {1, 2, 3}, 1.0f}});
    built_tree_t built;
    build(tree, built);
    ASSERT_NE(built.root, nullptr);
    ASSERT_FALSE(built.root->leaf());
    EXPECT_EQ(built.size, cd_bvnode_inner_size + 2 * cd_bvnode_leaf_size(1));
    ASSERT_TRUE(built.root->first->leaf());
    ASSERT_TRUE(built.root->second->leaf());
    EXPECT_EQ(built.root->first->count(), 1);
    EXPECT_EQ(built.root->first->ids()[0], 7u);
    EXPECT_EQ(built.root->second->ids()[0], 9u);
}

// What the default split chose the last time the recording split ran.
float recorded_value = 0.0f;
int recorded_axis = -1;

bool recording_split(float& value, int& axis, uint32_t count, const vec3_t& minimum, const vec3_t& maximum, void* owner,
                     cd_bvtree_t& tree)
{
    const bool accepted = cd_bvtree_split_variance(value, axis, count, minimum, maximum, owner, tree);
    recorded_value = value;
    recorded_axis = axis;
    return accepted;
}

TEST_F(bv_tree_test, equal_variance_on_x_and_z_splits_on_z_at_the_mean)
{
    cd_bvtree_t tree(512, 128);
    tree.set_callbacks(nullptr, 0.0f, 1, nullptr, nullptr, recording_split);
    // Listed second, the (0, 0, 0) item moves to the front: only a split on z (or x) at 5 does that.
    add_items(tree, {{2, {10, 0, 10}, 0.5f}, {1, {0, 0, 0}, 0.5f}});
    built_tree_t built;
    build(tree, built);
    ASSERT_NE(built.root, nullptr);
    EXPECT_EQ(recorded_axis, 2);
    EXPECT_EQ(recorded_value, 5.0f);
    ASSERT_FALSE(built.root->leaf());
    EXPECT_EQ(built.root->first->ids()[0], 1u);
    EXPECT_EQ(built.root->second->ids()[0], 2u);
}

// Declines every split.
bool declining_split(float&, int&, uint32_t, const vec3_t&, const vec3_t&, void*, cd_bvtree_t&) { return false; }

TEST_F(bv_tree_test, declining_split_callback_keeps_the_group_a_leaf)
{
    cd_bvtree_t tree(512, 128);
    tree.set_callbacks(nullptr, 0.0f, 1, nullptr, nullptr, declining_split);
    add_items(tree, {{0, {0, 0, 0}, 1.0f}, {1, {50, 0, 0}, 1.0f}});
    built_tree_t built;
    build(tree, built);
    ASSERT_NE(built.root, nullptr);
    ASSERT_TRUE(built.root->leaf());
    EXPECT_EQ(built.root->count(), 2);
}

TEST_F(bv_tree_test, threshold_above_the_whole_box_gives_one_leaf_of_every_item)
{
    cd_bvtree_t tree(512, 128);
    tree.set_callbacks(nullptr, 1000.0f, 1, nullptr, nullptr, nullptr);
    add_items(tree, {{0, {0, 0, 0}, 1.0f}, {1, {50, 0, 0}, 1.0f}, {2, {0, 60, 90}, 1.0f}});
    built_tree_t built;
    build(tree, built);
    ASSERT_NE(built.root, nullptr);
    ASSERT_TRUE(built.root->leaf());
    EXPECT_EQ(built.size, cd_bvnode_leaf_size(3));
    ASSERT_EQ(built.root->count(), 3);
    EXPECT_EQ(built.root->ids()[0], 0u);
    EXPECT_EQ(built.root->ids()[1], 1u);
    EXPECT_EQ(built.root->ids()[2], 2u);
}

TEST_F(bv_tree_test, leaf_bound_is_widened_by_one_and_inner_bound_is_the_exact_union)
{
    cd_bvtree_t tree(512, 128);
    tree.set_callbacks(nullptr, 0.0f, 1, nullptr, nullptr, nullptr);
    add_items(tree, {{0, {0, 0, 0}, 1.0f}, {1, {20, 4, -6}, 2.0f}});
    built_tree_t built;
    build(tree, built);
    ASSERT_NE(built.root, nullptr);
    ASSERT_FALSE(built.root->leaf());
    const cd_bvnode_t* leaf = built.root->first->ids()[0] == 0 ? built.root->first : built.root->second;
    // Box (-1, -1, -1)..(1, 1, 1): u from -1 to 1, v from (-1 - 1) / 2 to (1 + 1) / 2; plus 1.0.
    const float expected_min[5] = {-2, -2, -2, -2, -2};
    const float expected_max[5] = {2, 2, 2, 2, 2};
    for (int axis = 0; axis < 5; ++axis) {
        EXPECT_FLOAT_EQ(leaf->bounds.minimum[axis], expected_min[axis]) << axis;
        EXPECT_FLOAT_EQ(leaf->bounds.maximum[axis], expected_max[axis]) << axis;
        EXPECT_EQ(built.root->bounds.minimum[axis],
                  std::min(built.root->first->bounds.minimum[axis], built.root->second->bounds.minimum[axis]));
        EXPECT_EQ(built.root->bounds.maximum[axis],
                  std::max(built.root->first->bounds.maximum[axis], built.root->second->bounds.maximum[axis]));
    }
}

}  // namespace
