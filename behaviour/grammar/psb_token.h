#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// What the description-file scanners hand their parsers: one value and one location per token.

// Longest text a token carries: a bare word is cut here (with a message); quoted runs are limited
// further, to `psb_longest_string`.
constexpr int psb_longest_word = 1023;
// Longest quoted run the scanners store; a longer one is refused with "parsed string too long".
constexpr int psb_longest_string = 1022;

// The value of a token, read according to the token: text, a 32-bit integer, a 32-bit float, or a
// boolean byte (behaviour files). Text lives in the scanner's arena until its next parse, so the
// parser's stacks copy a few words per token rather than the text.
struct psb_token_value_t {
    const char* text;
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

// Zero-terminated token texts of one parse, kept at stable addresses until `reset`.
class psb_text_arena_t {
public:
    // A copy of `length` bytes of `text`, zero-terminated.
    const char* copy(const char* text, size_t length);
    // Forgets every text (the first block is kept for the next parse).
    void reset();

private:
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t used_ = 0;
    size_t capacity_ = 0;
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
