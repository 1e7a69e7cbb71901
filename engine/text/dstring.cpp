#include "engine/dstring.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

dstring_t::dstring_t(const char* text) { set(text); }

dstring_t& dstring_t::operator=(const char* text)
{
    set(text);
    return *this;
}

void dstring_t::set(const char* text)
{
    // Copy through a temporary: `text` may point into this string.
    text_ = std::string(text ? text : "");
}

void dstring_t::set(const char* text, size_t length)
{
    if (!text) {
        text_.clear();
        return;
    }
    text_ = std::string(text, strnlen(text, length));
}

void dstring_t::format(const char* fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list measure;
    va_copy(measure, args);
    const int needed = vsnprintf(nullptr, 0, fmt, measure);
    va_end(measure);
    if (needed < 0) {
        text_.clear();
    } else {
        std::string result(static_cast<size_t>(needed), '\0');
        vsnprintf(result.data(), result.size() + 1, fmt, args);
        text_ = std::move(result);
    }
    va_end(args);
}

void dstring_t::append(const char* text)
{
    if (text)
        text_ += std::string(text);
}

bool dstring_t::operator==(const char* other) const { return text_ == (other ? other : ""); }
