#include "game/game_keys.h"

#include "common/engine_api.h"

void game_keys_unbind()
{
    api::bind_del_command("game_menu");
    api::bind_del_command("pause");
}

void game_keys_bind()
{
    api::bind_add_cmd("esc", "game_menu", 1, 0);
    api::bind_add_cmd("pause", "pause", 1, 0);
}
