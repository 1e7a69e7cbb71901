#pragma once
#include "engine/gfx_view.h"
#include "engine/pml.h"

// The view in force narrowed to a component's screen `area` (view coordinates, y up), with the near and
// far planes and the field of view (degrees) the component draws its 3-D scene with.
gfx_view_t ui_area_view(const pml_rect_t& area, float near_plane, float far_plane, float fov);
