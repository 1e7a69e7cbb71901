#include <string>

#include "../frame/frame_fixture.h"
#include "engine/command_line.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/type_registry.h"
#include "frame/world_process.h"
#include "road/game_ctrl.h"
#include "road/map_file.h"
#include "physics/cd_geo_box.h"
#include "physics/contact_kind.h"

namespace {

using game_ctrl_world_test = world_test_t;

TEST_F(game_ctrl_world_test, a_controller_made_with_its_game_world_collides_in_that_worlds_physics)
{
    const entity_reg_t* const rows = entity_type_rows();
    for (int i = 0; i < entity_type_row_count(); ++i)
        if (std::string(rows[i].type_name) == "game.ctrl" && !entity_find_type("game.ctrl"))
            entity_register(&rows[i]);
    write_data_file("scripts/game/game.esc", "entity game.ctrl { }\n");
    road_network_t map;
    map.add_node({});
    ASSERT_GT(map_file_save(map, "/maps/one.mbd"), 0);

    cdl_set({"kavrenta", "-map", "one"});
    ASSERT_NE(game_process_t::create_and_start(), nullptr);
    engine_run_frames(1, 0.02);
    game_bridge_t* const bridge = get_game_bridge();
    ASSERT_NE(bridge, nullptr);
    auto* const ctrl = dynamic_cast<game_ctrl_e*>(bridge->base_ctrl().resolve());
    ASSERT_NE(ctrl, nullptr);
    // The controller was made before its world took it in; the road went into that world all the same.
    ASSERT_NE(ctrl->get_road_geo(), nullptr);
    auto* const world = dynamic_cast<world_process_t*>(game_process_t::instance()->world());
    ASSERT_NE(world, nullptr);
    const physproc_t& physics = world->physics();
    bool inserted = physics.in_hash(ctrl->get_road_geo());
    for (cd_geo_t* const geometry : physics.unbounded_geoms())
        inserted = inserted || geometry == ctrl->get_road_geo();
    EXPECT_TRUE(inserted);
    EXPECT_EQ(ctrl->seg_server->physics(), &world->physics());
    EXPECT_EQ(ctrl->seg_server->pool_ground, ctrl->get_road_geo());

    // The ground test sees the static world within 3000 below a point, and nothing that moves.
    cd_geo_box_t ground({1000.0f, 100.0f, 1000.0f}, nullptr, -1, -1);
    ground.set_position({0.0f, -50.0f, 0.0f});
    cd_geo_box_t truck({300.0f, 100.0f, 300.0f}, nullptr, -1, -1);
    truck.set_position({0.0f, 200.0f, 0.0f});
    contact_owner_t truck_owner{0, contact_kind_vehicle, 0.0f};
    truck.owner_record = &truck_owner;
    phys_insert_geom(&world->physics(), &ground);
    phys_insert_geom(&world->physics(), &truck);
    vec3_t found{1.0f, 2.0f, 3.0f};
    EXPECT_TRUE(ctrl->find_ground({0.0f, 2900.0f, 0.0f}, found)) << "through the truck, onto the ground";
    EXPECT_NEAR(found.y, 0.0f, 0.5f);
    EXPECT_NEAR(found.x, 0.0f, 0.5f);
    const vec3_t kept = found;
    EXPECT_FALSE(ctrl->find_ground({0.0f, 3100.0f, 0.0f}, found)) << "the ground lies beyond the reach";
    EXPECT_FALSE(ctrl->find_ground({5000.0f, 500.0f, 0.0f}, found)) << "nothing below";
    EXPECT_EQ(found, kept) << "a miss leaves the point alone";
    phys_remove_geom(&world->physics(), &truck);
    phys_remove_geom(&world->physics(), &ground);
}

}  // namespace
