#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/bind.h"
#include "engine/command.h"
#include "engine/config.h"
#include "engine/cvar.h"
#include "engine/vfs.h"
#include "engine_testing/engine_test.h"

namespace {

// What the recording command saw: the words of each call.
std::vector<std::vector<std::string>> calls;

void record_command()
{
    std::vector<std::string> words;
    for (int i = 0; i < cmd_argc(); ++i)
        words.emplace_back(cmd_argv(i));
    EXPECT_STREQ(cmd_argv(cmd_argc()), "") << "past the end is empty, not null";
    calls.push_back(words);
}

// Runs a nested command, then checks its own words are back.
void outer_command()
{
    cmd_execute("record inner");
    calls.push_back({"outer saw", cmd_argv(1)});
}

std::vector<std::string> changes;
void note_change(cvar_t* variable) { changes.push_back(std::string(variable->name()) + "=" + variable->value()); }

class console_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        calls.clear();
        changes.clear();
        ASSERT_TRUE(cmd_register_command("record", record_command));
    }

    std::string home_text(const char* name)
    {
        std::ifstream in(home_ / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(console_test, commands_receive_their_words)
{
    using words_t = std::vector<std::string>;
    const struct {
        const char* line;
        std::vector<words_t> expected;
    } cases[] = {
        {"record", {{"record"}}},
        {"RECORD map  mainland", {{"RECORD", "map", "mainland"}}},
        {"record \"two words\" x", {{"record", "two words", "x"}}},
        {"record a; record b", {{"record", "a"}, {"record", "b"}}},
        {"record \"a;b\" // comment; record c", {{"record", "a;b"}}},
        {"record \"q\\\"uote\\\\\" C:\\games", {{"record", "q\"uote\\", "C:\\games"}}},
        {"record ui t console:system_02\nrecord x", {{"record", "ui", "t", "console:system_02"}, {"record", "x"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        calls.clear();
        EXPECT_TRUE(cmd_execute(c.line));
        EXPECT_EQ(calls, c.expected);
    }
    EXPECT_EQ(cmd_argc(), 0);
    EXPECT_STREQ(cmd_argv(0), "");
}

TEST_F(console_test, nested_command_keeps_the_outer_words)
{
    ASSERT_TRUE(cmd_register_command("outer", outer_command));
    EXPECT_TRUE(cmd_execute("outer mine"));
    EXPECT_EQ(calls, (std::vector<std::vector<std::string>>{{"record", "inner"}, {"outer saw", "mine"}}));
}

TEST_F(console_test, registration_refuses_duplicates_and_unregister_removes)
{
    EXPECT_FALSE(cmd_register_command("Record", record_command));
    EXPECT_FALSE(cmd_register_command("", record_command));
    EXPECT_FALSE(cmd_register_command("x", nullptr));
    EXPECT_TRUE(cmd_unregister_command("record"));
    EXPECT_FALSE(cmd_unregister_command("record"));
    EXPECT_FALSE(cmd_execute("record"));
    EXPECT_TRUE(engine_log_has("unknown command \"record\""));
    EXPECT_TRUE(calls.empty());
}

TEST_F(console_test, execute_block_skips_comments_and_blank_lines_and_respects_its_size)
{
    const std::string block = "// settings\n\n   \n# a note\r\nrecord one\r\n  record two // trailing\nrecord three";
    EXPECT_TRUE(cmd_execute_block(block.data(), static_cast<long>(block.size()) - 6));
    EXPECT_EQ(calls, (std::vector<std::vector<std::string>>{{"record", "one"}, {"record", "two"}, {"record"}}));
    EXPECT_FALSE(cmd_execute_block(nullptr, 4));
    EXPECT_FALSE(cmd_execute_block("record", -1));
}

TEST_F(console_test, queued_commands_run_at_the_next_frame)
{
    cmd_add("record later");
    EXPECT_TRUE(calls.empty());
    engine_run_frames(1, 0.1);
    EXPECT_EQ(calls, (std::vector<std::vector<std::string>>{{"record", "later"}}));
    engine_run_frames(1, 0.1);
    EXPECT_EQ(calls.size(), 1u);
}

TEST_F(console_test, variable_holds_its_default_until_set_and_set_runs_the_callback)
{
    cvar_t details("g_details", "1", cvar_t::type_integer, note_change, 1);
    ASSERT_TRUE(cvar_register_variable(&details, 0));
    EXPECT_EQ(cvar_get("G_DETAILS"), &details);
    EXPECT_EQ(cvar_get("g_unknown"), nullptr);
    EXPECT_TRUE(details.holds_default());
    EXPECT_STREQ(details.value(), "1");
    EXPECT_STREQ(details.default_text(), "1");
    EXPECT_TRUE(changes.empty()) << "registration runs no callback";

    details.set(details.value());
    EXPECT_EQ(changes, std::vector<std::string>{"g_details=1"});
    EXPECT_TRUE(cmd_execute("g_details 2"));
    EXPECT_FALSE(details.holds_default());
    EXPECT_STREQ(details.value_text(), "2");
    EXPECT_STREQ(details.default_text(), "1");
    EXPECT_EQ(changes.back(), "g_details=2");
    EXPECT_TRUE(cmd_execute("g_details"));
    EXPECT_TRUE(engine_log_has("\"g_details\" is \"2\" (default \"1\")"));
}

TEST_F(console_test, variables_are_listed_and_a_second_record_of_a_name_follows_the_first)
{
    cvar_t first("r_mode", "640x480x16x0", cvar_t::type_text, nullptr, 0);
    cvar_t second("R_MODE", "1x1", cvar_t::type_text, nullptr, 0);
    cvar_t other("r_device", "gl", cvar_t::type_text, nullptr, 0);
    ASSERT_TRUE(cvar_register_variable(&first, 0));
    ASSERT_TRUE(cvar_register_variable(&second, 0));
    ASSERT_TRUE(cvar_register_variable(&other, 0));
    EXPECT_FALSE(cvar_register_variable(&other, 1)) << "unknown options";
    EXPECT_EQ(second.link(), &first);
    second.set("800x600");
    EXPECT_STREQ(first.value(), "800x600");
    EXPECT_STREQ(second.value(), "800x600");
    EXPECT_FALSE(cvar_link(&first, &second)) << "a loop";
    int count = 0;
    cvar_t* const* list = cvar_get_list(&count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(list[0], &first);
    EXPECT_EQ(list[2], &other);
}

TEST_F(console_test, config_is_written_and_read_back_before_registration)
{
    {
        cvar_t mode("r_mode", "640x480x16x0", cvar_t::type_text, nullptr, 0);
        cvar_t name("g_name", "", cvar_t::type_text, nullptr, 0);
        ASSERT_TRUE(cvar_register_variable(&mode, 0));
        ASSERT_TRUE(cvar_register_variable(&name, 0));
        ASSERT_TRUE(cmd_execute("r_mode 800x600"));
        name.set("say \"hi\"; C:\\x\nnext");
        cvar_set_or_keep("s_volume", "0.5");  // kept for a variable this run never registered
        ASSERT_TRUE(process_store_cfg("/config.cfg"));
    }
    EXPECT_EQ(home_text("config.cfg"), "// console variables, run as commands at start\n"
                                       "set r_mode \"800x600\"\n"
                                       "set g_name \"say \\\"hi\\\"; C:\\\\x\\nnext\"\n"
                                       "set s_volume \"0.5\"\n");

    engine_reset();
    ASSERT_TRUE(vfs_init_from_host());
    ASSERT_TRUE(console_load_config());
    cvar_t mode("r_mode", "640x480x16x0", cvar_t::type_text, note_change, 0);
    cvar_t name("g_name", "", cvar_t::type_text, nullptr, 0);
    ASSERT_TRUE(cvar_register_variable(&mode, 0));
    ASSERT_TRUE(cvar_register_variable(&name, 0));
    EXPECT_STREQ(mode.value(), "800x600");
    EXPECT_STREQ(mode.default_text(), "640x480x16x0");
    EXPECT_STREQ(name.value(), "say \"hi\"; C:\\x\nnext");
    EXPECT_TRUE(changes.empty());
}

TEST_F(console_test, config_keeps_the_comment_lines_a_user_wrote_into_it)
{
    cvar_t mode("r_mode", "640x480x16x0", cvar_t::type_text, nullptr, 0);
    ASSERT_TRUE(cvar_register_variable(&mode, 0));
    std::ofstream(home_ / "config.cfg") << "// console variables, run as commands at start\n"
                                        << "// my laptop: keep the small mode\r\n"
                                        << "set r_mode \"800x600\"  // set by hand\n"
                                        << "  # old sound setting\n";
    ASSERT_TRUE(process_store_cfg("/config.cfg"));
    ASSERT_TRUE(process_store_cfg("/config.cfg")) << "kept again, not doubled";
    EXPECT_EQ(home_text("config.cfg"), "// console variables, run as commands at start\n"
                                       "// my laptop: keep the small mode\n"
                                       "  # old sound setting\n"
                                       "set r_mode \"640x480x16x0\"\n");
}

TEST_F(console_test, config_that_cannot_be_written_is_reported)
{
    EXPECT_FALSE(process_store_cfg("/no/such/folder/config.cfg"));
    EXPECT_EQ(engine_log_matching("cannot write /no/such/folder/config.cfg").size(), 1u);
    EXPECT_TRUE(console_load_config()) << "no config yet is fine";
}

TEST_F(console_test, config_keeps_the_keys_bound_with_bind_and_is_replaced_whole)
{
    ASSERT_TRUE(cmd_execute("bind F5 screenshot"));
    ASSERT_TRUE(cmd_execute("bind F6 record \"two words\""));
    ASSERT_TRUE(bind_add_cmd("F7", "quit", 1, 0)) << "a binding the game made itself is not the user's";
    ASSERT_TRUE(process_store_cfg("/config.cfg"));
    const std::string written = home_text("config.cfg");
    EXPECT_NE(written.find("bind \"F5\" \"screenshot\"\n"), std::string::npos) << written;
    EXPECT_NE(written.find("bind \"F6\" \"record two words\"\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("F7"), std::string::npos) << written;
    EXPECT_FALSE(std::filesystem::exists(home_ / "config.cfg.new"));

    // Read back in a new run, the bindings are there and are written again.
    engine_reset();
    ASSERT_TRUE(vfs_init_from_host());
    ASSERT_TRUE(console_load_config());
    ASSERT_NE(bind_get("F5"), nullptr);
    EXPECT_STREQ(bind_get("F5")->command, "screenshot");

    // A write that cannot finish leaves the old file whole.
    std::filesystem::create_directory(home_ / "config.cfg.new");
    EXPECT_FALSE(process_store_cfg("/config.cfg"));
    EXPECT_EQ(home_text("config.cfg"), written);
    ASSERT_TRUE(std::filesystem::remove(home_ / "config.cfg.new"));
    ASSERT_TRUE(process_store_cfg("/config.cfg"));
    EXPECT_EQ(home_text("config.cfg"), written);
}

TEST_F(console_test, config_keeps_the_players_own_bindings_and_reads_them_back)
{
    ASSERT_TRUE(bind_add_imp("i", "impulse_100", 0, 1));
    ASSERT_TRUE(bind_add_cmd("F10", "screenshot", 0, 1));
    ASSERT_TRUE(bind_add_imp("j", "impulse_101", 0, 0)) << "a binding of the game's own is not kept";
    ASSERT_TRUE(process_store_cfg("/config.cfg"));
    const std::string written = home_text("config.cfg");
    EXPECT_NE(written.find("bind_impulse \"i\" 0 100\n"), std::string::npos) << written;
    EXPECT_NE(written.find("bind_command \"F10\" 0 \"screenshot\"\n"), std::string::npos) << written;
    EXPECT_EQ(written.find("\"j\""), std::string::npos) << written;

    engine_reset();
    ASSERT_TRUE(vfs_init_from_host());
    ASSERT_TRUE(console_load_config());
    const bind_t* key = bind_get("i");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->impulse, 100);
    EXPECT_EQ(key->context, 0);
    EXPECT_EQ(key->flags, 1);
    ASSERT_NE(bind_get("F10"), nullptr);
    EXPECT_STREQ(bind_get("F10")->command, "screenshot");
    ASSERT_TRUE(process_store_cfg("/config.cfg"));
    EXPECT_EQ(home_text("config.cfg"), written) << "kept again by the next run";

    ASSERT_TRUE(cmd_execute("bind_impulse k 0 999"));
    ASSERT_TRUE(cmd_execute("bind_impulse k 0"));
    EXPECT_EQ(bind_get("k"), nullptr);
    EXPECT_EQ(engine_log_matching("usage: bind_impulse KEY CONTEXT IMPULSE").size(), 1u);
}

}  // namespace
