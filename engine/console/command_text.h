#pragma once
#include <string>
#include <string_view>
#include <vector>

// The words of one console command.
using command_words_t = std::vector<std::string>;

// Splits console text into commands (see engine/command.h for the syntax); empty commands and comments
// are dropped. An unterminated quote ends at the end of its line, with a warning.
std::vector<command_words_t> split_commands(std::string_view text);

// The text as one double-quoted word that split_commands reads back unchanged.
std::string quote_word(const std::string& text);
