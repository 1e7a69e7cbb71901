#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include <locale.h>

#include "engine/text.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// Moves `text` past leading blanks and one sign; answers true when the sign was '-'.
bool skip_blanks_and_sign(const char*& text)
{
    while (is_blank(*text))
        ++text;
    if (*text == '+' || *text == '-')
        return *text++ == '-';
    return false;
}

}  // namespace

ENGINE_API int v_atoi(const char* text)
{
    if (!text)
        return 0;
    const bool negative = skip_blanks_and_sign(text);
    // Accumulate with a ceiling so a long run of digits cannot overflow.
    constexpr uint64_t ceiling = uint64_t{1} << 33;
    uint64_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        if (magnitude < ceiling)
            magnitude = magnitude * 10 + static_cast<uint64_t>(*text - '0');
    }
    if (negative)
        return magnitude > uint64_t{INT32_MAX} + 1 ? INT32_MIN : static_cast<int>(-static_cast<int64_t>(magnitude));
    if (magnitude > UINT32_MAX)
        return INT32_MAX;
    return static_cast<int>(static_cast<uint32_t>(magnitude));
}

ENGINE_API float v_atof(const char* text)
{
    if (!text)
        return 0.0f;
    const bool negative = skip_blanks_and_sign(text);
    // from_chars takes neither a sign nor blanks before the digits: those were handled above.
    if (*text == '+' || *text == '-')
        return 0.0f;
    const char* end = text;
    while (*end)
        ++end;
    float value = 0.0f;
    const std::from_chars_result result = std::from_chars(text, end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // Huge magnitudes saturate to the largest float (never infinity), tiny ones are 0. The C
        // library tells which, in the "C" locale so a decimal point is always '.'.
        static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
        const float wide = strtof_l(text, nullptr, c_locale);
        value = std::isinf(wide) ? std::numeric_limits<float>::max() : 0.0f;
    } else if (result.ec != std::errc()) {
        return 0.0f;
    }
    return negative ? -value : value;
}
