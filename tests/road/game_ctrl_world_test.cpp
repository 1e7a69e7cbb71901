#include <string>

#include "../frame/frame_fixture.h"
#include "engine/command_line.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/type_registry.h"
#include "frame/world_process.h"
#include "road/game_ctrl.h"
#include "road/map_file.h"

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
    ASSERT_NE(ctrl->road_geo, nullptr);
    auto* const world = dynamic_cast<world_process_t*>(game_process_t::instance()->world());
    ASSERT_NE(world, nullptr);
    const physproc_t& physics = world->physics();
    bool inserted = physics.in_hash(ctrl->road_geo.get());
    for (cd_geo_t* const geometry : physics.unbounded_geoms())
        inserted = inserted || geometry == ctrl->road_geo.get();
    EXPECT_TRUE(inserted);
    EXPECT_EQ(ctrl->seg_server->physics(), &world->physics());
    EXPECT_EQ(ctrl->seg_server->pool_ground, ctrl->road_geo.get());
}

}  // namespace
