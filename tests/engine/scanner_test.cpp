#include <gtest/gtest.h>

#include <cstdint>
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
        tokens.push_back(std::string(1, kinds[static_cast<int>(token.kind)]) + ":" + token.text + "@" +
                         std::to_string(token.line));
    }
    return tokens;
}

TEST_F(scanner_test, splits_words_numbers_strings_and_punctuation_with_lines)
{
    const std::vector<std::string> expected = {
        "w:road@1", "p:{@1",      "w:name@2", "p:=@2",           "s:a; b | c: <color value=ff00ff>@2",
        "p:;@2",    "n:-1.5e3@3", "n:0x1F@3", "w:/defs/x.def@3", "w:12abc@4",
        "p:}@6",
    };
    EXPECT_EQ(scan_all("road {\n name = \"a; b | c: <color value=ff00ff>\";\n-1.5e3 0x1F /defs/x.def\n"
                       "12abc // comment\n/* multi\n line */ }"),
              expected);
    EXPECT_EQ(scan_all("}\n/* a\nb */ }").back(), "p:}@3");
}

TEST_F(scanner_test, resolves_escapes_and_keeps_unknown_ones)
{
    EXPECT_EQ(scan_all(R"("a\"b\\c\nd\te" "c:\dir")"), (std::vector<std::string>{"s:a\"b\\c\nd\te@1", "s:c:\\dir@1"}));
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

TEST_F(scanner_test, whole_numbers_read_wholly_within_their_range)
{
    constexpr int64_t i32_min = INT32_MIN, i32_max = INT32_MAX, u32_max = UINT32_MAX;
    const struct {
        const char* text;
        int64_t low, high;
        number_fault_t fault;
        int64_t value;  // when the fault is none
    } cases[] = {
        {"0", 0, 10, number_fault_t::none, 0},
        {"10", 0, 10, number_fault_t::none, 10},
        {"11", 0, 10, number_fault_t::out_of_range, 0},
        {"-1", 0, 10, number_fault_t::out_of_range, 0},
        {"+7", 0, 10, number_fault_t::none, 7},
        {"-2147483648", i32_min, i32_max, number_fault_t::none, i32_min},
        {"2147483648", i32_min, i32_max, number_fault_t::out_of_range, 0},
        {"0xFFFFFFFF", 0, u32_max, number_fault_t::none, u32_max},
        {"0x100000000", 0, u32_max, number_fault_t::out_of_range, 0},
        {"-0x10", -100, 100, number_fault_t::none, -16},
        {"9223372036854775807", INT64_MIN, INT64_MAX, number_fault_t::none, INT64_MAX},
        {"9223372036854775808", INT64_MIN, INT64_MAX, number_fault_t::out_of_range, 0},
        {"-9223372036854775808", INT64_MIN, INT64_MAX, number_fault_t::none, INT64_MIN},
        {"-9223372036854775809", INT64_MIN, INT64_MAX, number_fault_t::out_of_range, 0},
        {"184467440737095516160", INT64_MIN, INT64_MAX, number_fault_t::out_of_range, 0},
        {"1.5", 0, 10, number_fault_t::not_whole, 0},
        {"1.0", 0, 10, number_fault_t::not_whole, 0},
        {"1e3", 0, 10000, number_fault_t::not_whole, 0},
        {"12abc", 0, 100, number_fault_t::not_a_number, 0},
        {"5 ", 0, 10, number_fault_t::not_a_number, 0},
        {" 5", 0, 10, number_fault_t::not_a_number, 0},
        {"0x", 0, 10, number_fault_t::not_a_number, 0},
        {"", 0, 10, number_fault_t::not_a_number, 0},
        {"nan", 0, 10, number_fault_t::not_a_number, 0},
    };
    for (const auto& c : cases) {
        int64_t value = -42;
        EXPECT_EQ(scanner_read_whole(c.text, c.low, c.high, value), c.fault) << '"' << c.text << '"';
        EXPECT_EQ(value, c.fault == number_fault_t::none ? c.value : -42) << '"' << c.text << '"';
    }
}

TEST_F(scanner_test, reals_are_finite_floats_within_their_range)
{
    const double f = scanner_t::real_limit;
    const struct {
        const char* text;
        double low, high;
        number_fault_t fault;
        double value;  // when the fault is none
    } cases[] = {
        {"2.5", -f, f, number_fault_t::none, 2.5},
        {".5", -f, f, number_fault_t::none, 0.5},
        {"-1e3", -f, f, number_fault_t::none, -1000.0},
        {"0x1F", -f, f, number_fault_t::none, 31.0},
        {"3.4028234e38", -f, f, number_fault_t::none, 3.4028234e38},
        {"3.5e38", -f, f, number_fault_t::beyond_float, 0.0},
        {"-1e39", -f, f, number_fault_t::beyond_float, 0.0},
        {"1e999", -f, f, number_fault_t::beyond_float, 0.0},
        {"1e-50", -f, f, number_fault_t::none, 1e-50},
        {"1", -1.0, 1.0, number_fault_t::none, 1.0},
        {"-1", -1.0, 1.0, number_fault_t::none, -1.0},
        {"1.5", -1.0, 1.0, number_fault_t::out_of_range, 0.0},
        {"nan", -f, f, number_fault_t::not_a_number, 0.0},
        {"inf", -f, f, number_fault_t::not_a_number, 0.0},
        {"-infinity", -f, f, number_fault_t::not_a_number, 0.0},
        {"1.5x", -f, f, number_fault_t::not_a_number, 0.0},
        {"1e", -f, f, number_fault_t::not_a_number, 0.0},
        {"", -f, f, number_fault_t::not_a_number, 0.0},
    };
    for (const auto& c : cases) {
        double value = -42.0;
        EXPECT_EQ(scanner_read_real(c.text, c.low, c.high, value), c.fault) << '"' << c.text << '"';
        EXPECT_EQ(value, c.fault == number_fault_t::none ? c.value : -42.0) << '"' << c.text << '"';
    }
}

TEST_F(scanner_test, a_bad_number_is_reported_with_source_line_and_what_is_wrong)
{
    const struct {
        const char* text;
        bool whole;  // read as a whole number 0 to 5, else as a real 0 to 1
        const char* message;
    } cases[] = {
        {"\n 7", true, "test.txt:2: the count 7 is outside 0 to 5"},
        {"1.5", true, "test.txt:1: the count \"1.5\" is no whole number"},
        {"\"3\"", true, "test.txt:1: the count \"3\" is no whole number"},
        {"\n\n", true, "test.txt:3: expected the count but the text ends"},
        {"2", false, "test.txt:1: the width 2 is outside 0 to 1"},
        {"1e39", false, "test.txt:1: the width 1e39 is beyond the float range"},
        {"inf", false, "test.txt:1: the width \"inf\" is no number"},
        {"{", false, "test.txt:1: the width \"{\" is no number"},
    };
    for (const auto& c : cases) {
        log_clear_capture();
        scanner_t scanner(c.text, "test.txt");
        int64_t whole = 0;
        double real = 0.0;
        EXPECT_FALSE(c.whole ? scanner.read_whole(whole, "the count", 0, 5)
                             : scanner.read_real(real, "the width", 0.0, 1.0))
            << c.text;
        EXPECT_EQ(scanner.error_text(), c.message);
        EXPECT_TRUE(engine_log_has(c.message)) << c.text;
    }
}

}  // namespace
