#include "evalue_codec.h"

#include <strings.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "engine/dstring.h"
#include "engine/scanner.h"

namespace {

bool fail(std::string* why, const std::string& reason)
{
    if (why)
        *why = reason;
    return false;
}

// `text` without the blanks around it.
std::string_view trimmed(const char* text)
{
    std::string_view view(text);
    const size_t first = view.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return view.substr(first, view.find_last_not_of(" \t") - first + 1);
}

// Reads a whole decimal integer (an optional "0x" reads hexadecimal) in [minimum, maximum].
bool read_integer(const char* text, long long minimum, long long maximum, long long& out)
{
    int64_t value = 0;
    if (scanner_read_whole(trimmed(text), minimum, maximum, value) != number_fault_t::none)
        return false;
    out = value;
    return true;
}

// Reads up to `count` reals separated by blanks or commas, each a finite float; answers how many it
// read, -1 on bad text.
int read_reals(const char* text, float* out, int count)
{
    const std::string_view view(text);
    constexpr std::string_view separators = " \t,";
    int read = 0;
    for (size_t at = view.find_first_not_of(separators); at != std::string_view::npos;
         at = view.find_first_not_of(separators, at)) {
        if (read == count)
            return -1;
        const size_t end = std::min(view.find_first_of(separators, at), view.size());
        double value = 0.0;
        if (scanner_read_real(view.substr(at, end - at), -scanner_t::real_limit, scanner_t::real_limit, value) !=
            number_fault_t::none)
            return -1;
        out[read++] = static_cast<float>(value);
        at = end;
    }
    return read;
}

bool read_bool(const char* text, bool& out)
{
    static const char* const truths[] = {"true", "1", "yes", "on"};
    static const char* const falsehoods[] = {"false", "0", "no", "off"};
    for (const char* word : truths)
        if (strcasecmp(text, word) == 0)
            return out = true, true;
    for (const char* word : falsehoods)
        if (strcasecmp(text, word) == 0)
            return out = false, true;
    return false;
}

size_t expected_size(int type)
{
    switch (type) {
    case evalue_bool:
        return sizeof(bool);
    case evalue_int:
    case evalue_choice:
    case evalue_text_choice:
        return sizeof(int32_t);
    case evalue_unsigned:
    case evalue_hex:
    case evalue_colour:
        return sizeof(uint32_t);
    case evalue_real:
        return sizeof(float);
    case evalue_point:
        return 3 * sizeof(float);
    case evalue_dstring:
        return sizeof(dstring_t);
    default:
        return 0;
    }
}

// Formats into `out`, answering false when it did not fit.
bool put(char* out, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
bool put(char* out, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int length = vsnprintf(out, size, format, args);
    va_end(args);
    return length >= 0 && static_cast<size_t>(length) < size;
}

}  // namespace

bool evalue_size_fits(const evalue_def_t* def, std::string* why)
{
    if (def->type == evalue_text) {
        if (def->element_size == 0)
            return fail(why, "text property without room");
        return true;
    }
    const size_t expected = expected_size(def->type);
    if (expected == 0)
        return fail(why, "unknown value type " + std::to_string(def->type));
    if (def->element_size != expected)
        return fail(why, "descriptor size " + std::to_string(def->element_size) + " does not fit its type");
    if (def->type == evalue_choice && !def->choices)
        return fail(why, "choice property without choices");
    if (def->type == evalue_text_choice && (!def->text_choices || !def->text_choices()))
        return fail(why, "choice property without choices");
    return true;
}

bool evalue_parse(const evalue_def_t* def, const char* text, void* element, std::string* why)
{
    if (!evalue_size_fits(def, why))
        return false;
    if (!text)
        text = "";
    const std::string bad = std::string("bad value \"") + text + "\"";
    long long integer = 0;
    switch (def->type) {
    case evalue_bool: {
        bool value = false;
        if (!read_bool(text, value))
            return fail(why, bad + " (expected true or false)");
        *static_cast<bool*>(element) = value;
        return true;
    }
    case evalue_int:
        if (!read_integer(text, INT32_MIN, INT32_MAX, integer))
            return fail(why, bad + " (expected a 32-bit integer)");
        *static_cast<int32_t*>(element) = static_cast<int32_t>(integer);
        return true;
    case evalue_unsigned:
        if (!read_integer(text, 0, UINT32_MAX, integer))
            return fail(why, bad + " (expected an unsigned 32-bit integer)");
        *static_cast<uint32_t*>(element) = static_cast<uint32_t>(integer);
        return true;
    case evalue_hex: {
        const std::string digits =
            (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) ? text : std::string("0x") + text;
        if (!read_integer(digits.c_str(), 0, UINT32_MAX, integer))
            return fail(why, bad + " (expected up to eight hexadecimal digits)");
        *static_cast<uint32_t*>(element) = static_cast<uint32_t>(integer);
        return true;
    }
    case evalue_real: {
        float value = 0.0f;
        if (read_reals(text, &value, 1) != 1)
            return fail(why, bad + " (expected a number)");
        *static_cast<float*>(element) = value;
        return true;
    }
    case evalue_point: {
        float value[3];
        if (read_reals(text, value, 3) != 3)
            return fail(why, bad + " (expected three numbers)");
        memcpy(element, value, sizeof value);
        return true;
    }
    case evalue_colour: {
        float parts[4] = {0.0f, 0.0f, 0.0f, 255.0f};
        const int read = read_reals(text, parts, 4);
        bool whole = read == 3 || read == 4;
        for (int i = 0; whole && i < 4; ++i)
            whole = parts[i] >= 0.0f && parts[i] <= 255.0f && parts[i] == std::floor(parts[i]);
        if (!whole)
            return fail(why, bad + " (expected three or four whole numbers 0 to 255)");
        const auto byte = [&](int i) { return static_cast<uint32_t>(parts[i]); };
        *static_cast<uint32_t*>(element) = byte(3) << 24 | byte(0) << 16 | byte(1) << 8 | byte(2);
        return true;
    }
    case evalue_dstring:
        static_cast<dstring_t*>(element)->set(text);
        return true;
    case evalue_text: {
        const size_t length = strlen(text);
        if (length >= def->element_size)
            return fail(why, bad + " (longer than " + std::to_string(def->element_size - 1) + " bytes)");
        memcpy(element, text, length + 1);
        return true;
    }
    case evalue_choice:
        for (const evalue_choice_t* choice = def->choices; choice->name; ++choice)
            if (strcasecmp(choice->name, text) == 0) {
                *static_cast<int32_t*>(element) = choice->value;
                return true;
            }
        return fail(why, bad + " (not one of the choices)");
    case evalue_text_choice: {
        int index = 0;
        for (const evalue_text_choice_t* choice = def->text_choices(); choice->name; ++choice, ++index)
            if (strcasecmp(choice->name, text) == 0 || (choice->value && strcmp(choice->value, text) == 0)) {
                *static_cast<int32_t*>(element) = index;
                return true;
            }
        // A whole number names the index itself, so code can pick an entry of a list that may be
        // shorter than the index (the owner then falls back to its own default).
        char* end = nullptr;
        const long number = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && number >= 0 && number <= INT32_MAX) {
            *static_cast<int32_t*>(element) = static_cast<int32_t>(number);
            return true;
        }
        return fail(why, bad + " (not one of the choices)");
    }
    default:
        return fail(why, "unknown value type");
    }
}

bool evalue_format(const evalue_def_t* def, const void* element, char* out, size_t size)
{
    if (!out || size == 0 || !evalue_size_fits(def, nullptr))
        return false;
    switch (def->type) {
    case evalue_bool:
        return put(out, size, "%s", *static_cast<const bool*>(element) ? "true" : "false");
    case evalue_int:
        return put(out, size, "%" PRId32, *static_cast<const int32_t*>(element));
    case evalue_unsigned:
        return put(out, size, "%" PRIu32, *static_cast<const uint32_t*>(element));
    case evalue_hex:
        return put(out, size, "%" PRIx32, *static_cast<const uint32_t*>(element));
    case evalue_real:
        return put(out, size, "%.9g", static_cast<double>(*static_cast<const float*>(element)));
    case evalue_point: {
        const auto* v = static_cast<const float*>(element);
        return put(out, size, "%.9g %.9g %.9g", static_cast<double>(v[0]), static_cast<double>(v[1]),
                   static_cast<double>(v[2]));
    }
    case evalue_colour: {
        const uint32_t c = *static_cast<const uint32_t*>(element);
        return put(out, size, "%u %u %u %u", c >> 16 & 0xff, c >> 8 & 0xff, c & 0xff, c >> 24);
    }
    case evalue_dstring:
        return put(out, size, "%s", static_cast<const dstring_t*>(element)->c_str());
    case evalue_text: {
        const auto* text = static_cast<const char*>(element);
        return put(out, size, "%.*s", static_cast<int>(strnlen(text, def->element_size)), text);
    }
    case evalue_choice: {
        const int32_t value = *static_cast<const int32_t*>(element);
        for (const evalue_choice_t* choice = def->choices; choice->name; ++choice)
            if (choice->value == value)
                return put(out, size, "%s", choice->name);
        return put(out, size, "%" PRId32, value);
    }
    case evalue_text_choice: {
        const int32_t index = *static_cast<const int32_t*>(element);
        int at = 0;
        for (const evalue_text_choice_t* choice = def->text_choices(); choice->name; ++choice, ++at)
            if (at == index)
                return put(out, size, "%s", choice->name);
        return put(out, size, "%" PRId32, index);
    }
    default:
        return false;
    }
}

void evalue_default(const evalue_def_t* def, void* element)
{
    if (def->type == evalue_dstring)
        static_cast<dstring_t*>(element)->clear();
    else
        memset(element, 0, def->element_size);
    if (def->default_text)
        evalue_parse(def, def->default_text, element, nullptr);
}

void evalue_copy_value(const evalue_def_t* def, void* target, const void* source)
{
    if (def->type == evalue_dstring)
        *static_cast<dstring_t*>(target) = *static_cast<const dstring_t*>(source);
    else
        memmove(target, source, def->element_size);
}

void evalue_release_value(const evalue_def_t* def, void* element)
{
    if (def->type == evalue_dstring)
        static_cast<dstring_t*>(element)->clear();
}
