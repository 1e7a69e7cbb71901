#pragma once
#include <string>

#include "behaviour/grammar/psb_token.h"

// Message texts shared by the six description-file scanners and parsers.

// Sends "\r[<parser>]  <text> at line L column C" through the engine's `message`, naming the last line
// and column of `location`. The parser stack's "memory exhausted" is reported as "parser stack overflow".
void psb_report_parse_error(const char* parser, const char* text, const psb_token_location_t& location);

// Builds "parse error, unexpected X[, expecting A or B ...]" from the offending symbol's name and the
// names of up to four acceptable symbols (`expected_count` < 0: the state lists none, "parse error").
std::string psb_syntax_error_text(const char* unexpected, const char* const* expected, int expected_count);

// Stores a bare word (`TK_STRING`) of `length` characters in `value`: a word longer than the value can
// hold is cut to 1023 characters with "\r[<scanner>] parsed word too long".
void psb_store_word(const char* scanner, const char* text, int length, psb_text_arena_t& arena,
                    psb_token_value_t& value);

// Stores a quoted run (`TK_STRING_STRING`): runs of at most 1022 characters are kept; a longer one draws
// "\r[<scanner>] parsed string too long" and leaves the value empty (never the previous token's text).
void psb_store_string(const char* scanner, const char* text, int length, psb_text_arena_t& arena,
                      psb_token_value_t& value);

// Rounds a float to the nearest integer, halves to even (skip counts written as decimals); values beyond
// the 32-bit range saturate.
int psb_round_to_int(float value);
