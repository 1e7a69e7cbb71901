#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/bind.h"
#include "engine/input.h"
#include "engine/input_devices.h"
#include "engine/input_queue.h"
#include "engine/input_script.h"
#include "engine/log.h"
#include "engine_testing/engine_test.h"

namespace {

using input_script_test = engine_test_t;

constexpr double frame = 0.25;

bool queue_script(const std::string& text)
{
    std::vector<inp_event_t> events;
    if (!inp_script_parse(text, "test.inp", events))
        return false;
    inp_queue_events(events);
    return true;
}

TEST_F(input_script_test, impulse_values_follow_the_script_frame_by_frame)
{
    ASSERT_TRUE(queue_script("// drive forward, then brake\n"
                             "0     impulse 100 0.75\n"
                             "0.5   impulse 100 0      // let go\n"
                             "0.5   impulse 101 1\n"
                             "0.5   impulse 170 1 2\n"
                             "1.0   impulse 101 0\n"));
    std::vector<float> forward, backward, cb;
    for (int i = 0; i < 5; ++i) {
        inp_run_frame(frame);
        forward.push_back(inp_impulse_value(100, 0));
        backward.push_back(inp_impulse_value(101, 0));
        cb.push_back(inp_impulse_value(170, 2));
    }
    EXPECT_EQ(forward, (std::vector<float>{0.75f, 0.75f, 0, 0, 0}));
    EXPECT_EQ(backward, (std::vector<float>{0, 0, 1, 1, 0}));
    EXPECT_EQ(cb, (std::vector<float>{0, 0, 1, 1, 1}));
    EXPECT_EQ(inp_impulse_value(170, 0), 0.0f);
    EXPECT_EQ(inp_queue_pending(), 0u);
}

TEST_F(input_script_test, scripted_keys_reach_bindings_and_frame_changes)
{
    ASSERT_TRUE(bind_add_imp("up", inp_impulse_get(100)->name, 0, 1));
    ASSERT_TRUE(queue_script("0.25 press up\n0.25 press mouse2\n0.5 release up\n"));
    inp_run_frame(frame);
    EXPECT_EQ(inp_impulse_value(100, 0), 0.0f);
    EXPECT_TRUE(inp_frame_changes().empty());
    inp_run_frame(frame);
    EXPECT_EQ(inp_impulse_value(100, 0), 1.0f);
    ASSERT_EQ(inp_frame_changes().size(), 2u);
    EXPECT_EQ(inp_frame_changes()[0].code, 0xC8u);
    EXPECT_EQ(inp_frame_changes()[1].code, 263u);
    inp_cursor_t cursor{};
    ASSERT_TRUE(inp_cursor_info(&cursor));
    EXPECT_EQ(cursor.buttons, 2u);
    inp_run_frame(frame);
    EXPECT_EQ(inp_impulse_value(100, 0), 0.0f);
    ASSERT_EQ(inp_frame_changes().size(), 1u);
    EXPECT_FALSE(inp_frame_changes()[0].down);
}

TEST_F(input_script_test, sixtieths_reach_a_whole_second)
{
    ASSERT_TRUE(queue_script("1 impulse 55 1\n"));
    int frames = 0;
    while (inp_impulse_value(55, 0) == 0.0f && frames < 100) {
        inp_run_frame(1.0 / 60.0);
        ++frames;
    }
    EXPECT_EQ(frames, 61) << "the event is due at the start of frame 60";
}

TEST_F(input_script_test, joystick_axes_and_the_cursor_come_from_a_script)
{
    ASSERT_TRUE(queue_script("0 joystick \"Wheel \\\"Pro\\\"\" Steering Throttle \"Brake pedal\"\n"
                             "0 axis 0 1 -0.6\n"
                             "0 axis 0 2 0.05\n"
                             "0 cursor 320 -4\n"));
    inp_run_frame(frame);
    ASSERT_EQ(inp_joy_get_count(), 1);
    char name[64];
    ASSERT_TRUE(inp_joy_get_name(323, name, sizeof name));
    EXPECT_STREQ(name, "Wheel \"Pro\"");
    ASSERT_TRUE(inp_joy_get_axis_name(323, 2, name, sizeof name));
    EXPECT_STREQ(name, "Brake pedal");
    EXPECT_FALSE(inp_joy_get_axis_name(323, 3, name, sizeof name));
    EXPECT_EQ(inp_trigger(323)->axis[1], -0.6f);
    EXPECT_EQ(inp_trigger(323)->axis[2], 0.05f);
    ASSERT_TRUE(inp_joy_set_dead_zone(323, 0.1f, 2));
    EXPECT_EQ(inp_trigger(323)->axis[2], 0.0f);
    EXPECT_EQ(inp_trigger(323)->axis[1], -0.6f);
    inp_cursor_t cursor{};
    ASSERT_TRUE(inp_cursor_info(&cursor));
    EXPECT_EQ(cursor.x, 320);
    EXPECT_EQ(cursor.y, -4);
}

TEST_F(input_script_test, bad_script_names_file_and_line_and_queues_nothing)
{
    using namespace std::string_literals;
    struct case_t {
        std::string text;
        const char* message;
    };
    const case_t cases[] = {
        {"0 press esc\n1 press nosuchkey\n", "test.inp:2: no key is named \"nosuchkey\""},
        {"0 jump esc\n", "test.inp:1: unknown action \"jump\""},
        {"soon press esc\n", "test.inp:1: the time \"soon\" is no number"},
        {"-1 press esc\n", "test.inp:1: the time -1 is outside 0 to 1e+06"},
        {"nan press esc\n", "test.inp:1: the time \"nan\" is no number"},
        {"0 press\n", "test.inp:1: \"press\" takes 1 to 1 arguments, not 0"},
        {"0 release esc F1\n", "test.inp:1: \"release\" takes 1 to 1 arguments, not 2"},
        {"0\n", "test.inp:1: a line needs a time and an action"},
        {"\n\n0 impulse 256 1\n", "test.inp:3: the impulse 256 is outside 0 to 255"},
        {"0 impulse 1.5 1\n", "test.inp:1: the impulse \"1.5\" is no whole number"},
        {"0 impulse 100 inf\n", "test.inp:1: the value \"inf\" is no number"},
        {"0 impulse 100 1e39\n", "test.inp:1: the value 1e39 is beyond the float range"},
        {"0 impulse 100 1 99999999999999999999\n",
         "test.inp:1: the context 99999999999999999999 is outside -2147483648 to 2147483647"},
        {"0 axis 0 16 0\n", "test.inp:1: the axis 16 is outside 0 to 15"},
        {"0 axis 8 0 0\n", "test.inp:1: the joystick 8 is outside 0 to 7"},
        {"0 axis 0 0 1.5\n", "test.inp:1: the axis value 1.5 is outside -1 to 1"},
        {"0 cursor 1 2000000\n", "test.inp:1: y 2000000 is outside -1000000 to 1000000"},
        {"0 joystick \"Wheel\n", "test.inp:1: unterminated string"},
        {"0 joystick \"\"\n", "test.inp:1: a joystick name has 1 to 63 characters"},
        {"0 joystick j a b c d e f g h i j k l m n o p q\n",
         "test.inp:1: \"joystick\" takes 1 to 17 arguments, not 18"},
        {"0 press \"1\n", "test.inp:1: unterminated string"},
        {"0 press esc /* never closed\n", "test.inp:1: unterminated comment"},
        {"0 press esc\n0 press\0 esc\n"s, "test.inp:2: unexpected NUL character"},
    };
    for (const case_t& c : cases) {
        log_clear_capture();
        std::vector<inp_event_t> events;
        EXPECT_FALSE(inp_script_parse(c.text, "test.inp", events)) << c.text;
        EXPECT_TRUE(events.empty()) << c.text;
        EXPECT_TRUE(engine_log_has(c.message))
            << c.text << " gave " << (log_captured().empty() ? "nothing" : log_captured().back().text);
    }
}

TEST_F(input_script_test, script_file_is_loaded_whole_or_not_at_all)
{
    const auto good = write_data_file("good.inp", "0 press esc\r\n0.5 release esc\r\n");
    ASSERT_TRUE(inp_script_load(good.string()));
    EXPECT_EQ(inp_queue_pending(), 2u);

    const auto bad = write_data_file("bad.inp", "0 press esc\n0 press esc esc\n");
    EXPECT_FALSE(inp_script_load(bad.string()));
    EXPECT_TRUE(engine_log_has(bad.string() + ":2: \"press\" takes 1 to 1 arguments, not 2"));
    EXPECT_EQ(inp_queue_pending(), 2u);

    EXPECT_FALSE(inp_script_load((data_root_ / "missing.inp").string()));
    EXPECT_FALSE(engine_log_matching("missing.inp: cannot open it").empty());
}

}  // namespace
