// Models of the sample game animated by their behaviours through the model library: the cab's driver
// turns the steering wheel to the side asked for and holds it there, and instances of one description
// run apart.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "behaviour/psb_animated_model.h"
#include "behaviour/psb_behavior_runner.h"
#include "behaviour/psb_compiled.h"
#include "behaviour/psb_resources.h"
#include "behaviour_fixture.h"
#include "engine/cache.h"
#include "engine/host.h"
#include "common/engine_api.h"
#include "engine/psm.h"
#include "engine/vfs.h"

namespace {

constexpr float frame_seconds = 1.0f / 60.0f;

class animated_model_test : public behaviour_test_t {
protected:
    void SetUp() override
    {
        behaviour_test_t::SetUp();
        host_settings().data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";
        reset_engine();
        ASSERT_TRUE(vfs_init_from_host());
        psb_info_makeup_ops();
        psb_layer_makeup_ops();
        loaders_.push_back(mm_register_loader(nullptr, psb_info_loader_match, 0));
        loaders_.push_back(mm_register_loader(nullptr, psb_layer_loader_match, 0));
        mark_log();
    }

    void TearDown() override
    {
        for (int loader : loaders_)
            mm_unregister_loader(loader);
        behaviour_test_t::TearDown();
    }

    // Loads the cab's driver into `driver`.
    static bool load_driver(psb_animated_model_t& driver)
    {
        return driver.load("/behaviour/cab_driver/cab_driver.info.xml", "/behaviour/cab_driver/cab_driver.layer.xml",
                           "steer");
    }

    std::vector<int> loaders_;
};

// Degrees by which the steering wheel (the bone "grip") is turned about its axis, left positive.
float wheel_turn(psm_t* model)
{
    mat4_t frame;
    EXPECT_TRUE(api::psm_bone_get_matrix(model, api::psm_bone_find_global(model, "grip"), &frame));
    const vec3_t x = mult_point_matrix_fast(frame, {1, 0, 0}) - mult_zero_matrix(frame);
    return std::atan2(x.y, x.x) * 180.0f / 3.14159265f;
}

// Runs `driver` frame by frame until it is in `state` (at most two seconds): the wheel's turn after
// each frame.
std::vector<float> run_until(psb_animated_model_t& driver, const char* state)
{
    std::vector<float> turns;
    for (int frame = 0; frame < 120 && (turns.empty() || !driver.is_in(state)); ++frame) {
        driver.advance(frame_seconds);
        turns.push_back(wheel_turn(driver.model()));
    }
    return turns;
}

TEST_F(animated_model_test, the_driver_turns_the_wheel_frame_by_frame_and_holds_it_until_asked_back)
{
    psb_animated_model_t driver;
    ASSERT_TRUE(load_driver(driver)) << ::testing::PrintToString(logged());
    EXPECT_TRUE(driver.is_in("straight"));
    EXPECT_NEAR(wheel_turn(driver.model()), 0.0f, 1e-3f);

    ASSERT_TRUE(driver.request("left"));
    const std::vector<float> left = run_until(driver, "left");
    ASSERT_TRUE(driver.is_in("left"));
    // A behaviour of about a third of a second: the wheel turns further every frame to 70 degrees.
    ASSERT_GT(left.size(), 15u);
    ASSERT_LT(left.size(), 30u);
    for (size_t i = 1; i < left.size() - 1; ++i)
        EXPECT_GT(left[i], left[i - 1]) << "frame " << i;
    EXPECT_NEAR(left.back(), 70.0f, 0.01f);

    // Ended, the behaviour leaves its last frame held: the wheel stays turned.
    for (int frame = 0; frame < 30; ++frame)
        driver.advance(frame_seconds);
    EXPECT_NEAR(wheel_turn(driver.model()), 70.0f, 0.01f);
    EXPECT_TRUE(driver.is_in("left"));

    // Straight through to the right: one behaviour, no frame back at the rest pose on the way.
    ASSERT_TRUE(driver.request("right"));
    const std::vector<float> right = run_until(driver, "right");
    for (size_t i = 1; i < right.size() - 1; ++i)
        EXPECT_LT(right[i], right[i - 1]) << "frame " << i;
    EXPECT_NEAR(right.back(), -70.0f, 0.01f);
    EXPECT_EQ(logged(), std::vector<std::string>{});
}

TEST_F(animated_model_test, instances_of_one_description_run_their_own_behaviours)
{
    psb_animated_model_t first, second;
    ASSERT_TRUE(load_driver(first));
    ASSERT_TRUE(load_driver(second));
    ASSERT_TRUE(first.request("right"));
    for (int frame = 0; frame < 10; ++frame) {
        first.advance(frame_seconds);
        second.advance(frame_seconds);
    }
    EXPECT_LT(wheel_turn(first.model()), -5.0f);
    EXPECT_NEAR(wheel_turn(second.model()), 0.0f, 1e-3f);
    EXPECT_TRUE(second.is_in("straight"));
}

TEST_F(animated_model_test, names_and_runners_that_name_nothing_are_refused_with_a_message)
{
    psb_animated_model_t driver;
    EXPECT_FALSE(
        driver.load("/behaviour/cab_driver/cab_driver.info.xml", "/behaviour/cab_driver/cab_driver.layer.xml", "gear"));
    EXPECT_EQ(driver.model(), nullptr);
    EXPECT_FALSE(
        driver.load("/behaviour/nobody/nobody.info.xml", "/behaviour/cab_driver/cab_driver.layer.xml", "steer"));
    ASSERT_TRUE(load_driver(driver));
    EXPECT_FALSE(driver.request("sideways"));
    EXPECT_TRUE(driver.is_in("straight"));
    EXPECT_FALSE(api::psm_feature_request(driver.model(), 0, 0, 3));
    EXPECT_FALSE(api::psm_feature_request(driver.model(), 1, 0, 0));
    EXPECT_EQ(api::psm_feature_get_state(driver.model(), 0, 1), -1);

    // A block whose runners name operations the engine was never given runs nothing and says so.
    c_item_t* const item = mm_precache("/behaviour/cab_driver/cab_driver.info.xml");
    ASSERT_NE(item, nullptr);
    const uint32_t entry = psb_block_read<uint32_t>(item->object, psb_header_layers);
    for (uint32_t id = 0; id < psb_block_read<uint32_t>(item->object, entry + psb_entry_behavior_count); ++id)
        if (psb_behavior_runner_t* runner = psb_block_runner(item->object, entry, id)) {
            const uint32_t unknown = 77;
            memcpy(static_cast<void*>(runner), &unknown, sizeof unknown);
        }
    psb_animated_model_t other;
    ASSERT_TRUE(load_driver(other));
    ASSERT_TRUE(other.request("left"));
    other.advance(frame_seconds);
    EXPECT_NEAR(wheel_turn(other.model()), 0.0f, 1e-3f);
    ci_dec_refs(item);
    const std::vector<std::string> lines = logged();
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& line) {
                               return line.find("names no runner operations (77)") != std::string::npos;
                           }),
              lines.end());
}

}  // namespace
