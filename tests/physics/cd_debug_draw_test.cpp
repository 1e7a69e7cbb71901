#include "physics/cd_debug_draw.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/gfx_record.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"
#include "grid_mesh.h"
#include "physics/cd_geo_box.h"

namespace {

class cd_debug_draw_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
        gfx_record_set_all_visible(true);
    }
    void TearDown() override
    {
        gfx_record_set_all_visible(false);
        engine_test_t::TearDown();
    }

    // Lines drawn so far, counted by colour.
    static std::map<uint32_t, int> lines_by_colour()
    {
        std::map<uint32_t, int> counts;
        for (const gfx_recorded_line_t& line : gfx_record_current().lines)
            ++counts[line.colour];
        return counts;
    }
};

constexpr uint32_t root_colour = 0xff00008f;
constexpr uint32_t depth_1_colour = 0xff008f00;
constexpr uint32_t triangle_colour = 0xff0000ff;

TEST_F(cd_debug_draw_test, a_box_draws_its_leaf_box_and_twelve_triangles_in_its_own_frame)
{
    cd_geo_box_t box({100.0f, 100.0f, 100.0f}, nullptr, -1, -1);
    box.set_position({1000.0f, 0.0f, 0.0f});
    cd_geo_box_t::debug_draw(&box, nullptr, 0, 8, false);

    EXPECT_EQ(lines_by_colour(), (std::map<uint32_t, int>{{root_colour, 12}, {triangle_colour, 36}}));
    float smallest_x = 1e9f, largest_x = -1e9f;
    for (const gfx_recorded_line_t& line : gfx_record_current().lines) {
        smallest_x = std::min({smallest_x, line.from[0], line.to[0]});
        largest_x = std::max({largest_x, line.from[0], line.to[0]});
    }
    // The leaf is widened by 1 on every side; the frame moves it to the box's position.
    EXPECT_FLOAT_EQ(smallest_x, 949.0f);
    EXPECT_FLOAT_EQ(largest_x, 1051.0f);
    EXPECT_EQ(gfx_record_world_depth(), 1) << "the geometry's frame is popped again";

    cd_geo_box_t::debug_draw(&box, nullptr, 0, 8, true);
    EXPECT_EQ(lines_by_colour()[triangle_colour], 36 + 36 + 12) << "each triangle adds its normal";
}

TEST_F(cd_debug_draw_test, depths_colour_the_nodes_and_the_range_limits_the_walk)
{
    grid_mesh_t grid(4, 4, 100.0f, 0.0f, 8);  // 32 triangles in leaves of at most 8: depth 0 to 2
    cd_geo_box_t::debug_draw(&grid, nullptr, 1, 1, false);
    std::map<uint32_t, int> counts = lines_by_colour();
    EXPECT_EQ(counts.count(root_colour), 0u) << "depth 0 is outside the range";
    EXPECT_EQ(counts[depth_1_colour], 24) << "two nodes at depth 1";
    EXPECT_EQ(counts.count(triangle_colour), 0u) << "the leaves lie deeper than the range";
    EXPECT_EQ(grid.trees_out, 0) << "the tree is given back";

    cd_geo_box_t::debug_draw(&grid, nullptr, 0, 99, false);
    EXPECT_EQ(lines_by_colour()[triangle_colour], 32 * 3) << "every triangle once";
}

TEST_F(cd_debug_draw_test, the_radius_draws_only_the_part_of_the_tree_near_the_point)
{
    grid_mesh_t grid(4, 4, 100.0f, 0.0f, 2);
    grid.set_position({0.0f, 0.0f, 5000.0f});
    cd_debug_draw_box(&grid, {0.0f, 0.0f, 0.0f}, 100.0f, false);
    EXPECT_TRUE(gfx_record_current().lines.empty()) << "the point is 50 m from the grid";

    cd_debug_draw_box(&grid, {50.0f, 0.0f, 5050.0f}, 10.0f, false);
    const int near_triangles = lines_by_colour()[triangle_colour] / 3;
    EXPECT_GT(near_triangles, 0);
    EXPECT_LT(near_triangles, 32) << "the far corners of the grid are left out";
}

}  // namespace
