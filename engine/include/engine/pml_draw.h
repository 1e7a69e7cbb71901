#pragma once
#include <vector>

#include "engine/pml.h"

// What the markup drew directly (pml_buffer_flush, pml_bin_flush): the headless stand-in keeps the drawn
// items, moved and colour-modulated, so tests and the painter can read them. Only the frame being drawn
// and the last one shown are kept (engine_run_frame drops older ones), so a long run stays flat.

// One drawn item and the colour it was drawn with.
struct pml_drawn_t {
    pml_item_t item;
    unsigned drawn_color;
    int frame = 0;  // the graphics frame it was drawn in (gfx_record_frames) and its place in that
    int order = 0;  // frame's drawing order (gfx_record_next_order)
};

// Items drawn since the last pml_draw_clear, in order; hidden items are not drawn.
const std::vector<pml_drawn_t>& pml_drawn();
void pml_draw_clear();
// Drops the items drawn in graphics frames before `frame`.
void pml_draw_drop_before(int frame);
// Drops the items drawn after the first `count` (what an overlay drew for one capture only).
void pml_draw_truncate(size_t count);
