#include "common/format.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using formatter_t = int (*)(int32_t, char*, size_t, uint32_t);

std::string formatted(const formatter_t format, const int32_t value, const uint32_t colour)
{
    char buffer[128];
    const int count = format(value, buffer, sizeof buffer, colour);
    EXPECT_EQ(count, static_cast<int>(std::string(buffer).size()));
    return buffer;
}

struct amount_case_t {
    int32_t value;
    const char* expected;
};

TEST(format_money, groups_thousands_and_shows_debts_in_red_whatever_the_colour)
{
    const amount_case_t cases[] = {
        {-1234567, "<color value=ff0000ff>-$1,234,567<color value=FFFFFFFF>"},
        {1002003, "<color value=abcdef>$1,002,003<color value=FFFFFFFF>"},
        {1000, "<color value=abcdef>$1,000<color value=FFFFFFFF>"},
        {999, "<color value=abcdef>$999<color value=FFFFFFFF>"},
        {0, "<color value=abcdef>$0<color value=FFFFFFFF>"},
        {-5, "<color value=ff0000ff>-$5<color value=FFFFFFFF>"},
        // Amounts past the millions keep their billions in the leading group.
        {INT32_MIN, "<color value=ff0000ff>-$2147,483,648<color value=FFFFFFFF>"},
        {INT32_MAX, "<color value=abcdef>$2147,483,647<color value=FFFFFFFF>"},
    };
    for (const amount_case_t& c : cases)
        EXPECT_EQ(formatted(format_money, c.value, 0xabcdef), c.expected) << c.value;
}

TEST(format_number, separates_thousands_with_blanks_and_keeps_the_sign)
{
    const amount_case_t cases[] = {
        {1002003, "<color value=ff>1 002 003<color value=FFFFFFFF>"},
        {-1234567, "<color value=ff>-1 234 567<color value=FFFFFFFF>"},
        {-1234, "<color value=ff>-1 234<color value=FFFFFFFF>"},
        {5, "<color value=ff>5<color value=FFFFFFFF>"},
        {0, "<color value=ff>0<color value=FFFFFFFF>"},
        {INT32_MIN, "<color value=ff>-2147 483 648<color value=FFFFFFFF>"},
    };
    for (const amount_case_t& c : cases)
        EXPECT_EQ(formatted(format_number, c.value, 0xff), c.expected) << c.value;
}

TEST(format_money, never_writes_past_the_buffer)
{
    char buffer[12];
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    const int count = format_money(1234567, buffer, 8, 0xffffffff);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(std::string(buffer), "<color ");
    EXPECT_EQ(buffer[8], 'x');
}

struct time_case_t {
    float seconds;
    const char* expected;
};

std::string formatted_time(int (*format)(float, char*, size_t, uint32_t), const float seconds)
{
    char buffer[128];
    format(seconds, buffer, sizeof buffer, 0x11223344);
    return buffer;
}

TEST(format_day_time, shows_the_day_and_a_twelve_hour_clock)
{
    const time_case_t cases[] = {
        {28800.0f, "<color value=11223344>@@ui_mon@@   08 : 00 AM<color value=FFFFFFFF>"},
        {0.0f, "<color value=11223344>@@ui_mon@@   12 : 00 AM<color value=FFFFFFFF>"},
        {43200.0f, "<color value=11223344>@@ui_mon@@   12 : 00 PM<color value=FFFFFFFF>"},
        {90000.0f, "<color value=11223344>@@ui_tue@@   01 : 00 AM<color value=FFFFFFFF>"},
        {604799.6f, "<color value=11223344>@@ui_mon@@   12 : 00 AM<color value=FFFFFFFF>"},
        {6 * 86400.0f + 23 * 3600.0f + 59 * 60.0f,
         "<color value=11223344>@@ui_sun@@   11 : 59 PM<color value=FFFFFFFF>"},
        {-60.0f, "<color value=11223344>@@ui_sun@@   11 : 59 PM<color value=FFFFFFFF>"},
    };
    for (const time_case_t& c : cases)
        EXPECT_EQ(formatted_time(format_day_time, c.seconds), c.expected) << c.seconds;
}

TEST(format_game_time, shows_elapsed_days_only_after_the_first)
{
    const time_case_t cases[] = {
        {90000.0f, "1 @@ui_day@@   01 : 00"},
        {3600.0f, "01 : 00"},
        {28800.0f, "08 : 00"},
        {3 * 86400.0f + 59.6f, "3 @@ui_days@@   00 : 01"},
    };
    for (const time_case_t& c : cases)
        EXPECT_EQ(formatted_time(format_game_time, c.seconds), c.expected) << c.seconds;
}

}  // namespace
