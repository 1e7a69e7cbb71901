#pragma once
#include <cstddef>

#include "engine/pml.h"

class ui_view_t;

// The rendering and moving the module's markup views share.

// Capacity in bytes of a markup view's compiled buffer: as many items as one render can produce, so a
// long text is never cut short by the view.
constexpr size_t ui_markup_capacity = pml_result_capacity * pml_item_bytes;

// Renders `text` inside the rectangle of `view` (in its units) into `out`, replacing what `out` held,
// and leaves the markup system's current result empty. False when the markup is bad or does not fit
// (the markup system reports it); `out` then holds what could be kept, possibly nothing.
bool ui_markup_render(const ui_view_t* view, const char* text, pml_buffer_t& out);

// Moves the rectangle of `view` by (dx, dy), and its hit area too when `flags` asks for it
// (ui_offset_area) and the view lets its area move. Answers the ui_change_t mask of what moved.
unsigned ui_view_move_rect(ui_view_t* view, float dx, float dy, unsigned flags);

// Moves a compiled markup by (dx, dy) as a plain move: its recorded position starts again from here.
void ui_markup_shift(pml_buffer_t& markup, float dx, float dy);
