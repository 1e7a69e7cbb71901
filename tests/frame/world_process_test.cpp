#include <gtest/gtest.h>

#include <string>

#include "engine/gfx_record.h"
#include "engine/gfx_view.h"
#include "engine/process.h"
#include "engine/snd_record.h"
#include "common/game_bridge.h"
#include "frame/world_process.h"
#include "frame_fixture.h"

namespace {

// An entity of a game world that reads the bridge it was shown while it is destroyed, as the game
// controller reads its bridge when it frees a dock's road with the world.
class bridge_reader_e : public test_object_e {
public:
    static inline game_bridge_t* bridge = nullptr;
    static inline std::string read;

    int destroy(const int phase) override
    {
        if (phase == 0 && bridge)
            read = bridge->get_map_name();
        return test_object_e::destroy(phase);
    }
};

entity_t* bridge_reader_create(void* memory)
{
    if (!memory)
        memory = mem_sys_alloc(sizeof(bridge_reader_e));
    return memory ? new (memory) bridge_reader_e : nullptr;
}

class world_process_test : public world_test_t {
protected:
    world_process_t* make_world()
    {
        auto* world = new world_process_t;
        process_add(world, nullptr, -1, 0);
        world->lock();
        return world;
    }
    void drop(world_process_t* world)
    {
        world->teardown();
        world->unlock();
    }
};

TEST_F(world_process_test, worlds_are_numbered_from_zero)
{
    world_process_t* first = make_world();
    world_process_t* second = make_world();
    EXPECT_EQ(first->world_serial(), 0u);
    EXPECT_EQ(second->world_serial(), 1u);
    drop(first);
    drop(second);
}

TEST_F(world_process_test, game_world_steps_physics_in_fixed_slices)
{
    world_process_t* world = make_world();
    ASSERT_TRUE(world->spawn_game("xyz", game_mode_game));
    EXPECT_STREQ(world->bridge()->get_map_name(), "/maps/xyz.mbd");
    EXPECT_EQ(world->bridge()->colour_count(), 2u);
    EXPECT_EQ(world->bridge()->colour(1), 65280u);
    engine_run_frames(1, 0.05);
    EXPECT_EQ(world->physics().step_count(), 3);
    EXPECT_NEAR(world->physics().last_step(), 0.01f, 1e-6);
    drop(world);
}

TEST_F(world_process_test, the_bridge_outlives_the_entities_the_world_destroys)
{
    static const entity_reg_t record{"test.bridge_reader", 1, {0, 0, 0}, sizeof(bridge_reader_e), bridge_reader_create,
                                     test_object_destroy};
    if (!entity_find_type("test.bridge_reader"))
        entity_register(&record);
    write_data_file("scripts/game/game.esc", "entity test.bridge_reader { name = \"root\"; }\n");
    world_process_t* world = make_world();
    ASSERT_TRUE(world->spawn_game("xyz", game_mode_game));
    engine_run_frames(1, 0.05);
    bridge_reader_e::bridge = world->bridge();
    bridge_reader_e::read.clear();
    drop(world);
    bridge_reader_e::bridge = nullptr;
    EXPECT_EQ(bridge_reader_e::read, "/maps/xyz.mbd");
}

TEST_F(world_process_test, missing_map_is_refused_and_builds_no_bridge)
{
    world_process_t* world = make_world();
    EXPECT_FALSE(world->spawn_game("nowhere", game_mode_game));
    EXPECT_FALSE(engine_log_matching("map name : nowhere is not valid!").empty());
    EXPECT_EQ(world->bridge(), nullptr);
    // A name whose path does not fit the bridge's 64-character field is refused the same way.
    const std::string long_name(60, 'a');
    write_data_file("maps/" + long_name + ".mbd", "");
    EXPECT_FALSE(world->check_map_name(long_name.c_str()));
    drop(world);
}

TEST_F(world_process_test, pause_does_nothing_on_a_world_that_is_not_pausable)
{
    world_process_t* world = make_world();
    ASSERT_TRUE(world->spawn_menu());
    world->pause(true, true);
    EXPECT_FALSE(world->paused());
    EXPECT_TRUE(world->draw_enabled());
    world->set_pausable(true);
    world->pause(true, true);
    EXPECT_TRUE(world->paused());
    EXPECT_TRUE(world->sleeping());
    EXPECT_FALSE(world->draw_enabled());
    world->pause(false, false);
    EXPECT_FALSE(world->paused());
    EXPECT_TRUE(world->draw_enabled());
    drop(world);
}

TEST_F(world_process_test, draw_without_camera_draws_nothing_and_a_stale_camera_draws_the_world)
{
    world_process_t* world = make_world();
    ASSERT_TRUE(world->spawn_game("xyz", game_mode_game));
    world->draw();  // no camera entity: returns before the world
    ASSERT_TRUE(world->spawn_avatar("/scripts/game/car_actor.esc"));
    entity_t* avatar = world->bridge()->avatar().resolve();
    ASSERT_NE(avatar, nullptr);
    world->draw();
    world->entity_destroy(avatar);
    EXPECT_EQ(world->bridge()->avatar().resolve(), nullptr);
    world->draw();  // the handle no longer resolves: no camera, but no crash
    drop(world);
}

TEST_F(world_process_test, draw_view_loads_the_camera_and_draws_the_world_without_the_sound_listener)
{
    world_process_t* world = make_world();
    ASSERT_TRUE(world->spawn_game("xyz", game_mode_game));
    const int flushes = gfx_record_current().flushes;
    world->draw_view();  // no camera entity: nothing at all
    EXPECT_EQ(gfx_record_current().flushes, flushes);

    ASSERT_TRUE(world->spawn_avatar("/scripts/game/car_actor.esc"));
    auto* avatar = dynamic_cast<object_e*>(world->bridge()->avatar().resolve());
    ASSERT_NE(avatar, nullptr);
    avatar->position = {100.0f, 200.0f, 300.0f};
    world->draw_view();
    EXPECT_EQ(gfx_record_current().flushes, flushes + 1);
    gfx_camera_t camera{};
    gfx_get_camera(&camera);
    EXPECT_FLOAT_EQ(camera.position[0], 100.0f);
    EXPECT_FLOAT_EQ(camera.position[1], 200.0f);
    EXPECT_FLOAT_EQ(camera.position[2], 300.0f);
    EXPECT_EQ(snd_record_listener().position[0], 0.0f) << "only the main draw places the listener";
    world->draw();
    EXPECT_FLOAT_EQ(snd_record_listener().position[0], 100.0f);

    world->set_pausable(true);
    world->pause(true, true);
    world->draw_view();  // a hidden world draws no view either
    EXPECT_EQ(gfx_record_current().flushes, flushes + 2);
    drop(world);
}

TEST_F(world_process_test, the_newest_world_is_the_one_a_mirror_draws)
{
    world_process_t* first = make_world();
    world_process_t* second = make_world();
    EXPECT_EQ(shown_world_view(), second);
    drop(second);
    EXPECT_EQ(shown_world_view(), nullptr);
    drop(first);
}

TEST_F(world_process_test, second_police_is_reported_and_the_first_kept)
{
    world_process_t* world = make_world();
    ASSERT_TRUE(world->spawn_game("xyz", game_mode_game));
    ASSERT_TRUE(world->spawn_police("/scripts/police.esc"));
    const entity_handle_t first = world->bridge()->police();
    EXPECT_TRUE(world->spawn_police("/scripts/police.esc"));
    EXPECT_TRUE(engine_log_has("<game_bridge_t> police already registered"));
    EXPECT_EQ(world->bridge()->police(), first);
    drop(world);
}

}  // namespace
