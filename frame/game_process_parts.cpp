#include <strings.h>

#include "common/bridge_parts.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "frame/game_process.h"
#include "frame/world_process.h"

// The game process's calls into the parts of the world that other subsystems build: the economy
// controller and the player's truck, both reached through the world's bridge.

void game_process_t::cheat_command()
{
    game_bridge_t* bridge = world_ ? world_->bridge() : nullptr;
    if (!bridge || api::cmd_argc() < 2)
        return;
    const char* word = api::cmd_argv(1);
    static const char* const cheats[] = {"drivers", "dealers", "money", "stars"};
    for (int n = 1; n <= 4; ++n) {
        if (strcasecmp(word, cheats[n - 1]) != 0)
            continue;
        const held_part_t<economy_commands_t> economy(bridge->economy());
        if (economy.get())
            economy.get()->cheat(n);
    }
}

void game_process_t::open_main_hud()
{
    game_bridge_t* bridge = world_ ? world_->bridge() : nullptr;
    if (!bridge)
        return;
    const held_part_t<economy_commands_t> economy(bridge->economy());
    if (economy.get())
        economy.get()->open_main_hud(1);
}

void game_process_t::pager_message(const char* text)
{
    game_bridge_t* bridge = world_ ? world_->bridge() : nullptr;
    if (!bridge)
        return;
    const held_part_t<pager_owner_t> truck(bridge->avatar());
    if (truck.get())
        truck.get()->pager_message(text, 0);
}
