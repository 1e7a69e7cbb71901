#include <cstring>

#include "physics/cd_geo_mesh.h"
#include "physics/contact_owner.h"
#include "physics/physproc.h"
#include "road/seg_server.h"
#include "seg_fixture.h"

namespace {

// A server whose city-block look "town" has the kinds 1000 and 1500 wide, and a block record.
class city_block_test : public seg_test_t {
protected:
    void SetUp() override
    {
        seg_test_t::SetUp();
        server.cityblock_models.resize(2);
        server.cityblock_models[0].width = 1000;
        server.cityblock_models[1].width = 1500;
        server.cityblock_looks.resize(1);
        cityblock_look_t& look = server.cityblock_looks[0];
        look.kind_count = 2;
        look.kinds[0] = {0, {}, 0.5f};
        look.kinds[1] = {1, {}, 0.5f};
        block = map_cityblock_t{};
        block.seed = 42;
    }
    // Makes the block the square of side `side` (a closed outline).
    void square(const float side)
    {
        block.point_count = 4;
        block.points[0] = {0.0f, 0.0f, 0.0f};
        block.points[1] = {side, 0.0f, 0.0f};
        block.points[2] = {side, 0.0f, side};
        block.points[3] = {0.0f, 0.0f, side};
    }

    seg_server_t server;
    map_cityblock_t block;
};

TEST_F(city_block_test, a_block_is_built_once_the_same_every_time_and_freed_by_its_last_user)
{
    square(20000.0f);
    city_block_instance_t* const first = server.acquire_city_block(3, block);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(block.instance, 1u);
    EXPECT_GT(first->building_count, 4);
    EXPECT_EQ(first->side_boxes.size(), 32u);
    EXPECT_EQ(first->indices.size(), 6u + 4 * 24);
    EXPECT_EQ(server.acquire_city_block(3, block), first);
    EXPECT_EQ(first->references, 2);
    city_block_instance_t copy = *first;
    server.release_city_block(block);
    EXPECT_EQ(block.instance, 1u);
    server.release_city_block(block);
    EXPECT_EQ(block.instance, 0u);
    EXPECT_EQ(server.city_blocks[0], nullptr);
    // Built anew from the same seed: the same kinds in the same places.
    city_block_instance_t* const again = server.acquire_city_block(3, block);
    ASSERT_EQ(again->building_count, copy.building_count);
    for (int32_t i = 0; i < copy.building_count; ++i) {
        EXPECT_EQ(again->kinds[i], copy.kinds[i]);
        EXPECT_EQ(again->positions[i], copy.positions[i]);
    }
}

TEST_F(city_block_test, a_side_is_filled_exactly_by_stretching_its_buildings)
{
    // The square's sides meet at right angles: each side starts at its corner and leaves 2000 free.
    square(7200.0f);
    const city_block_instance_t* const built = server.acquire_city_block(0, block);
    ASSERT_GT(built->building_count, 0);
    float filled = 0.0f;
    int32_t on_first_side = 0;
    // The first side's buildings stand along z = 0 short of the second side's corner at x = 7200.
    for (int32_t i = 0; i < built->building_count && built->positions[i].x < 7000.0f; ++i, ++on_first_side)
        filled += built->stretch[i] * static_cast<float>(server.cityblock_models[built->kinds[i]].width);
    EXPECT_GT(on_first_side, 0);
    EXPECT_NEAR(filled, 5200.0f, 0.5f);
    EXPECT_FLOAT_EQ(built->positions[0].x, 0.0f);
}

TEST_F(city_block_test, outlines_that_cannot_be_built_are_refused_or_kept_finite)
{
    // Open lines along a straight street: the collinear sides make no corner and no infinite inset.
    block.point_count = 6;
    for (int i = 0; i < 6; ++i)
        block.points[i] = {3000.0f * static_cast<float>(i), 0.0f, 0.0f};
    const city_block_instance_t* built = server.acquire_city_block(0, block);
    ASSERT_GT(built->building_count, 0);
    for (int32_t i = 0; i < built->building_count; ++i)
        EXPECT_TRUE(std::isfinite(built->positions[i].x) && std::isfinite(built->stretch[i])) << i;
    EXPECT_TRUE(built->indices.size() == 6u + 3 * 24);
    server.release_city_block(block);
    // Too many points, or a look the server does not hold: no buildings, reported.
    block.point_count = 15;
    EXPECT_EQ(server.acquire_city_block(1, block)->building_count, 0);
    server.release_city_block(block);
    square(9000.0f);
    block.definition = 4;
    EXPECT_EQ(server.acquire_city_block(2, block)->building_count, 0);
    EXPECT_EQ(engine_log_matching("has 15 outline points").size(), 1u);
    EXPECT_EQ(engine_log_matching("names look 4").size(), 1u);
}

TEST_F(city_block_test, short_and_folded_outlines_read_only_their_own_points)
{
    // Fewer than four points: no ground quad, and the corners past the outline are not read.
    for (int32_t n = 1; n <= 3; ++n) {
        block = map_cityblock_t{};
        block.point_count = n;
        for (int i = 0; i < map_cityblock_table_size; ++i)
            block.points[i] = {1.0e30f, 1.0e30f, 1.0e30f};
        for (int i = 0; i < n; ++i)
            block.points[i] = {5000.0f * static_cast<float>(i), 0.0f, 0.0f};
        const city_block_instance_t* built = server.acquire_city_block(n, block);
        EXPECT_EQ(built->indices.size() % 24, 0u) << n;
        for (int i = n; i < 4; ++i)
            EXPECT_EQ(built->corners[i], vec3_t{}) << n;
        server.release_city_block(block);
    }
    // A closed outline with a straight corner and one folded back on itself stays finite.
    block = map_cityblock_t{};
    block.point_count = 4;
    block.points[0] = {0.0f, 0.0f, 0.0f};
    block.points[1] = {9000.0f, 0.0f, 0.0f};
    block.points[2] = {18000.0f, 0.0f, 0.0f};
    block.points[3] = {9000.0f, 0.0f, 0.0f};
    const city_block_instance_t* built = server.acquire_city_block(0, block);
    for (int32_t i = 0; i < built->building_count; ++i)
        EXPECT_TRUE(std::isfinite(built->positions[i].x) && std::isfinite(built->stretch[i])) << i;
    for (const vec3_t& v : built->side_boxes)
        EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.z));
}

TEST_F(city_block_test, a_block_never_holds_more_than_128_buildings)
{
    server.cityblock_models[0].width = 10;
    server.cityblock_models[1].width = 10;
    square(20000.0f);
    EXPECT_EQ(server.acquire_city_block(0, block)->building_count, city_block_max_buildings);
}

TEST_F(city_block_test, in_a_world_with_physics_a_block_collides_while_it_is_built)
{
    physproc_t physics;
    contact_owner_t owner{7, -200, 0.0f};
    square(9000.0f);
    // A block built before the physics came gets its mesh then.
    city_block_instance_t* built = server.acquire_city_block(0, block);
    EXPECT_EQ(built->collision, nullptr);
    server.set_physics(&physics, &owner);
    ASSERT_NE(built->collision, nullptr);
    EXPECT_EQ(physics.static_geoms().count(), 1u);
    EXPECT_EQ(built->collision->owner_record, &owner);
    // The ground quad and four side boxes: 4 + 8 * 4 vertices, 2 + 8 * 4 triangles; the first side's
    // box is of one material, the further sides' front pair of another.
    EXPECT_EQ(built->collision_vertices.size(), 36u);
    ASSERT_EQ(built->collision_materials.size(), 34u);
    EXPECT_EQ(built->collision_materials[0], 3);
    EXPECT_EQ(built->collision_materials[2], 5);
    EXPECT_EQ(built->collision_materials[10], 4);
    EXPECT_EQ(built->collision_materials[12], 5);
    // A second user shares it; the last one takes it out of the physics.
    server.acquire_city_block(0, block);
    server.release_city_block(block);
    EXPECT_EQ(physics.static_geoms().count(), 1u);
    server.release_city_block(block);
    EXPECT_EQ(physics.static_geoms().count(), 0u);
    // Without physics again, a block is built without a mesh.
    server.set_physics(nullptr, nullptr);
    EXPECT_EQ(server.acquire_city_block(0, block)->collision, nullptr);
}

}  // namespace
