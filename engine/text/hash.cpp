#include "engine/text.h"

#include <cstring>

// FNV-1a: simple, fast on short keys, and fixed by definition, so seeds and saved hashes made from
// names stay the same across runs and builds.
uint32_t v_memhash(const void* bytes, size_t length)
{
    const auto* p = static_cast<const unsigned char*>(bytes);
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) {
        hash ^= p[i];
        hash *= 16777619u;
    }
    return hash;
}

ENGINE_API uint32_t v_strhash(const char* text)
{
    if (!text)
        text = "";
    return v_memhash(text, strlen(text));
}
