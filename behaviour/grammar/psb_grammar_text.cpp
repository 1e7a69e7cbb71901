#include "behaviour/grammar/psb_grammar_text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/engine_api.h"

void psb_report_parse_error(const char* parser, const char* text, const psb_token_location_t& location)
{
    if (strcmp(text, "memory exhausted") == 0)
        text = "parser stack overflow";
    api::message("\\r[%s]  %s at line %i column %i", parser, text, location.last_line, location.last_column);
}

std::string psb_syntax_error_text(const char* unexpected, const char* const* expected, int expected_count)
{
    if (expected_count < 0)
        return "parse error";
    std::string text = std::string("parse error, unexpected ") + unexpected;
    for (int i = 0; i < expected_count; ++i) {
        text += i == 0 ? ", expecting " : " or ";
        text += expected[i];
    }
    return text;
}

const char* psb_text_arena_t::copy(const char* text, size_t length)
{
    constexpr size_t block_size = 64 * 1024;
    if (used_ + length + 1 > capacity_) {
        // A text longer than a block gets a block of its own size.
        capacity_ = std::max(block_size, length + 1);
        blocks_.push_back(std::make_unique<char[]>(capacity_));
        used_ = 0;
    }
    char* const out = blocks_.back().get() + used_;
    memcpy(out, text, length);
    out[length] = 0;
    used_ += length + 1;
    return out;
}

void psb_text_arena_t::reset()
{
    blocks_.clear();
    used_ = capacity_ = 0;
}

void psb_store_word(const char* scanner, const char* text, int length, psb_text_arena_t& arena,
                    psb_token_value_t& value)
{
    if (length > psb_longest_word) {
        api::message("\\r[%s] parsed word too long", scanner);
        length = psb_longest_word;
    }
    value.text = arena.copy(text, static_cast<size_t>(length));
}

void psb_store_string(const char* scanner, const char* text, int length, psb_text_arena_t& arena,
                      psb_token_value_t& value)
{
    if (length > psb_longest_string) {
        api::message("\\r[%s] parsed string too long", scanner);
        value.text = arena.copy("", 0);
        return;
    }
    value.text = arena.copy(text, static_cast<size_t>(length));
}

int psb_round_to_int(float value)
{
    // Out of range (or not a number) saturates, so the caller's range test refuses it.
    if (!(value > -2147483648.0f))
        return INT32_MIN;
    if (value >= 2147483648.0f)
        return INT32_MAX;
    return static_cast<int>(std::nearbyint(value));
}
