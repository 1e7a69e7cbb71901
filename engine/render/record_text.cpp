#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/gfx_record.h"

namespace {

// Looks texts up by view, so that a text already kept is found without making a string.
struct text_hash_t {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
struct text_equal_t {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
};

// Kept for the life of the process (an engine reset keeps them too: a record read after it still
// names its texts). A set's strings never move, so the views stay valid.
std::unordered_set<std::string, text_hash_t, text_equal_t>& kept_texts()
{
    static std::unordered_set<std::string, text_hash_t, text_equal_t> texts;
    return texts;
}

}  // namespace

std::string_view gfx_record_text(const std::string_view text)
{
    if (text.empty())
        return {};
    auto& texts = kept_texts();
    auto at = texts.find(text);
    if (at == texts.end())
        at = texts.emplace(text).first;
    return *at;
}
