#include "engine/ui_draw3d.h"

#include "engine/pml.h"
#include "engine/pml_draw.h"
#include "engine/reset.h"
#include "engine/ui.h"
#include "ui_items.h"

namespace {

std::vector<ui_draw3d_t> draws;

engine_reset_registrar_t draw3d_reset_registrar(reset_order_devices + 40, [] { draws.clear(); });

}  // namespace

void ui_wdraw3d(c_item_t* item, const vec_t<float, 3>& origin, const vec_t<float, 3>& x_axis,
                const vec_t<float, 3>& y_axis, bool facing, unsigned color)
{
    ui_window_t* window = ui_item_window(item);
    if (!window || !window->visible)
        return;
    window->drawn_in_3d = true;
    const size_t before = pml_drawn().size();
    const gfx_recorded_place_t place = gfx_record_place();
    pml_colormod(color);
    window->draw_layers();
    pml_colormod(0xFFFFFFFF);
    draws.push_back({window, origin, x_axis, y_axis, facing, color, static_cast<int>(pml_drawn().size() - before),
                     gfx_record_frames(), place, gfx_record_next_order()});
}

const std::vector<ui_draw3d_t>& ui_draw3d_record() { return draws; }
void ui_draw3d_clear() { draws.clear(); }

void ui_draw3d_drop_before(const int frame)
{
    std::erase_if(draws, [frame](const ui_draw3d_t& draw) { return draw.frame < frame; });
}
