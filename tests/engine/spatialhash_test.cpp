#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/spatialhash.h"
#include "engine_testing/engine_test.h"

namespace {

spatial_box_t box(float x0, float y0, float z0, float x1, float y1, float z1)
{
    return spatial_box_t{{x0, y0, z0}, {x1, y1, z1}};
}

// The cube of half side `h` around (x, y, z).
spatial_box_t cube(float x, float y, float z, float h) { return box(x - h, y - h, z - h, x + h, y + h, z + h); }

std::vector<int> sorted_ids(const std::vector<void*>& found, const int* base)
{
    std::vector<int> ids;
    for (void* p : found)
        ids.push_back(static_cast<int>(static_cast<int*>(p) - base));
    std::sort(ids.begin(), ids.end());
    return ids;
}

// The physics world's hash, with a few items of every size.
class spatialhash_test : public engine_test_t {
protected:
    spatialhash_t hash_{200.0f, 8.0f, 4, 3.0f};
    int items_[8] = {};
    void* item(int i) { return &items_[i]; }

    std::vector<int> in_box(const spatial_box_t& b)
    {
        std::vector<void*> found;
        const size_t count = hash_.query(b, found);
        EXPECT_EQ(count, found.size());
        return sorted_ids(found, items_);
    }
    std::vector<int> on_ray(float x0, float y0, float z0, float x1, float y1, float z1)
    {
        const float from[3] = {x0, y0, z0};
        const float to[3] = {x1, y1, z1};
        std::vector<void*> found;
        const size_t count = hash_.query_ray(from, to, found);
        EXPECT_EQ(count, found.size());
        return sorted_ids(found, items_);
    }
};

TEST_F(spatialhash_test, box_query_finds_items_across_cell_borders_once)
{
    ASSERT_TRUE(hash_.insert(item(0), cube(0, 0, 0, 1)));                  // a small box on the corner of 8 cells
    ASSERT_TRUE(hash_.insert(item(1), cube(199, 0, 0, 3)));                // across a level-0 border
    ASSERT_TRUE(hash_.insert(item(2), box(-500, -1, -500, 500, 1, 500)));  // a ground slab, many cells
    ASSERT_TRUE(hash_.insert(item(3), cube(1000, 0, 0, 30)));
    ASSERT_TRUE(hash_.insert(item(4), box(-1e7f, -1, -1e7f, 1e7f, 1, 1e7f)));  // larger than any grid
    ASSERT_TRUE(hash_.insert(item(5), box(1750, -50, 0, 2950, 350, 300)));     // trailer-sized, on a coarser grid
    const struct {
        spatial_box_t query;
        std::vector<int> expected;
    } cases[] = {
        {cube(0, 0, 0, 0.5f), {0, 2, 4}},
        {box(1, 1, 1, 2, 2, 2), {0, 2, 4}},  // touching counts
        {box(1.01f, 0.5f, 1.01f, 2, 0.9f, 2), {2, 4}},
        {cube(202, 0, 0, 0.5f), {1, 2, 4}},
        {box(-1e6f, -1e6f, -1e6f, 1e6f, 1e6f, 1e6f), {0, 1, 2, 3, 4, 5}},
        {cube(1000, 100, 0, 10), {}},
        {cube(1029, 29, 29, 0.5f), {3}},
        {cube(2949, 349, 299, 0.5f), {5}},
        {box(1500, 0, 0, 1749, 1, 1), {4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.expected));
        EXPECT_EQ(in_box(c.query), c.expected);
    }
}

TEST_F(spatialhash_test, removed_items_are_not_found_and_moved_items_are_found_where_they_are)
{
    ASSERT_TRUE(hash_.insert(item(0), cube(0, 0, 0, 1)));
    ASSERT_TRUE(hash_.insert(item(1), cube(10, 0, 0, 1)));
    ASSERT_TRUE(hash_.insert(item(2), cube(10, 0, 0, 150)));
    EXPECT_TRUE(hash_.remove(item(1)));
    EXPECT_FALSE(hash_.remove(item(1)));
    EXPECT_EQ(in_box(cube(10, 0, 0, 0.5f)), (std::vector<int>{2}));

    ASSERT_TRUE(hash_.update(item(0), cube(5000, 0, 0, 1)));
    ASSERT_TRUE(hash_.update(item(2), cube(5000, 0, 0, 300)));  // grows into another level
    EXPECT_EQ(in_box(cube(0, 0, 0, 2)), (std::vector<int>{}));
    EXPECT_EQ(in_box(cube(5000, 0, 0, 2)), (std::vector<int>{0, 2}));
    EXPECT_EQ(hash_.count(), 2u);
    EXPECT_EQ(hash_.box_of(item(0))->min[0], 4999.0f);
    EXPECT_EQ(hash_.box_of(item(1)), nullptr);

    hash_.clear();
    EXPECT_EQ(in_box(cube(5000, 0, 0, 2)), (std::vector<int>{}));
    EXPECT_FALSE(hash_.contains(item(0)));
}

TEST_F(spatialhash_test, bad_boxes_and_double_entries_are_refused)
{
    ASSERT_TRUE(hash_.insert(item(0), cube(0, 0, 0, 1)));
    EXPECT_FALSE(hash_.insert(item(0), cube(5, 0, 0, 1)));
    EXPECT_FALSE(hash_.insert(item(1), box(1, 0, 0, 0, 1, 1)));
    EXPECT_FALSE(hash_.insert(item(1), box(NAN, 0, 0, 0, 1, 1)));
    EXPECT_FALSE(hash_.update(item(0), box(0, NAN, 0, 1, 1, 1)));
    EXPECT_FALSE(hash_.update(item(1), cube(0, 0, 0, 1)));
    EXPECT_EQ(engine_log_matching("spatialhash_t").size(), 5u);
    EXPECT_EQ(in_box(cube(0, 0, 0, 0.5f)), (std::vector<int>{0}));  // kept its old box
    EXPECT_EQ(in_box(box(1, 0, 0, 0, 1, 1)), (std::vector<int>{}));
    EXPECT_TRUE(hash_.insert(item(2), box(-INFINITY, -1, -1, INFINITY, 1, 1)));
    EXPECT_EQ(in_box(cube(1e30f, 0, 0, 1)), (std::vector<int>{2}));
}

TEST_F(spatialhash_test, ray_query_finds_the_boxes_the_segment_meets)
{
    ASSERT_TRUE(hash_.insert(item(0), cube(0, 0, 0, 1)));
    ASSERT_TRUE(hash_.insert(item(1), cube(100, 0, 0, 1)));
    ASSERT_TRUE(hash_.insert(item(2), cube(100, 50, 0, 1)));
    ASSERT_TRUE(hash_.insert(item(3), cube(2000, 2000, 2000, 500)));
    ASSERT_TRUE(hash_.insert(item(4), box(-1e7f, -11, -1e7f, 1e7f, -10, 1e7f)));  // the ground, aside
    const struct {
        float from[3];
        float to[3];
        std::vector<int> expected;
    } cases[] = {
        {{-50, 0, 0}, {150, 0, 0}, {0, 1}},      {{-50, 0.5f, 0.5f}, {50, 0.5f, 0.5f}, {0}},
        {{-50, 0, 0}, {-2, 0, 0}, {}},            // stops short
        {{-50, 0, 0}, {-1, 0, 0}, {0}},           // ends on the face
        {{0, 100, 0}, {200, 0, 0}, {2}},          // diagonal, through item 2's cell only
        {{0, 0, 0}, {0, -100, 0}, {0, 4}},        // straight down to the ground
        {{0, 0, 0}, {4000, 4000, 4000}, {0, 3}},  // long diagonal
        {{100, 50, 0}, {100, 50, 0}, {2}},        // a point
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.expected));
        EXPECT_EQ(on_ray(c.from[0], c.from[1], c.from[2], c.to[0], c.to[1], c.to[2]), c.expected);
    }
}

TEST(spatialhash, bad_parameters_still_give_a_working_hash)
{
    spatialhash_t hash(0.0f, 8.0f, 4, 3.0f);
    int a = 0;
    ASSERT_TRUE(hash.insert(&a, spatial_box_t{{0, 0, 0}, {1, 1, 1}}));
    std::vector<void*> found;
    EXPECT_EQ(hash.query(spatial_box_t{{0.5f, 0.5f, 0.5f}, {3, 3, 3}}, found), 1u);
}

}  // namespace
