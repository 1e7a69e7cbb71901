// The characters the behaviour layer animates, as a player meets them in the running game on the sample
// data: the driver in the cab turns the steering wheel with the steering keys, and the figure beside
// the menu scene's truck waves. What is checked is what the model library drew each frame: the parts'
// positions as their posed bones placed them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/gfx_record.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"
#include "game_session.h"

namespace {

const std::string data_root = std::string(KAVRENTA_SOURCE_DIR) + "/data";

class animated_models_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        documents_ = std::filesystem::temp_directory_path() /
                     ("kavrenta_animated_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                      std::to_string(getpid()));
        std::filesystem::create_directories(documents_);
    }
    void TearDown() override
    {
        game_.stop();
        // KAVRENTA_ANIMATED_SHOTS names a folder that keeps the screenshots for a look.
        if (const char* keep = std::getenv("KAVRENTA_ANIMATED_SHOTS")) {
            std::error_code ignored;
            std::filesystem::copy(
                game_.home() + "/screenshots", keep,
                std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing, ignored);
        }
        std::error_code ignored;
        std::filesystem::remove_all(documents_, ignored);
    }

    // Presses or lets go of a key.
    static void key(const char* name, bool down)
    {
        std::vector<inp_event_t> events;
        if (inp_script_parse(std::string("0 ") + (down ? "press " : "release ") + name + "\n", "key", events))
            inp_queue_events(events);
    }

    // Presses and releases a key, as a player's tap, and lets the game see it.
    bool tap(const char* name)
    {
        key(name, true);
        if (!frames(3))
            return false;
        key(name, false);
        return frames(3);
    }

    bool frames(int count)
    {
        for (int i = 0; i < count; ++i)
            if (!game_.frame())
                return false;
        return true;
    }

    // Runs frames until a log line holds `fragment`; false when `count` frames pass first.
    bool run_until_logged(const std::string& fragment, int count)
    {
        for (int i = 0; i < count && engine_log_matching(fragment).empty(); ++i)
            if (!game_.frame())
                return false;
        return !engine_log_matching(fragment).empty();
    }

    // The screenshots taken so far.
    size_t screenshots() const
    {
        std::error_code ignored;
        size_t count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(game_.home() + "/screenshots", ignored))
            count += entry.path().extension() == ".png";
        return count;
    }

    std::filesystem::path documents_;
    game_session_t game_;
};

// The parts of the last frame drawn with `shader`, in the order they were drawn.
std::vector<const gfx_recorded_model_t*> drawn_with(const std::string& shader)
{
    std::vector<const gfx_recorded_model_t*> parts;
    for (const gfx_recorded_model_t& model : gfx_record_last().models)
        if (model.shader_path == shader)
            parts.push_back(&model);
    return parts;
}

// The middle of a drawn part's vertices as its bones posed them (in its model's space).
void middle(const gfx_recorded_model_t& part, float& x, float& y)
{
    const std::vector<float>& p = part.geometry.positions;
    x = y = 0.0f;
    for (size_t i = 0; i < p.size(); i += 3) {
        x += p[i];
        y += p[i + 1];
    }
    x /= static_cast<float>(p.size() / 3);
    y /= static_cast<float>(p.size() / 3);
}

// The turn of the steering wheel in degrees, left positive, as the driver's two hands on it were drawn
// in the last frame; NAN when they were not drawn.
float drawn_wheel_turn()
{
    const std::vector<const gfx_recorded_model_t*> hands = drawn_with("/models/cab_driver/skin.shd");
    if (hands.size() != 2)
        return NAN;
    float lx, ly, rx, ry;
    middle(*hands[0], lx, ly);
    middle(*hands[1], rx, ry);
    // The hands lie on a line through the wheel's centre: its slope is the wheel's turn.
    return std::atan2(ry - ly, rx - lx) * 180.0f / 3.14159265f;
}

TEST_F(animated_models_test, the_driver_in_the_cab_turns_the_wheel_with_the_steering_keys)
{
    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-map", "mainland", "-default_controls"}, error)) << error;
    ASSERT_TRUE(run_until_logged("<car_player_e> the drive starts", 3000));
    // The view from the driver's seat.
    ASSERT_TRUE(tap("1"));
    ASSERT_TRUE(frames(10));
    EXPECT_NEAR(drawn_wheel_turn(), 0.0f, 0.5f) << "the driver holds the wheel straight";

    // The left key held: once the truck's steering has turned past the driver's mark, his hands turn the
    // wheel further every frame, to 70 degrees, and hold it there while the key is held.
    key("left", true);
    std::vector<float> left;
    for (int i = 0; i < 90 && frames(1); ++i)
        left.push_back(drawn_wheel_turn());
    ASSERT_EQ(left.size(), 90u);
    const auto first_turn = std::find_if(left.begin(), left.end(), [](float turn) { return turn > 0.5f; });
    ASSERT_NE(first_turn, left.end()) << "the wheel never turned";
    const auto full = std::find_if(first_turn, left.end(), [](float turn) { return turn > 69.5f; });
    ASSERT_NE(full, left.end()) << "the wheel never reached its turn: " << left.back();
    EXPECT_GE(full - first_turn, 10) << "the turn is played over frames, not jumped to";
    for (auto at = first_turn + 1; at <= full; ++at)
        EXPECT_GT(*at, *(at - 1)) << "frame " << (at - left.begin());
    for (auto at = full; at != left.end(); ++at)
        EXPECT_NEAR(*at, 70.0f, 0.5f) << "frame " << (at - left.begin());
    std::set<int> distinct;
    for (auto at = first_turn; at <= full; ++at)
        distinct.insert(static_cast<int>(std::lround(*at * 10.0f)));
    EXPECT_GE(distinct.size(), 10u);
    tap("F10");
    key("left", false);

    // Let go, the truck's wheels come back to the middle and the driver turns the wheel back.
    std::vector<float> back;
    for (int i = 0; i < 120 && frames(1); ++i)
        back.push_back(drawn_wheel_turn());
    ASSERT_FALSE(back.empty());
    EXPECT_NEAR(back.back(), 0.0f, 0.5f);
    EXPECT_TRUE(std::any_of(back.begin(), back.end(), [](float turn) { return turn > 5.0f && turn < 65.0f; }))
        << "the wheel comes back through the turns between";

    // To the right.
    key("right", true);
    std::vector<float> right;
    for (int i = 0; i < 90 && frames(1); ++i)
        right.push_back(drawn_wheel_turn());
    ASSERT_FALSE(right.empty());
    EXPECT_NEAR(right.back(), -70.0f, 0.5f);
    tap("F10");
    key("right", false);
    ASSERT_TRUE(frames(30));
    EXPECT_EQ(screenshots(), 2u);
}

TEST_F(animated_models_test, the_figure_beside_the_menu_scenes_truck_waves)
{
    std::string error;
    ASSERT_TRUE(game_.start(data_root, documents_.string(), {"-default_controls"}, error)) << error;
    ASSERT_TRUE(frames(30));
    // The figure's highest point each frame: the top of the head, or the hand of the raised arm.
    std::vector<float> tops;
    bool shot = false;
    for (int i = 0; i < 360 && frames(1); ++i) {
        float top = -1e9f;
        for (const gfx_recorded_model_t* part : drawn_with("/models/menu_figure/cloth.shd"))
            for (size_t v = 1; v < part->geometry.positions.size(); v += 3)
                top = std::max(top, part->geometry.positions[v]);
        ASSERT_GT(top, 0.0f) << "the figure is drawn at frame " << i;
        tops.push_back(top);
        if (!shot && top > 190.0f) {
            key("F10", true);
            shot = true;
        } else if (shot) {
            key("F10", false);
        }
    }
    ASSERT_EQ(tops.size(), 360u);
    // The arm rests down (the cloth below the head), rises over the head and comes down again.
    const auto [low, high] = std::minmax_element(tops.begin(), tops.end());
    EXPECT_LT(*low, 160.0f);
    EXPECT_GT(*high, 190.0f);
    std::set<int> distinct;
    for (float top : tops)
        distinct.insert(static_cast<int>(std::lround(top)));
    EXPECT_GE(distinct.size(), 20u) << "the arm moves through its poses frame by frame";
    EXPECT_LT(tops.back(), *high);
    ASSERT_TRUE(frames(10));
    EXPECT_EQ(screenshots(), 1u);
}

}  // namespace
