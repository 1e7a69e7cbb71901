#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/arg.h"
#include "engine/dstring.h"

namespace {

// One split: the text, the separators and the fields expected.
struct split_case_t {
    const char* text;
    const char* separators;
    std::vector<std::string> fields;
};

class arg_separate_test : public ::testing::TestWithParam<split_case_t> {};

TEST_P(arg_separate_test, splits_into_the_expected_fields)
{
    const split_case_t& c = GetParam();
    arg_t args;
    ASSERT_EQ(args.separate(c.text, c.separators), static_cast<int>(c.fields.size()));
    for (size_t i = 0; i < c.fields.size(); ++i)
        EXPECT_STREQ(args[static_cast<int>(i)], c.fields[i].c_str()) << "field " << i;
    EXPECT_EQ(args.get(args.count()), nullptr);
    EXPECT_EQ(args.get(-1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    table, arg_separate_test,
    ::testing::Values(split_case_t{"1024x768x32x60", "x", {"1024", "768", "32", "60"}},
                      split_case_t{"800x600", "x", {"800", "600"}},
                      split_case_t{"640 x 480", "x", {"640 ", " 480"}},
                      split_case_t{"", "x", {}}, split_case_t{nullptr, "x", {}},
                      split_case_t{"text;;1;2;3", ";", {"text", "", "1", "2", "3"}},
                      split_case_t{";", ";", {"", ""}}, split_case_t{"a;b;", ";", {"a", "b", ""}},
                      split_case_t{"a:b|c", ":|", {"a", "b", "c"}},
                      split_case_t{"\"a;b\"", ";", {"\"a", "b\""}},
                      split_case_t{"whole", "", {"whole"}}, split_case_t{"whole", nullptr, {"whole"}}));

TEST(arg_separate, a_new_split_forgets_the_previous_fields)
{
    arg_t args;
    args.separate("a:b:c", ":");
    EXPECT_EQ(args.separate("x", ":"), 1);
    EXPECT_STREQ(args[0], "x");
    EXPECT_EQ(args[1], nullptr);
}

TEST(dstring, null_text_is_the_empty_text)
{
    dstring_t s(nullptr);
    EXPECT_TRUE(s.is_empty());
    EXPECT_STREQ(s.c_str(), "");
    s = "tip";
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s == "");
    EXPECT_TRUE(s == nullptr);
}

TEST(dstring, set_append_format_and_copies_are_independent)
{
    dstring_t s("abc");
    s.append("def");
    EXPECT_EQ(s.length(), 6u);
    dstring_t copy = s;
    s.set("xyz123", 3);
    EXPECT_STREQ(s.c_str(), "xyz");
    EXPECT_STREQ(copy.c_str(), "abcdef");
    s.set("ab", 10);
    EXPECT_STREQ(s.c_str(), "ab");
    s.format("%s/%d", "long", 12345);
    EXPECT_STREQ(s.c_str(), "long/12345");
    const std::string big(5000, 'q');
    s.format("%s!", big.c_str());
    EXPECT_EQ(s.length(), 5001u);
    s.set(s.c_str() + 4000);
    EXPECT_EQ(s.length(), 1001u);
}

}  // namespace
