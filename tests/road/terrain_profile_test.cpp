#include "road/terrain_profile.h"

#include <cmath>

#include "road/map_edge.h"
#include "road/noise.h"
#include "road/road_section_split.h"
#include "road_fixture.h"

namespace {

class terrain_profile_test : public road_test_t {
protected:
    void SetUp() override
    {
        road_test_t::SetUp();
        ASSERT_TRUE(noise_tables_build());
    }
    void TearDown() override
    {
        noise_tables_free();
        road_test_t::TearDown();
    }

    // An edge with height scale 1 on both sides, first noise row 10 and flag word `flags`.
    static map_edge_t edge_with(const uint32_t flags)
    {
        map_edge_t edge{};
        edge.flags = flags;
        edge.noise_row = 10;
        edge.sides[0].height_scale = edge.sides[1].height_scale = 1.0f;
        return edge;
    }

    float own_heights[terrain_profile_columns];
    float other_heights[terrain_profile_columns];
};

TEST(terrain_falloff, the_weight_rises_from_zero_to_one_across_the_zone)
{
    EXPECT_EQ(terrain_falloff_weight(0, 16, 8), 0.0f);
    EXPECT_FLOAT_EQ(terrain_falloff_weight(8, 16, 8), 0.5f);
    EXPECT_FLOAT_EQ(terrain_falloff_weight(11, 16, 8), 1.0f / (1.0f + std::exp(-3.0f)));
    // Row 12 gives 0.982, which is taken as the edge's own height alone.
    EXPECT_EQ(terrain_falloff_weight(12, 16, 8), 1.0f);
    EXPECT_EQ(terrain_falloff_weight(15, 16, 8), 1.0f);
    EXPECT_EQ(terrain_falloff_weight(40, 16, 8), 1.0f);
}

TEST(road_section_split, pieces_cover_every_row_once)
{
    struct case_t {
        int64_t bytes;
        int32_t rows, pieces, per, last;
    };
    const case_t cases[] = {
        {5 * 55296, 10, 5, 2, 2},    // six planned, five needed
        {2 * 55296, 10, 3, 4, 2},    // three planned: 4, 4, 2
        {0, 10, 1, 11, 10},          // one piece takes every row
        {19 * 55296, 10, 10, 1, 1},  // more planned than rows: one row each
        {0, 0, 1, 2, 1},             // an edge always has a row
    };
    for (const case_t& c : cases) {
        const road_section_split_t split = road_section_split(c.bytes, c.rows);
        EXPECT_EQ(split.pieces, c.pieces) << c.bytes << " " << c.rows;
        EXPECT_EQ(split.rows_per_piece, c.per) << c.bytes << " " << c.rows;
        EXPECT_EQ(split.last_rows, c.last) << c.bytes << " " << c.rows;
    }
}

TEST_F(terrain_profile_test, the_flag_word_picks_noise_and_falloff_of_each_side)
{
    struct case_t {
        uint32_t field;
        float amplitude;
        int32_t rows;
    };
    const case_t cases[] = {{0, 200.0f, 16}, {1, 100.0f, 8}, {2, 0.0f, 4}, {3, 0.0f, 8}};
    for (const case_t& c : cases) {
        terrain_profile_t profile;
        profile.setup_cross_section(edge_with(c.field << 4 | c.field << 8 | c.field << 12 | c.field << 16), nullptr,
                                    nullptr);
        for (const terrain_side_t& side : profile.sides) {
            EXPECT_EQ(side.noise_amplitude, c.amplitude) << c.field;
            EXPECT_EQ(side.falloff_rows, c.rows) << c.field;
            EXPECT_EQ(side.falloff_centre, c.rows / 2) << c.field;
        }
        EXPECT_EQ(profile.noise_row, 9);
    }
}

TEST_F(terrain_profile_test, columns_near_the_road_get_half_the_noise)
{
    for (float& height : own_heights)
        height = 0.0f;
    terrain_profile_t profile;
    profile.setup_cross_section(edge_with(0), own_heights, own_heights);
    profile.setup_terrain_falloff(5, 20);
    for (const int32_t column : {1, 3, 4, 32})
        EXPECT_FLOAT_EQ(profile.terrain_height(0, 7, column, false),
                        noise_sample(7, column) * (column < 4 ? 100.0f : 200.0f))
            << column;
    // Outside the profile there is no height at all.
    EXPECT_EQ(profile.terrain_height(0, 7, 0, false), 0.0f);
    EXPECT_EQ(profile.terrain_height(0, 7, 33, false), 0.0f);
}

TEST_F(terrain_profile_test, blends_take_the_neighbours_heights_alone_at_the_ends)
{
    for (int32_t i = 0; i < terrain_profile_columns; ++i) {
        own_heights[i] = 100.0f + static_cast<float>(i);
        other_heights[i] = -50.0f;
    }
    // No noise on either side, so the heights are the profiles' own.
    terrain_profile_t profile;
    profile.setup_cross_section(edge_with(2u << 4 | 2u << 8), own_heights, own_heights);
    profile.set_start_prefab(other_heights, other_heights);
    profile.setup_terrain_falloff(0, 40);
    EXPECT_EQ(profile.sides[0].blend, terrain_blend_start_prefab);
    EXPECT_EQ(profile.terrain_height(0, 0, 5, false), -50.0f);
    // The far end of row 15 is row 16, past the start zone: the edge's own heights.
    profile.setup_terrain_falloff(15, 40);
    EXPECT_EQ(profile.terrain_height(1, 0, 5, true), 104.0f);

    profile.set_end_prefab(other_heights, other_heights);
    profile.setup_terrain_falloff(39, 40);
    EXPECT_EQ(profile.sides[1].blend, terrain_blend_end_prefab);
    EXPECT_EQ(profile.terrain_height(1, 0, 5, false), -50.0f);
    // An end blend wins over a start blend of the same row.
    profile.setup_terrain_falloff(3, 10);
    EXPECT_EQ(profile.sides[0].blend, terrain_blend_end_prefab);
}

TEST_F(terrain_profile_test, two_roads_in_a_row_meet_on_the_same_heights)
{
    for (int32_t i = 0; i < terrain_profile_columns; ++i) {
        own_heights[i] = 10.0f * static_cast<float>(i);
        other_heights[i] = 300.0f - static_cast<float>(i);
    }
    map_edge_t first = edge_with(0);
    map_edge_t second = edge_with(1u << 4);
    second.noise_row = 57;
    second.sides[0].height_scale = 2.0f;
    terrain_profile_t ending;
    ending.setup_cross_section(first, own_heights, own_heights);
    ending.set_end_road(second, other_heights, other_heights);
    ending.setup_terrain_falloff(29, 30);
    EXPECT_EQ(ending.sides[0].blend, terrain_blend_end_road);

    terrain_profile_t starting;
    starting.setup_cross_section(second, other_heights, other_heights);
    starting.setup_terrain_falloff(0, 30);
    for (const int32_t column : {1, 6, 20})
        EXPECT_FLOAT_EQ(ending.terrain_height(0, 39, column, false), starting.terrain_height(0, 57, column, false))
            << column;
}

}  // namespace
