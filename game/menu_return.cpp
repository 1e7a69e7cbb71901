#include "game/menu_return.h"

#include "common/game_bridge.h"
#include "game/menu_shared.h"
#include "ui/components/ui_handler_game_base.h"

void menu_return(ui_handler_game_base_t& from)
{
    const game_bridge_t* bridge = get_game_bridge();
    c_item_t* target = nullptr;
    switch (bridge ? bridge->mode() : 0) {
    case game_mode_menu:
        target = menu_window("menu", "main", 0, "/ui/mmain.esc");
        break;
    case game_mode_game:
    case game_mode_preview:
        target = menu_window("menu", "game", 1, "/ui/mgame.esc");
        break;
    case game_mode_game_over:
        target = menu_window("dialog", "game_over", 1, "/ui/gameover.esc");
        break;
    default:
        break;
    }
    from.switch_window(target, 0);
}
