#include <gtest/gtest.h>

#include <vector>

#include "engine/cache.h"
#include "engine/process.h"
#include "physics/contact_filters.h"
#include "common/game_bridge.h"
#include "frame/world_process.h"
#include "frame_fixture.h"
#include "common/decal_store.h"

namespace {

// A decal store that hands out the items it is given, one per placement, and records the calls.
class test_store_t : public decal_store_t {
public:
    void acquire(int capacity) override { acquired.push_back(capacity); }
    c_item_t* place(vprocess_t*, const vec3_t&, const vec3_t&, const phys_pair_t& filter, const char* script,
                    const decal_params_t& params, int, float size) override
    {
        last_filter = filter;
        last_script = script;
        last_params = params;
        last_size = size;
        return next;
    }
    void refresh(c_item_t* item) override { refreshed.push_back(item); }
    void release() override { ++released; }
    void remove(c_item_t*, bool) override {}
    bool clear(c_item_t*) override { return false; }
    bool clear_entity(const entity_t*) override { return false; }

    std::vector<int> acquired;
    int released = 0;
    std::vector<c_item_t*> refreshed;
    c_item_t* next = nullptr;
    phys_pair_t last_filter{};
    const char* last_script = nullptr;
    decal_params_t last_params;
    float last_size = 0.0f;
};

class world_decals_test : public world_test_t {
protected:
    void SetUp() override
    {
        world_test_t::SetUp();
        decal_store_install(&store_);
        world_ = new world_process_t;
        process_add(world_, nullptr, -1, 0);
        world_->lock();
    }
    void TearDown() override
    {
        world_->teardown();
        world_->unlock();
        decal_store_install(nullptr);
        world_test_t::TearDown();
    }

    c_item_t* place(c_item_t* result, bool remember)
    {
        store_.next = result;
        return world_->place_decal(remember, {0, 10, 0}, {0, -10, 0}, "scripts/decals/track.esc", request_);
    }

    test_store_t store_;
    world_process_t* world_ = nullptr;
    decal_request_t request_{{4.0f, 6.0f},
                             {{.integer = 3}, {.integer = 4}, {.integer = 5}, {.integer = 6}, {.integer = 7}}};
    c_item_t items_[6];
};

TEST_F(world_decals_test, the_record_carries_the_request_words_in_their_fields)
{
    EXPECT_EQ(store_.acquired, std::vector<int>{1024});
    EXPECT_EQ(place(&items_[0], false), &items_[0]);
    const decal_params_t& p = store_.last_params;
    EXPECT_EQ(p.fields[0].integer, 4);
    EXPECT_FLOAT_EQ(p.fields[1].real, 1.0f);  // fields 2, 3 and 11 keep their defaults
    EXPECT_FLOAT_EQ(p.fields[2].real, 1.0f);
    EXPECT_FLOAT_EQ(p.fields[3].real, 4.0f);
    EXPECT_FLOAT_EQ(p.fields[4].real, 6.0f);
    EXPECT_EQ(p.fields[5].integer, 3);
    EXPECT_EQ(p.fields[6].integer, 5);
    EXPECT_EQ(p.fields[7].integer, 0);
    EXPECT_FLOAT_EQ(p.fields[8].real, 1.0f);
    EXPECT_EQ(p.fields[9].integer, 0);
    EXPECT_FLOAT_EQ(p.fields[10].real, 1.0f);
    EXPECT_EQ(p.fields[11].integer, 3);
    ASSERT_NE(p.index_list, nullptr);
    EXPECT_EQ(p.index_list[0], 1);
    EXPECT_EQ(p.index_list[1], 2);
    EXPECT_EQ(p.index_list[2], 5);
    EXPECT_EQ(p.fields[13].integer, 7);
    EXPECT_EQ(p.fields[14].integer, 6);
    EXPECT_FLOAT_EQ(store_.last_size, 3.0f);  // half the larger size
    EXPECT_EQ(store_.last_filter.function, &filter_world_ray);
    EXPECT_STREQ(store_.last_script, "scripts/decals/track.esc");
    EXPECT_EQ(place(nullptr, false), nullptr);
}

TEST_F(world_decals_test, remembered_decals_are_kept_once_up_to_five_and_emptied_by_the_draw)
{
    EXPECT_EQ(place(&items_[0], true), nullptr);  // answered 0 even though placed
    EXPECT_EQ(place(&items_[0], true), nullptr);  // the same decal again: kept once
    for (int i = 1; i < 6; ++i)
        place(&items_[i], true);  // the sixth different one finds no room
    const auto& kept = world_->remembered_decals();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(kept[i], &items_[i]);

    // A world whose bridge holds no camera entity still refreshes its decals.
    ASSERT_TRUE(world_->spawn_menu());
    world_->draw();
    EXPECT_EQ(store_.refreshed, (std::vector<c_item_t*>{&items_[0], &items_[1], &items_[2], &items_[3], &items_[4]}));
    for (c_item_t* decal : world_->remembered_decals())
        EXPECT_EQ(decal, nullptr);
    world_->draw();
    EXPECT_EQ(store_.refreshed.size(), 5u);
}

TEST_F(world_decals_test, a_world_gives_back_its_use_of_the_decal_store_when_it_goes)
{
    auto* other = new world_process_t;
    process_add(other, nullptr, -1, 0);
    other->lock();
    EXPECT_EQ(store_.acquired.size(), 2u);
    other->teardown();
    other->unlock();
    process_run_frame(0.0);  // an ended process is freed at the end of a frame
    EXPECT_EQ(store_.released, 1);
}

TEST_F(world_decals_test, world_reports_carry_the_process_name)
{
    EXPECT_FALSE(world_->spawn_game("nowhere", game_mode_game));
    const auto lines = engine_log_matching("map name : nowhere is not valid!");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string("[") + world_->name() + "/cl] map name : nowhere is not valid!");
}

}  // namespace
