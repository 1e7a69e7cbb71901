#include "common/world_pause.h"

#include "common/game_host.h"

bool current_world_paused()
{
    const game_host_t* host = game_host();
    return host && host->world_paused();
}

void current_world_pause(const bool sleep, const bool hide)
{
    if (game_host_t* host = game_host())
        host->pause_world(sleep, hide);
}

void current_world_allow_pause(const bool allow)
{
    if (game_host_t* host = game_host())
        host->allow_world_pause(allow);
}
