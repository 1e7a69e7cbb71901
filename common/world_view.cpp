#include "common/world_view.h"

#include "engine/reset.h"

namespace {

world_view_t* shown = nullptr;

const engine_reset_registrar_t reset_shown_view(reset_order_processes + 1, [] { shown = nullptr; });

}  // namespace

world_view_t* shown_world_view() { return shown; }

void set_shown_world_view(world_view_t* view) { shown = view; }

void withdraw_world_view(world_view_t* view)
{
    if (shown == view)
        shown = nullptr;
}
