#include "vehicles/traffic_info.h"

#include "common/game_bridge.h"
#include "vehicles/traffic.h"

void g_traffic_info()
{
    const game_bridge_t* bridge = get_game_bridge();
    if (!bridge)
        return;
    // The slot is typed by its registration, not by the entity's class: check before using it.
    if (const auto* traffic = dynamic_cast<const traffic_e*>(bridge->traffic().resolve()))
        traffic->print_info();
}
