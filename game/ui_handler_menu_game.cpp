#include "game/ui_handler_menu_game.h"

#include "engine/cache.h"
#include "engine/ui.h"
#include "engine/ui_action.h"
#include "common/engine_api.h"
#include "common/game_bridge.h"
#include "common/ui_find_component.h"
#include "common/world_pause.h"
#include "game/game_keys.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "game/ui_handler_menu_main.h"
#include "game/ui_handler_msgbox.h"

namespace {

// Sound tags of the game and of the menus.
constexpr int game_sound_tag = 10;
constexpr int menu_sound_tag = 20;

bool in_preview()
{
    const game_bridge_t* bridge = get_game_bridge();
    return bridge && bridge->mode() == game_mode_preview;
}

}  // namespace

void ui_handler_menu_game_t::on_wcreate()
{
    quit_asked = 0;
    ui_handler_game_base_t::on_wcreate();
}

void ui_handler_menu_game_t::on_wshow()
{
    quit_asked = 0;
    if (show_flag == 0)
        if (c_item_t* background = menu_background_window()) {
            // Showing the background brings it to the front: the menu goes back in front of it, or the
            // background would take the pointer's clicks.
            ui_wshow(background, 0);
            ui_wshow(window, 0);
        }
    ui_handler_game_base_t::on_wshow();
    game_keys_bind();
    api::snd_disable_tag(game_sound_tag);
    api::snd_set_current_tag(menu_sound_tag);
    api::snd_enable_tag(menu_sound_tag, 0);
    current_world_allow_pause(false);
    if (ui_view_t* exit = ui_window_component(window, exit_id))
        exit->show(in_preview());
}

void ui_handler_menu_game_t::on_whide()
{
    const bool closing = show_flag == 0;
    if (closing) {
        api::snd_disable_tag(menu_sound_tag);
        api::snd_set_current_tag(game_sound_tag);
        api::snd_enable_tag(game_sound_tag, 0);
        if (c_item_t* background = menu_background_window())
            ui_whide(background);
    }
    ui_handler_game_base_t::on_whide();
    if (closing)
        current_world_allow_pause(true);
}

void ui_handler_menu_game_t::handler()
{
    if (quit_asked) {
        const uint32_t state = msgbox_get();
        if (!(state & ui_handler_msgbox_t::state_open)) {
            quit_asked = 0;
            game_keys_bind();
            if (state & ui_handler_msgbox_t::state_first) {
                show_flag = 1;
                api::cmd_execute("quit");
            }
        }
    }
    ui_handler_game_base_t::handler();
}

bool ui_handler_menu_game_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code != ui_action_pressed || !view)
        return false;
    switch (view->id) {
    case new_game_id:
        game_keys_unbind();
        menu_open(*this, "menu", "newgame", 0, "/ui/mnewgame.esc");
        return true;
    case load_id:
        game_keys_unbind();
        menu_open(*this, "menu", "load", 1, "/ui/mload.esc");
        return true;
    case save_id:
        game_keys_unbind();
        menu_open(*this, "menu", "save", 1, "/ui/msave.esc");
        return true;
    case options_id:
        game_keys_unbind();
        menu_open(*this, "optionsmenu", "optionsbase", 0, "/ui/options/moptionsbase.esc");
        return true;
    case resume_id:
        api::cmd_execute("game_menu");
        return true;
    case quit_id:
        game_keys_unbind();
        msgbox_open("@@ui_warning@@", "@@ui_really_quit@@", ui_handler_msgbox_t::set_yes_no, 0);
        quit_asked = 1;
        return false;
    case web_page_id:
    case second_web_page_id:
        menu_open_web_page(view->id == second_web_page_id);
        return false;
    case exit_id:
        if (in_preview())
            api::cmd_execute("exit");
        return true;
    default:
        return false;
    }
}
