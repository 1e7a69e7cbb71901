#pragma once
#include <cstdint>

// What the description-file scanners hand their parsers: one value and one location per token.

// Bytes of a token value; a text value holds at most one byte less (its terminating zero).
constexpr int psb_token_value_size = 1024;
// Longest quoted run the scanners store; a longer one is refused with "parsed string too long".
constexpr int psb_longest_string = 1022;

// The value of a token, read according to the token: text, a 32-bit integer, a 32-bit float, or a
// boolean byte (behaviour files).
union psb_token_value_t {
    char text[psb_token_value_size];
    int32_t integer;
    float real;
    bool boolean;
};

// Where a token stands: its line and its first and last column (columns count from 1; a token never
// spans a newline, so first and last line are equal).
struct psb_token_location_t {
    int32_t first_line;
    int32_t first_column;
    int32_t last_line;
    int32_t last_column;
};

// The position counters and the location of the last token of one scanner kind.
struct psb_scan_position_t {
    int32_t line = 1;
    int32_t column = 0;
    // Column counter before the text just matched.
    int32_t column_before = 0;
};

// Counts `length` matched characters.
inline void psb_count_match(psb_scan_position_t& position, int length)
{
    position.column_before = position.column;
    position.column += length;
}

// Counts a newline: next line, column 0.
inline void psb_count_newline(psb_scan_position_t& position)
{
    ++position.line;
    position.column = 0;
}

// Sets the location of the token just matched.
inline void psb_locate_token(const psb_scan_position_t& position, psb_token_location_t& location)
{
    location.first_line = location.last_line = position.line;
    location.first_column = position.column_before + 1;
    location.last_column = position.column;
}
