#include "common/format.h"

#include <cmath>
#include <cstdlib>

#include "engine/text.h"

namespace {

// Names of the days of the game week, from Monday.
const char* const day_names[7] = {"@@ui_mon@@", "@@ui_tue@@", "@@ui_wed@@", "@@ui_thu@@",
                                  "@@ui_fri@@", "@@ui_sat@@", "@@ui_sun@@"};

// Seconds in one game week; game times are shown within it.
constexpr int64_t week_seconds = 7 * 24 * 3600;

// Colour of negative money, whatever colour the caller asked for.
constexpr uint32_t negative_colour = 0xff0000ffu;

// An amount split into its groups of three digits. The magnitude is taken in 64 bits so the most
// negative 32-bit value has one.
struct digit_groups_t {
    int millions;
    int thousands;
    int units;
};

digit_groups_t split_groups(const int32_t value)
{
    const int64_t magnitude = std::llabs(static_cast<int64_t>(value));
    return {static_cast<int>(magnitude / 1000000), static_cast<int>(magnitude % 1000000 / 1000),
            static_cast<int>(magnitude % 1000)};
}

// Whole seconds within the game week (0 .. week - 1) of a time in seconds, rounded to the nearest
// second; times before the week's start wrap round, a time that is not a number reads as 0.
int64_t week_second(const float seconds)
{
    if (!std::isfinite(seconds))
        return 0;
    const double rounded = std::round(static_cast<double>(seconds));
    const int64_t whole = static_cast<int64_t>(std::fmod(rounded, static_cast<double>(week_seconds)));
    return (whole + week_seconds) % week_seconds;
}

}  // namespace

int format_money(const int32_t value, char* buffer, const size_t size, const uint32_t colour)
{
    const digit_groups_t g = split_groups(value);
    const bool negative = value < 0;
    const char* const sign = negative ? "-" : "";
    const uint32_t shown = negative ? negative_colour : colour;
    if (g.millions != 0)
        return v_snprintf0(buffer, size, "<color value=%x>%s$%d,%03d,%03d<color value=FFFFFFFF>", shown, sign,
                           g.millions, g.thousands, g.units);
    if (g.thousands != 0)
        return v_snprintf0(buffer, size, "<color value=%x>%s$%d,%03d<color value=FFFFFFFF>", shown, sign, g.thousands,
                           g.units);
    return v_snprintf0(buffer, size, "<color value=%x>%s$%d<color value=FFFFFFFF>", shown, sign, g.units);
}

int format_number(const int32_t value, char* buffer, const size_t size, const uint32_t colour)
{
    const digit_groups_t g = split_groups(value);
    const char* const sign = value < 0 ? "-" : "";
    if (g.millions != 0)
        return v_snprintf0(buffer, size, "<color value=%x>%s%d %03d %03d<color value=FFFFFFFF>", colour, sign,
                           g.millions, g.thousands, g.units);
    if (g.thousands != 0)
        return v_snprintf0(buffer, size, "<color value=%x>%s%d %03d<color value=FFFFFFFF>", colour, sign, g.thousands,
                           g.units);
    return v_snprintf0(buffer, size, "<color value=%x>%s%d<color value=FFFFFFFF>", colour, sign, g.units);
}

int format_day_time(const float seconds, char* buffer, const size_t size, const uint32_t colour)
{
    const int64_t minutes = week_second(seconds) / 60;
    const int day = static_cast<int>(minutes / 1440 % 7);
    const int hour = static_cast<int>(minutes / 60 % 24);
    const int minute = static_cast<int>(minutes % 60);
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return v_snprintf0(buffer, size, "<color value=%x>%s   %02d : %02d %s<color value=FFFFFFFF>", colour,
                       day_names[day], hour12, minute, hour < 12 ? "AM" : "PM");
}

int format_game_time(const float seconds, char* buffer, const size_t size, uint32_t /*colour*/)
{
    const int64_t minutes = week_second(seconds) / 60;
    const int days = static_cast<int>(minutes / 1440 % 7);
    const int hour = static_cast<int>(minutes / 60 % 24);
    const int minute = static_cast<int>(minutes % 60);
    if (days == 0)
        return v_snprintf0(buffer, size, "%02d : %02d", hour, minute);
    return v_snprintf0(buffer, size, "%d %s   %02d : %02d", days, days == 1 ? "@@ui_day@@" : "@@ui_days@@", hour,
                       minute);
}
