#include "common/world_view.h"

#include "engine/reset.h"

namespace {

world_view_t* shown = nullptr;
bool secondary_view = false;

const engine_reset_registrar_t reset_shown_view(reset_order_processes + 1, [] {
    shown = nullptr;
    secondary_view = false;
});

}  // namespace

world_view_t* shown_world_view() { return shown; }

void set_shown_world_view(world_view_t* view) { shown = view; }

void withdraw_world_view(world_view_t* view)
{
    if (shown == view)
        shown = nullptr;
}

bool drawing_secondary_view() { return secondary_view; }

void set_drawing_secondary_view(const bool drawing) { secondary_view = drawing; }
