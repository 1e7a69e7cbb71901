#include "engine/scanner.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/log.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

bool scanner_is_number(std::string_view text)
{
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (text.substr(i, 2) == "0x" || text.substr(i, 2) == "0X") {
        i += 2;
        if (i == text.size())
            return false;
        for (; i < text.size(); ++i)
            if (!is_hex_digit(text[i]))
                return false;
        return true;
    }
    bool digits = false;
    while (i < text.size() && is_digit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && is_digit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (i == text.size() || !is_digit(text[i]))
            return false;
        while (i < text.size() && is_digit(text[i]))
            ++i;
    }
    return i == text.size();
}

scanner_t::scanner_t(std::string_view text, std::string source, const char* punctuation)
    : text_(text), source_(std::move(source)), punctuation_(punctuation ? punctuation : "")
{}

void scanner_t::fail(int line, const char* format, ...)
{
    if (failed_)
        return;
    failed_ = true;
    char what[512];
    va_list args;
    va_start(args, format);
    vsnprintf(what, sizeof what, format, args);
    va_end(args);
    error_ = source_ + ":" + std::to_string(line > 0 ? line : line_) + ": " + what;
    error("%s", error_.c_str());
}

bool scanner_t::is_punctuation(char c) const { return c != '\0' && punctuation_.find(c) != std::string_view::npos; }

bool scanner_t::skip_blanks_and_comments()
{
    while (position_ < text_.size()) {
        const char c = text_[position_];
        if (c == '\n') {
            ++line_;
            ++position_;
        } else if (is_blank(c)) {
            ++position_;
        } else if (c == '/' && position_ + 1 < text_.size() && text_[position_ + 1] == '/') {
            while (position_ < text_.size() && text_[position_] != '\n')
                ++position_;
        } else if (c == '/' && position_ + 1 < text_.size() && text_[position_ + 1] == '*') {
            const int start = line_;
            position_ += 2;
            while (position_ + 1 < text_.size() && !(text_[position_] == '*' && text_[position_ + 1] == '/')) {
                if (text_[position_] == '\n')
                    ++line_;
                ++position_;
            }
            if (position_ + 1 >= text_.size()) {
                fail(start, "unterminated comment");
                return false;
            }
            position_ += 2;
        } else if (c == '\0') {
            fail(0, "unexpected NUL character");
            return false;
        } else {
            return true;
        }
    }
    return false;
}

bool scanner_t::read_string(token_t& out)
{
    const int start = line_;
    ++position_;  // opening quote
    while (position_ < text_.size()) {
        char c = text_[position_++];
        if (c == '"')
            return true;
        if (c == '\0') {
            fail(line_, "unexpected NUL character in a string");
            return false;
        }
        if (c == '\n')
            ++line_;
        if (c == '\\' && position_ < text_.size()) {
            const char escaped = text_[position_++];
            switch (escaped) {
            case 'n':
                c = '\n';
                break;
            case 't':
                c = '\t';
                break;
            case 'r':
                c = '\r';
                break;
            case '"':
                c = '"';
                break;
            case '\\':
                c = '\\';
                break;
            default:
                // An unknown escape stays as written, so Windows-style paths survive.
                out.text.push_back('\\');
                c = escaped;
                if (c == '\n')
                    ++line_;
            }
        }
        if (out.text.size() >= max_token_bytes) {
            fail(start, "string too long (more than %zu bytes)", max_token_bytes);
            return false;
        }
        out.text.push_back(c);
    }
    fail(start, "unterminated string");
    return false;
}

void scanner_t::read_word(token_t& out)
{
    const size_t start = position_;
    while (position_ < text_.size()) {
        const char c = text_[position_];
        if (is_blank(c) || c == '"' || c == '\0' || is_punctuation(c))
            break;
        ++position_;
    }
    if (position_ - start > max_token_bytes) {
        fail(out.line, "word too long (more than %zu bytes)", max_token_bytes);
        return;
    }
    out.text.assign(text_.substr(start, position_ - start));
    out.kind = scanner_is_number(out.text) ? token_kind_t::number : token_kind_t::word;
}

bool scanner_t::next(token_t& out)
{
    if (has_peeked_) {
        has_peeked_ = false;
        out = std::move(peeked_);
        return out.kind != token_kind_t::end;
    }
    out = token_t{};
    if (failed_ || !skip_blanks_and_comments()) {
        out.line = line_;
        return false;
    }
    out.line = line_;
    const char c = text_[position_];
    if (c == '"') {
        out.kind = token_kind_t::string;
        if (!read_string(out)) {
            out = token_t{token_kind_t::end, {}, line_};
            return false;
        }
        return true;
    }
    if (is_punctuation(c)) {
        out.kind = token_kind_t::punctuation;
        out.text.assign(1, c);
        ++position_;
        return true;
    }
    read_word(out);
    if (failed_) {
        out = token_t{token_kind_t::end, {}, line_};
        return false;
    }
    return true;
}

bool scanner_t::peek(token_t& out)
{
    if (!has_peeked_) {
        next(peeked_);
        has_peeked_ = true;
    }
    out = peeked_;
    return out.kind != token_kind_t::end;
}

bool scanner_t::skip_if(char c)
{
    token_t token;
    if (!peek(token) || !token.is(c))
        return false;
    has_peeked_ = false;
    return true;
}

bool scanner_t::expect(char c)
{
    token_t token;
    if (next(token) && token.is(c))
        return true;
    if (!failed_) {
        if (token.kind == token_kind_t::end)
            fail(token.line, "expected '%c' but the text ends", c);
        else
            fail(token.line, "expected '%c' but found '%s'", c, token.text.c_str());
    }
    return false;
}
