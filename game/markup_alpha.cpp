#include "game/markup_alpha.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

void set_markup_alpha(int alpha, char* text, const size_t size, const bool whole)
{
    if (!text || size == 0)
        return;
    alpha = std::clamp(alpha, 0, 255);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02x000000", alpha);
    const size_t wanted = whole ? 8 : 2;
    static constexpr char tag[] = "value=";
    const size_t length = strnlen(text, size);
    for (char* at = std::strstr(text, tag); at && at < text + length; at = std::strstr(at, tag)) {
        at += sizeof tag - 1;
        if (static_cast<size_t>(text + length - at) >= wanted)
            std::memcpy(at, digits, wanted);
    }
}
