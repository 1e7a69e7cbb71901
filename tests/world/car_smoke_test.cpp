#include <gtest/gtest.h>

#include <memory>

#include "../frame/frame_fixture.h"
#include "engine/entity_proc.h"
#include "engine/process.h"
#include "world/car_smoke.h"

namespace {

// Smoke emitters living in an entity process whose frames the tests run.
class car_smoke_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        process_ = new entity_proc_t;
        ASSERT_TRUE(process_add(process_, nullptr, -1, 0));
    }
    void TearDown() override
    {
        for (auto& emitter : emitters_) {
            emitter->destroy(0);
            process_->entity_remove(emitter.get());
        }
        emitters_.clear();
        frame_test_t::TearDown();
    }
    // An emitter with `max_particles` nodes and `rate` seconds between puffs, initialised.
    car_smoke_e* emitter(int max_particles = 100, float rate = 0.4f)
    {
        auto made = std::make_unique<car_smoke_e>();
        made->max_particles = max_particles;
        made->smoke_rate = rate;
        process_->entity_insert(made.get());
        EXPECT_EQ(made->init(0), 0);
        emitters_.push_back(std::move(made));
        return emitters_.back().get();
    }
    static int free_count(const particle_e& emitter)
    {
        int count = 0;
        for (const particle_node_t* node = emitter.free_head(); node; node = node->next)
            ++count;
        return count;
    }

    entity_proc_t* process_ = nullptr;
    std::vector<std::unique_ptr<car_smoke_e>> emitters_;
};

TEST_F(car_smoke_test, a_frame_of_one_second_at_a_rate_of_04_makes_two_puffs_and_keeps_02)
{
    car_smoke_e* smoke = emitter();
    smoke->set_emitting(true);
    process_run_frame(1.0);
    EXPECT_EQ(smoke->active_count(), 2);
    EXPECT_NEAR(smoke->accumulator(), 0.2f, 1e-5f);
    EXPECT_EQ(free_count(*smoke), 98);
}

TEST_F(car_smoke_test, switching_off_and_on_restarts_the_accumulator)
{
    car_smoke_e* smoke = emitter();
    smoke->set_emitting(true);
    process_run_frame(0.3);
    smoke->set_emitting(true);
    EXPECT_NEAR(smoke->accumulator(), 0.3f, 1e-6f) << "the same value changes nothing";
    smoke->set_emitting(false);
    smoke->set_emitting(true);
    EXPECT_EQ(smoke->accumulator(), 0.0f);
    process_run_frame(0.3);
    EXPECT_EQ(smoke->active_count(), 0) << "the next puff comes one rate later";
    process_run_frame(0.15);
    EXPECT_EQ(smoke->active_count(), 1);
}

TEST_F(car_smoke_test, killing_keeps_the_active_records_contiguous)
{
    car_smoke_e* smoke = emitter(3);
    particle_node_t* a = smoke->spawn();
    particle_node_t* b = smoke->spawn();
    particle_node_t* c = smoke->spawn();
    EXPECT_EQ(smoke->spawn(), nullptr) << "the pool is full";
    c->sprite->scale = 7.0f;
    smoke->kill(a);
    EXPECT_EQ(smoke->active_count(), 2);
    EXPECT_EQ(c->sprite, &smoke->sprites()[0]) << "the last record moved into the killed one's slot";
    EXPECT_EQ(c->sprite->scale, 7.0f);
    EXPECT_EQ(c->sprite->link, c);
    smoke->kill(b);
    smoke->kill(c);
    EXPECT_EQ(smoke->active_count(), 0);
    EXPECT_EQ(smoke->active_head(), nullptr);
    EXPECT_EQ(free_count(*smoke), 3);
}

TEST_F(car_smoke_test, a_puff_fades_in_then_out_and_the_emitter_rests_three_seconds_after_it_stops)
{
    car_smoke_e* smoke = emitter();
    smoke->set_emitting(true);
    process_run_frame(0.41);
    ASSERT_EQ(smoke->active_count(), 1);
    smoke->set_emitting(false);
    const particle_node_t* puff = smoke->active_head();
    ASSERT_NE(puff, nullptr);
    // Born in that frame and aged by it: -255 + 0.41 x 150. Fading in at 150 a second.
    EXPECT_NEAR(puff->energy, -193.5f, 1e-3f);
    process_run_frame(1.2);
    EXPECT_NEAR(puff->energy, -13.5f, 1e-3f);
    EXPECT_EQ(puff->sprite->colour, 242u << 24 | 0xFFFFFFu) << "alpha round((e / 255 + 1) x 255)";
    process_run_frame(0.1);
    EXPECT_EQ(puff->energy, 255.0f) << "reaching 0 it shows one frame at full strength";
    // Fading out at 90 a second.
    process_run_frame(1.0);
    EXPECT_NEAR(puff->energy, 165.0f, 1e-3f);
    EXPECT_EQ(puff->sprite->colour, 165u << 24 | 0xFFFFFFu);
    EXPECT_GT(puff->sprite->position[1], 0.0f) << "smoke rises";
    // 2.3 s after the emission stopped; the frame that passes 3 s is the last one that ages it.
    process_run_frame(0.8);
    EXPECT_NEAR(puff->energy, 93.0f, 1e-3f);
    process_run_frame(0.5);
    EXPECT_NEAR(puff->energy, 93.0f, 1e-3f) << "three seconds after the emission stopped it stops updating";
    smoke->draw();
    EXPECT_EQ(smoke->active_count(), 1);
}

TEST_F(car_smoke_test, a_rate_not_above_zero_makes_no_puffs_and_an_empty_pool_none_either)
{
    car_smoke_e* stuck = emitter(100, 0.0f);
    EXPECT_TRUE(engine_log_has("particle.car_smoke: smoke_rate 0 is not above 0; the emitter makes no puffs"));
    stuck->set_emitting(true);
    process_run_frame(1.0);
    EXPECT_EQ(stuck->active_count(), 0);

    car_smoke_e* empty = emitter(0);
    empty->set_emitting(true);
    process_run_frame(1.0);
    EXPECT_EQ(empty->active_count(), 0);
    EXPECT_EQ(empty->spawn(), nullptr);
}

}  // namespace
