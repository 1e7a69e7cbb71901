#pragma once
#include <cstddef>
#include <string>

// Owned text: a growable, always NUL-terminated string the engine's classes keep as a field
// (component texts, markup sources, tooltips). It never holds a null pointer: empty is "".
class dstring_t {
public:
    dstring_t() = default;
    // Copies `text`; a null pointer gives the empty text.
    dstring_t(const char* text);
    dstring_t(const dstring_t&) = default;
    dstring_t(dstring_t&&) noexcept = default;
    dstring_t& operator=(const dstring_t&) = default;
    dstring_t& operator=(dstring_t&&) noexcept = default;
    // Replaces the text with a copy of `text` (null gives the empty text).
    dstring_t& operator=(const char* text);

    // Replaces the text with a copy of `text` (null gives the empty text).
    void set(const char* text);
    // Replaces the text with the first `length` bytes of `text`, stopping early at a NUL.
    void set(const char* text, size_t length);
    // Replaces the text with a printf-style formatted text, at any length.
    void format(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
    // Appends a copy of `text` (null appends nothing).
    void append(const char* text);
    // Makes the text empty.
    void clear() { text_.clear(); }

    // The text, NUL-terminated; valid until the next change.
    const char* c_str() const { return text_.c_str(); }
    // Number of bytes before the terminating NUL.
    size_t length() const { return text_.size(); }
    // True when the text has no characters.
    bool is_empty() const { return text_.empty(); }

    // Byte-wise equality with another text or a C string (null equals the empty text).
    bool operator==(const dstring_t& other) const { return text_ == other.text_; }
    bool operator==(const char* other) const;

private:
    std::string text_;
};
