#include "game/savegame_menu.h"

#include "common/engine_api.h"
#include "game/menu_shared.h"
#include "game/msgbox.h"
#include "game/ui_handler_msgbox.h"
#include "ui/components/ui_comp_list.h"

std::string save_path(const std::string& name)
{
    const std::string path = "/saves/" + name + ".sav";
    return path.size() > savegame_menu_t::path_limit ? std::string() : path;
}

void savegame_menu_t::on_wcreate()
{
    ui_handler_game_base_t::on_wcreate();
    pending_path.clear();
    pending = 0;
    deleting = 0;
}

void savegame_menu_t::on_wshow()
{
    leaving = 0;
    ui_handler_game_base_t::on_wshow();
    savegame_list_fill(*this, list_id);
}

std::string savegame_menu_t::selected_save()
{
    const ui_comp_list_t* list = window_list(*this, list_id);
    if (!list || list->selection < 0 || list->selection >= list->count())
        return {};
    return list->item_text_at(list->selection);
}

void savegame_menu_t::menu_delete_save()
{
    const std::string name = selected_save();
    if (name.empty())
        return;
    const std::string text = "@@ui_delete@@ " + name + ".sav ?";
    msgbox_open("@@ui_warning@@", text.substr(0, 256).c_str(), ui_handler_msgbox_t::set_yes_no, 0);
    pending_path = save_path(name);
    pending = 1;
    deleting = 1;
}

void savegame_menu_t::handler()
{
    if (pending) {
        const uint32_t state = msgbox_get();
        if (!(state & ui_handler_msgbox_t::state_open)) {
            if ((state & ui_handler_msgbox_t::state_first) && deleting) {
                if (!pending_path.empty())
                    api::vfs_unlink(pending_path.c_str());
                savegame_list_fill(*this, list_id);
                deleting = 0;
            } else if (state & ui_handler_msgbox_t::state_first) {
                overwrite_confirmed();
            }
            pending = 0;
            deleting = 0;
        }
    }
    ui_handler_game_base_t::handler();
}
