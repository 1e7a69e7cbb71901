#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

// The road network's records are runs of 32-bit words (int32, uint32 or float). The map file and the
// import code address them by word number; these two helpers read and write one word of a record
// without caring about the field's type.

// The bits of word `word` of `record`.
template <typename T> uint32_t map_word_get(const T& record, const int word)
{
    static_assert(std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T> && sizeof(T) % 4 == 0);
    uint32_t bits;
    std::memcpy(&bits, reinterpret_cast<const char*>(&record) + 4 * word, 4);
    return bits;
}

// Stores `bits` as word `word` of `record`.
template <typename T> void map_word_set(T& record, const int word, const uint32_t bits)
{
    static_assert(std::is_trivially_copyable_v<T> && std::is_standard_layout_v<T> && sizeof(T) % 4 == 0);
    std::memcpy(reinterpret_cast<char*>(&record) + 4 * word, &bits, 4);
}
