#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/log.h"
#include "engine/scanner.h"
#include "engine_testing/engine_test.h"

namespace {

using scanner_test = engine_test_t;

// Every token of `text` as "<kind letter>:<text>@<line>".
std::vector<std::string> scan_all(const std::string& text, const char* punctuation = scanner_t::default_punctuation)
{
    scanner_t scanner(text, "test.txt", punctuation);
    std::vector<std::string> tokens;
    token_t token;
    while (scanner.next(token)) {
        const char* kinds = "ewnsp";
        tokens.push_back(std::string(1, kinds[static_cast<int>(token.kind)]) + ":" + token.text + "@"
                         + std::to_string(token.line));
    }
    return tokens;
}

TEST_F(scanner_test, splits_words_numbers_strings_and_punctuation_with_lines)
{
    const std::vector<std::string> expected = {
        "w:road@1", "p:{@1", "w:name@2", "p:=@2", "s:a; b | c: <color value=ff00ff>@2", "p:;@2",
        "n:-1.5e3@3", "n:0x1F@3", "w:/defs/x.def@3", "w:12abc@4", "p:}@6",
    };
    EXPECT_EQ(scan_all("road {\n name = \"a; b | c: <color value=ff00ff>\";\n-1.5e3 0x1F /defs/x.def\n"
                       "12abc // comment\n/* multi\n line */ }"),
              expected);
    EXPECT_EQ(scan_all("}\n/* a\nb */ }").back(), "p:}@3");
}

TEST_F(scanner_test, resolves_escapes_and_keeps_unknown_ones)
{
    EXPECT_EQ(scan_all(R"("a\"b\\c\nd\te" "c:\dir")"),
              (std::vector<std::string>{"s:a\"b\\c\nd\te@1", "s:c:\\dir@1"}));
}

TEST_F(scanner_test, punctuation_set_is_the_callers)
{
    EXPECT_EQ(scan_all("a|b=c", "|"), (std::vector<std::string>{"w:a@1", "p:|@1", "w:b=c@1"}));
}

TEST_F(scanner_test, reports_faults_with_source_and_line_and_then_stops)
{
    struct fault_case_t {
        const char* text;
        const char* message;
    };
    const fault_case_t cases[] = {
        {"a\nb \"never closed\nc", "test.txt:2: unterminated string"},
        {"a /* never closed\n\n", "test.txt:1: unterminated comment"},
        {"a\n\n{ b", "test.txt:3: expected '}' but the text ends"},
    };
    for (const fault_case_t& c : cases) {
        log_clear_capture();
        scanner_t scanner(c.text, "test.txt");
        token_t token;
        while (scanner.next(token) && !token.is('{')) {
        }
        if (token.is('{')) {
            scanner.next(token);
            scanner.expect('}');
        }
        EXPECT_TRUE(scanner.failed()) << c.text;
        EXPECT_EQ(scanner.error_text(), c.message);
        EXPECT_TRUE(engine_log_has(c.message)) << c.text;
        EXPECT_FALSE(scanner.next(token));
    }
}

TEST_F(scanner_test, refuses_a_token_longer_than_the_limit)
{
    const std::string long_word(scanner_t::max_token_bytes + 1, 'x');
    const std::string long_string = "\n\"" + long_word + "\"";
    for (const std::string& text : {long_word, long_string}) {
        scanner_t scanner(text, "big.def");
        token_t token;
        EXPECT_FALSE(scanner.next(token));
        EXPECT_TRUE(scanner.failed());
        EXPECT_NE(scanner.error_text().find("too long"), std::string::npos);
    }
    const std::string exact(scanner_t::max_token_bytes, 'y');
    scanner_t scanner(exact, "ok.def");
    token_t token;
    EXPECT_TRUE(scanner.next(token));
    EXPECT_EQ(token.text.size(), scanner_t::max_token_bytes);
}

TEST_F(scanner_test, number_recognition)
{
    for (const char* yes : {"0", "-3", "+2.5", ".5", "1e9", "1.5E-3", "0x0", "0xfF"})
        EXPECT_TRUE(scanner_is_number(yes)) << yes;
    for (const char* no : {"", "-", ".", "1e", "0x", "1.2.3", "12abc", "0xg", "e5"})
        EXPECT_FALSE(scanner_is_number(no)) << no;
}

}  // namespace
