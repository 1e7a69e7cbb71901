#pragma once
#include <string_view>

// Punctuation of definition files: everything else but blanks and quotes may stand in a bare word, so
// "1,2,3", "a|b" and "/defs/x.def" need no quotes.
inline constexpr std::string_view def_syntax_punctuation = "{}=;:";

// Deepest nesting of objects a definition file may have.
inline constexpr int def_syntax_max_depth = 32;
