#include <gtest/gtest.h>

#include "../frame/frame_fixture.h"
#include "../physics/grid_mesh.h"
#include "engine/entity_reg.h"
#include "engine/process.h"
#include "common/cache_lists.h"
#include "frame/world_process.h"
#include "frame/world_types.h"
#include "world/decal_cache.h"
#include "world/decals_wrap.h"

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

}  // namespace
