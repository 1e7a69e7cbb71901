#include "game/ui_handler_menu_load.h"

#include "engine/def_obj.h"
#include "engine/ui_action.h"
#include "engine/ui_event.h"
#include "common/engine_api.h"
#include "common/game_context.h"
#include "common/save_game_calls.h"
#include "game/menu_return.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "game/ui_handler_msgbox.h"
#include "ui/components/ui_comp_list.h"

void ui_handler_menu_load_t::menu_return_back()
{
    leaving = 1;
    menu_return(*this);
}

void ui_handler_menu_load_t::menu_load_game(const char* name)
{
    const std::string chosen = name ? std::string(name) : selected_save();
    if (chosen.empty())
        return;
    const std::string path = save_path(chosen);
    // The save is checked whole before a world is built for it: a refused one leaves the player here.
    const save_game_check_t found = path.empty() ? save_game_unreadable : save_game_check_file(path.c_str());
    if (found != save_game_loadable) {
        msgbox_open("@@ui_error@@",
                    found == save_game_wrong_version ? "@@ui_wrong_save_version@@" : "@@ui_save_damaged@@",
                    ui_handler_msgbox_t::set_close | ui_handler_msgbox_t::set_second_look, 0);
        return;
    }
    if (def_obj_t* context = game_context_get())
        context->set_value("load_game_name", path.c_str());
    menu_music_stop();
    api::cmd_execute("map mainland");
}

bool ui_handler_menu_load_t::handle(ui_view_t* view, const int code, void* param)
{
    ui_handler_game_base_t::handle(view, code, param);
    if (code == ui_action_key_up && param && static_cast<const ui_key_param_t*>(param)->key == ui_key_escape) {
        menu_return_back();
        return true;
    }
    if (!view)
        return false;
    if (code == ui_action_item_activated && param) {
        menu_load_game(static_cast<const ui_list_param_t*>(param)->text);
        return false;
    }
    if (code != ui_action_pressed)
        return false;
    switch (view->id) {
    case action_id:
        menu_load_game(nullptr);
        return true;
    case delete_id:
        menu_delete_save();
        return true;
    case back_id:
        menu_return_back();
        return true;
    default:
        return false;
    }
}
