#include <gtest/gtest.h>

#include "engine/log.h"
#include "engine/process.h"
#include "engine_testing/engine_test.h"

namespace {

// Counts its handler calls and records whether it was told to shut down.
class counting_process_t : public vprocess_t {
public:
    explicit counting_process_t(int* destroyed = nullptr) : destroyed_(destroyed) {}
    ~counting_process_t() override
    {
        if (destroyed_)
            ++*destroyed_;
    }
    void handler() override { ++calls; }
    void system(int code) override { last_code = code; }
    int calls = 0;
    int last_code = 0;

private:
    int* destroyed_;
};

using process_test = engine_test_t;

TEST_F(process_test, sleeping_process_gets_no_handler_call)
{
    auto* p = new counting_process_t;
    p->lock();
    ASSERT_TRUE(process_add(p, nullptr, -1, 0));
    engine_run_frames(2, 0.5);
    process_sleep(p);
    engine_run_frames(3, 0.5);
    process_wakeup(p);
    engine_run_frames(1, 0.25);
    EXPECT_EQ(p->calls, 3);
    EXPECT_DOUBLE_EQ(p->process_time(), 1.25);
    EXPECT_DOUBLE_EQ(p->frame_seconds(), 0.25);
    p->shutdown();
    p->unlock();
}

TEST_F(process_test, ended_process_is_freed_only_when_its_last_lock_goes)
{
    int destroyed = 0;
    auto* p = new counting_process_t(&destroyed);
    process_add(p, nullptr, -1, 0);
    p->lock();
    p->lock();
    p->shutdown();
    engine_run_frames(1, 0.1);
    p->unlock();
    engine_run_frames(1, 0.1);
    EXPECT_EQ(destroyed, 0);
    p->unlock();
    engine_run_frames(1, 0.1);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(process_test, priorities_order_the_list_and_terminate_sends_shutdown_notice)
{
    auto* late = new counting_process_t;
    auto* early = new counting_process_t;
    late->set_name("late");
    early->set_name("early");
    late->lock();
    early->lock();
    process_add(late, nullptr, -1, 0);
    process_add(early, nullptr, 0, 0);
    EXPECT_EQ(process_get("early"), early);
    EXPECT_EQ(process_get("absent"), nullptr);
    EXPECT_FALSE(process_add(early, nullptr, -1, 0));
    process_terminate_all();
    EXPECT_EQ(early->last_code, vprocess_t::system_shutdown);
    EXPECT_TRUE(late->ended());
    early->unlock();
    late->unlock();
    engine_run_frames(1, 0.1);
    EXPECT_EQ(process_count(), 0);
}

TEST_F(process_test, process_log_lines_carry_the_name)
{
    counting_process_t p;
    p.set_name("game");
    p.verror("map %s cannot be spawned", "ridge");
    EXPECT_TRUE(engine_log_has("[game] map ridge cannot be spawned"));
    EXPECT_STREQ(message_history(0), "[game] map ridge cannot be spawned");
}

}  // namespace
