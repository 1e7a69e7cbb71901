#include "ui/screens/ui_handler_screen_roadmap.h"

#include "engine/ui_action.h"
#include "physics/cd_bounds.h"
#include "ui/components/ui_comp_area_map.h"
#include "ui/components/ui_comp_button.h"
#include "ui/screens/options/options_controls.h"

void ui_handler_screen_roadmap_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    filter = 63;
}

void ui_handler_screen_roadmap_t::on_wshow()
{
    if (auto* map = dynamic_cast<ui_comp_area_map_t*>(page_view(*this, map_id))) {
        cd_bounds_t region{};
        for (int axis = 0; axis < cd_bound_axes; ++axis) {
            region.minimum[axis] = -region_half_side;
            region.maximum[axis] = region_half_side;
        }
        map->set_map_view(0, 0, camera_height);
        map->build(region);
        map->set_label_filter(filter, city_name_colour);
    }
    click_muted = 1;
    for (int k = 0; k < toggle_count; ++k)
        if (auto* toggle = dynamic_cast<ui_comp_button_t*>(page_view(*this, first_toggle_id + 10 * k)))
            toggle->set_pressed((filter >> k & 1u) != 0);
    click_muted = 0;
    ui_handler_game_base_t::on_wshow();
}

bool ui_handler_screen_roadmap_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code != ui_action_pressed || !view || !param)
        return false;
    const int k = (view->id - first_toggle_id) / 10;
    if (view->id < first_toggle_id || k >= toggle_count || (view->id - first_toggle_id) % 10 != 0)
        return false;
    if (static_cast<const ui_press_param_t*>(param)->pressed)
        filter |= 1u << k;
    else
        filter &= ~(1u << k);
    if (auto* map = dynamic_cast<ui_comp_area_map_t*>(page_view(*this, map_id)))
        map->set_label_filter(filter, city_name_colour);
    return false;
}
