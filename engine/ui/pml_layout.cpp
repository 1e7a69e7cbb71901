#include "pml_layout.h"

#include <algorithm>
#include <strings.h>

#include "engine/log.h"
#include "engine/pml_font.h"
#include "engine/scanner.h"

namespace {

using attributes_t = std::vector<std::pair<std::string, std::string>>;

// Colours of the escapes \r \g \y \w \b \k (0xAABBGGRR).
unsigned escape_color(char code)
{
    switch (code) {
    case 'r':
        return 0xFF0000FF;
    case 'g':
        return 0xFF00FF00;
    case 'y':
        return 0xFF00FFFF;
    case 'w':
        return 0xFFFFFFFF;
    case 'b':
        return 0xFFFF0000;
    case 'k':
        return 0xFF000000;
    default:
        return 0;
    }
}

// `text` in lower case.
std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// Splits "name key=value word" into the lower-case name and its attributes with lower-case keys (a word
// alone has an empty value). Values keep their case: they may be paths.
std::string split_tag(std::string_view tag, attributes_t& attributes)
{
    std::vector<std::string> words;
    size_t position = 0;
    while (position < tag.size()) {
        while (position < tag.size() && (tag[position] == ' ' || tag[position] == '\t'))
            ++position;
        const size_t start = position;
        while (position < tag.size() && tag[position] != ' ' && tag[position] != '\t')
            ++position;
        if (position > start)
            words.emplace_back(tag.substr(start, position - start));
    }
    if (words.empty())
        return std::string();
    for (size_t i = 1; i < words.size(); ++i) {
        const size_t equals = words[i].find('=');
        if (equals == std::string::npos)
            attributes.emplace_back(lower(words[i]), std::string());
        else
            attributes.emplace_back(lower(words[i].substr(0, equals)), words[i].substr(equals + 1));
    }
    return lower(words[0]);
}

// Reads a number attribute; false when it is not wholly a number.
bool read_float(const std::string& text, float& out)
{
    double value = 0.0;
    if (scanner_read_real(text, -scanner_t::real_limit, scanner_t::real_limit, value) != number_fault_t::none)
        return false;
    out = static_cast<float>(value);
    return true;
}

// Reads a hexadecimal colour attribute; false when it is not wholly one.
bool read_hex(const std::string& text, unsigned& out)
{
    const bool prefixed = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    int64_t value = 0;
    if (scanner_read_whole(prefixed ? text : "0x" + text, 0, 0xFFFFFFFF, value) != number_fault_t::none)
        return false;
    out = static_cast<unsigned>(value);
    return true;
}

// Finds "</verbatim>" in any case from `from`; npos when absent.
size_t find_verbatim_end(std::string_view text, size_t from)
{
    static constexpr std::string_view closing = "</verbatim>";
    for (size_t i = from; i + closing.size() <= text.size(); ++i)
        if (strncasecmp(text.data() + i, closing.data(), closing.size()) == 0)
            return i;
    return std::string_view::npos;
}

}  // namespace

pml_layout_t::pml_layout_t(const pml_rect_t& bounds)
    : bounds_(bounds), line_start_(bounds.left), pen_(bounds.left), line_top_(bounds.top)
{}

bool pml_layout_t::fail(const char* what, std::string_view detail)
{
    error("<pml_buffer_t> %s: \"%.*s\"", what, static_cast<int>(std::min<size_t>(detail.size(), 64)), detail.data());
    items_.clear();
    return false;
}

bool pml_layout_t::run(std::string_view text)
{
    word_start_ = 0;
    size_t position = 0;
    while (position < text.size()) {
        const char c = text[position];
        if (c == '<') {
            const size_t close = text.find('>', position);
            if (close == std::string_view::npos)
                return fail("unterminated tag", text.substr(position));
            const std::string_view tag = text.substr(position + 1, close - position - 1);
            position = close + 1;
            if (strncasecmp(tag.data(), "verbatim", 8) == 0 && tag.size() == 8) {
                const size_t end = find_verbatim_end(text, position);
                const size_t stop = end == std::string_view::npos ? text.size() : end;
                for (size_t i = position; i < stop; ++i)
                    place_character(static_cast<unsigned char>(text[i]));
                position = end == std::string_view::npos ? text.size() : end + 11;
                continue;
            }
            if (!read_tag(tag))
                return false;
        } else if (c == '\\' && position + 1 < text.size() &&
                   (escape_color(text[position + 1]) || text[position + 1] == 'c')) {
            read_escape(text[position + 1]);
            position += 2;
        } else if (c == '\\' && position + 1 < text.size() && text[position + 1] == '\\') {
            place_character('\\');
            position += 2;
        } else if (c == '\n') {
            break_line();
            ++position;
        } else {
            place_character(static_cast<unsigned char>(c == '\t' ? ' ' : c));
            ++position;
        }
    }
    while (!aligns_.empty())
        close_align();
    hide_below_bottom();
    return true;
}

bool pml_layout_t::read_tag(std::string_view tag)
{
    attributes_t attributes;
    const std::string name = split_tag(tag, attributes);
    if (name == "align")
        return open_align(attributes);
    if (name == "/align") {
        if (!aligns_.empty())
            close_align();
        return true;
    }
    if (name == "img")
        return open_image(attributes);
    if (name == "color")
        return open_color(attributes);
    if (name == "/color") {
        if (colors_.size() > 1)
            colors_.pop_back();
        escape_active_ = false;
        return true;
    }
    if (name == "font")
        return open_font(attributes);
    if (name == "/font") {
        if (fonts_.size() > 1)
            fonts_.pop_back();
        return true;
    }
    if (name == "offset")
        return open_offset(attributes);
    if (name == "br" || name == "br/") {
        break_line();
        return true;
    }
    if (name == "ret") {
        line_start_ = pen_ = bounds_.left;
        line_top_ = bounds_.top;
        line_height_ = 0.0f;
        ++line_;
        word_start_ = items_.size();
        return true;
    }
    if (name == "/verbatim")
        return true;
    return fail("unknown tag", tag);
}

bool pml_layout_t::open_align(const attributes_t& attributes)
{
    align_block_t block{items_.size(), 0, 0};
    for (const auto& [key, value] : attributes) {
        int* target = key == "hstyle" ? &block.hstyle : key == "vstyle" ? &block.vstyle : nullptr;
        if (!target)
            return fail("unknown align attribute", key);
        if (value == "left" || value == "top")
            *target = 0;
        else if (value == "center" || value == "centre")
            *target = 1;
        else if (value == "right" || value == "bottom")
            *target = 2;
        else
            return fail("unknown align style", value);
    }
    aligns_.push_back(block);
    return true;
}

bool pml_layout_t::open_image(const attributes_t& attributes)
{
    const pml_font_t& font = pml_font_get(fonts_.back());
    float width = font.line_height();
    float height = font.line_height();
    std::string shader;
    unsigned color = colors_.back();
    for (const auto& [key, value] : attributes) {
        bool good = true;
        if (key == "src")
            shader = value;
        else if (key == "width")
            good = read_float(value, width) && width >= 0.0f;
        else if (key == "height")
            good = read_float(value, height) && height >= 0.0f;
        else if (key == "color")
            good = read_hex(value, color);
        else if (key == "left" || key == "right" || key == "top" || key == "bottom") {
            // The part of the texture drawn: read and checked; nothing is rasterised here.
            float part = 0.0f;
            good = read_float(value, part) && part >= 0.0f && part <= 1.0f;
        } else if (key == "xscale" || key == "yscale") {
            const std::string mode = lower(value);
            good = mode == "stretch" || mode == "repeat";
            if (good && key == "xscale")
                width = bounds_.right - bounds_.left;
            if (good && key == "yscale")
                height = bounds_.top - bounds_.bottom;
        } else
            return fail("unknown img attribute", key);
        if (!good)
            return fail("bad img value", value);
    }
    if (shader.empty())
        return fail("img without src", "img");
    word_start_ = items_.size();
    const size_t index = items_.size();
    place_box(pml_item_image, width, height, shader.c_str());
    items_[index].color = color;
    word_start_ = items_.size();
    return true;
}

bool pml_layout_t::open_color(const attributes_t& attributes)
{
    unsigned color = 0;
    if (attributes.size() != 1 || attributes[0].first != "value" || !read_hex(attributes[0].second, color))
        return fail("color needs value=AABBGGRR", attributes.empty() ? "" : attributes[0].second);
    colors_.push_back(color);
    escape_active_ = false;
    return true;
}

bool pml_layout_t::open_font(const attributes_t& attributes)
{
    std::string name;
    for (const auto& [key, value] : attributes) {
        if (key == "name" || key == "src")
            name = value;
        else if (value.empty() && name.empty())
            name = key;  // the font named by a bare word
        else if (key != "type")
            return fail("unknown font attribute", key);
    }
    const int index = pml_font_find(name.c_str());
    fonts_.push_back(index < 0 ? fonts_.back() : index);
    return true;
}

bool pml_layout_t::open_offset(const attributes_t& attributes)
{
    float hshift = 0.0f;
    float vshift = 0.0f;
    for (const auto& [key, value] : attributes) {
        float* target = key == "hshift" ? &hshift : key == "vshift" ? &vshift : nullptr;
        if (!target)
            return fail("unknown offset attribute", key);
        if (!read_float(value, *target))
            return fail("bad offset value", value);
    }
    line_start_ = pen_ = bounds_.left + hshift;
    line_top_ = bounds_.top - vshift;
    line_height_ = 0.0f;
    ++line_;
    word_start_ = items_.size();
    return true;
}

void pml_layout_t::read_escape(char code)
{
    if (code == 'c') {
        escape_active_ = false;
        return;
    }
    escape_active_ = true;
    escape_color_ = escape_color(code);
}

void pml_layout_t::place_character(unsigned char c)
{
    const pml_font_t& font = pml_font_get(fonts_.back());
    const float width = font.width(c);
    if (c == ' ') {
        if (pen_ + width > bounds_.right && pen_ > line_start_)
            break_line();
        place_box(c, width, font.line_height(), nullptr);
        word_start_ = items_.size();
        return;
    }
    if (pen_ + width > bounds_.right && pen_ > line_start_) {
        const bool word_can_move = word_start_ < items_.size() && item_lines_[word_start_] == line_ &&
                                   items_[word_start_].box.left > line_start_;
        if (word_can_move) {
            const float shift = items_[word_start_].box.left - line_start_;
            const float moved_pen = pen_ - shift;
            const size_t first = word_start_;
            break_line();
            for (size_t i = first; i < items_.size(); ++i) {
                items_[i].box.left -= shift;
                items_[i].box.right -= shift;
                const float height = items_[i].box.top - items_[i].box.bottom;
                items_[i].box.top = line_top_;
                items_[i].box.bottom = line_top_ - height;
                item_lines_[i] = line_;
                line_height_ = std::max(line_height_, height);
            }
            pen_ = moved_pen;
            word_start_ = first;
        } else {
            break_line();
        }
    }
    place_box(c, width, font.line_height(), nullptr);
}

void pml_layout_t::place_box(int id, float width, float height, const char* shader)
{
    pml_item_t item;
    item.id = id;
    item.box = {pen_, pen_ + width, line_top_, line_top_ - height};
    item.color = escape_active_ && id != pml_item_image ? escape_color_ : colors_.back();
    item.font = fonts_.back();
    if (shader)
        item.shader = shader;
    items_.push_back(std::move(item));
    item_lines_.push_back(line_);
    pen_ += width;
    line_height_ = std::max(line_height_, height);
}

void pml_layout_t::break_line()
{
    const float height = line_height_ > 0.0f ? line_height_ : pml_font_get(fonts_.back()).line_height();
    line_top_ -= height;
    pen_ = line_start_;
    line_height_ = 0.0f;
    ++line_;
    word_start_ = items_.size();
}

void pml_layout_t::close_align()
{
    const align_block_t block = aligns_.back();
    aligns_.pop_back();
    if (block.first_item >= items_.size())
        return;
    // Horizontal: each line of the block on its own.
    size_t start = block.first_item;
    while (start < items_.size()) {
        size_t end = start;
        float left = items_[start].box.left;
        float right = items_[start].box.right;
        while (end < items_.size() && item_lines_[end] == item_lines_[start]) {
            left = std::min(left, items_[end].box.left);
            right = std::max(right, items_[end].box.right);
            ++end;
        }
        const float shift = block.hstyle == 1   ? (bounds_.left + bounds_.right - left - right) * 0.5f
                            : block.hstyle == 2 ? bounds_.right - right
                                                : 0.0f;
        for (size_t i = start; i < end; ++i) {
            items_[i].box.left += shift;
            items_[i].box.right += shift;
        }
        start = end;
    }
    // Vertical: the block as a whole.
    float top = items_[block.first_item].box.top;
    float bottom = items_[block.first_item].box.bottom;
    for (size_t i = block.first_item; i < items_.size(); ++i) {
        top = std::max(top, items_[i].box.top);
        bottom = std::min(bottom, items_[i].box.bottom);
    }
    const float shift = block.vstyle == 1   ? (bounds_.top + bounds_.bottom - top - bottom) * 0.5f
                        : block.vstyle == 2 ? bounds_.bottom - bottom
                                            : 0.0f;
    for (size_t i = block.first_item; i < items_.size(); ++i) {
        items_[i].box.top += shift;
        items_[i].box.bottom += shift;
    }
}

void pml_layout_t::hide_below_bottom()
{
    for (pml_item_t& item : items_)
        if (item.box.bottom < bounds_.bottom)
            item.flags |= pml_item_hidden;
}
