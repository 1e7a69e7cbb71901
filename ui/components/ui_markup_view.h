#pragma once
#include <span>

#include "engine/pml.h"
#include "engine/ui_view.h"
#include "ui/components/ui_window_layer.h"

struct c_item_t;

// The steps every markup view of the module (text, frame, log view, button, slider, edit line) shares
// in its handler, pml_precache and offset. A view keeps its compiled markups, the window it found
// (`window_item`) and what of it the window's layer holds (`shown`, against the view's own value
// `none` for nothing).

// The visibility step of a handler: a hidden view takes its markup out of its window's layer (once the
// window can be reached; until then it tries again each frame) and answers false, so the handler stops
// there; a visible view answers true.
template <typename shown_t>
bool ui_markup_view_visible(ui_view_t* view, c_item_t*& window_item, shown_t& shown, shown_t none)
{
    if (view->is_visible())
        return true;
    if (shown != none && ui_view_invalidate_layer(view, window_item, false))
        shown = none;
    return false;
}

// pml_precache of a view: copies `markup` into the window's layer while it is shown there.
void ui_markup_view_precache(const ui_view_t* view, c_item_t*& window_item, bool shown, const pml_buffer_t& markup);

// offset of a view: a plain move (ui_offset_shift) while every markup is `built` moves the rectangle and
// shifts the compiled `markups` with it (the layer, when `shown`, is marked to take the picture at its
// new place) instead of rendering again; any other move is a plain view's.
void ui_markup_view_offset(ui_view_t* view, c_item_t*& window_item, bool built, bool shown,
                           std::span<pml_buffer_t> markups, float dx, float dy, unsigned flags);
