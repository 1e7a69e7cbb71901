#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/cvar.h"
#include "engine/log.h"
#include "engine/process.h"
#include "frame/client_proc.h"
#include "frame/client_proc_profile.h"
#include "frame_fixture.h"

namespace {

// An entity that counts its pre-draws and draws; `slow` makes each draw last at least 200 microseconds.
class counting_entity_t : public entity_t {
public:
    counting_entity_t(const char* name, uint32_t flags, bool slow = false) : slow_(slow)
    {
        set_name(name);
        type_flags = flags;
    }
    void pre_draw() override { ++pre_draws; }
    void draw() override
    {
        ++draws;
        if (slow_)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }

    int pre_draws = 0;
    int draws = 0;

private:
    bool slow_;
};

class client_draw_test : public frame_test_t {
protected:
    void SetUp() override
    {
        frame_test_t::SetUp();
        client_ = new client_proc_t;
        client_->set_name("world");
        process_add(client_, nullptr, -1, 0);
        client_->lock();
        profile_variable_ = std::make_unique<cvar_t>("p_profile_draws", "0", cvar_t::type_integer, nullptr, 0u);
        cvar_register_variable(profile_variable_.get(), 0);
    }
    void TearDown() override
    {
        for (const auto& entity : entities_)
            client_->entity_remove(entity.get());
        entities_.clear();
        client_->shutdown();
        client_->unlock();
        profile_variable_.reset();
        frame_test_t::TearDown();
    }

    counting_entity_t* add(const char* name, uint32_t flags, bool slow = false)
    {
        entities_.push_back(std::make_unique<counting_entity_t>(name, flags, slow));
        client_->entity_insert(entities_.back().get());
        return entities_.back().get();
    }

    client_proc_t* client_ = nullptr;
    std::unique_ptr<cvar_t> profile_variable_;
    std::vector<std::unique_ptr<counting_entity_t>> entities_;
};

TEST_F(client_draw_test, type_flags_choose_the_lists_and_each_listed_entity_is_drawn_once_a_frame)
{
    counting_entity_t* both = add("both", 2 | 4);
    counting_entity_t* drawn = add("drawn", 2);
    counting_entity_t* pre_drawn = add("pre_drawn", 4);
    counting_entity_t* neither = add("neither", 1);
    EXPECT_EQ(client_->draw_count(), 2);
    EXPECT_EQ(client_->pre_draw_count(), 2);

    client_->draw();
    EXPECT_EQ(both->pre_draws, 1);
    EXPECT_EQ(both->draws, 1);
    EXPECT_EQ(drawn->pre_draws, 0);
    EXPECT_EQ(drawn->draws, 1);
    EXPECT_EQ(pre_drawn->pre_draws, 1);
    EXPECT_EQ(pre_drawn->draws, 0);
    EXPECT_EQ(neither->pre_draws + neither->draws, 0);

    client_->entity_remove(both);
    EXPECT_EQ(client_->draw_count(), 1);
    EXPECT_EQ(client_->pre_draw_count(), 1);
    client_->draw();
    EXPECT_EQ(both->draws, 1) << "a removed entity is no longer drawn";
    client_->entity_insert(both);  // back for the teardown
}

TEST_F(client_draw_test, the_draw_profile_reports_only_when_asked)
{
    add("fast", 2 | 4);
    add("slow_one", 2, true);
    client_->draw();
    EXPECT_TRUE(engine_log_matching("TOP [PRE").empty()) << "p_profile_draws 0 reports nothing";
    EXPECT_TRUE(engine_log_matching("gfx flush").empty());

    profile_variable_->set("1");
    client_->draw();
    const std::vector<std::string> totals = engine_log_matching("TOP [PRE");
    ASSERT_EQ(totals.size(), 1u);
    EXPECT_EQ(totals[0].rfind("[world/cl] TOP [PRE(1)]DRAWS(2) [", 0), 0u) << totals[0];
    const std::vector<std::string> slow = engine_log_matching("slow_one");
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_NE(slow[0].find("(draw)"), std::string::npos) << slow[0];
    EXPECT_EQ(engine_log_matching("[world/cl] gfx flush ").size(), 1u);
}

// Microseconds offered to a table, and the microseconds it keeps, longest first.
TEST_F(client_draw_test, the_slowest_calls_table_keeps_ten_calls_of_at_least_100_microseconds)
{
    counting_entity_t entity("probe", 0);
    struct case_t {
        const char* what;
        std::vector<double> offered;
        std::vector<double> kept;
    };
    const case_t cases[] = {
        {"short calls only count in the total", {99.9, 50.0, 100.0}, {100.0}},
        {"a full table takes a call longer than any before it in place of the shortest",
         {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 1100},
         {1100, 1000, 900, 800, 700, 600, 500, 400, 300, 200}},
        {"a full table refuses a call no longer than the longest",
         {100, 200, 300, 400, 500, 600, 700, 800, 900, 1000, 950},
         {1000, 900, 800, 700, 600, 500, 400, 300, 200, 100}},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        draw_profile_t profile;
        double total = 0.0;
        for (const double microseconds : c.offered) {
            profile.offer(&entity, microseconds, false);
            total += microseconds;
        }
        EXPECT_DOUBLE_EQ(profile.total_microseconds(), total);
        ASSERT_EQ(profile.count(), static_cast<int>(c.kept.size()));
        log_clear_capture();
        profile.report(*client_, 0, 1);
        const std::vector<std::string> lines = engine_log_matching("[item ");
        ASSERT_EQ(lines.size(), c.kept.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            char expected[64];
            snprintf(expected, sizeof expected, "time %.1f ms (draw)", c.kept[i] * 0.001);
            EXPECT_NE(lines[i].find(expected), std::string::npos) << lines[i];
        }
    }
}

}  // namespace
