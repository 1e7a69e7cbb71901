#include "common/input_actions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "engine/bind.h"
#include "engine_testing/engine_test.h"
#include "common/engine_api.h"

namespace {

class input_actions_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        ASSERT_TRUE(bind_engine_for_tests());
    }

    // The key names bound to a command, in store order.
    static std::vector<std::string> command_keys(const char* command)
    {
        std::vector<std::string> keys;
        for (const bind_t* at = inp_trigger_command(command, nullptr); at; at = inp_trigger_command(command, at))
            keys.push_back(at->trigger->name);
        return keys;
    }
    static std::vector<std::string> impulse_keys(int impulse)
    {
        std::vector<std::string> keys;
        const char* name = inp_impulse_get(impulse)->name;
        for (const bind_t* at = inp_trigger_impulsealias(name, 0, nullptr); at;
             at = inp_trigger_impulsealias(name, 0, at))
            keys.push_back(at->trigger->name);
        return keys;
    }
};

TEST(input_action_table, forty_distinct_keys_one_command_and_a_terminator)
{
    std::set<uint32_t> keys;
    int commands = 0;
    for (int row = 0; row < input_action_count; ++row) {
        const input_action_t& action = input_action_table[row];
        const std::string label = action.label;
        EXPECT_EQ(label.rfind("@@o_im_", 0), 0u) << row;
        EXPECT_EQ(label.substr(label.size() - 2), "@@") << row;
        keys.insert(action.default_key);
        EXPECT_NE(action.impulse, 135) << row;
        if (action.impulse < 0) {
            ++commands;
            EXPECT_STREQ(action.command, "screenshot");
            EXPECT_EQ(action.default_key, 0x44u) << "F10";
        }
    }
    EXPECT_EQ(keys.size(), 40u);
    EXPECT_EQ(commands, 1);
    EXPECT_STREQ(input_action_table[input_action_count].label, "");
}

TEST_F(input_actions_test, defaults_replace_every_binding_of_an_impulse_but_only_the_first_of_the_command)
{
    const char* forward = inp_impulse_get(100)->name;
    ASSERT_TRUE(bind_add_imp("joy1", forward, 0, 1));
    ASSERT_TRUE(bind_add_imp("w", forward, 0, 1));
    ASSERT_TRUE(bind_add_cmd("F12", "screenshot", 0, 1));
    ASSERT_TRUE(bind_add_cmd("sysrq", "screenshot", 0, 1));

    apply_default_bindings();
    EXPECT_EQ(impulse_keys(100), std::vector<std::string>{"up"});
    EXPECT_EQ(command_keys("screenshot"), (std::vector<std::string>{"sysrq", "F10"}));
    EXPECT_EQ(impulse_keys(137), std::vector<std::string>{"7"});
    EXPECT_EQ(impulse_keys(187), std::vector<std::string>{"pgdn"});

    apply_default_bindings();
    EXPECT_EQ(command_keys("screenshot"), std::vector<std::string>{"F10"}) << "the first binding then was sysrq";
    EXPECT_TRUE(engine_log_matching("[controls]").empty());
}

}  // namespace
