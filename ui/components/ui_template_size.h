#pragma once
#include <cstdint>

class ui_template_t;
class ui_view_t;

// The size a template gives its component: "width" and "height", when present, fix the view's right
// edge (from its left) and top edge (from its bottom); a flag bit says which one the template leaves
// to the script. Shared by the common button, text, frame and input line.
struct ui_template_size_t {
    // Flag bits: the template gives no width, no height.
    static constexpr uint32_t no_width = 1;
    static constexpr uint32_t no_height = 2;

    // Reads the size of template `look` and, when it gives one, calls `view->changed(1 | extra)`.
    void apply(const ui_template_t& templates, int look, ui_view_t& view, unsigned extra = 0);
    // On a changed rectangle (bit 1 of `mask`), sets the edges the template fixes.
    void fit(ui_view_t& view, unsigned mask) const;

    uint32_t flags = no_width | no_height;
    float width = 0.0f;
    float height = 0.0f;
};
