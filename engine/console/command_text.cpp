#include "command_text.h"

#include "engine/log.h"

namespace {

// Reads a quoted word starting after its opening quote; stops after the closing quote or at the end of
// the line.
std::string read_quoted(std::string_view text, size_t& at)
{
    std::string word;
    while (at < text.size() && text[at] != '"' && text[at] != '\n') {
        const char c = text[at];
        if (c == '\\' && at + 1 < text.size() && (text[at + 1] == '"' || text[at + 1] == '\\' || text[at + 1] == 'n')) {
            word += text[at + 1] == 'n' ? '\n' : text[at + 1];
            at += 2;
            continue;
        }
        word += c;
        ++at;
    }
    if (at < text.size() && text[at] == '"')
        ++at;
    else
        warning("console: unterminated quote in \"%s\"", word.c_str());
    return word;
}

// Blanks separate words; CR is one so files with CRLF lines read the same.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

std::vector<command_words_t> split_commands(std::string_view text)
{
    std::vector<command_words_t> commands;
    command_words_t words;
    auto end_command = [&]() {
        if (!words.empty() && words.front()[0] != '#')
            commands.push_back(words);
        words.clear();
    };
    size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == '\n' || c == ';') {
            end_command();
            ++at;
        } else if (is_blank(c)) {
            ++at;
        } else if (c == '/' && at + 1 < text.size() && text[at + 1] == '/') {
            while (at < text.size() && text[at] != '\n')
                ++at;
        } else if (c == '"') {
            ++at;
            words.push_back(read_quoted(text, at));
        } else {
            const size_t start = at;
            while (at < text.size() && !is_blank(text[at]) && text[at] != '\n' && text[at] != ';' && text[at] != '"' &&
                   !(text[at] == '/' && at + 1 < text.size() && text[at + 1] == '/'))
                ++at;
            words.emplace_back(text.substr(start, at - start));
        }
    }
    end_command();
    return commands;
}

std::string quote_word(const std::string& text)
{
    std::string word = "\"";
    for (const char c : text) {
        if (c == '"')
            word += "\\\"";
        else if (c == '\\')
            word += "\\\\";
        else if (c == '\n')
            word += "\\n";
        else
            word += c;
    }
    return word + "\"";
}
