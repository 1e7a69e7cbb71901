#include "frame/save_game_bridge.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/process.h"
#include "common/game_bridge.h"
#include "common/save_game_owners.h"
#include "common/save_timestamp.h"
#include "common/vfs_le.h"
#include "frame/world_process.h"
#include "frame_fixture.h"

namespace {

// What the parts were told after a load, in order.
std::vector<std::string> after_load_calls;

// A world part that keeps one value in its own section, and writes the trailer too.
class saved_object_e : public object_e, public save_section_owner_t, public save_timestamp_owner_t {
public:
    int32_t save(const int file) override { return vfs_write_i32(file, value) ? 4 : -1; }
    int32_t check(const int file, int32_t /*version*/) override
    {
        int32_t ignored = 0;
        return vfs_read_i32(file, &ignored) ? 4 : -1;
    }
    int32_t load(const int file, int32_t /*version*/) override { return vfs_read_i32(file, &value) ? 4 : -1; }
    int32_t save_timestamp_write(const int file) override { return save_timestamp_write_values(file, 0, 0.0f); }
    int32_t save_timestamp_read(const int file) override { return save_timestamp_read_values(file, nullptr, nullptr); }
    void after_load() override { after_load_calls.push_back("after_load " + std::to_string(value)); }
    void save_timestamp_default() override { after_load_calls.push_back("timestamp_default " + std::to_string(value)); }
    int32_t value = 0;
};

entity_t* saved_object_create(void* memory) { return memory ? new (memory) saved_object_e : new saved_object_e; }

void saved_object_destroy(entity_t* object, const bool in_place)
{
    if (in_place)
        static_cast<saved_object_e*>(object)->~saved_object_e();
    else
        delete static_cast<saved_object_e*>(object);
}

class save_game_bridge_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        static const entity_reg_t record{"test.saved_object", 1, {0, 0, 0}, sizeof(saved_object_e), saved_object_create,
                                         saved_object_destroy};
        if (!entity_find_type("test.saved_object")) {
            ASSERT_TRUE(entity_register(&record));
        }
        world_ = new world_process_t;
        process_add(world_, nullptr, -1, 0);
        world_->lock();
        ASSERT_TRUE(world_->spawn_game("xyz", game_mode_game));
        for (saved_object_e*& part : parts_)
            part = static_cast<saved_object_e*>(entity_create("test.saved_object"));
    }
    void TearDown() override
    {
        world_->teardown();
        world_->unlock();
        for (saved_object_e* part : parts_)
            entity_free(part);
        world_test_t::TearDown();
    }
    void register_parts(const bool with_traffic)
    {
        game_bridge_t* bridge = world_->bridge();
        ASSERT_TRUE(bridge->register_environment(parts_[0]->handle()));
        ASSERT_TRUE(bridge->register_base_ctrl(parts_[1]->handle()));
        if (with_traffic) {
            ASSERT_TRUE(bridge->register_traffic(parts_[2]->handle()));
        }
        ASSERT_TRUE(bridge->register_economy(parts_[3]->handle()));
    }

    world_process_t* world_ = nullptr;
    saved_object_e* parts_[4] = {};
};

TEST_F(save_game_bridge_test, the_bridge_parts_write_and_read_their_sections)
{
    register_parts(true);
    for (int i = 0; i < 4; ++i)
        parts_[i]->value = 10 + i;
    ASSERT_TRUE(save_game_write(world_->bridge(), "/bridge.sav"));
    for (saved_object_e* part : parts_)
        part->value = 0;
    ASSERT_TRUE(save_game_read(world_->bridge(), "/bridge.sav"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(parts_[i]->value, 10 + i);
    for (saved_object_e* part : parts_)
        EXPECT_EQ(part->handle().uses(), 1) << "only the bridge's own use is left";
}

TEST_F(save_game_bridge_test, a_world_without_one_of_the_parts_is_not_saved)
{
    register_parts(false);
    EXPECT_FALSE(save_game_write(world_->bridge(), "/bridge.sav"));
    EXPECT_TRUE(engine_log_has("[save_game] /bridge.sav: the world has no traffic to save or load"));
    EXPECT_FALSE(save_game_write(nullptr, "/bridge.sav"));
}

TEST_F(save_game_bridge_test, after_a_load_the_parts_finish_in_order_and_the_economy_resets_its_timestamp)
{
    register_parts(true);
    for (int i = 0; i < 4; ++i)
        parts_[i]->value = i;
    after_load_calls.clear();
    world_->bridge()->after_load();
    EXPECT_EQ(after_load_calls,
              (std::vector<std::string>{"after_load 0", "after_load 1", "after_load 2", "timestamp_default 3"}));
    for (saved_object_e* part : parts_)
        EXPECT_EQ(part->handle().uses(), 1);
}

}  // namespace
