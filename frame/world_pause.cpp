#include "common/world_pause.h"

#include "common/game_bridge.h"
#include "frame/world_process.h"

namespace {

// The world of the current bridge, or null.
world_process_t* bridge_world()
{
    game_bridge_t* bridge = get_game_bridge();
    return bridge ? bridge->owner() : nullptr;
}

}  // namespace

bool current_world_paused()
{
    const world_process_t* world = bridge_world();
    return world && world->paused();
}

void current_world_pause(const bool sleep, const bool hide)
{
    if (world_process_t* world = bridge_world())
        world->pause(sleep, hide);
}

void current_world_allow_pause(const bool allow)
{
    if (world_process_t* world = bridge_world())
        world->set_pausable(allow);
}
