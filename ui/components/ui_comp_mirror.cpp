#include "ui/components/ui_comp_mirror.h"

#include "common/world_view.h"

namespace {

bool drawing_mirror_view = false;

}  // namespace

bool mirror_view_drawing() { return drawing_mirror_view; }

void ui_comp_mirror_t::draw()
{
    world_view_t* const world = shown_world_view();
    if (!world)
        return;
    drawing_mirror_view = true;
    world->draw_view();
    drawing_mirror_view = false;
}
