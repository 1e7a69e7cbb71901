#include <cstring>

#include "engine/text.h"

ENGINE_API char* v_strncpy(char* dest, const char* source, size_t count)
{
    if (!dest)
        return dest;
    const size_t length = source ? strnlen(source, count) : 0;
    if (length)
        memcpy(dest, source, length);
    dest[length] = '\0';
    return dest;
}

ENGINE_API char* v_stpncpy(char* dest, const char* source, size_t count)
{
    if (!dest)
        return dest;
    const size_t length = source ? strnlen(source, count) : 0;
    if (length)
        memcpy(dest, source, length);
    memset(dest + length, 0, count - length + 1);
    return dest + length;
}
