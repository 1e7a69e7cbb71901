#include "frame/traffic_info.h"

#include "common/bridge_parts.h"
#include "common/game_bridge.h"

void g_traffic_info()
{
    const game_bridge_t* bridge = get_game_bridge();
    if (!bridge)
        return;
    // The slot is typed by its registration, not by the entity's class: ask for the interface.
    const held_part_t<traffic_commands_t> traffic(bridge->traffic());
    if (traffic.get())
        traffic.get()->print_info();
}
