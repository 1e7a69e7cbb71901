#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/scanner.h"

// The token-level reading both model-library formats share: names and number lists, each reporting
// through the scanner what it expected (single numbers come straight from the scanner).
class psm_text_reader_t {
public:
    psm_text_reader_t(std::string_view text, const std::string& source) : scanner_(text, source, "{}") {}

    scanner_t& scanner() { return scanner_; }

    // Reads the header word `magic` followed by the version number `version`.
    bool header(const char* magic, int version);
    // Reads a name: a word or a quoted string, not empty.
    bool name(std::string& out, const char* what);
    // Reads "{ numbers }" with at most `limit` numbers, each finite.
    bool floats(std::vector<float>& out, size_t limit, const char* what);
    // Reads "{ whole numbers }" with at most `limit` numbers, each within 0..65535.
    bool words(std::vector<uint16_t>& out, size_t limit, const char* what);

private:
    // Reads "{ items }" with at most `limit` items, each read by `read_one` into its argument.
    template <typename item_t, typename read_t>
    bool list(std::vector<item_t>& out, size_t limit, const char* what, read_t read_one);

    scanner_t scanner_;
};
