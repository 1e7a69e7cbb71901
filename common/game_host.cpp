#include "common/game_host.h"

namespace {

// The installed host; the game process withdraws itself when it ends, so engine resets leave it.
game_host_t* installed = nullptr;

}  // namespace

void game_host_install(game_host_t* host) { installed = host; }

void game_host_withdraw(game_host_t* host)
{
    if (installed == host)
        installed = nullptr;
}

game_host_t* game_host() { return installed; }
