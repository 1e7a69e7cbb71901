#pragma once
#include <cstdint>

#include "engine/ui_view.h"

struct c_item_t;

// A bar comparing two fractions of its width ("ui.comp.double_bar"): the first quad, in the normal
// colour, runs to the smaller value; the second, from there to the larger, shows in the better colour
// when the compared value is the larger and in the worse colour when it is the smaller.
class ui_comp_double_bar_t : public ui_view_t {
public:
    // "normal_color", "better_color" and "worse_color" (0xAABBGGRR words, one shared change mark);
    // chained to the view's own properties.
    static const evalue_def_t evd_normal_color;
    static const evalue_def_t evd_better_color;
    static const evalue_def_t evd_worse_color;
    // Phase 0 of init (loads the shader, shows the first values) and of destroy (gives it back).
    static const level_list_t double_bar_init_list;
    static const level_list_t double_bar_destroy_list;

    const evalue_def_t* get_evalue_root() const override { return &evd_normal_color; }
    const char* get_default_name() const override { return "ui.comp.double_bar"; }
    const level_list_t* get_init_list() const override { return &double_bar_init_list; }
    const level_list_t* get_destroy_list() const override { return &double_bar_destroy_list; }
    int init(int phase) override;
    int destroy(int phase) override;
    // Per frame: changed colours recolour the quads and show the first values again.
    void handler() override;
    // Submits the quads while the view is visible.
    void draw() override;
    // A moved rectangle or a set property shows the first values again ((0, 0), or (0.5, 0.2) in a
    // preview window).
    void changed(unsigned mask) override;

    // Shows `first` against `second` (fractions of the width; above 1 counts as 1, below 0 as 0). A
    // `second` of 0.001 or less, or equal to `first`, draws the first quad alone. `reversed` swaps the
    // better and worse colours (for a figure where less is better).
    void set_values(float first, float second, bool reversed);

    uint32_t normal_color = 0xFFFFFFFF;  // "normal_color"
    uint32_t better_color = 0xFF20F020;  // "better_color"
    uint32_t worse_color = 0xFF2020F0;   // "worse_color"
    uint8_t color_status = 0;            // change mark of the three colours
    float vertices[8][3] = {};           // two quads, each a strip of four corners
    // Corner colours, 0xAABBGGRR: the first quad's four (normal), then the second quad's four.
    uint32_t colours[8] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF,
                           0xFF20F020, 0xFF20F020, 0xFF20F020, 0xFF20F020};
    int vertex_count = 4;        // 8 when the second quad is drawn
    c_item_t* shader = nullptr;  // "/shaders/ui/white.shd"

private:
    // Loads the shader and shows the first values when the window is known.
    void show_first_values();
    // Places quad `quad` (0 or 1) from fraction `from` to `to` of the width.
    void place_quad(int quad, float from, float to);
};
