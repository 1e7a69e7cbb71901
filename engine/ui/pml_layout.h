#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/pml.h"

// Lays one markup text out into items: reads tags, escapes and characters, breaks lines at the right
// edge of the bounds, aligns blocks and hides what falls below the bottom edge.
class pml_layout_t {
public:
    explicit pml_layout_t(const pml_rect_t& bounds);

    // Lays `text` out (already translated); false with a message on bad markup.
    bool run(std::string_view text);
    // The items laid out.
    std::vector<pml_item_t>& items() { return items_; }

private:
    // An open <align> block.
    struct align_block_t {
        size_t first_item;
        int hstyle;  // 0 left, 1 centre, 2 right
        int vstyle;  // 0 top, 1 centre, 2 bottom
    };

    bool read_tag(std::string_view tag);
    bool open_align(const std::vector<std::pair<std::string, std::string>>& attributes);
    bool open_image(const std::vector<std::pair<std::string, std::string>>& attributes);
    bool open_color(const std::vector<std::pair<std::string, std::string>>& attributes);
    bool open_font(const std::vector<std::pair<std::string, std::string>>& attributes);
    bool open_offset(const std::vector<std::pair<std::string, std::string>>& attributes);
    void read_escape(char code);
    void place_character(unsigned char c);
    void place_box(int id, float width, float height, const char* shader);
    void break_line();
    void close_align();
    void hide_below_bottom();
    bool fail(const char* what, std::string_view detail);

    pml_rect_t bounds_;
    std::vector<pml_item_t> items_;
    std::vector<int> item_lines_;  // line number of each item
    std::vector<unsigned> colors_{0xFFFFFFFF};
    unsigned escape_color_ = 0;
    bool escape_active_ = false;
    std::vector<int> fonts_{0};
    std::vector<align_block_t> aligns_;
    float line_start_ = 0.0f;
    float pen_ = 0.0f;
    float line_top_ = 0.0f;
    float line_height_ = 0.0f;  // tallest item of the current line
    int line_ = 0;
    size_t word_start_ = 0;  // first item of the word being laid, or items_.size() between words
};
