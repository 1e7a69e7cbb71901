#include "engine/arg.h"

#include <cstring>

int arg_t::separate(const char* text, const char* separators)
{
    fields_.clear();
    if (!text || !*text)
        return 0;
    if (!separators)
        separators = "";
    const char* start = text;
    for (const char* p = text;; ++p) {
        if (*p == '\0' || (*separators && strchr(separators, *p))) {
            fields_.emplace_back(start, static_cast<size_t>(p - start));
            if (*p == '\0')
                break;
            start = p + 1;
        }
    }
    return count();
}

const char* arg_t::get(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return fields_[static_cast<size_t>(index)].c_str();
}
