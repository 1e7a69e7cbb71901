// The player's truck tells the economy which loading dock's yard it stands in, so that the economy
// places the trailers of that dock's jobs around it.
#include "common/bridge_parts.h"
#include "vehicles/player/car_player.h"
#include "vehicles/links/vehicle_links.h"

void car_player_e::track_dock()
{
    const held_part_t<vehicle_economy_t> economy(economy_link);
    if (!economy.get())
        return;
    const int32_t dock = economy.get()->dock_at(get_position());
    if (dock == current_dock)
        return;
    current_dock = dock;
    economy.get()->set_current_dock(dock);
}
