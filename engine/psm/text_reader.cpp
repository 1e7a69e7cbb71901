#include "text_reader.h"

bool psm_text_reader_t::header(const char* magic, int version)
{
    token_t token;
    if (!scanner_.next(token) || token.kind != token_kind_t::word || token.text != magic) {
        scanner_.fail(token.line, "expected \"%s\" at the start", magic);
        return false;
    }
    int64_t found = 0;
    if (!scanner_.read_whole(found, "the version", 0, 1000000))
        return false;
    if (found != version) {
        scanner_.fail(0, "unsupported version %ld (expected %d)", static_cast<long>(found), version);
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
        if (!scanner_.read_real(value, what))
            return false;
        item = static_cast<float>(value);
        return true;
    });
}

bool psm_text_reader_t::words(std::vector<uint16_t>& out, size_t limit, const char* what)
{
    return list(out, limit, what, [this, what](uint16_t& item) {
        int64_t value = 0;
        if (!scanner_.read_whole(value, what, 0, 65535))
            return false;
        item = static_cast<uint16_t>(value);
        return true;
    });
}
