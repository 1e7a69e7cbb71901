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

TEST(arg_separate, splits_at_every_separator_and_keeps_empty_fields)
{
    const split_case_t cases[] = {
        {"1024x768x32x60", "x", {"1024", "768", "32", "60"}},
        {"800x600", "x", {"800", "600"}},
        {"640 x 480", "x", {"640 ", " 480"}},
        {"", "x", {}},
        {nullptr, "x", {}},
        {"text;;1;2;3", ";", {"text", "", "1", "2", "3"}},
        {";", ";", {"", ""}},
        {"a;b;", ";", {"a", "b", ""}},
        {"a:b|c", ":|", {"a", "b", "c"}},
        {"\"a;b\"", ";", {"\"a", "b\""}},
        {"whole", "", {"whole"}},
        {"whole", nullptr, {"whole"}},
    };
    for (const split_case_t& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(null)");
        arg_t args;
        ASSERT_EQ(args.separate(c.text, c.separators), static_cast<int>(c.fields.size()));
        for (size_t i = 0; i < c.fields.size(); ++i)
            EXPECT_STREQ(args[static_cast<int>(i)], c.fields[i].c_str()) << "field " << i;
        EXPECT_EQ(args.get(args.count()), nullptr);
        EXPECT_EQ(args.get(-1), nullptr);
    }
}

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
