#include <cstring>

#include "engine/text.h"

namespace {

// Copies at most `count` characters of `source` (none when null) to `dest`; answers how many.
size_t copy_prefix(char* dest, const char* source, size_t count)
{
    const size_t length = source ? strnlen(source, count) : 0;
    if (length)
        memcpy(dest, source, length);
    return length;
}

}  // namespace

ENGINE_API char* v_strncpy(char* dest, const char* source, size_t count)
{
    if (!dest)
        return dest;
    dest[copy_prefix(dest, source, count)] = '\0';
    return dest;
}

ENGINE_API char* v_stpncpy(char* dest, const char* source, size_t count)
{
    if (!dest)
        return dest;
    const size_t length = copy_prefix(dest, source, count);
    memset(dest + length, 0, count - length + 1);
    return dest + length;
}
