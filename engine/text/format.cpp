#include <cstdarg>
#include <cstdio>

#include "engine/text.h"

ENGINE_API int v_snprintf(char* buffer, size_t size, const char* format, ...)
{
    if (!buffer)
        size = 0;
    va_list args;
    va_start(args, format);
    const int length = vsnprintf(size ? buffer : nullptr, size, format, args);
    va_end(args);
    return length;
}

ENGINE_API int v_snprintf0(char* buffer, size_t size, const char* format, ...)
{
    if (!buffer || size == 0)
        return 0;
    va_list args;
    va_start(args, format);
    const int length = vsnprintf(buffer, size, format, args);
    va_end(args);
    if (length < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(length) < size ? length : static_cast<int>(size - 1);
}
