#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/bind.h"
#include "engine/command.h"
#include "engine/input.h"
#include "engine/input_queue.h"
#include "engine_testing/engine_test.h"

namespace {

using input_bindings_test = engine_test_t;

// Names of the triggers bound to an impulse in a context, in store order.
std::vector<std::string> keys_of(const char* impulse_name, int context)
{
    std::vector<std::string> keys;
    for (const bind_t* b = inp_trigger_impulsealias(impulse_name, context, nullptr); b;
         b = inp_trigger_impulsealias(impulse_name, context, b))
        keys.push_back(b->trigger->name);
    return keys;
}

std::vector<std::string> keys_of_command(const char* command)
{
    std::vector<std::string> keys;
    for (const bind_t* b = inp_trigger_command(command, nullptr); b; b = inp_trigger_command(command, b))
        keys.push_back(b->trigger->name);
    return keys;
}

const char* alias(int impulse) { return inp_impulse_get(impulse)->name; }

void press(uint32_t code, bool down)
{
    inp_event_t event;
    event.kind = down ? inp_event_kind_t::press : inp_event_kind_t::release;
    event.code = code;
    inp_queue_events({event});
    inp_run_frame(0.0);
}

std::vector<std::string> commands_run;
// A console command that records its name and first argument.
void record_command()
{
    commands_run.push_back(std::string(cmd_argv(0)) + (cmd_argc() > 1 ? std::string(" ") + cmd_argv(1) : ""));
}

TEST_F(input_bindings_test, trigger_codes_and_key_names_match_both_ways)
{
    struct case_t {
        uint32_t code;
        const char* name;
    };
    const case_t cases[] = {
        {0x01, "esc"}, {0x45, "pause"}, {0xC9, "pgup"}, {0xD1, "pgdn"},  {0x4A, "num-"},     {0x4E, "num+"},
        {0x3B, "F1"},  {0x44, "F10"},   {0x29, "`"},    {0x39, "space"}, {0x02, "1"},        {0x08, "7"},
        {0x1E, "a"},   {0xC8, "up"},    {0x1A, "["},    {0x54, "key84"}, {262, "mouse1"},    {264, "mouse3"},
        {280, "joy1"}, {292, "joy13"},  {293, "pov1"},  {296, "pov4"},   {323, "joystick1"}, {325, "joystick3"},
    };
    for (const case_t& c : cases) {
        const inp_trigger_t* trigger = inp_trigger(c.code);
        ASSERT_NE(trigger, nullptr) << c.code;
        EXPECT_STREQ(trigger->name, c.name);
        EXPECT_EQ(trigger->code, c.code);
        EXPECT_TRUE(bind_add_cmd(c.name, "probe", 0, 0)) << c.name;
        EXPECT_EQ(inp_trigger_ptr2code(bind_get(c.name)), static_cast<int>(c.code)) << c.name;
    }
    for (const uint32_t no_trigger : {0u, 256u, 270u, 297u, 322u, 331u, 0xFFFFFFFFu})
        EXPECT_EQ(inp_trigger(no_trigger), nullptr) << no_trigger;
    ASSERT_TRUE(bind_add_cmd("H", "probe", 1, 0));
    EXPECT_EQ(inp_trigger_ptr2code(bind_get("h")), 0x23) << "letters match in any case";
}

TEST_F(input_bindings_test, trigger_record_reads_as_its_key_name)
{
    ASSERT_TRUE(bind_add_imp(reinterpret_cast<const char*>(inp_trigger(0xC8)), alias(100), 0, 1));
    EXPECT_EQ(keys_of(alias(100), 0), std::vector<std::string>{"up"});
}

TEST_F(input_bindings_test, bindings_walk_in_the_order_they_were_added)
{
    ASSERT_TRUE(bind_add_imp("F5", alias(180), 0, 1));
    ASSERT_TRUE(bind_add_imp("joy2", alias(180), 0, 1));
    ASSERT_TRUE(bind_add_imp("mouse3", alias(180), 0, 1));
    ASSERT_TRUE(bind_add_imp("g", alias(180), 1, 0));
    EXPECT_EQ(keys_of(alias(180), 0), (std::vector<std::string>{"F5", "joy2", "mouse3"}));
    EXPECT_EQ(keys_of(alias(180), 1), std::vector<std::string>{"g"});

    ASSERT_TRUE(bind_add_imp("joy2", alias(180), 0, 1));
    EXPECT_EQ(keys_of(alias(180), 0).size(), 3u) << "the same binding is kept once";
}

TEST_F(input_bindings_test, deleting_removes_exactly_the_named_bindings)
{
    ASSERT_TRUE(bind_add_imp("a", alias(150), 0, 1));
    ASSERT_TRUE(bind_add_imp("joy1", alias(150), 0, 1));
    ASSERT_TRUE(bind_add_imp("q", alias(150), 0, 1));
    ASSERT_TRUE(bind_add_imp("1", alias(150), 2, 0));
    ASSERT_TRUE(bind_add_cmd("F10", "screenshot", 0, 1));
    ASSERT_TRUE(bind_add_cmd("mouse2", "screenshot", 0, 1));

    EXPECT_EQ(bind_del_impulsealias_rng(alias(150), 280, 280, 0), 1);
    EXPECT_EQ(keys_of(alias(150), 0), (std::vector<std::string>{"a", "q"}));

    EXPECT_TRUE(bind_del(inp_trigger_command("screenshot", nullptr)->id));
    EXPECT_EQ(keys_of_command("screenshot"), std::vector<std::string>{"mouse2"});
    EXPECT_FALSE(bind_del(999));

    EXPECT_EQ(bind_del_impulsealias(alias(150), 0), 2);
    EXPECT_TRUE(keys_of(alias(150), 0).empty());
    EXPECT_EQ(keys_of(alias(150), 2), std::vector<std::string>{"1"}) << "another context keeps its binding";

    EXPECT_EQ(bind_del_command("screenshot"), 1);
    EXPECT_EQ(inp_trigger_command("screenshot", nullptr), nullptr);
}

TEST_F(input_bindings_test, renamed_impulse_is_bound_by_its_new_name)
{
    inp_impulse_t* impulse = inp_impulse_get(170);
    ASSERT_NE(impulse, nullptr);
    strcpy(impulse->name, "vo_1");
    ASSERT_TRUE(bind_add_imp("1", "vo_1", 2, 0));
    EXPECT_EQ(inp_trigger_impulsealias("vo_1", 2, nullptr)->impulse, 170);
    EXPECT_FALSE(bind_add_imp("1", "no_such_impulse", 2, 0));
    EXPECT_FALSE(bind_add_imp("no_such_key", "vo_1", 2, 0));
    EXPECT_FALSE(bind_add_cmd(nullptr, "pause", 1, 0));
    EXPECT_EQ(inp_impulse_get(256), nullptr);
    EXPECT_EQ(inp_impulse_get(-1), nullptr);
}

TEST_F(input_bindings_test, stale_binding_ends_a_walk_instead_of_being_read)
{
    ASSERT_TRUE(bind_add_cmd("F10", "screenshot", 0, 1));
    ASSERT_TRUE(bind_add_cmd("F11", "screenshot", 0, 1));
    const bind_t* first = inp_trigger_command("screenshot", nullptr);
    ASSERT_TRUE(bind_del(first->id));
    EXPECT_EQ(inp_trigger_command("screenshot", first), nullptr);
    EXPECT_EQ(inp_trigger_ptr2code(first), -1);
    EXPECT_EQ(inp_trigger_ptr2code(nullptr), -1);
}

TEST_F(input_bindings_test, held_key_drives_its_impulse_only_in_its_context)
{
    ASSERT_TRUE(bind_add_imp("1", alias(130), 0, 1));
    strcpy(inp_impulse_get(170)->name, "vo_1");
    ASSERT_TRUE(bind_add_imp("1", "vo_1", 2, 0));

    press(0x02, true);
    EXPECT_EQ(inp_impulse_value(130, 0), 1.0f);
    EXPECT_EQ(inp_impulse_value(130, 2), 0.0f);
    EXPECT_EQ(inp_impulse_value(170, 2), 1.0f);
    press(0x02, false);
    EXPECT_EQ(inp_impulse_value(130, 0), 0.0f);
    EXPECT_EQ(inp_impulse_value(170, 2), 0.0f);
}

TEST_F(input_bindings_test, pressed_key_runs_its_commands_once_per_press)
{
    commands_run.clear();
    ASSERT_TRUE(cmd_register_command("game_menu", record_command));
    // Stand in for the UI's own "ui" command to see its words.
    ASSERT_TRUE(cmd_unregister_command("ui"));
    ASSERT_TRUE(cmd_register_command("ui", record_command));
    ASSERT_TRUE(bind_add_cmd("esc", "game_menu", 1, 0));
    ASSERT_TRUE(bind_add_cmd("pause", "pause", 1, 0));
    ASSERT_TRUE(bind_add_cmd("esc", "ui t console:system_02", 1, 0));

    press(0x01, true);
    press(0x01, true);
    press(0x01, false);
    EXPECT_EQ(commands_run, (std::vector<std::string>{"game_menu", "ui t"}));

    ASSERT_TRUE(bind_del(bind_get("esc")->id));
    press(0x01, true);
    EXPECT_EQ(commands_run.back(), "ui t");
    EXPECT_EQ(commands_run.size(), 3u);
}

TEST_F(input_bindings_test, bound_command_runs_in_the_frame_its_key_goes_down)
{
    commands_run.clear();
    ASSERT_TRUE(cmd_register_command("screenshot", record_command));
    ASSERT_TRUE(bind_add_cmd("F10", "screenshot", 0, 1));
    inp_event_t event;
    event.time = 0.5;
    event.code = 0x44;
    inp_queue_events({event});
    engine_run_frames(2, 0.25);
    EXPECT_TRUE(commands_run.empty());
    engine_run_frames(1, 0.25);
    EXPECT_EQ(commands_run, std::vector<std::string>{"screenshot"});
}

TEST_F(input_bindings_test, bind_command_binds_a_key_to_the_rest_of_its_line)
{
    ASSERT_TRUE(cmd_execute("bind q quit"));
    ASSERT_NE(bind_get("q"), nullptr);
    EXPECT_STREQ(bind_get("q")->command, "quit");
    EXPECT_EQ(bind_get("q")->context, 1);

    ASSERT_TRUE(cmd_execute("bind F1 map xyz; bind ` \"ui t console:system_02\""));
    EXPECT_STREQ(bind_get("F1")->command, "map xyz");
    EXPECT_STREQ(bind_get("`")->command, "ui t console:system_02");

    cmd_execute("bind q");
    EXPECT_TRUE(engine_log_has("usage: bind KEY COMMAND"));
    cmd_execute("bind nosuchkey quit");
    EXPECT_EQ(bind_get("nosuchkey"), nullptr);

    // An engine command: still there after a reset.
    engine_reset();
    EXPECT_TRUE(cmd_execute("bind q quit"));
}

}  // namespace
