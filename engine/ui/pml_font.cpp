#include "engine/pml_font.h"

#include <cstring>
#include <deque>
#include <map>

#include "engine/log.h"
#include "engine/reset.h"
#include "engine/scanner.h"
#include "engine/vfs.h"

namespace {

// Metrics used when the default font file is missing.
constexpr unsigned char builtin_ascent = 12;
constexpr unsigned char builtin_descent = 4;
constexpr float builtin_advance = 8.0f;
// Widest character advance a font file may give.
constexpr double max_advance = 1024.0;

std::deque<pml_font_t> fonts;           // index 0 is the default font, once loaded
std::map<std::string, int> font_index;  // path -> index, or -1 for a font that failed

pml_font_t builtin_font()
{
    pml_font_t font;
    font.path = pml_default_font_path;
    font.ascent = builtin_ascent;
    font.descent = builtin_descent;
    for (float& width : font.widths)
        width = builtin_advance;
    return font;
}

// Parses a font file; false with a message on a fault.
bool parse_font(const std::string& text, const std::string& path, pml_font_t& font)
{
    scanner_t scanner(text, path);
    double advance = builtin_advance;
    double overrides[256];
    bool has_override[256] = {};
    token_t token;
    while (scanner.next(token)) {
        if (token.kind != token_kind_t::word) {
            scanner.fail(token.line, "expected a metric name, found '%s'", token.text.c_str());
            break;
        }
        if (token.text == "ascent" || token.text == "descent") {
            int64_t height = 0;
            if (!scanner.read_whole(height, token.text.c_str(), 0, 255))
                break;
            (token.text == "ascent" ? font.ascent : font.descent) = static_cast<unsigned char>(height);
        } else if (token.text == "advance") {
            if (!scanner.read_real(advance, "advance", 0.0, max_advance))
                break;
        } else if (token.text == "char") {
            token_t which;
            if (!scanner.next(which) || which.kind != token_kind_t::string || which.text.size() != 1) {
                scanner.fail(which.line, "expected one character in quotes");
                break;
            }
            double width = 0.0;
            if (!scanner.read_real(width, "the character width", 0.0, max_advance))
                break;
            const unsigned char c = static_cast<unsigned char>(which.text[0]);
            overrides[c] = width;
            has_override[c] = true;
        } else {
            scanner.fail(token.line, "unknown metric '%s'", token.text.c_str());
            break;
        }
    }
    if (scanner.failed()) {
        error("<pml_font_t> %s", scanner.error_text().c_str());
        return false;
    }
    for (int c = 0; c < 256; ++c)
        font.widths[c] = static_cast<float>(has_override[c] ? overrides[c] : advance);
    return true;
}

// Loads the font at `path` into a new slot; -1 when it cannot be read.
int load_font(const std::string& path)
{
    std::string text;
    pml_font_t font = builtin_font();
    font.path = path;
    vfs_stat_t info;
    const bool present = vfs_stat(path.c_str(), &info) == 0;
    if (!present || !vfs_read_whole(path.c_str(), text) || !parse_font(text, path, font)) {
        if (!present)
            warning("<pml_font_t> cannot read font \"%s\"", path.c_str());
        return -1;
    }
    fonts.push_back(std::move(font));
    return static_cast<int>(fonts.size()) - 1;
}

// Makes sure slot 0 holds the default font (its file, or the built-in metrics).
void ensure_default()
{
    if (!fonts.empty())
        return;
    fonts.push_back(builtin_font());
    font_index[pml_default_font_path] = 0;
    std::string text;
    vfs_stat_t info;
    if (vfs_stat(pml_default_font_path, &info) != 0) {
        verbose("<pml_font_t> no \"%s\": using built-in metrics", pml_default_font_path);
        return;
    }
    pml_font_t font = builtin_font();
    if (vfs_read_whole(pml_default_font_path, text) && parse_font(text, pml_default_font_path, font))
        fonts[0] = std::move(font);
}

engine_reset_registrar_t font_reset_registrar(reset_order_cache + 10, pml_font_reset);

}  // namespace

int pml_font_find(const char* name)
{
    ensure_default();
    if (!name || !*name)
        return 0;
    std::string path = name;
    if (path.find('/') == std::string::npos)
        path = "/fonts/" + path + ".font";
    const auto known = font_index.find(path);
    if (known != font_index.end())
        return known->second;
    const int index = load_font(path);
    font_index[path] = index;
    return index;
}

const pml_font_t& pml_font_get(int index)
{
    ensure_default();
    if (index < 0 || static_cast<size_t>(index) >= fonts.size())
        return fonts[0];
    return fonts[static_cast<size_t>(index)];
}

void pml_font_reset()
{
    fonts.clear();
    font_index.clear();
}
