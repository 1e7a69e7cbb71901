#include <gtest/gtest.h>

#include "../frame/frame_fixture.h"
#include "../physics/grid_mesh.h"
#include "engine/entity_reg.h"
#include "engine/process.h"
#include "common/cache_lists.h"
#include "common/decal_store.h"
#include "frame/world_process.h"
#include "frame/world_types.h"
#include "world/decal_cache.h"
#include "world/decals_plain.h"
#include "world/decals_pmd.h"
#include "world/decals_wrap.h"
#include "world/decals_wrap_placer.h"

namespace {

// A world with a 1000 x 1000 ground grid in its physics and the decal cache as its store.
class decals_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        if (!entity_find_type("decals.wrap"))
            register_world_types();
        decal_cache_install();
        write_data_file("scripts/decals/spot.esc",
                        "entity decals.wrap { x_scale = 100; y_scale = 100; type_class = 2; }\n");
        world_ = new world_process_t;
        process_add(world_, nullptr, -1, 0);
        world_->lock();
        world_->physics().insert_geom(&ground_);
    }
    void TearDown() override
    {
        world_->physics().remove_geom(&ground_);
        world_->teardown();
        world_->unlock();
        world_test_t::TearDown();
    }

    // Shoots the spot decal straight down at (x, z).
    c_item_t* shoot(float x, float z, int keep = 0, const char* script = "/scripts/decals/spot.esc")
    {
        return decal_cache().place(world_, {x, 100.0f, z}, {x, -100.0f, z}, solid_, script, params_, keep, -1.0f);
    }
    static decals_wrap_e* wrap(c_item_t* item)
    {
        return dynamic_cast<decals_wrap_e*>(static_cast<entity_t*>(item->object));
    }

    grid_mesh_t ground_{10, 10, 100.0f, 1.0f, 4};
    world_process_t* world_ = nullptr;
    decal_params_t params_;
    const phys_pair_t solid_{phys_pair_all_solid, 0};
};

TEST_F(decals_test, a_wrap_decal_lies_where_the_ray_meets_the_ground_cut_to_its_size)
{
    c_item_t* item = shoot(450.0f, 430.0f);
    ASSERT_NE(item, nullptr);
    const decals_wrap_e* decal = wrap(item);
    ASSERT_EQ(decal->instances().size(), 1u);
    const wrap_instance_t& spot = decal->instances().front();
    EXPECT_EQ(spot.geometry, &ground_);
    EXPECT_EQ(ground_.use_count, 2u) << "the instance holds a use of its geometry";
    ASSERT_GE(spot.positions.size(), 3u);
    for (const vec3_t& p : spot.positions) {
        EXPECT_NEAR(p.y, 0.0f, 1e-3f);
        EXPECT_LE(std::fabs(p.x - 450.0f), 50.0f + 1e-3f);
        EXPECT_LE(std::fabs(p.z - 430.0f), 50.0f + 1e-3f);
    }
    EXPECT_NEAR(spot.origin.x, 450.0f, 1e-2f);
    EXPECT_NEAR(spot.origin.z, 430.0f, 1e-2f);
    EXPECT_EQ(cache_list_length(2), 1);

    EXPECT_EQ(shoot(200.0f, 200.0f), item) << "the same script reuses its decal";
    EXPECT_EQ(decal->instances().size(), 2u);
    EXPECT_EQ(cache_list_length(2), 2);
}

TEST_F(decals_test, nothing_is_placed_for_a_missed_ray_or_a_missing_script)
{
    EXPECT_EQ(shoot(5000.0f, 5000.0f), nullptr);
    EXPECT_EQ(shoot(500.0f, 500.0f, 0, "/scripts/decals/none.esc"), nullptr);
    EXPECT_TRUE(engine_log_has("decal script /scripts/decals/none.esc cannot be loaded"));
    EXPECT_EQ(ground_.use_count, 1u);
}

TEST_F(decals_test, a_full_class_loses_its_oldest_instance_but_never_a_kept_one)
{
    cache_list_set_capacity(2, 2);
    c_item_t* item = shoot(150.0f, 150.0f, 1);  // kept
    shoot(350.0f, 350.0f);
    shoot(550.0f, 550.0f);
    shoot(750.0f, 750.0f);
    const decals_wrap_e* decal = wrap(item);
    ASSERT_EQ(decal->instances().size(), 2u);
    EXPECT_NEAR(decal->instances()[0].origin.x, 150.0f, 1e-2f) << "the kept one stays";
    EXPECT_TRUE(decal->instances()[0].keep);
    EXPECT_NEAR(decal->instances()[1].origin.x, 750.0f, 1e-2f) << "350 and 550 went, oldest first";
    EXPECT_EQ(ground_.use_count, 3u);
}

TEST_F(decals_test, removing_the_oldest_of_kept_instances_only_refuses)
{
    c_item_t* item = shoot(150.0f, 150.0f, 1);
    shoot(350.0f, 350.0f, 1);
    decals_wrap_e* decal = wrap(item);
    EXPECT_FALSE(decal->remove_oldest(1));
    EXPECT_EQ(decal->instances().size(), 2u);
    EXPECT_LT(decal->life(), 0.0f) << "still alive";
}

TEST_F(decals_test, the_class_limit_holds_with_several_decals_and_a_kept_one_in_front)
{
    write_data_file("scripts/decals/other.esc",
                    "entity decals.wrap { x_scale = 100; y_scale = 100; type_class = 2; }\n");
    cache_list_set_capacity(2, 3);
    c_item_t* kept = shoot(150.0f, 150.0f, 1);
    shoot(250.0f, 250.0f, 1);  // the spot decal stands twice at the front, both kept
    c_item_t* other = nullptr;
    for (int i = 0; i < 5; ++i)
        other = shoot(350.0f + 100.0f * i, 350.0f, 0, "/scripts/decals/other.esc");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(wrap(kept)->instances().size(), 2u);
    EXPECT_EQ(wrap(other)->instances().size(), 1u) << "the other decal's oldest went though the kept ones came first";
    EXPECT_LE(cache_list_length(2), 3);
}

TEST_F(decals_test, long_script_names_that_begin_alike_are_two_decals)
{
    const std::string stem = "/scripts/decals/" + std::string(60, 'a');
    write_data_file(stem.substr(1) + "1.esc", "entity decals.wrap { x_scale = 100; y_scale = 100; }\n");
    write_data_file(stem.substr(1) + "2.esc", "entity decals.wrap { x_scale = 50; y_scale = 50; }\n");
    c_item_t* first = shoot(450.0f, 450.0f, 0, (stem + "1.esc").c_str());
    c_item_t* second = shoot(450.0f, 450.0f, 0, (stem + "2.esc").c_str());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_FLOAT_EQ(wrap(second)->x_scale, 50.0f);
}

TEST_F(decals_test, a_decal_cleared_when_its_last_instance_went_lives_on_when_placed_again)
{
    cache_list_set_capacity(2, 1);
    c_item_t* item = shoot(150.0f, 150.0f);
    EXPECT_EQ(shoot(350.0f, 350.0f), item) << "the only instance was trimmed: the decal was cleared";
    EXPECT_LT(wrap(item)->life(), 0.0f) << "placed again, it does not destroy itself with its new instance";
    EXPECT_EQ(wrap(item)->instances().size(), 1u);
}

TEST_F(decals_test, more_points_than_sixteen_bit_indices_can_number_are_cut_to_what_they_can)
{
    decals_wrap_e decal;
    decal.max_points = 100000;
    decal.update_block_size();
    EXPECT_EQ(decal.max_points, decals_wrap_e::max_point_count);
}

// A ground of collision-only triangles (as the road's invisible walls): no wrap or plain decal is laid
// on it.
class hidden_ground_t : public grid_mesh_t {
public:
    using grid_mesh_t::grid_mesh_t;
    void get_item(cd_item_t& item, int redirect) override
    {
        grid_mesh_t::get_item(item, redirect);
        item.drawn = false;
    }
};

TEST_F(decals_test, no_decal_is_laid_on_triangles_the_world_does_not_draw)
{
    world_->physics().remove_geom(&ground_);
    hidden_ground_t hidden{10, 10, 100.0f, 1.0f, 4};
    world_->physics().insert_geom(&hidden);
    write_data_file("scripts/decals/plain.esc", "entity decals.plain { x_scale = 100; y_scale = 100; }\n");
    EXPECT_EQ(shoot(450.0f, 430.0f), nullptr);
    EXPECT_EQ(decal_cache().place(world_, {450, 100, 430}, {450, -100, 430}, solid_, "/scripts/decals/plain.esc",
                                  params_, 0, 50.0f),
              nullptr);
    EXPECT_EQ(hidden.use_count, 1u) << "no instance holds the geometry";
    world_->physics().remove_geom(&hidden);
    world_->physics().insert_geom(&ground_);
}

TEST_F(decals_test, a_plain_decal_spread_over_a_box_finds_the_triangle_under_the_hit)
{
    write_data_file("scripts/decals/plain.esc", "entity decals.plain { x_scale = 100; y_scale = 100; }\n");
    c_item_t* item = decal_cache().place(world_, {450, 100, 430}, {450, -100, 430}, solid_, "/scripts/decals/plain.esc",
                                         params_, 0, 50.0f);
    ASSERT_NE(item, nullptr);
    const auto* plain = dynamic_cast<decals_plain_e*>(static_cast<entity_t*>(item->object));
    ASSERT_EQ(plain->instances().size(), 1u);
    EXPECT_GE(plain->instances().front().positions.size(), 3u);
}

TEST_F(decals_test, model_decals_turn_at_random_about_the_axes_named_and_keep_their_kept_ones)
{
    write_data_file("scripts/decals/stone.esc", "entity decals.pmd { rand_rotation = \"xZ\"; type_class = 3; }\n");
    c_item_t* item = shoot(450.0f, 450.0f, 1, "/scripts/decals/stone.esc");
    shoot(650.0f, 450.0f, 0, "/scripts/decals/stone.esc");
    ASSERT_NE(item, nullptr);
    auto* model = dynamic_cast<decals_pmd_e*>(static_cast<entity_t*>(item->object));
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->random_axes(), decals_pmd_e::random_x | decals_pmd_e::random_z);
    ASSERT_EQ(model->instances().size(), 2u);
    EXPECT_EQ(model->instances()[0].extra.y, 0.0f);
    EXPECT_NEAR(model->instances()[0].offset.x, 450.0f, 1e-2f);
    EXPECT_TRUE(model->remove_oldest(1));
    ASSERT_EQ(model->instances().size(), 1u);
    EXPECT_TRUE(model->instances()[0].keep) << "the kept one stays, the other went";
}

TEST_F(decals_test, a_placer_scatters_the_same_kept_decals_every_load)
{
    write_data_file("scripts/test/placer.esc",
                    "entity decals.wrap.placer { position = \"450 100 450\"; project_direction = \"450 -100 450\"; "
                    "fluctuation = \"10 10 0\"; decal_count = 3; decal_script = \"/scripts/decals/spot.esc\"; }\n");
    write_data_file("scripts/test/none.esc",
                    "entity decals.wrap.placer { decal_count = 0; decal_script = \"/scripts/decals/spot.esc\"; }\n");
    ASSERT_TRUE(world_->init_eblock(world_->eblock_from_name("/scripts/test/none.esc")));
    const std::string key = std::to_string(world_->world_serial()) + "|/scripts/decals/spot.esc";
    EXPECT_EQ(decal_cache().find(key), nullptr) << "a count of 0 places nothing";
    for (int load = 0; load < 2; ++load)
        ASSERT_TRUE(world_->init_eblock(world_->eblock_from_name("/scripts/test/placer.esc")));
    c_item_t* item = decal_cache().find(key);
    ASSERT_NE(item, nullptr);
    const decals_wrap_e* decal = wrap(item);
    ASSERT_EQ(decal->instances().size(), 6u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(decal->instances()[i].keep);
        EXPECT_EQ(decal->instances()[i].origin, decal->instances()[i + 3].origin) << "the same seed, the same scatter";
    }
}

TEST_F(decals_test, a_decal_placed_afresh_every_frame_lasts_one_frame_and_leaves_the_tracks_of_its_class)
{
    write_data_file("scripts/decals/track.esc",
                    "entity decals.wrap { x_scale = 100; y_scale = 100; type_class = 2; }\n");
    cache_list_set_capacity(2, 8);
    c_item_t* track = nullptr;
    for (int i = 0; i < 5; ++i)
        track = shoot(150.0f + 100.0f * i, 150.0f, 0, "/scripts/decals/track.esc");
    ASSERT_NE(track, nullptr);
    // A shadow moving over the ground, placed in each frame's draw and refreshed once the frame is drawn.
    c_item_t* shadow = nullptr;
    for (int frame = 0; frame < 300; ++frame) {
        shadow = shoot(100.0f + 2.0f * static_cast<float>(frame), 600.0f);
        ASSERT_NE(shadow, nullptr);
        ASSERT_EQ(wrap(shadow)->instances().size(), 1u) << "frame " << frame << ": only this frame's shadow";
        cache_item_refresh(shadow);
    }
    EXPECT_TRUE(wrap(shadow)->instances().empty());
    EXPECT_EQ(wrap(track)->instances().size(), 5u) << "the tracks were never pushed out";
    EXPECT_EQ(cache_list_length(2), 5);
    EXPECT_EQ(shoot(500.0f, 500.0f), shadow) << "the shadow's decal takes the next frame's placement";
    EXPECT_LT(wrap(shadow)->life(), 0.0f);
}

}  // namespace
