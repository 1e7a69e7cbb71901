#pragma once
#include <cfloat>
#include <cstdint>
#include <string>
#include <string_view>

// The one lexer behind every text format of the engine (definition files, entity blocks, UI scripts,
// input scripts, models, fonts, shaders). It splits a text into words, numbers, quoted strings and
// punctuation, counts lines, skips blanks and comments ("//" to the end of the line, "/* ... */", each
// starting where a token could start), reads numbers with their range, and reports the first fault as
// "<source>:<line>: <what>" through the log, after which it yields no more tokens.

// What a token is.
enum class token_kind_t {
    end,          // no more tokens (end of text, or after an error)
    word,         // a run of characters that are neither blank, quote nor punctuation
    number,       // a word that reads wholly as a decimal or 0x-hexadecimal number
    string,       // a double-quoted text, escapes resolved, quotes removed
    punctuation,  // one character of the scanner's punctuation set
};

// One token with the line it starts on (lines count from 1).
struct token_t {
    token_kind_t kind = token_kind_t::end;
    std::string text;
    int line = 0;

    // True for the punctuation token `c`.
    bool is(char c) const { return kind == token_kind_t::punctuation && text.size() == 1 && text[0] == c; }
};

// Reads tokens from a text held by the caller; the text must outlive the scanner.
class scanner_t {
public:
    // Punctuation used when the caller names none.
    static constexpr const char* default_punctuation = "{}()[]=;,:";
    // Longest token accepted; a longer one is an error ("token too long"), never a silent cut.
    static constexpr size_t max_token_bytes = 65536;

    // `source` names the text in messages (usually its path).
    scanner_t(std::string_view text, std::string source, const char* punctuation = default_punctuation);

    // Reads the next token into `out`; false at the end of the text or once an error was reported.
    bool next(token_t& out);
    // Looks at the next token without consuming it.
    bool peek(token_t& out);
    // Consumes the next token when it is the punctuation `c`; answers whether it did.
    bool skip_if(char c);
    // Reads the next token and reports "expected '<c>'" unless it is the punctuation `c`.
    bool expect(char c);

    // Largest magnitude a real may have: what a float holds.
    static constexpr double real_limit = FLT_MAX;

    // Reads the next token as a whole number within low..high; otherwise reports what is wrong with
    // it, naming the quantity `what` ("the impulse"), and answers false.
    bool read_whole(int64_t& out, const char* what, int64_t low, int64_t high);
    // Reads the next token as a real number within low..high that a float holds (NaN and infinities
    // are never numbers); otherwise reports what is wrong with it, naming `what`, and answers false.
    bool read_real(double& out, const char* what, double low = -real_limit, double high = real_limit);
    // As read_whole, for a token the caller already read (its line names the fault).
    bool whole_of(const token_t& token, int64_t& out, const char* what, int64_t low, int64_t high);
    // As read_real, for a token the caller already read.
    bool real_of(const token_t& token, double& out, const char* what, double low = -real_limit,
                 double high = real_limit);

    // Reports a fault at `line` (0: the current line) once; later faults are ignored.
    void fail(int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

    // True once a fault was reported.
    bool failed() const { return failed_; }
    // The reported fault, "<source>:<line>: <what>"; empty when none.
    const std::string& error_text() const { return error_; }
    // Line of the position reached so far.
    int line() const { return line_; }
    const std::string& source() const { return source_; }

private:
    bool skip_blanks_and_comments();
    bool read_string(token_t& out);
    void read_word(token_t& out);
    bool is_punctuation(char c) const;

    std::string_view text_;
    std::string source_;
    std::string_view punctuation_;
    size_t position_ = 0;
    int line_ = 1;
    bool failed_ = false;
    std::string error_;
    bool has_peeked_ = false;
    token_t peeked_;
};

// True when `text` reads wholly as a number (optional sign, decimal with fraction and exponent, or
// 0x-hexadecimal).
bool scanner_is_number(std::string_view text);

// Why a text is not the number a reader asked for.
enum class number_fault_t {
    none,          // it reads, within the range asked for
    not_a_number,  // not wholly a number: a word, trailing junk, "nan", "inf", nothing
    not_whole,     // a fraction or an exponent where a whole number is asked for
    out_of_range,  // a number outside the range asked for
    beyond_float,  // a real whose magnitude no float holds
};

// Reads `text` wholly as a whole number (optional sign, then decimal or 0x-hexadecimal digits) within
// low..high; `out` is left alone unless the answer is none.
number_fault_t scanner_read_whole(std::string_view text, int64_t low, int64_t high, int64_t& out);
// Reads `text` wholly as a number (the syntax of scanner_is_number) whose value a float holds and lies
// within low..high; `out` is left alone unless the answer is none.
number_fault_t scanner_read_real(std::string_view text, double low, double high, double& out);
