#include <gtest/gtest.h>

#include <filesystem>

#include "engine/command_line.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/traffic_info.h"
#include "common/type_create.h"
#include "common/view_params.h"
#include "frame_fixture.h"
#include "vehicles/traffic/traffic.h"

namespace {

// The services that reach the running game process.
class game_services_test : public world_test_t {
protected:
    game_process_t* start()
    {
        cdl_set({"kavrenta", "-homeless"});
        return game_process_t::create_and_start();
    }
};

TEST_F(game_services_test, view_parameters_are_copied_out_and_in)
{
    gfx_view_t view{};
    EXPECT_FALSE(get_view_params(&view)) << "no game process yet";
    EXPECT_EQ(set_view_params(&view), nullptr);

    game_process_t* game = start();
    ASSERT_TRUE(get_view_params(&view));
    EXPECT_EQ(view.near_plane, game->view().near_plane);
    view.far_plane = 12345.0f;
    view.fov = 55.0f;
    EXPECT_EQ(set_view_params(&view), &view);
    EXPECT_EQ(game->view().far_plane, 12345.0f);
    EXPECT_EQ(game->view().fov, 55.0f);
}

TEST_F(game_services_test, mode_shutdown_and_capabilities_reach_the_game_process)
{
    game_forward::gfx_mode_shutdown();
    game_forward::write_hw_caps(nullptr);
    EXPECT_EQ(engine_log_matching("no game process").size(), 2u);

    game_process_t* game = start();
    gfx_device_t* device = game->current_device();
    ASSERT_NE(device, nullptr);
    game_forward::write_hw_caps(device);
    EXPECT_TRUE(std::filesystem::exists(home_ / "hw_caps.def"));
    game_forward::gfx_mode_shutdown();
    EXPECT_EQ(game->current_device(), nullptr);
}

TEST_F(game_services_test, the_screenshot_command_writes_the_next_drawn_frame)
{
    start();
    ASSERT_TRUE(api::cmd_execute("screenshot"));
    engine_run_frames(2, 1.0 / 60.0);
    EXPECT_TRUE(std::filesystem::exists(home_ / "screenshots" / "aa_00000.png"));
    EXPECT_FALSE(engine_log_matching("screen shot: /screenshots/aa_00000.png").empty());
}

TEST_F(game_services_test, traffic_info_prints_the_counts_of_the_worlds_traffic_and_nothing_without_one)
{
    const size_t lines_before = engine_log_matching("").size();
    g_traffic_info();
    EXPECT_EQ(engine_log_matching("").size(), lines_before) << "no game process";

    start();
    const size_t lines_started = engine_log_matching("").size();
    ASSERT_TRUE(api::cmd_execute("g_traffic_info"));
    EXPECT_EQ(engine_log_matching("").size(), lines_started) << "the menu world has no traffic";

    static const entity_reg_t traffic_type = registered_type<traffic_e>("traffic", 1, destroy_registered);
    if (!entity_find_type("traffic")) {
        ASSERT_TRUE(entity_register(&traffic_type));
    }
    auto* traffic = static_cast<traffic_e*>(entity_create("traffic"));
    ASSERT_NE(traffic, nullptr);
    ASSERT_TRUE(get_game_bridge()->register_traffic(traffic->handle()));
    for (const int32_t road : {4, 9, 13})
        traffic->register_road(road, road * 10, 0, -1);
    traffic->spawned = {1, 2, 3, 4, 5};
    ASSERT_TRUE(api::cmd_execute("g_traffic_info"));
    EXPECT_TRUE(engine_log_has("We have 3 registered roads and 5 of 128 spawned cars"));
    entity_free(traffic);
}

TEST_F(game_services_test, traffic_info_ignores_a_traffic_slot_holding_another_kind_of_entity)
{
    start();
    auto* other = static_cast<entity_t*>(entity_create("test.object"));
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(get_game_bridge()->register_traffic(other->handle()));
    const size_t lines = engine_log_matching("").size();
    g_traffic_info();
    EXPECT_EQ(engine_log_matching("").size(), lines);
    entity_free(other);
}

}  // namespace
