#include <gtest/gtest.h>

#include <new>

#include "engine/cvar.h"
#include "engine_testing/engine_test.h"
#include "common/cvar_value.h"
#include "common/dstring_pair.h"
#include "common/engine_api.h"
#include "common/game_context.h"
#include "common/reserved_key.h"

namespace {

class services_test : public engine_test_t {
protected:
    void SetUp() override
    {
        engine_test_t::SetUp();
        bind_engine_for_tests();
    }
};

TEST_F(services_test, the_game_context_lives_while_a_use_is_held)
{
    EXPECT_EQ(game_context_get(), nullptr) << "no pool before the first use";
    game_context_create();
    game_context_create();
    def_obj_t* context = game_context_get();
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->name(), "context");
    EXPECT_EQ(game_context_get(), context) << "made once, then found";

    game_context_release();
    EXPECT_EQ(game_context_get(), context) << "one use is still held";
    game_context_release();
    EXPECT_EQ(game_context_get(), nullptr);

    game_context_release();
    EXPECT_EQ(engine_log_matching("[game_context] release without a use").size(), 1u);
}

TEST(is_reserved_key, only_the_console_menu_and_pause_keys)
{
    for (int key = -1; key < 256; ++key)
        EXPECT_EQ(is_reserved_key(key), key == 1 || key == 59 || key == 69) << key;
}

TEST_F(services_test, cvar_string_value_reads_the_last_variable_of_the_chain)
{
    cvar_t first("svc_first", "first default", cvar_t::type_text, nullptr, 0);
    cvar_t second("svc_second", "second default", cvar_t::type_text, nullptr, 0);
    cvar_t last("svc_last", "last default", cvar_t::type_text, nullptr, 0);
    ASSERT_TRUE(cvar_register_variable(&first, 0));
    ASSERT_TRUE(cvar_register_variable(&second, 0));
    ASSERT_TRUE(cvar_register_variable(&last, 0));

    EXPECT_STREQ(cvar_string_value(&first), "first default") << "no link: its own default";
    first.set("own");
    EXPECT_STREQ(cvar_string_value(&first), "own") << "no link: its own set value";

    ASSERT_TRUE(cvar_link(&first, &second));
    ASSERT_TRUE(cvar_link(&second, &last));
    EXPECT_STREQ(cvar_string_value(&first), "last default");
    last.set("chained");
    EXPECT_STREQ(cvar_string_value(&first), "chained");
    EXPECT_STREQ(cvar_string_value(&second), "chained");
    EXPECT_EQ(cvar_string_value(nullptr), nullptr);
}

TEST(destroy_dstring_pair, ends_both_texts_of_a_record_built_in_place)
{
    alignas(dstring_pair_t) unsigned char memory[sizeof(dstring_pair_t)];
    auto* record = new (memory) dstring_pair_t{dstring_t("a name long enough to live on the heap, not inline"),
                                               dstring_t("and a text long enough to live on the heap too")};
    EXPECT_STREQ(record->second.c_str(), "and a text long enough to live on the heap too");
    destroy_dstring_pair(record);  // the sanitizer build reports a leak if either text is not freed
    destroy_dstring_pair(nullptr);
}

}  // namespace
