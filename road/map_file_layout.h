#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "road/map_cityblock.h"
#include "road/map_edge.h"
#include "road/map_freeitem.h"
#include "road/map_miscitem.h"
#include "road/map_node.h"
#include "road/map_sign.h"
#include "road/map_stamp.h"
#include "road/map_word.h"

// How each road-network record is laid out in a map file: its words in file order, each the number of
// the memory word it holds (-1: a reserved word, skipped when read and written as zero), and the words
// that exist only in memory, set when a record is read.

// The version a map file must have.
constexpr int32_t map_file_version = 5;

// File words of a record: memory words 0 to count - 1, in order, leaving out `skipped` (-1 none).
template <size_t count> constexpr std::array<int16_t, count> map_file_words_in_order(const int skipped = -1)
{
    std::array<int16_t, count> words{};
    int16_t memory = 0;
    for (size_t f = 0; f < count; ++f, ++memory) {
        if (memory == skipped)
            ++memory;
        words[f] = memory;
    }
    return words;
}

// The layout of one record type in the file.
template <typename T> struct map_file_layout_t;

template <> struct map_file_layout_t<map_node_t> {
    static constexpr auto words = map_file_words_in_order<12>();
    static void after_read(map_node_t&) {}
};

template <> struct map_file_layout_t<map_aux_node_t> {
    static constexpr auto words = map_file_words_in_order<9>();
    static void after_read(map_aux_node_t&) {}
};

template <> struct map_file_layout_t<map_edge_t> {
    static constexpr auto words = map_file_words_in_order<41>(15);
    static void after_read(map_edge_t& edge) { edge.segment_slot = -1; }
};

template <> struct map_file_layout_t<map_aux_edge_t> {
    static constexpr auto words = map_file_words_in_order<18>();
    static void after_read(map_aux_edge_t& edge) { edge.segment_slot = -1; }
};

template <> struct map_file_layout_t<map_sign_t> {
    // The board flags (memory word 9) come third in the file.
    static constexpr std::array<int16_t, 11> words = {0, 1, 2, 9, 3, 4, 5, 6, 7, 8, 10};
    static void after_read(map_sign_t&) {}
};

template <> struct map_file_layout_t<map_stamp_t> {
    static constexpr auto words = map_file_words_in_order<4>();
    static void after_read(map_stamp_t&) {}
};

// The last two entries of each of a city block's three tables are reserved.
constexpr std::array<int16_t, 132> map_file_cityblock_words()
{
    std::array<int16_t, 132> words = map_file_words_in_order<132>();
    for (int16_t w = 43; w <= 48; ++w)
        words[w] = -1;
    for (int16_t w = 91; w <= 96; ++w)
        words[w] = -1;
    for (int16_t w = 125; w <= 128; ++w)
        words[w] = -1;
    return words;
}

template <> struct map_file_layout_t<map_cityblock_t> {
    static constexpr auto words = map_file_cityblock_words();
    static void after_read(map_cityblock_t& block) { block.instance = 0; }
};

template <> struct map_file_layout_t<map_freeitem_t> {
    static constexpr auto words = map_file_words_in_order<21>();
    static void after_read(map_freeitem_t& item)
    {
        item.shown = 0;
        item.shown_node = 0;
    }
};

template <> struct map_file_layout_t<map_miscitem_t> {
    static constexpr auto words = map_file_words_in_order<46>();
    static void after_read(map_miscitem_t& item)
    {
        item.selected_point = -1;
        item.active = 0;
    }
};

// Bytes of a record in the file.
template <typename T> constexpr size_t map_file_record_size = 4 * map_file_layout_t<T>::words.size();

static_assert(map_file_record_size<map_node_t> == 48 && map_file_record_size<map_aux_node_t> == 36 &&
              map_file_record_size<map_edge_t> == 164 && map_file_record_size<map_aux_edge_t> == 72 &&
              map_file_record_size<map_sign_t> == 44 && map_file_record_size<map_cityblock_t> == 528 &&
              map_file_record_size<map_freeitem_t> == 84 && map_file_record_size<map_stamp_t> == 16 &&
              map_file_record_size<map_miscitem_t> == 184);
static_assert(map_file_layout_t<map_edge_t>::words[15] == 16 && map_file_layout_t<map_edge_t>::words[40] == 41);

// The little-endian word at `bytes`.
inline uint32_t map_file_get_u32(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Stores `value` little-endian at `bytes`.
inline void map_file_put_u32(uint8_t* bytes, const uint32_t value)
{
    bytes[0] = static_cast<uint8_t>(value);
    bytes[1] = static_cast<uint8_t>(value >> 8);
    bytes[2] = static_cast<uint8_t>(value >> 16);
    bytes[3] = static_cast<uint8_t>(value >> 24);
}

// A record read from its file bytes, with its memory-only words set.
template <typename T> T map_file_decode(const uint8_t* bytes)
{
    T record{};
    const auto& words = map_file_layout_t<T>::words;
    for (size_t f = 0; f < words.size(); ++f) {
        if (words[f] >= 0)
            map_word_set(record, words[f], map_file_get_u32(bytes + 4 * f));
    }
    map_file_layout_t<T>::after_read(record);
    return record;
}

// Writes `record` in its file layout at `bytes`.
template <typename T> void map_file_encode(const T& record, uint8_t* bytes)
{
    const auto& words = map_file_layout_t<T>::words;
    for (size_t f = 0; f < words.size(); ++f)
        map_file_put_u32(bytes + 4 * f, words[f] >= 0 ? map_word_get(record, words[f]) : 0u);
}
