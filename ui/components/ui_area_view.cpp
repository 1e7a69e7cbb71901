#include "ui/components/ui_area_view.h"

#include "common/engine_api.h"

gfx_view_t ui_area_view(const pml_rect_t& area, const float near_plane, const float far_plane, const float fov)
{
    gfx_view_t view{};
    api::gfx_view_get(&view);
    gfx_params_t screen{};
    api::gfx_get_params(&screen);
    view.near_plane = near_plane;
    view.far_plane = far_plane;
    view.fov = fov;
    view.rect[0] = area.left;
    view.rect[1] = static_cast<float>(screen.height) - area.top;
    view.rect[2] = area.right;
    view.rect[3] = static_cast<float>(screen.height) - area.bottom;
    return view;
}
