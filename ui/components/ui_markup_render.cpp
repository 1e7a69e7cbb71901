#include "ui/components/ui_markup_render.h"

#include "engine/ui_view.h"

bool ui_markup_render(const ui_view_t* view, const char* text, pml_buffer_t& out)
{
    pml_set_bounds(view->rect, (view->view_flags & ui_view_reference_units) != 0);
    pml_reset();
    bool ok = pml_render(text ? text : "");
    ok = pml_buffer_get(out, false) && ok;
    pml_reset();
    return ok;
}

unsigned ui_view_move_rect(ui_view_t* view, float dx, float dy, unsigned flags)
{
    view->rect.left += dx;
    view->rect.right += dx;
    view->rect.top += dy;
    view->rect.bottom += dy;
    const bool area_moves =
        (flags & ui_offset_area) && (view->view_flags & ui_view_moves_area) && view->area.left != ui_area_unset;
    if (!area_moves)
        return ui_change_rect;
    view->area.left += dx;
    view->area.right += dx;
    view->area.top += dy;
    view->area.bottom += dy;
    return ui_change_rect | ui_change_area;
}

void ui_markup_shift(pml_buffer_t& markup, float dx, float dy)
{
    markup.set_position(0, nullptr);
    markup.offset(dx, dy);
}
