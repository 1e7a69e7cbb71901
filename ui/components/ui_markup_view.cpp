#include "ui/components/ui_markup_view.h"

#include "ui/components/ui_markup_render.h"

void ui_markup_view_precache(const ui_view_t* view, c_item_t*& window_item, bool shown, const pml_buffer_t& markup)
{
    if (shown)
        ui_view_precache_markup(view, window_item, markup);
}

void ui_markup_view_offset(ui_view_t* view, c_item_t*& window_item, bool built, bool shown,
                           std::span<pml_buffer_t> markups, float dx, float dy, unsigned flags)
{
    if (!built || !(flags & ui_offset_shift)) {
        view->ui_view_t::offset(dx, dy, flags);
        return;
    }
    const unsigned moved = ui_view_move_rect(view, dx, dy, flags);
    for (pml_buffer_t& markup : markups)
        ui_markup_shift(markup, dx, dy);
    // The layer holds the markup at its old place.
    if (shown)
        ui_view_invalidate_layer(view, window_item, false);
    // The view's own `changed` would render again: only the view's base hears of the move.
    view->ui_view_t::changed(moved);
}
