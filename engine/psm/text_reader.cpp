#include "text_reader.h"

#include <cmath>
#include <cstdlib>

bool psm_text_reader_t::header(const char* magic, int version)
{
    token_t token;
    if (!scanner_.next(token) || token.kind != token_kind_t::word || token.text != magic) {
        scanner_.fail(token.line, "expected \"%s\" at the start", magic);
        return false;
    }
    long found = 0;
    if (!whole(found, 0, 1000000, "version"))
        return false;
    if (found != version) {
        scanner_.fail(0, "unsupported version %ld (expected %d)", found, version);
        return false;
    }
    return true;
}

bool psm_text_reader_t::name(std::string& out, const char* what)
{
    token_t token;
    if (!scanner_.next(token) || (token.kind != token_kind_t::word && token.kind != token_kind_t::string) ||
        token.text.empty()) {
        scanner_.fail(token.line, "expected %s", what);
        return false;
    }
    out = std::move(token.text);
    return true;
}

bool psm_text_reader_t::number(double& out, const char* what)
{
    token_t token;
    if (!scanner_.next(token) || token.kind != token_kind_t::number) {
        scanner_.fail(token.line, "expected a number for %s", what);
        return false;
    }
    out = std::strtod(token.text.c_str(), nullptr);
    if (!std::isfinite(out) || std::fabs(out) > 3.4e38) {
        scanner_.fail(token.line, "number out of range for %s", what);
        return false;
    }
    return true;
}

bool psm_text_reader_t::whole(long& out, long low, long high, const char* what)
{
    double value = 0;
    if (!number(value, what))
        return false;
    if (value != std::floor(value) || value < static_cast<double>(low) || value > static_cast<double>(high)) {
        scanner_.fail(0, "%s must be a whole number from %ld to %ld", what, low, high);
        return false;
    }
    out = static_cast<long>(value);
    return true;
}

template <typename item_t, typename read_t>
bool psm_text_reader_t::list(std::vector<item_t>& out, size_t limit, const char* what, read_t read_one)
{
    out.clear();
    if (!scanner_.expect('{'))
        return false;
    while (!scanner_.skip_if('}')) {
        if (out.size() == limit) {
            scanner_.fail(0, "more than %zu numbers in %s", limit, what);
            return false;
        }
        item_t item{};
        if (!read_one(item))
            return false;
        out.push_back(item);
    }
    return true;
}

bool psm_text_reader_t::floats(std::vector<float>& out, size_t limit, const char* what)
{
    return list(out, limit, what, [this, what](float& item) {
        double value = 0;
        if (!number(value, what))
            return false;
        item = static_cast<float>(value);
        return true;
    });
}

bool psm_text_reader_t::words(std::vector<uint16_t>& out, size_t limit, const char* what)
{
    return list(out, limit, what, [this, what](uint16_t& item) {
        long value = 0;
        if (!whole(value, 0, 65535, what))
            return false;
        item = static_cast<uint16_t>(value);
        return true;
    });
}
