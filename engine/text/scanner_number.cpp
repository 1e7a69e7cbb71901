// The scanner's number reading: every engine text format converts its numbers here, so a range, an
// overflow or trailing junk is refused the same way everywhere.
#include <algorithm>
#include <cinttypes>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

#include <locale.h>

#include "engine/scanner.h"

namespace {

// Value of `c` as a digit of `base` (10 or 16); -1 when it is none.
int digit_value(char c, unsigned base)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A number's text for messages: printable and short, whatever the file held.
constexpr int shown_bytes = 64;

}  // namespace

number_fault_t scanner_read_whole(std::string_view text, int64_t low, int64_t high, int64_t& out)
{
    if (!scanner_is_number(text))
        return number_fault_t::not_a_number;
    size_t i = 0;
    const bool negative = text[0] == '-';
    if (text[0] == '-' || text[0] == '+')
        ++i;
    const bool hex = text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X";
    const unsigned base = hex ? 16 : 10;
    if (hex)
        i += 2;
    // Accumulate without wrapping: a magnitude past 2^64 is only remembered as too large.
    uint64_t magnitude = 0;
    bool too_large = false;
    for (; i < text.size(); ++i) {
        const int digit = digit_value(text[i], base);
        if (digit < 0)
            return number_fault_t::not_whole;  // a fraction or an exponent: the text is a number
        if (magnitude > (UINT64_MAX - static_cast<uint64_t>(digit)) / base)
            too_large = true;
        else
            magnitude = magnitude * base + static_cast<uint64_t>(digit);
    }
    constexpr uint64_t largest = static_cast<uint64_t>(INT64_MAX);
    if (too_large || magnitude > largest + (negative ? 1 : 0))
        return number_fault_t::out_of_range;
    const int64_t value = !negative             ? static_cast<int64_t>(magnitude)
                          : magnitude > largest ? INT64_MIN
                                                : -static_cast<int64_t>(magnitude);
    if (value < low || value > high)
        return number_fault_t::out_of_range;
    out = value;
    return number_fault_t::none;
}

number_fault_t scanner_read_real(std::string_view text, double low, double high, double& out)
{
    if (!scanner_is_number(text))
        return number_fault_t::not_a_number;
    // The "C" locale, so the decimal point is '.' whatever the host set; the syntax was checked above,
    // so strtod reads the whole text (0x-hexadecimal included).
    static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", nullptr);
    const std::string copy(text);
    const double value = strtod_l(copy.c_str(), nullptr, c_locale);
    if (!(std::fabs(value) <= scanner_t::real_limit))
        return number_fault_t::beyond_float;
    if (value < low || value > high)
        return number_fault_t::out_of_range;
    out = value;
    return number_fault_t::none;
}

bool scanner_t::whole_of(const token_t& token, int64_t& out, const char* what, int64_t low, int64_t high)
{
    if (failed_)
        return false;
    if (token.kind == token_kind_t::end) {
        fail(token.line, "expected %s but the text ends", what);
        return false;
    }
    const number_fault_t fault = token.kind == token_kind_t::number ? scanner_read_whole(token.text, low, high, out)
                                                                    : number_fault_t::not_a_number;
    const int shown = static_cast<int>(std::min<size_t>(token.text.size(), shown_bytes));
    switch (fault) {
    case number_fault_t::none:
        return true;
    case number_fault_t::out_of_range:
        fail(token.line, "%s %.*s is outside %" PRId64 " to %" PRId64, what, shown, token.text.c_str(), low, high);
        return false;
    default:
        fail(token.line, "%s \"%.*s\" is no whole number", what, shown, token.text.c_str());
        return false;
    }
}

bool scanner_t::real_of(const token_t& token, double& out, const char* what, double low, double high)
{
    if (failed_)
        return false;
    if (token.kind == token_kind_t::end) {
        fail(token.line, "expected %s but the text ends", what);
        return false;
    }
    const number_fault_t fault = token.kind == token_kind_t::number ? scanner_read_real(token.text, low, high, out)
                                                                    : number_fault_t::not_a_number;
    const int shown = static_cast<int>(std::min<size_t>(token.text.size(), shown_bytes));
    switch (fault) {
    case number_fault_t::none:
        return true;
    case number_fault_t::out_of_range:
        fail(token.line, "%s %.*s is outside %g to %g", what, shown, token.text.c_str(), low, high);
        return false;
    case number_fault_t::beyond_float:
        fail(token.line, "%s %.*s is beyond the float range", what, shown, token.text.c_str());
        return false;
    default:
        fail(token.line, "%s \"%.*s\" is no number", what, shown, token.text.c_str());
        return false;
    }
}

bool scanner_t::read_whole(int64_t& out, const char* what, int64_t low, int64_t high)
{
    token_t token;
    next(token);
    return whole_of(token, out, what, low, high);
}

bool scanner_t::read_real(double& out, const char* what, double low, double high)
{
    token_t token;
    next(token);
    return real_of(token, out, what, low, high);
}
